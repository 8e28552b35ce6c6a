#include "imaging/codecs/macpaint.h"
#include "imaging/codecs/packbits.h"

#include "imaging/codecs/tests/codectesting.h"

#include <gtest/gtest.h>

namespace {

using imaging::macpaintCodec;

const QRgb kWhite = qRgb(255, 255, 255);

// What ImageMagick makes of our file must be the picture, on white.
void expectPlacedOnWhite(const QImage& source, const QImage& read) {
    ASSERT_EQ(read.size(), QSize(576, 720));
    const QImage expected = source.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 720; ++y) {
        for (int x = 0; x < 576; ++x) {
            const QRgb want =
                x < expected.width() && y < expected.height() ? expected.pixel(x, y) : kWhite;
            if (qRgb(qRed(read.pixel(x, y)), qGreen(read.pixel(x, y)), qBlue(read.pixel(x, y))) !=
                want) {
                FAIL() << "pixel " << x << "," << y;
            }
        }
    }
}

TEST(MacPaintWriter, ImageMagickReadsASmallPictureAtTheTopLeft) {
    const QImage source = codectesting::testPicture(203, 97, QImage::Format_Mono);
    QByteArray file;
    ASSERT_EQ(macpaintCodec().encode(source, 1, &file), imaging::kSuccess);
    expectPlacedOnWhite(source, codectesting::readWithMagick(file, "MAC"));
}

TEST(MacPaintWriter, CropsALargePictureAndTakesAnyDepth) {
    const QImage source = codectesting::testPicture(700, 800, QImage::Format_RGB888);
    QByteArray file;
    ASSERT_EQ(macpaintCodec().encode(source, 1, &file), imaging::kSuccess);
    const QImage mono =
        source.copy(0, 0, 576, 720).convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    expectPlacedOnWhite(mono, codectesting::readWithMagick(file, "MAC"));
}

TEST(MacPaintWriter, PacksEachOfThe720RowsOnItsOwnBehindAMacBinaryHeader) {
    QImage black(576, 720, QImage::Format_Mono);
    black.setColorTable({qRgb(0, 0, 0), kWhite});
    black.fill(0);
    QByteArray file;
    ASSERT_EQ(macpaintCodec().encode(black, 1, &file), imaging::kSuccess);
    // MacBinary: name length and name, type and creator at 65, the data
    // fork's length at 83; the fork is padded to 128 bytes. The fork is the
    // 512-byte header and per row a run of 72 bytes of 0xFF.
    const int fork = 512 + 720 * 2;
    ASSERT_EQ(file.size(), 128 + (fork + 127) / 128 * 128);
    EXPECT_EQ(file.mid(1, 9), QByteArray("\x08Untitled"));
    EXPECT_EQ(file.mid(65, 8), QByteArray("PNTGMPNT"));
    EXPECT_EQ(file.mid(83, 4), QByteArray("\0\0\x07\xA0", 4));
    EXPECT_EQ(file.mid(128, 512), QByteArray(512, '\0'));
    for (int y = 0; y < 720; ++y) {
        ASSERT_EQ(file.mid(128 + 512 + 2 * y, 2), QByteArray("\xB9\xFF", 2)) << y;
    }
}

}  // namespace
