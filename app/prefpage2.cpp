#include "app/prefpage2.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

CPrefPage2::CPrefPage2(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CPrefPage2"));
    auto* main = new QVBoxLayout(this);
    auto* frame = new QGroupBox(QStringLiteral("Resolution"), this);
    auto* column = new QVBoxLayout(frame);
    m_resolution = new QButtonGroup(frame);
    const QString labels[] = {QStringLiteral("&128 x 192"), QStringLiteral("&256 x 384"),
                              QStringLiteral("&512 x 768"), QStringLiteral("1024 x 153&6"),
                              QStringLiteral("2048 x 30&72")};
    int value = 1;
    for (const QString& label : labels) {
        auto* button = new QRadioButton(label, frame);
        m_resolution->addButton(button, value++);
        column->addWidget(button);
    }
    main->addWidget(frame);
    main->addStretch();
    connect(m_resolution, &QButtonGroup::idClicked, this, [this](int id) { pcdResolution = id; });
}

void CPrefPage2::showEvent(QShowEvent* event) {
    if (QAbstractButton* button = m_resolution->button(pcdResolution)) {
        button->setChecked(true);
    }
    QWidget::showEvent(event);
}
