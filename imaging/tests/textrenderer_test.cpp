#include "imaging/textrenderer.h"
#include "imaging/errors.h"
#include "imaging/imagehandle.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace imaging;

namespace {

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kGreen = qRgb(0, 255, 0);

QFont testFont(int pixels = 24) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

ImageHandle whiteImage(int depth, int width = 240, int height = 120) {
    ImageHandle handle;
    EXPECT_EQ(createImage(&handle, width, height, depth), kSuccess);
    EXPECT_EQ(fillImage(&handle, QColor::fromRgb(kWhite)), kSuccess);
    return handle;
}

int draw(ImageHandle* handle, const QRect& rect, const QString& text, int flags,
         QPoint offset = {2, 2}, QRgb text_ = kRed, QRgb shadow = kBlue, QRgb highlight = kGreen,
         const QFont& font = testFont()) {
    return drawText3D(handle, rect, text, flags, offset.x(), offset.y(), text_, shadow, highlight,
                      font);
}

/// The bounds of every pixel that is not the background.
QRect inkBox(const QImage& image, QRgb background = kWhite) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

int countColour(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

bool nearColour(const QImage& image, QPoint at, QRgb colour, int distance) {
    for (int dy = -distance; dy <= distance; ++dy) {
        for (int dx = -distance; dx <= distance; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (image.rect().contains(p) && image.pixel(p) == colour) {
                return true;
            }
        }
    }
    return false;
}

TEST(DrawText3D, InkStaysInsideTheRectangleAndImagesKeepTheirDepth) {
    const QRect rect(30, 20, 120, 60);
    for (int depth : {1, 4, 8, 16, 24, 32}) {
        ImageHandle handle = whiteImage(depth);
        const QImage::Format format = handle.image.format();
        const QList<QRgb> palette = handle.image.colorTable();
        // Long lines run past the rectangle on purpose: clipped, not spilled.
        ASSERT_EQ(draw(&handle, rect, QStringLiteral("Clipped text\nsecond line\nthird line"),
                       kTextPlain | kTextDropShadow, {5, 5}, qRgb(0, 0, 0)),
                  kSuccess);
        EXPECT_EQ(handle.bitsPerPixel, depth);
        EXPECT_EQ(handle.image.format(), format) << depth;
        EXPECT_EQ(handle.image.colorTable(), palette) << depth;
        const QImage pixels = handle.image.convertToFormat(QImage::Format_RGB32);
        const QRect ink = inkBox(pixels, pixels.pixel(0, 0));
        EXPECT_FALSE(ink.isEmpty()) << depth;
        EXPECT_TRUE(rect.contains(ink)) << depth;
        // Solid strokes of a bold face take the text colour itself.
        EXPECT_GT(countColour(pixels, qRgb(0, 0, 0)), 20) << depth;
    }

    // A colour the palette lacks is drawn as its nearest entry.
    ImageHandle palette = whiteImage(8);
    ASSERT_EQ(draw(&palette, rect, QStringLiteral("Near"), kTextPlain, {}, qRgb(250, 8, 4)),
              kSuccess);
    EXPECT_GT(countColour(palette.image, kRed), 20);

    ImageHandle none;
    EXPECT_EQ(draw(&none, rect, QStringLiteral("x"), kTextPlain), kErrorInvalidParameter);
    const QImage before = palette.image;
    EXPECT_EQ(draw(&palette, QRect(500, 500, 50, 50), QStringLiteral("x"), kTextPlain), kSuccess);
    EXPECT_EQ(palette.image, before);
}

TEST(DrawText3D, DropShadowIsTheTextOffsetByTheGivenAmount) {
    const QRect rect(40, 30, 160, 60);
    const QString text = QStringLiteral("Shade");
    ImageHandle plain = whiteImage(24);
    // Centred, so shadows to the left are not clipped away.
    ASSERT_EQ(draw(&plain, rect, text, kTextPlain | kTextCentred), kSuccess);
    const QRect plainInk = inkBox(plain.image);

    for (QPoint offset : {QPoint(2, 2), QPoint(-3, 1), QPoint(4, 0)}) {
        ImageHandle shaded = whiteImage(24);
        ASSERT_EQ(draw(&shaded, rect, text, kTextPlain | kTextDropShadow | kTextCentred, offset),
                  kSuccess);
        EXPECT_EQ(inkBox(shaded.image), plainInk | plainInk.translated(offset))
            << offset.x() << "," << offset.y();
        EXPECT_GT(countColour(shaded.image, kBlue), 10);
        // The text lies on top: none of its solid pixels is covered.
        EXPECT_EQ(countColour(shaded.image, kRed), countColour(plain.image, kRed));
    }
}

TEST(DrawText3D, OutlineRingsTheGlyphsInTheHighlightColour) {
    const QRect rect(20, 20, 200, 80);
    const QString text = QStringLiteral("Ring");
    ImageHandle plain = whiteImage(24);
    ASSERT_EQ(draw(&plain, rect, text, kTextPlain), kSuccess);

    ImageHandle outlined = whiteImage(24);
    ASSERT_EQ(draw(&outlined, rect, text, kTextPlain | kTextOutline), kSuccess);
    EXPECT_GT(countColour(outlined.image, kGreen), 20);
    EXPECT_EQ(countColour(outlined.image, kBlue), 0);  // no shadow with the outline
    // Every outline pixel lies next to the glyphs, within the pen's reach.
    for (int y = 0; y < outlined.height(); ++y) {
        for (int x = 0; x < outlined.width(); ++x) {
            if (outlined.image.pixel(x, y) == kGreen) {
                ASSERT_TRUE(nearColour(plain.image, {x, y}, kRed, 2)) << x << "," << y;
            }
        }
    }
    const QRect plainInk = inkBox(plain.image);
    const QRect outlinedInk = inkBox(outlined.image);
    EXPECT_TRUE(outlinedInk.contains(plainInk));
    EXPECT_LE(outlinedInk.width(), plainInk.width() + 4);

    // The flags of both effects together are the outline's.
    ImageHandle both = whiteImage(24);
    ASSERT_EQ(draw(&both, rect, text, kTextPlain | kTextDropShadow | kTextOutline), kSuccess);
    EXPECT_EQ(both.image, outlined.image);
}

TEST(DrawText3D, CentredLinesAreBalancedAndPlainLinesStartAtTheLeft) {
    const QRect rect(10, 10, 220, 100);
    const int spacing = QFontMetrics(testFont()).lineSpacing();
    for (int flags : {kTextPlain, kTextPlain | kTextCentred}) {
        ImageHandle handle = whiteImage(24);
        ASSERT_EQ(draw(&handle, rect, QStringLiteral("Wide line\nI"), flags), kSuccess);
        for (int line : {0, 1}) {
            const int top = rect.top() + line * spacing;
            const QRect ink = inkBox(handle.image.copy(0, top, handle.width(), spacing));
            ASSERT_FALSE(ink.isEmpty()) << flags << line;
            const int left = ink.left() - rect.left();
            const int right = rect.right() - ink.right();
            EXPECT_LE(flags & kTextCentred ? std::abs(left - right) : left, 4) << flags << line;
        }
    }
}

TEST(DrawText3D, DoubledAmpersandsDrawOneAmpersand) {
    const auto render = [](const QString& text) {
        ImageHandle handle = whiteImage(24);
        EXPECT_EQ(draw(&handle, QRect(10, 10, 200, 60), text, kTextPlain), kSuccess);
        return handle.image;
    };
    EXPECT_EQ(render(QStringLiteral("R&&D")), render(QStringLiteral("R&D")));
    EXPECT_NE(render(QStringLiteral("&&&&")), render(QStringLiteral("&")));
    EXPECT_EQ(textBlockSize(QStringLiteral("R&&D"), testFont()),
              textBlockSize(QStringLiteral("R&D"), testFont()));
}

TEST(DrawText3D, TheBlockSizeHoldsWhatIsDrawn) {
    const QFont font = testFont(20);
    const QFontMetrics metrics(font);
    const QString text = QStringLiteral("short\na much longer line\nmid line");
    const QSize size = textBlockSize(text, font);
    EXPECT_EQ(size.height(), 3 * metrics.lineSpacing());
    EXPECT_EQ(size.width(), metrics.horizontalAdvance(QStringLiteral("a much longer line")));
    EXPECT_EQ(textBlockSize(QString(), font), QSize());

    // Drawn in a large rectangle, the ink stays within the block the view
    // makes from that size.
    ImageHandle handle = whiteImage(24, 400, 160);
    const QPoint origin(12, 8);
    ASSERT_EQ(draw(&handle, QRect(origin, QSize(380, 150)), text, kTextPlain, {}, kRed, kBlue,
                   kGreen, font),
              kSuccess);
    EXPECT_TRUE(QRect(origin, size + QSize(4, 4)).contains(inkBox(handle.image)));
}

TEST(DrawText3D, PointSizesDoNotGrowWithThePicturesResolution) {
    QFont points(QStringLiteral("DejaVu Sans"));
    points.setPointSize(18);
    QFont pixels = points;
    pixels.setPixelSize(24);  // 18 points at the text tool's 96 dots per inch
    ImageHandle reference = whiteImage(24);
    ImageHandle fine = whiteImage(24);
    fine.image.setDotsPerMeterX(11811);  // 300 dots per inch
    fine.image.setDotsPerMeterY(11811);
    const QString text = QStringLiteral("Size");
    ASSERT_EQ(draw(&reference, {0, 0, 240, 120}, text, kTextPlain, {}, kRed, kBlue, kGreen, pixels),
              kSuccess);
    ASSERT_EQ(draw(&fine, {0, 0, 240, 120}, text, kTextPlain, {}, kRed, kBlue, kGreen, points),
              kSuccess);
    EXPECT_EQ(inkBox(fine.image), inkBox(reference.image));
    EXPECT_EQ(textBlockSize(text, points), textBlockSize(text, pixels));
}

}  // namespace
