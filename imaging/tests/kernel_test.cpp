#include "imaging/colourreduction.h"
#include "imaging/errors.h"
#include "imaging/imagehandle.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace imaging;

namespace {

/// A 24-bit picture with smooth gradients: many colours.
ImageHandle gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y,
                           qRgb(x * 255 / std::max(1, width - 1), y * 255 / std::max(1, height - 1),
                                (x + y) * 255 / std::max(1, width + height - 2)));
        }
    }
    ImageHandle handle;
    EXPECT_EQ(handleFromQImage(image, &handle), kSuccess);
    return handle;
}

int averageGrey(const QImage& image) {
    qint64 sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            sum += qGray(image.pixel(x, y));
        }
    }
    return static_cast<int>(sum / (qint64(image.width()) * image.height()));
}

TEST(ImageHandle, NewHandlesAreOneByOneAtOneBit) {
    ImageHandle handle;
    EXPECT_FALSE(handle.isAllocated());
    initHandle(&handle);
    EXPECT_EQ(handle.width(), 1);
    EXPECT_EQ(handle.height(), 1);
    EXPECT_EQ(handle.bitsPerPixel, 1);
    freeImage(&handle);
    EXPECT_FALSE(handle.isAllocated());
}

TEST(ImageHandle, EveryDepthIsARealDepth) {
    const struct {
        int depth;
        QImage::Format format;
        int colours;
    } cases[] = {{1, QImage::Format_Mono, 2},       {4, QImage::Format_Indexed8, 16},
                 {8, QImage::Format_Indexed8, 256}, {16, QImage::Format_RGB555, 0},
                 {24, QImage::Format_RGB888, 0},    {32, QImage::Format_ARGB32, 0}};
    for (const auto& c : cases) {
        ImageHandle handle;
        ASSERT_EQ(createImage(&handle, 33, 17, c.depth), kSuccess) << c.depth;
        EXPECT_EQ(handle.bitsPerPixel, c.depth);
        EXPECT_EQ(handle.image.format(), c.format);
        EXPECT_EQ(handle.image.colorCount(), c.colours);
        EXPECT_EQ(handle.image.pixel(32, 16), qRgb(255, 255, 255)) << "new images are white";
        ASSERT_EQ(fillImage(&handle, QColor(200, 10, 10)), kSuccess);
        // Palette depths take the nearest colour they have.
        const QRgb filled = handle.image.pixel(0, 0);
        if (c.depth == 1) {
            EXPECT_EQ(filled, qRgb(0, 0, 0));
        } else if (c.depth == 4) {
            EXPECT_EQ(filled, qRgb(255, 0, 0));
        } else {
            EXPECT_LE(std::abs(qRed(filled) - 200), 28) << c.depth;
            EXPECT_LE(qGreen(filled), 28) << c.depth;
        }
    }
    ImageHandle handle;
    EXPECT_EQ(createImage(&handle, 10, 10, 12), kErrorInvalidParameter);
    EXPECT_EQ(createImage(&handle, 0, 10, 24), kErrorInvalidParameter);
    EXPECT_EQ(createImage(&handle, 100000, 100000, 24), kErrorNoMemory);
    EXPECT_EQ(createImage(&handle, 20000, 20000, 24), kErrorNoMemory);
}

TEST(ImageHandle, CopiesAreIndependentAndRectanglesChecked) {
    ImageHandle source = gradient(40, 30);
    ImageHandle copy;
    ASSERT_EQ(copyImage(&copy, source), kSuccess);
    ASSERT_EQ(fillImage(&copy, Qt::black), kSuccess);
    EXPECT_NE(source.image.pixel(39, 29), qRgb(0, 0, 0));

    ImageHandle part;
    ASSERT_EQ(copyRect(&part, source, 10, 5, 20, 10), kSuccess);
    EXPECT_EQ(part.image.size(), QSize(20, 10));
    EXPECT_EQ(part.image.pixel(0, 0), source.image.pixel(10, 5));
    EXPECT_EQ(copyRect(&part, source, 30, 5, 20, 10), kErrorInvalidParameter);
    EXPECT_EQ(copyRect(&part, source, -1, 0, 5, 5), kErrorInvalidParameter);
}

TEST(ImageHandle, ShrinkingFiltersInsteadOfPickingPixels) {
    // One-pixel black and white columns: picking pixels would give black or
    // white, a filter gives grey.
    QImage stripes(64, 64, QImage::Format_RGB888);
    for (int x = 0; x < 64; ++x) {
        for (int y = 0; y < 64; ++y) {
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    }
    ImageHandle handle;
    ASSERT_EQ(handleFromQImage(stripes, &handle), kSuccess);
    ASSERT_EQ(resizeImage(&handle, 16, 16), kSuccess);
    EXPECT_EQ(handle.bitsPerPixel, 24);
    EXPECT_NEAR(averageGrey(handle.image), 128, 16);
    for (int x = 0; x < 16; ++x) {
        EXPECT_NEAR(qGray(handle.image.pixel(x, 8)), 128, 40) << x;
    }

    // A palette image keeps its depth and palette.
    ImageHandle palette;
    ASSERT_EQ(handleFromQImage(stripes, &palette), kSuccess);
    ASSERT_EQ(changeBitsPerPixel(&palette, 1, Dither::ErrorDiffusion), kSuccess);
    ASSERT_EQ(resizeImage(&palette, 32, 20), kSuccess);
    EXPECT_EQ(palette.bitsPerPixel, 1);
    EXPECT_EQ(palette.image.size(), QSize(32, 20));
    EXPECT_NEAR(averageGrey(palette.image), 128, 30);
}

TEST(ImageHandle, ReducingColoursKeepsExactColoursAndDithersTheRest) {
    // Few colours: every pixel keeps its colour exactly.
    QImage few(30, 20, QImage::Format_RGB888);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 30; ++x) {
            few.setPixel(x, y, qRgb((x / 10) * 100, (y / 10) * 120, 7));
        }
    }
    ImageHandle handle;
    ASSERT_EQ(handleFromQImage(few, &handle), kSuccess);
    ASSERT_EQ(changeBitsPerPixel(&handle, 4, Dither::ErrorDiffusion), kSuccess);
    EXPECT_EQ(handle.bitsPerPixel, 4);
    EXPECT_LE(handle.image.colorCount(), 16);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 30; ++x) {
            ASSERT_EQ(handle.image.pixel(x, y), few.pixel(x, y)) << x << "," << y;
        }
    }

    // Many colours: a palette of the depth's size, close on average.
    for (Dither dither : {Dither::Ordered, Dither::ErrorDiffusion}) {
        ImageHandle many = gradient(128, 96);
        const int before = averageGrey(many.image);
        ASSERT_EQ(changeBitsPerPixel(&many, 8, dither), kSuccess);
        EXPECT_EQ(many.bitsPerPixel, 8);
        EXPECT_LE(many.image.colorCount(), 256);
        EXPECT_NEAR(averageGrey(many.image), before, 6);

        ImageHandle mono = gradient(128, 96);
        ASSERT_EQ(changeBitsPerPixel(&mono, 1, dither), kSuccess);
        EXPECT_EQ(mono.image.format(), QImage::Format_Mono);
        EXPECT_NEAR(averageGrey(mono.image), before, 12);
    }

    // And back up: a palette image raised to true colour shows the same.
    ImageHandle up;
    ASSERT_EQ(handleFromQImage(few, &up), kSuccess);
    ASSERT_EQ(changeBitsPerPixel(&up, 8, Dither::Ordered), kSuccess);
    ASSERT_EQ(changeBitsPerPixel(&up, 32, Dither::Ordered), kSuccess);
    EXPECT_EQ(up.image.pixel(15, 15), few.pixel(15, 15));
    ASSERT_EQ(changeBitsPerPixel(&up, 16, Dither::Ordered), kSuccess);
    EXPECT_EQ(up.image.format(), QImage::Format_RGB555);
}

TEST(ImageHandle, RotationTurnsClockwiseAndKeepsTheDepth) {
    ImageHandle handle = gradient(40, 20);
    const QRgb topLeft = handle.image.pixel(0, 0);
    ASSERT_EQ(rotateImage(&handle, 90), kSuccess);
    EXPECT_EQ(handle.image.size(), QSize(20, 40));
    EXPECT_EQ(handle.image.pixel(19, 0), topLeft);  // top-left goes to top-right
    ASSERT_EQ(rotateImage(&handle, 270), kSuccess);
    EXPECT_EQ(handle.image.pixel(0, 0), topLeft);

    ImageHandle mono;
    ASSERT_EQ(createImage(&mono, 9, 3, 1), kSuccess);
    mono.image.setPixel(0, 0, 0);  // black in the corner
    ASSERT_EQ(rotateImage(&mono, 90), kSuccess);
    EXPECT_EQ(mono.bitsPerPixel, 1);
    EXPECT_EQ(mono.image.format(), QImage::Format_Mono);
    EXPECT_EQ(mono.image.size(), QSize(3, 9));
    EXPECT_EQ(mono.image.pixel(2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(rotateImage(&mono, 45), kErrorInvalidParameter);
}

TEST(ImageHandle, CombiningDrawsAtThePositionClipped) {
    ImageHandle target;
    ASSERT_EQ(createImage(&target, 20, 20, 24), kSuccess);
    ImageHandle red;
    ASSERT_EQ(createImage(&red, 8, 8, 24), kSuccess);
    ASSERT_EQ(fillImage(&red, Qt::red), kSuccess);
    ASSERT_EQ(combineImage(&target, 16, 16, red), kSuccess);
    EXPECT_EQ(target.image.pixel(16, 16), qRgb(255, 0, 0));
    EXPECT_EQ(target.image.pixel(19, 19), qRgb(255, 0, 0));
    EXPECT_EQ(target.image.pixel(15, 15), qRgb(255, 255, 255));

    // Onto a palette image: the nearest of its colours.
    ImageHandle palette;
    ASSERT_EQ(createImage(&palette, 20, 20, 4), kSuccess);
    ASSERT_EQ(combineImage(&palette, -4, -4, red), kSuccess);
    EXPECT_EQ(palette.bitsPerPixel, 4);
    EXPECT_EQ(palette.image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(palette.image.pixel(4, 4), qRgb(255, 255, 255));

    ImageHandle mono;
    ASSERT_EQ(createImage(&mono, 20, 20, 1), kSuccess);
    ImageHandle black;
    ASSERT_EQ(createImage(&black, 3, 3, 24), kSuccess);
    ASSERT_EQ(fillImage(&black, Qt::black), kSuccess);
    ASSERT_EQ(combineImage(&mono, 5, 5, black), kSuccess);
    EXPECT_EQ(mono.image.format(), QImage::Format_Mono);
    EXPECT_EQ(mono.image.pixel(6, 6), qRgb(0, 0, 0));
    EXPECT_EQ(mono.image.pixel(8, 8), qRgb(255, 255, 255));
}

TEST(ImageHandle, TheRegionIsClippedToTheImage) {
    ImageHandle handle = gradient(50, 40);
    EXPECT_FALSE(hasRegion(handle));
    setRegion(&handle, QRect(40, 30, 30, 30));
    EXPECT_EQ(regionBounds(handle), QRect(40, 30, 10, 10));
    setRegion(&handle, QRect(5, 5, 10, 12));
    EXPECT_EQ(regionBounds(handle), QRect(5, 5, 10, 12));
    setRegion(&handle, QRect(60, 60, 5, 5));
    EXPECT_FALSE(hasRegion(handle));
    removeRegion(&handle);
    EXPECT_FALSE(hasRegion(handle));
}

TEST(ImageHandle, TheStatusCallbackCanAbortAndNothingChanges) {
    ImageHandle handle = gradient(300, 300);
    const QImage before = handle.image;
    QList<int> seen;
    setStatusCallback([&](int percent) {
        seen << percent;
        return percent >= 40 ? kErrorUserAbort : kSuccess;
    });
    EXPECT_EQ(changeBitsPerPixel(&handle, 8, Dither::ErrorDiffusion), kErrorUserAbort);
    setStatusCallback({});
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.first(), 0);
    EXPECT_GE(seen.last(), 40);
    EXPECT_LT(seen.last(), 100) << "the work stopped where it was asked to";
    EXPECT_EQ(handle.bitsPerPixel, 24);
    EXPECT_EQ(handle.image, before);

    handle = gradient(300, 300);
    setStatusCallback([](int percent) { return percent == 100 ? kErrorUserAbort : kSuccess; });
    EXPECT_EQ(resizeImage(&handle, 10, 10), kErrorUserAbort);
    setStatusCallback({});
    EXPECT_EQ(handle.image.size(), QSize(300, 300));
    EXPECT_EQ(handle.bitsPerPixel, 24);
}

TEST(ColourReduction, MedianCutFindsTheMainColours) {
    QImage image(64, 64, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, 32, 64, QColor(250, 10, 10));
    painter.fillRect(32, 0, 32, 32, QColor(10, 250, 10));
    painter.fillRect(32, 32, 32, 32, QColor(10, 10, 250));
    painter.end();
    const QList<QRgb> palette = medianCutPalette(image, 3);
    ASSERT_EQ(palette.size(), 3);
    for (QRgb wanted : {qRgb(250, 10, 10), qRgb(10, 250, 10), qRgb(10, 10, 250)}) {
        const QRgb found = palette[nearestIndex(palette, wanted)];
        EXPECT_LE(std::abs(qRed(found) - qRed(wanted)) + std::abs(qGreen(found) - qGreen(wanted)) +
                      std::abs(qBlue(found) - qBlue(wanted)),
                  12);
    }
    EXPECT_TRUE(exactColours(image, 2).isEmpty());
    EXPECT_EQ(exactColours(image, 3).size(), 3);
}

}  // namespace
