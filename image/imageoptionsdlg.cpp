#include "image/imageoptionsdlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace image {

namespace {

QList<CodeChoice> faxCodes(int first) {
    return {{QStringLiteral("Group 3, &1D"), first},
            {QStringLiteral("Group 3, &2D"), first + 1},
            {QStringLiteral("&Group 4"), first + 2}};
}

ImageOptionsLayout depthsOnly(QList<int> formats, const char* caption, QList<int> depths) {
    ImageOptionsLayout layout;
    layout.formats = std::move(formats);
    layout.caption = QString::fromLatin1(caption);
    layout.depths = std::move(depths);
    return layout;
}

ImageOptionsLayout codesOnly(QList<int> formats, const char* caption, const char* title,
                             QList<CodeChoice> codes) {
    ImageOptionsLayout layout;
    layout.formats = std::move(formats);
    layout.caption = QString::fromLatin1(caption);
    layout.codeTitle = QString::fromLatin1(title);
    layout.codes = std::move(codes);
    return layout;
}

ImageOptionsLayout withCheck(ImageOptionsLayout layout, ImageOptionsLayout::Check check,
                             const char* label, int checkedFormat = 0, int uncheckedFormat = 0) {
    layout.check = check;
    layout.checkLabel = QString::fromLatin1(label);
    layout.checkedFormat = checkedFormat;
    layout.uncheckedFormat = uncheckedFormat;
    return layout;
}

QList<ImageOptionsLayout> makeLayouts() {
    using Check = ImageOptionsLayout::Check;
    QList<ImageOptionsLayout> layouts;
    ImageOptionsLayout os2 = depthsOnly({14, 74}, "Image Options", {1, 4, 8, 24});
    os2.codeTitle = QStringLiteral("Type");
    os2.codes = {{QStringLiteral("&Type1"), 14}, {QStringLiteral("T&ype2"), 74}};
    layouts << os2;
    layouts << depthsOnly({1, 56, 75}, "Image Options", {1, 4, 8, 24});
    layouts << withCheck(depthsOnly({2}, "GIF Image Options", {1, 2, 3, 4, 5, 6, 7, 8}),
                         Check::Interlace, "&Interlaced");
    layouts << withCheck(
        depthsOnly({3, 87}, "TIF Image Options", {1, 2, 3, 4, 5, 6, 7, 8, 16, 24, 32}), Check::Code,
        "&PackBits Compression", 87, 3);
    layouts << depthsOnly({4}, "Image Options", {8, 16, 24, 32});
    layouts << withCheck(depthsOnly({6, 84}, "BMP Image Options", {1, 4, 8, 16, 24, 32}),
                         Check::Code, "&RLE Compressed", 84, 6);
    layouts << depthsOnly({15}, "Image Options", {8, 24});
    layouts << codesOnly({27, 28, 29}, "Fax Image Options", "Compression", faxCodes(27));
    layouts << depthsOnly({54}, "Word Perfect Image Options", {1, 4, 8});
    layouts << depthsOnly({55}, "Image Options", {1, 4, 8, 24, 32});
    layouts << codesOnly({69, 70}, "Winfax Image Options", "Compression",
                         {{QStringLiteral("Group &3, 1D"), 69}, {QStringLiteral("Group &4"), 70}});
    layouts << codesOnly({71, 72, 73}, "Fax Image Options", "Compression", faxCodes(71));
    layouts << codesOnly({77, 78, 79}, "Fax Image Options", "Compression", faxCodes(77));
    layouts << depthsOnly({76}, "Image Options", {1, 8, 24});
    ImageOptionsLayout flashPix =
        codesOnly({80, 81, 82, 83}, "FlashPix Image Options", "Compression",
                  {{QStringLiteral("&None"), 80},
                   {QStringLiteral("&Single Color"), 81},
                   {QStringLiteral("Jpeg &Fixed"), 82},
                   {QStringLiteral("Jpeg &Variable"), 83}});
    flashPix.depths = {8, 24};
    flashPix.quality = true;
    layouts << flashPix;
    layouts << depthsOnly({91}, "Icon Image Options", {1, 4, 8});
    layouts << codesOnly(
        {96, 97}, "EXIF Image Options", "Format",
        {{QStringLiteral("Uncompressed &RGB"), 96}, {QStringLiteral("Uncompressed &YCC"), 97}});
    return layouts;
}

/// The listed depth nearest below the current one, else the smallest.
int startingDepth(const QList<int>& depths, int current) {
    int best = depths.first();
    for (int depth : depths) {
        if (depth <= current) {
            best = depth;
        }
    }
    return best;
}

}  // namespace

const QList<ImageOptionsLayout>& imageOptionsLayouts() {
    static const QList<ImageOptionsLayout> layouts = makeLayouts();
    return layouts;
}

const ImageOptionsLayout* imageOptionsLayout(int format) {
    for (const ImageOptionsLayout& layout : imageOptionsLayouts()) {
        if (layout.formats.contains(format)) {
            return &layout;
        }
    }
    return nullptr;
}

QString depthLabel(int depth, QString* taken) {
    QString label = QString::number(depth);
    qsizetype at = 0;
    while (at < label.size() && taken->contains(label[at])) {
        ++at;
    }
    // Every digit taken: the first one is shared, Qt cycles between them.
    if (at == label.size()) {
        at = 0;
    }
    *taken += label[at];
    return label.insert(at, QLatin1Char('&'));
}

}  // namespace image

CImageOptionsDlg::CImageOptionsDlg(const image::ImageOptionsLayout& layout,
                                   const image::SaveOptions& current, QWidget* parent)
    : QDialog(parent), m_layout(layout), m_current(current) {
    setObjectName(QStringLiteral("CImageOptionsDlg"));
    setWindowTitle(layout.caption);
    auto* main = new QVBoxLayout(this);
    auto* frames = new QHBoxLayout;
    main->addLayout(frames);

    if (!layout.depths.isEmpty()) {
        auto* frame = new QGroupBox(QStringLiteral("Bits Per Pixel"), this);
        // Long depth lists go in two columns so the dialog stays low.
        auto* columns = new QHBoxLayout(frame);
        const int perColumn = layout.depths.size() > 6 ? (layout.depths.size() + 1) / 2 : 6;
        QVBoxLayout* column = nullptr;
        QString taken;
        const int start = image::startingDepth(layout.depths, current.bitsPerPixel);
        for (qsizetype i = 0; i < layout.depths.size(); ++i) {
            if (i % perColumn == 0) {
                column = new QVBoxLayout;
                columns->addLayout(column);
            }
            const int depth = layout.depths[i];
            auto* button = new QRadioButton(image::depthLabel(depth, &taken), frame);
            button->setChecked(depth == start);
            column->addWidget(button);
            m_depthButtons << button;
        }
        if (column != nullptr && layout.depths.size() % perColumn != 0) {
            column->addStretch();
        }
        frames->addWidget(frame);
    }

    if (!layout.codes.isEmpty()) {
        auto* frame = new QGroupBox(layout.codeTitle, this);
        auto* codes = new QVBoxLayout(frame);
        bool any = false;
        for (const image::CodeChoice& code : layout.codes) {
            auto* button = new QRadioButton(code.label, frame);
            button->setChecked(code.format == current.format);
            any = any || button->isChecked();
            codes->addWidget(button);
            m_codeButtons << button;
        }
        if (!any) {
            m_codeButtons.first()->setChecked(true);
        }
        codes->addStretch();
        frames->addWidget(frame);
    }

    if (layout.check != image::ImageOptionsLayout::Check::None) {
        m_check = new QCheckBox(layout.checkLabel, this);
        m_check->setChecked(layout.check == image::ImageOptionsLayout::Check::Interlace
                                ? current.interlaced
                                : current.format == layout.checkedFormat);
        main->addWidget(m_check);
    }

    if (layout.quality) {
        auto* frame = new QGroupBox(QStringLiteral("Quality Factor"), this);
        auto* row = new QHBoxLayout(frame);
        m_quality = new QSlider(Qt::Horizontal, frame);
        m_quality->setRange(2, 255);
        m_quality->setPageStep(10);
        m_quality->setTickInterval(24);
        m_quality->setTickPosition(QSlider::TicksBelow);
        m_quality->setValue(current.qualityFactor);
        auto* value = new QLabel(QString::number(m_quality->value()), frame);
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        connect(m_quality, &QSlider::valueChanged, value,
                [value](int quality) { value->setText(QString::number(quality)); });
        row->addWidget(m_quality, 1);
        row->addWidget(value);
        main->addWidget(frame);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    main->addWidget(buttons);
    // Wide enough for the caption beside the title bar's buttons.
    main->addStrut(fontMetrics().horizontalAdvance(layout.caption) + 160);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

image::SaveOptions CImageOptionsDlg::choice() const {
    image::SaveOptions choice = m_current;
    for (qsizetype i = 0; i < m_depthButtons.size(); ++i) {
        if (m_depthButtons[i]->isChecked()) {
            choice.bitsPerPixel = m_layout.depths[i];
        }
    }
    for (qsizetype i = 0; i < m_codeButtons.size(); ++i) {
        if (m_codeButtons[i]->isChecked()) {
            choice.format = m_layout.codes[i].format;
        }
    }
    if (m_check != nullptr) {
        if (m_layout.check == image::ImageOptionsLayout::Check::Interlace) {
            choice.interlaced = m_check->isChecked();
        } else {
            choice.format =
                m_check->isChecked() ? m_layout.checkedFormat : m_layout.uncheckedFormat;
        }
    }
    if (m_quality != nullptr) {
        choice.qualityFactor = m_quality->value();
    }
    return choice;
}

QAbstractButton* CImageOptionsDlg::button(const QString& text) const {
    for (QAbstractButton* candidate : findChildren<QAbstractButton*>()) {
        if (candidate->text() == text) {
            return candidate;
        }
    }
    return nullptr;
}
