#include "image/sizedlg.h"

#include "imaging/errors.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

CSizeDlg::CSizeDlg(Form form, int width, int height, QColor background, QWidget* parent)
    : QDialog(parent),
      m_width(new QSpinBox(this)),
      m_height(new QSpinBox(this)),
      m_swatch(new QLabel(this)),
      m_save(new QCheckBox(QStringLiteral("&Save these settings"), this)),
      m_background(background) {
    setObjectName(QStringLiteral("CSizeDlg"));
    for (QSpinBox* box : {m_width, m_height}) {
        box->setRange(1, imaging::kMaxDimension);
        box->setAccelerated(true);
    }
    m_width->setValue(width);
    m_height->setValue(height);
    m_chooser = [this](QColor current) {
        return QColorDialog::getColor(current, this, QStringLiteral("Background Color"));
    };

    auto* layout = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("&Width:"), m_width);
    fields->addRow(QStringLiteral("&Height:"), m_height);
    layout->addLayout(fields);

    auto* colourRow = new QHBoxLayout;
    auto* colourButton = new QPushButton(QStringLiteral("Set Background Color >>"), this);
    connect(colourButton, &QPushButton::clicked, this, &CSizeDlg::chooseBackground);
    m_swatch->setFixedSize(40, 22);
    m_swatch->setFrameShape(QFrame::Box);
    colourRow->addWidget(colourButton);
    colourRow->addWidget(m_swatch);
    colourRow->addStretch();
    layout->addLayout(colourRow);
    layout->addWidget(m_save);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    const bool newImage = form == Form::NewImage;
    setWindowTitle(newImage ? QStringLiteral("Enter New Image Information")
                            : QStringLiteral("Set Initial Size of Select Tool"));
    colourButton->setVisible(newImage);
    m_swatch->setVisible(newImage);
    m_save->setVisible(!newImage);
    showSwatch();
    m_width->setFocus();
    m_width->selectAll();
}

int CSizeDlg::imageWidth() const {
    return m_width->value();
}

int CSizeDlg::imageHeight() const {
    return m_height->value();
}

bool CSizeDlg::saveSettings() const {
    return m_save->isChecked();
}

void CSizeDlg::chooseBackground() {
    const QColor chosen = m_chooser(m_background);
    if (chosen.isValid()) {
        m_background = chosen;
        showSwatch();
    }
}

void CSizeDlg::showSwatch() {
    m_swatch->setStyleSheet(QStringLiteral("background-color: %1;").arg(m_background.name()));
}
