#include "imaging/codecs/gemimg.h"

#include "imaging/codecs/tests/codectesting.h"

#include <gtest/gtest.h>

namespace {

using codectesting::Bytes;
using imaging::gemimgCodec;

// Header words, big-endian: version, header length in words, planes,
// pattern length, pixel width and height in microns, width, height.
Bytes gemHeader(int headerWords, int planes, int patternLength, int width, int height) {
    return Bytes()
        .u16be(1)
        .u16be(headerWords)
        .u16be(planes)
        .u16be(patternLength)
        .u16be(85)
        .u16be(85)
        .u16be(width)
        .u16be(height);
}

TEST(GemReader, ReadsAHandBuiltMonochromeFileWithEveryCode) {
    // 24 by 4, lines of 3 bytes, bit 1 black.
    const QByteArray file = gemHeader(8, 1, 2, 24, 4)
                                .u8s({0x00, 0x00, 0xFF, 0x02})        // next line twice
                                .u8s({0x83})                          // solid: 3 black bytes
                                .u8s({0x80, 0x03, 0x0F, 0xF0, 0xAA})  // bit string
                                .u8s({0x00, 0x01, 0xC3, 0x3C})        // pattern once
                                .u8s({0x01})                          // solid: 1 white byte
                                .data();
    ASSERT_TRUE(gemimgCodec().probe(file));
    imaging::OwnCodecInfo info;
    ASSERT_EQ(gemimgCodec().readInfo(file, &info), imaging::kSuccess);
    EXPECT_EQ(info.width, 24);
    EXPECT_EQ(info.height, 4);
    EXPECT_EQ(info.bitsPerPixel, 1);

    const QImage image = codectesting::decodeOrFail(gemimgCodec(), file).image;
    ASSERT_EQ(image.format(), QImage::Format_Mono);
    ASSERT_EQ(image.size(), QSize(24, 4));
    const QRgb black = qRgb(0, 0, 0);
    const quint32 rows[4] = {0xFFFFFF, 0xFFFFFF, 0x0FF0AA, 0xC33C00};
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 24; ++x) {
            const bool set = (rows[y] >> (23 - x)) & 1;
            EXPECT_EQ(image.pixel(x, y) == black, set) << x << "," << y;
        }
    }
    EXPECT_EQ(image.dotsPerMeterX(), 11765);  // 85 microns
}

TEST(GemReader, ReadsFourPlanesWithAnXimgPalette) {
    // "XIMG", colour model 0 (RGB), then 16 colours of three words on a
    // 0..1000 scale; the header is 11 + 48 words. One line of 8 pixels with
    // pixel x of colour x: each plane's byte holds bit p of every index.
    Bytes file = gemHeader(59, 4, 1, 8, 1).text("XIMG").u16be(0);
    for (int i = 0; i < 16; ++i) {
        file.u16be(i * 1000 / 15).u16be(1000 - i * 1000 / 15).u16be(500);
    }
    file.u8s({0x80, 0x04, 0x55, 0x33, 0x0F, 0x00});
    imaging::OwnDecoded decoded = codectesting::decodeOrFail(gemimgCodec(), file.data());
    const QImage& image = decoded.image;
    EXPECT_EQ(decoded.bitsPerPixel, 4);
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    ASSERT_EQ(image.colorCount(), 16);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(image.pixelIndex(x, 0), x);
        const int red = x * 1000 / 15;
        EXPECT_EQ(image.color(x), qRgb(red * 255 / 1000, (1000 - red) * 255 / 1000, 127)) << x;
    }
}

TEST(GemReader, GivesPlanesWithoutPaletteTheVdiColours) {
    // Two planes, 8 pixels: plane 0 all set, plane 1 the right half.
    const QByteArray file = gemHeader(8, 2, 1, 8, 1).u8s({0x80, 0x02, 0xFF, 0x0F}).data();
    const QImage image = codectesting::decodeOrFail(gemimgCodec(), file).image;
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));    // colour 1, black
    EXPECT_EQ(image.pixel(7, 0), qRgb(0, 255, 0));  // colour 3, green
}

TEST(GemWriter, RoundTripsThroughTheReader) {
    QImage tallWhite(10, 700, QImage::Format_Mono);  // replication past 255 lines
    tallWhite.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    tallWhite.fill(1);
    QImage pattern(64, 3, QImage::Format_Mono);  // byte pairs for pattern runs
    pattern.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < 3; ++y) {
        for (int i = 0; i < 8; ++i) {
            pattern.scanLine(y)[i] = static_cast<uchar>(i % 2 ? 0x3C : 0xC3 + y);
        }
    }
    QList<QImage> sources = {tallWhite, pattern};
    for (const QSize size :
         {QSize(1, 1), QSize(15, 4), QSize(16, 16), QSize(17, 9), QSize(333, 50)}) {
        sources.append(codectesting::testPicture(size.width(), size.height(), QImage::Format_Mono));
    }
    for (const QImage& source : sources) {
        QByteArray file;
        ASSERT_EQ(gemimgCodec().encode(source, 1, &file), imaging::kSuccess);
        EXPECT_EQ(codectesting::pixelDifference(
                      source, codectesting::decodeOrFail(gemimgCodec(), file).image),
                  QString())
            << source.width() << "x" << source.height();
    }
    QByteArray file;
    ASSERT_EQ(gemimgCodec().encode(tallWhite, 1, &file), imaging::kSuccess);
    EXPECT_LT(file.size(), 40);
}

TEST(GemReader, RefusesDamagedFiles) {
    QByteArray valid;
    ASSERT_EQ(
        gemimgCodec().encode(codectesting::testPicture(41, 12, QImage::Format_Mono), 1, &valid),
        imaging::kSuccess);
    EXPECT_EQ(codectesting::firstAcceptedTruncation(gemimgCodec(), valid), QString());
    Bytes multiPlane = gemHeader(11 + 3 * 4, 2, 1, 8, 2).text("XIMG").u16be(0);
    for (int i = 0; i < 12; ++i) {
        multiPlane.u16be(i * 80);
    }
    multiPlane.u8s({0x00, 0x00, 0xFF, 0x02, 0x80, 0x02, 0x12, 0x34});
    EXPECT_EQ(codectesting::firstAcceptedTruncation(gemimgCodec(), multiPlane.data()), QString());

    imaging::OwnDecoded out;
    imaging::OwnCodecInfo info;
    const QByteArray huge = gemHeader(8, 1, 1, 65535, 65535).u8(0x7F).data();
    EXPECT_EQ(gemimgCodec().readInfo(huge, &info), imaging::kErrorNoMemory);
    EXPECT_EQ(gemimgCodec().decode(huge, &out), imaging::kErrorNoMemory);
    // A tall picture whose few bytes cannot hold its lines is refused before
    // the image is made.
    EXPECT_EQ(gemimgCodec().decode(gemHeader(8, 8, 1, 16000, 16000).u8(0x7F).data(), &out),
              imaging::kErrorInvalidFormat);
    EXPECT_EQ(gemimgCodec().decode(gemHeader(8, 9, 1, 8, 1).zeros(9).data(), &out),
              imaging::kErrorInvalidFormat);
    EXPECT_EQ(gemimgCodec().decode(gemHeader(200, 1, 1, 8, 1).u8(0x81).data(), &out),
              imaging::kErrorInvalidFormat);
    EXPECT_EQ(
        gemimgCodec().decode(gemHeader(8, 1, 1, 8, 1).u8s({0, 0, 0xFE, 1, 0x81}).data(), &out),
        imaging::kErrorInvalidFormat);
    EXPECT_FALSE(gemimgCodec().probe(gemHeader(8, 1, 0, 8, 1).data()));
    EXPECT_FALSE(gemimgCodec().probe(QByteArray("GIF89a\x01\x00\x01\x00", 10)));
}

}  // namespace
