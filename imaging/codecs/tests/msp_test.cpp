#include "imaging/codecs/msp.h"

#include "imaging/codecs/tests/codectesting.h"

#include <gtest/gtest.h>

namespace {

using codectesting::Bytes;
using imaging::mspCodec;

// The 32-byte header: two key words, width, height, bitmap and printer
// aspect (four words), printer width and height, aspect correction (two
// words), the checksum that makes the first 13 words XOR to zero, and three
// reserved words.
Bytes mspHeader(int key1, int key2, int width, int height, int checksumDelta = 0) {
    const int words[12] = {key1, key2, width, height, 1, 1, 1, 1, width, height, 0, 0};
    int checksum = checksumDelta;
    Bytes header;
    for (int word : words) {
        header.u16le(word);
        checksum ^= word;
    }
    return header.u16le(checksum).zeros(6);
}

QImage decoded(const QByteArray& file) {
    return codectesting::decodeOrFail(mspCodec(), file).image;
}

bool white(const QImage& image, int x, int y) {
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

TEST(MspReader, ReadsAHandBuiltVersion1File) {
    // 10 by 2, uncompressed rows of two bytes; bit 1 is white.
    const QByteArray file = mspHeader(0x6144, 0x4D6E, 10, 2)  // "DanM"
                                .u8s({0x0F, 0xFF})            // four black, six white
                                .u8s({0xAA, 0x80})            // white and black by turns
                                .data();
    ASSERT_TRUE(mspCodec().probe(file));
    imaging::OwnCodecInfo info;
    ASSERT_EQ(mspCodec().readInfo(file, &info), imaging::kSuccess);
    EXPECT_EQ(info.width, 10);
    EXPECT_EQ(info.height, 2);
    EXPECT_EQ(info.bitsPerPixel, 1);
    EXPECT_EQ(info.compression, QStringLiteral("None"));

    const QImage image = decoded(file);
    ASSERT_EQ(image.format(), QImage::Format_Mono);
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(white(image, x, 0), x >= 4) << x;
        EXPECT_EQ(white(image, x, 1), x % 2 == 0) << x;
    }
}

TEST(MspReader, ReadsAHandBuiltVersion2FileWithEveryKindOfRow) {
    // 16 by 3: the scan-line map (one word per row), then the rows. A zero
    // type byte is a run (count, value); any other counts literal bytes; an
    // empty row is white.
    const QByteArray file = mspHeader(0x694C, 0x536E, 16, 3)  // "LinS"
                                .u16le(3)
                                .u16le(3)
                                .u16le(0)
                                .u8s({0x00, 0x02, 0x00})  // run: two black bytes
                                .u8s({0x02, 0xF0, 0x0F})  // two literal bytes
                                .data();
    imaging::OwnCodecInfo info;
    ASSERT_EQ(mspCodec().readInfo(file, &info), imaging::kSuccess);
    EXPECT_EQ(info.compression, QStringLiteral("RLE"));
    const QImage image = decoded(file);
    ASSERT_EQ(image.size(), QSize(16, 3));
    for (int x = 0; x < 16; ++x) {
        EXPECT_FALSE(white(image, x, 0)) << x;
        EXPECT_EQ(white(image, x, 1), x < 4 || x >= 12) << x;
        EXPECT_TRUE(white(image, x, 2)) << x;
    }
}

TEST(MspWriter, RoundTripsEveryWidthClassThroughTheReader) {
    for (const QSize size :
         {QSize(1, 1), QSize(7, 3), QSize(8, 8), QSize(9, 5), QSize(300, 40), QSize(2100, 3)}) {
        const QImage source =
            codectesting::testPicture(size.width(), size.height(), QImage::Format_Mono);
        QByteArray file;
        ASSERT_EQ(mspCodec().encode(source, 1, &file), imaging::kSuccess);
        EXPECT_EQ(file.left(4), QByteArray("LinS"));
        EXPECT_EQ(codectesting::pixelDifference(source.convertToFormat(QImage::Format_RGB32),
                                                decoded(file)),
                  QString())
            << size.width() << "x" << size.height();
    }
}

TEST(MspWriter, KeepsBlackAndWhiteWhateverTheColourTableOrder) {
    QImage source(20, 2, QImage::Format_Mono);
    source.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});  // Qt's order: 1 is black
    source.fill(0);
    source.setPixel(3, 1, 1);
    QByteArray file;
    ASSERT_EQ(mspCodec().encode(source, 1, &file), imaging::kSuccess);
    const QImage image = decoded(file);
    EXPECT_FALSE(white(image, 3, 1));
    EXPECT_TRUE(white(image, 4, 1));
    EXPECT_TRUE(white(image, 19, 0));
}

TEST(MspReader, RefusesDamagedFiles) {
    QByteArray valid;
    ASSERT_EQ(mspCodec().encode(codectesting::testPicture(37, 9, QImage::Format_Mono), 1, &valid),
              imaging::kSuccess);
    EXPECT_EQ(codectesting::firstAcceptedTruncation(mspCodec(), valid), QString());
    const QByteArray version1 = mspHeader(0x6144, 0x4D6E, 16, 2).zeros(4).data();
    EXPECT_EQ(codectesting::firstAcceptedTruncation(mspCodec(), version1), QString());

    imaging::OwnDecoded out;
    imaging::OwnCodecInfo info;
    const QByteArray badChecksum = mspHeader(0x6144, 0x4D6E, 16, 2, 1).zeros(4).data();
    EXPECT_EQ(mspCodec().decode(badChecksum, &out), imaging::kErrorCrc);

    const QByteArray huge = mspHeader(0x694C, 0x536E, 65535, 65535).data();
    EXPECT_EQ(mspCodec().readInfo(huge, &info), imaging::kErrorNoMemory);
    EXPECT_EQ(mspCodec().decode(huge, &out), imaging::kErrorNoMemory);

    const QByteArray empty = mspHeader(0x6144, 0x4D6E, 0, 5).data();
    EXPECT_EQ(mspCodec().decode(empty, &out), imaging::kErrorInvalidFormat);

    // A map entry that claims more bytes than the file has.
    const QByteArray longRow =
        mspHeader(0x694C, 0x536E, 8, 1).u16le(60000).u8s({0x01, 0x00}).data();
    EXPECT_EQ(mspCodec().decode(longRow, &out), imaging::kErrorInvalidFormat);

    // Runs and literals that overrun their row, inside the file, are cut.
    const QByteArray overrun = mspHeader(0x694C, 0x536E, 8, 2)
                                   .u16le(3)
                                   .u16le(2)
                                   .u8s({0x00, 0xFF, 0x00, 0x05, 0x00})
                                   .data();
    ASSERT_EQ(mspCodec().decode(overrun, &out), imaging::kSuccess);
    EXPECT_FALSE(white(out.image, 0, 1));
    EXPECT_FALSE(white(out.image, 0, 0));
}

}  // namespace
