#include "imaging/codecs/wmf.h"

#include "imaging/codecs/tests/codectesting.h"

#include <gtest/gtest.h>

namespace {

using imaging::wmfCodec;

quint16 word(const QByteArray& data, int at) {
    return static_cast<quint16>(static_cast<uchar>(data[at]) |
                                (static_cast<uchar>(data[at + 1]) << 8));
}

TEST(WmfWriter, ImageMagickDrawsThePictureAtEachDepth) {
    QImage indexed = codectesting::testPicture(64, 48, QImage::Format_Indexed8, 100);
    QImage rgb = codectesting::testPicture(50, 30, QImage::Format_RGB888);
    for (QImage* image : {&indexed, &rgb}) {
        // At 72 dpi ImageMagick draws one pixel for each of ours.
        image->setDotsPerMeterX(2835);
        image->setDotsPerMeterY(2835);
    }
    for (const QImage& source : {indexed, rgb}) {
        const int bits = source.format() == QImage::Format_Indexed8 ? 8 : 24;
        QByteArray file;
        ASSERT_EQ(wmfCodec().encode(source, bits, &file), imaging::kSuccess);
        const QImage read = codectesting::readWithMagick(file, "WMF");
        EXPECT_EQ(
            codectesting::pixelDifference(source.convertToFormat(QImage::Format_ARGB32), read),
            QString())
            << bits;
    }
}

TEST(WmfWriter, WritesAConsistentPlaceableHeader) {
    QImage source = codectesting::testPicture(21, 13, QImage::Format_Mono);
    source.setDotsPerMeterX(3780);
    QByteArray file;
    ASSERT_EQ(wmfCodec().encode(source, 1, &file), imaging::kSuccess);
    // Key, bounds of the picture in pixels, 96 units an inch, and a checksum
    // that makes the first eleven words XOR to zero.
    EXPECT_EQ(file.left(4), QByteArray("\xD7\xCD\xC6\x9A", 4));
    EXPECT_EQ(word(file, 10), 21);
    EXPECT_EQ(word(file, 12), 13);
    EXPECT_EQ(word(file, 14), 96);
    quint16 sum = 0;
    for (int i = 0; i < 11; ++i) {
        sum ^= word(file, 2 * i);
    }
    EXPECT_EQ(sum, 0);
    // The standard header's size counts every word after the placeable one.
    const quint32 words = word(file, 22 + 6) | (static_cast<quint32>(word(file, 22 + 8)) << 16);
    EXPECT_EQ(static_cast<qint64>(words) * 2, file.size() - 22);
    // The last record is the three-word end record.
    EXPECT_EQ(file.right(6), QByteArray("\x03\0\0\0\0\0", 6));
}

TEST(WmfWriter, RefusesPicturesPastSignedSixteenBitCoordinates) {
    QByteArray file;
    EXPECT_EQ(wmfCodec().encode(QImage(40000, 1, QImage::Format_RGB888), 24, &file),
              imaging::kErrorInvalidParameter);
    EXPECT_EQ(wmfCodec().encode(QImage(), 24, &file), imaging::kErrorInvalidParameter);
}

}  // namespace
