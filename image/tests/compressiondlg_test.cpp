#include "image/compressiondlg.h"
#include "image/compressionpreview.h"
#include "imaging/fileinfo.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>

#include <gtest/gtest.h>

namespace {

using image::CompressionPreview;

/// A picture with fine detail, where a coarse JPEG shows.
imaging::ImageHandle detailedImage(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.setPixel(x, y, qRgb((x * 7) % 256, (y * 5 + x) % 256, ((x ^ y) * 13) % 256));
        }
    }
    imaging::ImageHandle handle;
    imaging::handleFromQImage(picture, &handle);
    return handle;
}

/// Pictures of the same size; the mean difference of their channels.
double meanDifference(const QImage& a, const QImage& b) {
    const QImage left = a.convertToFormat(QImage::Format_RGB888);
    const QImage right = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int y = 0; y < left.height(); ++y) {
        for (int i = 0; i < left.width() * 3; ++i) {
            sum += std::abs(left.constScanLine(y)[i] - right.constScanLine(y)[i]);
        }
    }
    return sum / (3.0 * left.width() * left.height());
}

CCompressionDlg::Setup jpegSetup(const imaging::ImageHandle* image, int screenWidth = 1280) {
    CCompressionDlg::Setup setup;
    setup.image = image;
    setup.options.format = 10;
    setup.screenWidth = screenWidth;
    return setup;
}

TEST(CompressionPreview, LargePicturesShrinkToFitAndSitCentredSideBySide) {
    const struct {
        QSize image;
        QSize preview;
    } rows[] = {
        {{1000, 600}, {290, 174}}, {{600, 1000}, {180, 300}}, {{290, 300}, {290, 300}},
        {{100, 50}, {100, 50}},    {{291, 100}, {290, 99}},   {{200, 301}, {199, 300}},
        {{5000, 1}, {290, 1}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CompressionPreview::previewSize(row.image), row.preview) << row.image.width();
    }
    const auto placed = CompressionPreview::place(610, QSize(290, 174), QSize(100, 300));
    EXPECT_EQ(placed.left, QPoint(100, 5 + 63));
    EXPECT_EQ(placed.right, QPoint(100 + 290 + 20, 5));
}

TEST(CompressionPreview, SizeLinesReadAsTheProgramWritesThem) {
    auto lines = CompressionPreview::sizeLines(5000, 12000, 100, 50, 24);
    EXPECT_EQ(lines.newSize, QStringLiteral("New Size On Disk: 5000"));
    EXPECT_EQ(lines.originalSize, QStringLiteral("Original Size On Disk: 12000"));
    EXPECT_EQ(lines.memorySize, QStringLiteral("Size In Memory: 15000"));
    EXPECT_EQ(lines.percentage, QStringLiteral("41% Of Orignal Size"));

    lines = CompressionPreview::sizeLines(24000, 12000, 100, 50, 8);
    EXPECT_EQ(lines.memorySize, QStringLiteral("Size In Memory: 5000"));
    EXPECT_EQ(lines.percentage, QStringLiteral("200% Of Orignal Size"));
    EXPECT_EQ(CompressionPreview::sizeLines(119, 12000, 1, 1, 24).percentage,
              QStringLiteral(">1% Of Orignal Size"));
    EXPECT_EQ(CompressionPreview::sizeLines(120, 12000, 1, 1, 24).percentage,
              QStringLiteral("1% Of Orignal Size"));
    lines = CompressionPreview::sizeLines(700, 0, 1, 1, 24);
    EXPECT_EQ(lines.percentage, QStringLiteral("  "));
    EXPECT_EQ(lines.originalSize, QStringLiteral("Original Size On Disk: 0"));
}

TEST(CompressionPreview, ProgressiveSavesPutTheFileOptionsBack) {
    const imaging::ImageHandle image = detailedImage(64, 64);
    imaging::FileOptions options = imaging::defaultFileOptions();
    options.passes = 3;
    imaging::setDefaultFileOptions(options);
    image::SaveOptions save;
    save.format = 10;
    save.progressive = true;
    QByteArray progressive;
    ASSERT_EQ(CompressionPreview::saveToMemory(image, save, &progressive), 1);
    EXPECT_EQ(imaging::defaultFileOptions(), options);
    // A progressive JPEG has a start-of-frame marker 0xFFC2.
    EXPECT_TRUE(progressive.contains(QByteArray("\xFF\xC2", 2)));
    imaging::setDefaultFileOptions({});
}

TEST(CompressionDlg, RightPictureShowsTheQualityFactor) {
    const imaging::ImageHandle image = detailedImage(1000, 600);
    CCompressionDlg dialog(jpegSetup(&image));
    EXPECT_EQ(dialog.leftPicture().size(), QSize(290, 174));
    EXPECT_EQ(dialog.rightPicture().size(), QSize(290, 174));

    dialog.slider()->setValue(255);
    EXPECT_EQ(dialog.valueField()->text(), QStringLiteral("255"));
    const double coarse = meanDifference(dialog.leftPicture(), dialog.rightPicture());
    dialog.slider()->setValue(2);
    const double fine = meanDifference(dialog.leftPicture(), dialog.rightPicture());
    EXPECT_GT(coarse, 8.0);
    EXPECT_LT(fine, 2.0);
    EXPECT_EQ(dialog.choice().qualityFactor, 2);
}

TEST(CompressionDlg, ValueFieldMovesTheSliderAndOutOfRangeBecomesTwo) {
    CCompressionDlg dialog(jpegSetup(nullptr));
    EXPECT_EQ(dialog.valueField()->text(), QStringLiteral("20"));

    dialog.valueField()->setText(QStringLiteral("150"));
    Q_EMIT dialog.valueField()->textEdited(QStringLiteral("150"));
    EXPECT_EQ(dialog.slider()->value(), 150);
    dialog.valueField()->setText(QStringLiteral("300"));
    Q_EMIT dialog.valueField()->editingFinished();
    EXPECT_EQ(dialog.slider()->value(), 2);
    EXPECT_EQ(dialog.valueField()->text(), QStringLiteral("2"));
}

TEST(CompressionDlg, EachFormatShowsItsChoices) {
    const imaging::ImageHandle image = detailedImage(40, 30);
    const struct {
        int format;
        bool progressive;
        bool options;
    } rows[] = {{10, true, true}, {20, true, true}, {11, false, true}, {98, false, false}};
    for (const auto& row : rows) {
        CCompressionDlg::Setup setup = jpegSetup(&image);
        setup.options.format = row.format;
        setup.options.progressive = true;
        CCompressionDlg dialog(setup);
        EXPECT_EQ(!dialog.progressive()->isHidden(), row.progressive) << row.format;
        EXPECT_EQ(!dialog.optionsFrame()->isHidden(), row.options) << row.format;
        EXPECT_FALSE(dialog.calculate()->isHidden());
        dialog.progressive()->setChecked(false);
        dialog.eightBit()->setChecked(true);
        // What the dialog does not offer stays as it came.
        EXPECT_EQ(dialog.choice().progressive, !row.progressive) << row.format;
        EXPECT_EQ(dialog.choice().bitsPerPixel, row.options ? 8 : 24) << row.format;
    }
    CCompressionDlg sample(jpegSetup(nullptr));
    EXPECT_TRUE(sample.calculate()->isHidden());
    EXPECT_FALSE(sample.leftPicture().isNull());
}

TEST(CompressionDlg, ScreenWidthPicksTheLayout) {
    EXPECT_TRUE(CCompressionDlg(jpegSetup(nullptr, 900)).isWide());
    EXPECT_FALSE(CCompressionDlg(jpegSetup(nullptr, 899)).isWide());
    CCompressionDlg small(jpegSetup(nullptr, 640));
    small.move(200, 150);
    small.show();
    EXPECT_EQ(small.pos(), QGuiApplication::primaryScreen()->geometry().topLeft());
}

TEST(CompressionDlg, SizeLinesFollowTheSettingsWhenAsked) {
    const imaging::ImageHandle image = detailedImage(120, 80);
    CCompressionDlg::Setup setup = jpegSetup(&image);
    CCompressionDlg never(setup);
    EXPECT_FALSE(never.sizesShown());
    never.calculate()->setChecked(true);
    EXPECT_TRUE(never.sizesShown());
    const QStringList lines = never.sizeTexts();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("New Size On Disk: ")));
    EXPECT_EQ(lines[1], QStringLiteral("Original Size On Disk: 0"));
    EXPECT_EQ(lines[2], QStringLiteral("Size In Memory: 28800"));
    EXPECT_EQ(lines[3], QStringLiteral("  "));

    // Every change measures again.
    const QString atTwenty = never.sizeTexts()[0];
    never.slider()->setValue(200);
    EXPECT_NE(never.sizeTexts()[0], atTwenty);
    never.calculate()->setChecked(false);
    EXPECT_FALSE(never.sizesShown());
}

}  // namespace
