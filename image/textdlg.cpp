#include "image/textdlg.h"

#include "imaging/errors.h"
#include "imaging/imagehandle.h"
#include "imaging/textrenderer.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <cstdlib>

namespace {

// Record heights are pixels at the text tool's 96 dots per inch; the size
// box speaks points.
constexpr double kDotsPerInch = 96.0;
constexpr int kMaximumPoints = 999;
constexpr int kFallbackPoints = 12;
constexpr QSize kPreviewSize(420, 120);
constexpr int kPreviewMargin = 4;
// Mid grey, so black text, a black shadow and a white outline all show.
constexpr QRgb kPreviewBackground = qRgb(160, 160, 160);
constexpr QSize kSwatchSize(36, 16);

int pointsForRecord(const LogFont& record) {
    if (record.height == 0) {
        const int points = toQFont(record).pointSize();
        return points > 0 ? points : kFallbackPoints;
    }
    return std::max(1,
                    static_cast<int>(std::lround(std::abs(record.height) * 72.0 / kDotsPerInch)));
}

QPixmap swatch(QRgb colour) {
    QPixmap pixmap(kSwatchSize);
    pixmap.fill(QColor::fromRgb(colour));
    return pixmap;
}

std::optional<QRgb> askColourDialog(QRgb current, const QString& title, QWidget* parent) {
    const QColor colour = QColorDialog::getColor(QColor::fromRgb(current), parent, title);
    if (!colour.isValid()) {
        return std::nullopt;
    }
    return colour.rgb();
}

}  // namespace

CTextDlg::CTextDlg(const image::TextToolSettings& settings, QWidget* parent)
    : QDialog(parent),
      m_start(settings),
      m_textColour(settings.textColour),
      m_shadowColour(settings.shadowColour),
      m_highlightColour(settings.highlightColour),
      m_chooseColour(askColourDialog) {
    setObjectName(QStringLiteral("CTextDlg"));
    setWindowTitle(QStringLiteral("Font"));
    auto* main = new QVBoxLayout(this);

    // Font, style and size side by side, as font dialogs have them.
    auto* fontRow = new QGridLayout;
    main->addLayout(fontRow);
    m_family = new QFontComboBox(this);
    m_family->setCurrentFont(toQFont(settings.font));
    m_startFamily = m_family->currentFont().family();
    m_style = new QComboBox(this);
    m_style->addItems({QStringLiteral("Regular"), QStringLiteral("Italic"), QStringLiteral("Bold"),
                       QStringLiteral("Bold Italic")});
    const bool bold = settings.font.weight >= QFont::DemiBold;
    m_startStyle =
        settings.font.italic != 0 ? (bold ? kBoldItalic : kItalic) : (bold ? kBold : kRegular);
    m_style->setCurrentIndex(m_startStyle);
    m_size = new QComboBox(this);
    m_size->setEditable(true);
    m_size->setInsertPolicy(QComboBox::NoInsert);
    m_size->setValidator(new QIntValidator(1, kMaximumPoints, m_size));
    for (int points : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72}) {
        m_size->addItem(QString::number(points));
    }
    m_startPoints = pointsForRecord(settings.font);
    m_size->setCurrentText(QString::number(m_startPoints));
    m_textColourButton = new QPushButton(this);
    m_textColourButton->setAccessibleName(QStringLiteral("Text color"));
    m_textColourButton->setIconSize(kSwatchSize);

    auto addLabelled = [this, fontRow](int column, const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        fontRow->addWidget(label, 0, column);
        fontRow->addWidget(field, 1, column);
    };
    addLabelled(0, QStringLiteral("&Font:"), m_family);
    addLabelled(1, QStringLiteral("Font st&yle:"), m_style);
    addLabelled(2, QStringLiteral("&Size:"), m_size);
    addLabelled(3, QStringLiteral("Colo&r:"), m_textColourButton);
    fontRow->setColumnStretch(0, 1);

    // The effects, each colour swatch with its "Set >>" button beside it.
    auto* effects = new QGridLayout;
    main->addLayout(effects);
    m_center = new QCheckBox(QStringLiteral("&Center Text"), this);
    m_dropShadow = new QCheckBox(QStringLiteral("&Drop Shadow"), this);
    m_outline = new QCheckBox(QStringLiteral("&Outline Text"), this);
    m_center->setChecked(settings.center != 0);
    m_dropShadow->setChecked(settings.dropShadow != 0);
    m_outline->setChecked(settings.outline != 0);
    m_shadowSwatch = new QLabel(this);
    m_highlightSwatch = new QLabel(this);
    m_shadowButton = new QPushButton(QStringLiteral("Set >>"), this);
    m_highlightButton = new QPushButton(QStringLiteral("Set >>"), this);
    m_shadowButton->setAccessibleName(QStringLiteral("Shadow color"));
    m_highlightButton->setAccessibleName(QStringLiteral("Outline color"));
    effects->addWidget(m_center, 0, 0);
    effects->addWidget(m_dropShadow, 1, 0);
    effects->addWidget(m_shadowSwatch, 1, 1);
    effects->addWidget(m_shadowButton, 1, 2);
    effects->addWidget(m_outline, 2, 0);
    effects->addWidget(m_highlightSwatch, 2, 1);
    effects->addWidget(m_highlightButton, 2, 2);
    effects->setColumnStretch(3, 1);

    auto* textLabel = new QLabel(QStringLiteral("Enter Text:"), this);
    m_text = new QPlainTextEdit(this);
    m_text->setPlainText(settings.text);
    m_text->setTabChangesFocus(true);
    m_text->setFixedHeight(m_text->fontMetrics().lineSpacing() * 4 + 12);
    textLabel->setBuddy(m_text);
    main->addWidget(textLabel);
    main->addWidget(m_text);

    auto* previewFrame = new QGroupBox(QStringLiteral("Preview"), this);
    auto* previewLayout = new QVBoxLayout(previewFrame);
    m_preview = new QLabel(previewFrame);
    m_preview->setFixedSize(kPreviewSize);
    previewLayout->addWidget(m_preview, 0, Qt::AlignCenter);
    main->addWidget(previewFrame);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    main->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    connect(m_textColourButton, &QPushButton::clicked, this,
            [this] { pickColour(&m_textColour, QStringLiteral("Text Color")); });
    connect(m_shadowButton, &QPushButton::clicked, this,
            [this] { pickColour(&m_shadowColour, QStringLiteral("Shadow Color")); });
    connect(m_highlightButton, &QPushButton::clicked, this,
            [this] { pickColour(&m_highlightColour, QStringLiteral("Outline Color")); });
    connect(m_family, &QFontComboBox::currentFontChanged, this, &CTextDlg::updatePreview);
    connect(m_style, &QComboBox::currentIndexChanged, this, &CTextDlg::updatePreview);
    connect(m_size, &QComboBox::currentTextChanged, this, &CTextDlg::updatePreview);
    for (QCheckBox* box : {m_center, m_dropShadow, m_outline}) {
        connect(box, &QCheckBox::toggled, this, &CTextDlg::updateSwatches);
    }
    connect(m_text, &QPlainTextEdit::textChanged, this, &CTextDlg::updatePreview);

    updateSwatches();
}

image::TextToolSettings CTextDlg::settings() const {
    image::TextToolSettings chosen = m_start;
    chosen.font = chosenRecord();
    chosen.textColour = m_textColour;
    chosen.shadowColour = m_shadowColour;
    chosen.highlightColour = m_highlightColour;
    chosen.text = m_text->toPlainText();
    chosen.center = m_center->isChecked() ? 1 : 0;
    chosen.dropShadow = m_dropShadow->isChecked() ? 1 : 0;
    chosen.outline = m_outline->isChecked() ? 1 : 0;
    return chosen;
}

int CTextDlg::chosenPoints() const {
    bool ok = false;
    const int points = m_size->currentText().toInt(&ok);
    return ok && points > 0 ? points : m_startPoints;
}

LogFont CTextDlg::chosenRecord() const {
    const LogFont& start = m_start.font;
    QFont font = toQFont(start);
    const QString family = m_family->currentFont().family();
    const int style = m_style->currentIndex();
    const int points = chosenPoints();
    if (family != m_startFamily) {
        font.setFamily(family);
        font.setStyleHint(QFont::AnyStyle);
        font.setFixedPitch(QFontInfo(font).fixedPitch());
    }
    font.setItalic(style == kItalic || style == kBoldItalic);
    font.setWeight(style == kBold || style == kBoldItalic ? QFont::Bold : QFont::Normal);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * kDotsPerInch / 72.0))));
    LogFont record = toLogFont(font, start);
    // Choices left alone keep the record's own values, which a QFont only
    // approximates (a face that is not installed, a light weight, a height
    // between two point sizes).
    if (family == m_startFamily) {
        record.faceName = start.faceName;
        record.pitchAndFamily = start.pitchAndFamily;
    }
    if (style == m_startStyle) {
        record.weight = start.weight;
    }
    if (points == m_startPoints) {
        record.height = start.height;
    }
    return record;
}

void CTextDlg::pickColour(QRgb* colour, const QString& title) {
    if (!m_chooseColour) {
        return;
    }
    if (const std::optional<QRgb> chosen = m_chooseColour(*colour, title, this)) {
        *colour = qRgb(qRed(*chosen), qGreen(*chosen), qBlue(*chosen));
        updateSwatches();
    }
}

void CTextDlg::updateSwatches() {
    m_textColourButton->setIcon(swatch(m_textColour));
    m_shadowSwatch->setPixmap(swatch(m_shadowColour));
    m_highlightSwatch->setPixmap(swatch(m_highlightColour));
    // A colour can be set only while its effect is on; the swatch keeps
    // showing it.
    m_shadowButton->setEnabled(m_dropShadow->isChecked());
    m_highlightButton->setEnabled(m_outline->isChecked());
    updatePreview();
}

void CTextDlg::updatePreview() {
    imaging::ImageHandle preview;
    if (imaging::createImage(&preview, kPreviewSize.width(), kPreviewSize.height(), 24) !=
        imaging::kSuccess) {
        return;
    }
    imaging::fillImage(&preview, QColor::fromRgb(kPreviewBackground));
    const image::TextToolSettings chosen = settings();
    QString text = chosen.text;
    if (text.trimmed().isEmpty()) {
        text = QStringLiteral("AaBbYyZz");
    }
    const QRect area = preview.image.rect().adjusted(kPreviewMargin, kPreviewMargin,
                                                     -kPreviewMargin, -kPreviewMargin);
    imaging::drawText3D(&preview, area, image::drawTextString(text), image::drawTextFlags(chosen),
                        kPreviewShadowOffset, kPreviewShadowOffset, chosen.textColour,
                        chosen.shadowColour, chosen.highlightColour, toQFont(chosen.font));
    m_previewImage = preview.image;
    m_preview->setPixmap(QPixmap::fromImage(m_previewImage));
}
