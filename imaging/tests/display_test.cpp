#include "imaging/display.h"
#include "imaging/errors.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>

#include <gtest/gtest.h>

using namespace imaging;

namespace {

TEST(Display, ClipboardCarriesPicturesBothWays) {
    ImageHandle picture;
    ASSERT_EQ(createImage(&picture, 12, 8, 24), kSuccess);
    ASSERT_EQ(fillImage(&picture, QColor(0, 128, 255)), kSuccess);
    ASSERT_EQ(copyToClipboard(picture), kSuccess);
    EXPECT_TRUE(clipboardHasImage());
    ImageHandle pasted;
    ASSERT_EQ(pasteFromClipboard(&pasted), kSuccess);
    EXPECT_EQ(pasted.image.size(), QSize(12, 8));
    EXPECT_EQ(pasted.image.pixel(5, 5), qRgb(0, 128, 255));

    QGuiApplication::clipboard()->setText(QStringLiteral("words"));
    EXPECT_FALSE(clipboardHasImage());
    EXPECT_EQ(pasteFromClipboard(&pasted), kErrorInvalidParameter);
    EXPECT_EQ(pasted.image.size(), QSize(12, 8));
}

TEST(Display, PaintingHonoursTheRasterOperation) {
    ImageHandle picture;
    ASSERT_EQ(createImage(&picture, 4, 4, 24), kSuccess);
    ASSERT_EQ(fillImage(&picture, QColor(255, 0, 0)), kSuccess);
    QImage canvas(4, 4, QImage::Format_RGB32);
    canvas.fill(qRgb(255, 255, 0));
    QPainter painter(&canvas);
    paintImage(&painter, picture, QRectF(0, 0, 2, 4), QRectF(0, 0, 2, 4), RasterOp::Xor);
    paintImage(&painter, picture, QRectF(2, 0, 2, 4), QRectF(0, 0, 2, 4), RasterOp::Copy);
    painter.end();
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(canvas.pixel(3, 3), qRgb(255, 0, 0));
}

TEST(Display, ModeFlagsAndPalettes) {
    setDisplayMode(kDisplayOrderedDither | kDisplayFixedPalette, kDisplayOrderedDither);
    EXPECT_EQ(displayMode(), kDisplayOrderedDither);
    ImageHandle grey;
    ASSERT_EQ(createImage(&grey, 4, 4, 4), kSuccess);
    EXPECT_EQ(displayPalette(grey), grey.image.colorTable());
    setDisplayMode(kDisplayFixedPalette, kDisplayFixedPalette);
    EXPECT_EQ(displayMode(), kDisplayOrderedDither | kDisplayFixedPalette);
    EXPECT_EQ(displayPalette(grey).size(), 256);
    setDisplayMode(~0, 0);
    EXPECT_EQ(displayMode(), 0);

    // Conversions keep the pixels.
    EXPECT_EQ(toQImage(grey).size(), QSize(4, 4));
    EXPECT_EQ(toPixmap(grey).size(), QSize(4, 4));
}

}  // namespace
