#include "image/compressiondlg.h"

#include "imaging/display.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kWideBand = 640;
constexpr int kCompactBand = 610;
constexpr int kBandHeight =
    image::CompressionPreview::kBandTop + image::CompressionPreview::kMaxHeight;

bool offersProgressive(int format) {
    return format == imaging::format::kJpeg || format == imaging::format::kLead;
}

/// EXIF JPEG files are always 24-bit baseline, so only the quality is asked.
bool offersDepth(int format) {
    return format != imaging::format::kExifJpeg;
}

}  // namespace

bool CCompressionDlg::handles(int format) {
    namespace f = imaging::format;
    return format == f::kJpeg || format == f::kJtif || format == f::kLead || format == f::kExifJpeg;
}

CCompressionDlg::CCompressionDlg(const Setup& setup, QWidget* parent)
    : QDialog(parent),
      m_options(setup.options),
      m_image(setup.image != nullptr && setup.image->isAllocated() ? setup.image : nullptr),
      m_sizeOnDisk(setup.sizeOnDisk),
      m_screenWidth(setup.screenWidth),
      m_preview(m_image),
      m_slider(new QSlider(Qt::Horizontal, this)),
      m_value(new QLineEdit(this)),
      m_eightBit(new QRadioButton(QStringLiteral("&8 bit"), this)),
      m_twentyFourBit(new QRadioButton(QStringLiteral("&24 bit"), this)),
      m_progressive(new QCheckBox(QStringLiteral("&Progressive"), this)),
      m_calculate(new QCheckBox(QStringLiteral("Calculate Disk &Space Required"), this)),
      m_optionsFrame(new QGroupBox(QStringLiteral("Options"), this)),
      m_compressionFrame(new QGroupBox(QStringLiteral("Compression"), this)),
      m_finished(new QPushButton(QStringLiteral("&Finished"), this)),
      m_leftPicture(new QLabel),
      m_rightPicture(new QLabel) {
    setObjectName(QStringLiteral("CCompressionDlg"));
    setWindowTitle(QStringLiteral("Compression Options"));
    if (m_screenWidth <= 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        m_screenWidth = screen ? screen->geometry().width() : kWideScreen;
    }
    m_wide = m_screenWidth >= kWideScreen;
    m_options.qualityFactor = std::clamp(m_options.qualityFactor, kMinimumQuality, kMaximumQuality);

    m_slider->setObjectName(QStringLiteral("quality"));
    m_slider->setRange(kMinimumQuality, kMaximumQuality);
    m_slider->setPageStep(10);
    m_slider->setTickInterval(24);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setValue(m_options.qualityFactor);
    m_value->setObjectName(QStringLiteral("qualityValue"));
    m_value->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}")), m_value));
    m_value->setText(QString::number(m_options.qualityFactor));
    m_value->setAlignment(Qt::AlignRight);
    m_value->setFixedWidth(m_value->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 8);

    (m_options.bitsPerPixel == 8 ? m_eightBit : m_twentyFourBit)->setChecked(true);
    m_progressive->setChecked(m_options.progressive);
    m_progressive->setVisible(offersProgressive(m_options.format));
    m_optionsFrame->setVisible(offersDepth(m_options.format));
    // Without an image there is no file to measure.
    m_calculate->setVisible(m_image != nullptr);
    m_calculate->setChecked(false);

    for (int i = 0; i < 4; ++i) {
        auto* line = new QLabel(this);
        line->setObjectName(QStringLiteral("sizeLine%1").arg(i + 1));
        // The lines keep their room while hidden, so the dialog does not jump.
        QSizePolicy policy = line->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        line->setSizePolicy(policy);
        line->setMinimumWidth(line->fontMetrics().horizontalAdvance(
            QStringLiteral("Original Size On Disk: 0000000000")));
        line->hide();
        m_sizeLines << line;
    }
    // Enter in the value field takes the value; it must not close the dialog.
    m_finished->setAutoDefault(false);

    if (m_wide) {
        layOutWide();
    } else {
        layOutCompact();
    }

    connect(m_slider, &QSlider::valueChanged, this, &CCompressionDlg::qualityChanged);
    // While the slider is dragged only the small picture follows; the whole
    // image is measured again when it is let go.
    connect(m_slider, &QSlider::sliderReleased, this, &CCompressionDlg::updateSizes);
    connect(m_value, &QLineEdit::textEdited, this, &CCompressionDlg::valueEdited);
    connect(m_value, &QLineEdit::editingFinished, this, &CCompressionDlg::valueFinished);
    connect(m_eightBit, &QRadioButton::toggled, this, &CCompressionDlg::settingsChanged);
    connect(m_progressive, &QCheckBox::toggled, this, &CCompressionDlg::settingsChanged);
    connect(m_calculate, &QCheckBox::toggled, this, &CCompressionDlg::showSizes);
    connect(m_finished, &QPushButton::clicked, this, &QDialog::accept);

    updatePicture();
}

QWidget* CCompressionDlg::pictureBand(int width) {
    m_band = new QWidget(this);
    m_band->setObjectName(QStringLiteral("pictures"));
    m_band->setFixedSize(width, kBandHeight);
    m_leftPicture->setParent(m_band);
    m_rightPicture->setParent(m_band);
    m_leftPicture->setObjectName(QStringLiteral("originalPicture"));
    m_rightPicture->setObjectName(QStringLiteral("compressedPicture"));
    m_leftPicture->setPixmap(imaging::toPixmap(m_preview.original()));
    return m_band;
}

void CCompressionDlg::layOutWide() {
    auto* options = new QVBoxLayout(m_optionsFrame);
    options->addWidget(m_eightBit);
    options->addWidget(m_twentyFourBit);
    options->addWidget(m_progressive);

    auto* compression = new QHBoxLayout(m_compressionFrame);
    compression->addWidget(m_slider, 1);
    compression->addWidget(m_value);

    auto* controls = new QHBoxLayout;
    controls->addWidget(m_optionsFrame);
    controls->addWidget(m_compressionFrame, 1);

    auto* sizes = new QGridLayout;
    sizes->addWidget(m_sizeLines[0], 0, 0);
    sizes->addWidget(m_sizeLines[1], 0, 1);
    sizes->addWidget(m_sizeLines[2], 1, 0);
    sizes->addWidget(m_sizeLines[3], 1, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addLayout(sizes, 1);
    bottom->addWidget(m_finished, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 0, 10, 10);
    layout->addWidget(pictureBand(kWideBand), 0, Qt::AlignHCenter);
    layout->addLayout(controls);
    layout->addWidget(m_calculate);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CCompressionDlg::layOutCompact() {
    auto* options = new QGridLayout(m_optionsFrame);
    options->setContentsMargins(6, 2, 6, 2);
    options->addWidget(m_eightBit, 0, 0);
    options->addWidget(m_twentyFourBit, 0, 1);
    options->addWidget(m_progressive, 1, 0, 1, 2);

    auto* compression = new QHBoxLayout(m_compressionFrame);
    compression->setContentsMargins(6, 2, 6, 2);
    compression->addWidget(m_slider, 1);
    compression->addWidget(m_value);

    auto* sizes = new QGridLayout;
    sizes->setVerticalSpacing(0);
    sizes->addWidget(m_sizeLines[0], 0, 0);
    sizes->addWidget(m_sizeLines[1], 0, 1);
    sizes->addWidget(m_sizeLines[2], 1, 0);
    sizes->addWidget(m_sizeLines[3], 1, 1);

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(4);
    grid->addWidget(m_optionsFrame, 0, 0);
    grid->addWidget(m_compressionFrame, 0, 1);
    grid->addWidget(m_finished, 0, 2, Qt::AlignVCenter);
    grid->addWidget(m_calculate, 1, 0, Qt::AlignTop);
    grid->addLayout(sizes, 1, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(pictureBand(kCompactBand), 0, Qt::AlignHCenter);
    layout->addLayout(grid);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

image::SaveOptions CCompressionDlg::choice() const {
    image::SaveOptions choice = m_options;
    choice.qualityFactor = m_slider->value();
    if (offersDepth(m_options.format)) {
        choice.bitsPerPixel = m_eightBit->isChecked() ? 8 : 24;
    }
    if (offersProgressive(m_options.format)) {
        choice.progressive = m_progressive->isChecked();
    }
    return choice;
}

QStringList CCompressionDlg::sizeTexts() const {
    QStringList texts;
    for (const QLabel* line : m_sizeLines) {
        texts << line->text();
    }
    return texts;
}

bool CCompressionDlg::sizesShown() const {
    return !m_sizeLines.first()->isHidden();
}

QImage CCompressionDlg::leftPicture() const {
    return imaging::toQImage(m_preview.original());
}

QImage CCompressionDlg::rightPicture() const {
    return imaging::toQImage(m_preview.compressed());
}

void CCompressionDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_screenWidth <= kSmallScreen) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        move(screen ? screen->geometry().topLeft() : QPoint(0, 0));
    }
}

void CCompressionDlg::valueEdited(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok && value >= kMinimumQuality && value <= kMaximumQuality) {
        m_slider->setValue(value);
    }
}

void CCompressionDlg::valueFinished() {
    bool ok = false;
    int value = m_value->text().toInt(&ok);
    if (!ok || value < kMinimumQuality || value > kMaximumQuality) {
        value = kMinimumQuality;
    }
    m_slider->setValue(value);
    m_value->setText(QString::number(value));
}

void CCompressionDlg::qualityChanged(int value) {
    const QString text = QString::number(value);
    // Leaves the field alone while it is being typed into with this value.
    if (m_value->text() != text) {
        m_value->setText(text);
    }
    updatePicture();
    if (!m_slider->isSliderDown()) {
        updateSizes();
    }
}

void CCompressionDlg::settingsChanged() {
    updatePicture();
    updateSizes();
}

void CCompressionDlg::updatePicture() {
    // A failed save or load leaves the previous picture in place.
    m_preview.update(choice());
    const QPixmap right = imaging::toPixmap(m_preview.compressed());
    m_rightPicture->setPixmap(right);
    const QSize leftSize = m_leftPicture->pixmap().size();
    const auto placement =
        image::CompressionPreview::place(m_band->width(), leftSize, right.size());
    m_leftPicture->setGeometry(QRect(placement.left, leftSize));
    m_rightPicture->setGeometry(QRect(placement.right, right.size()));
}

void CCompressionDlg::updateSizes() {
    if (m_image == nullptr || !m_calculate->isChecked()) {
        return;
    }
    const image::SaveOptions options = choice();
    qint64 newSize = 0;
    if (image::CompressionPreview::savedSize(*m_image, options, &newSize) != imaging::kSuccess) {
        return;
    }
    const auto lines = image::CompressionPreview::sizeLines(
        newSize, m_sizeOnDisk, m_image->width(), m_image->height(), options.bitsPerPixel);
    m_sizeLines[0]->setText(lines.newSize);
    m_sizeLines[1]->setText(lines.originalSize);
    m_sizeLines[2]->setText(lines.memorySize);
    m_sizeLines[3]->setText(lines.percentage);
}

void CCompressionDlg::showSizes(bool shown) {
    for (QLabel* line : m_sizeLines) {
        line->setVisible(shown);
    }
    if (shown) {
        updateSizes();
    }
}
