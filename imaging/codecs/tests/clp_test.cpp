#include "imaging/codecs/clp.h"

#include "imaging/codecs/tests/codectesting.h"

#include <gtest/gtest.h>

namespace {

using codectesting::Bytes;
using imaging::clpCodec;

struct Entry {
    int format;
    QByteArray data;
};

// File id and entry count, then one directory entry per format: on
// Windows 3.x a 16-bit id, length, offset and a 79-byte name; on NT a
// 32-bit id and a 79-character UTF-16 name. The data follows in entry order.
QByteArray clpFile(int fileId, const QList<Entry>& entries) {
    const bool win3 = fileId == 0xC350;
    const int entrySize = win3 ? 89 : 170;
    Bytes file;
    file.u16le(fileId).u16le(static_cast<int>(entries.size()));
    quint32 offset = 4 + entrySize * static_cast<quint32>(entries.size());
    for (const Entry& entry : entries) {
        if (win3) {
            file.u16le(entry.format);
        } else {
            file.u32le(static_cast<quint32>(entry.format));
        }
        file.u32le(static_cast<quint32>(entry.data.size())).u32le(offset).zeros(win3 ? 79 : 158);
        offset += static_cast<quint32>(entry.data.size());
    }
    for (const Entry& entry : entries) {
        file.raw(entry.data);
    }
    return file.data();
}

// A BITMAPINFOHEADER: size 40, width, height (negative for top-down),
// planes 1, bit count, compression, image size, resolution, colours used
// and important; then BGRx colours and the rows, each padded to 4 bytes.
Bytes dib(int width, int height, int bits, int compression, const QList<QRgb>& colours) {
    Bytes bytes;
    bytes.u32le(40).u32le(static_cast<quint32>(width)).u32le(static_cast<quint32>(height));
    bytes.u16le(1).u16le(bits).u32le(static_cast<quint32>(compression)).u32le(0);
    bytes.u32le(2835).u32le(2835).u32le(static_cast<quint32>(colours.size())).u32le(0);
    for (QRgb c : colours) {
        bytes.u8s({qBlue(c), qGreen(c), qRed(c), 0});
    }
    return bytes;
}

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);

TEST(ClpReader, ReadsTheDibOfAHandBuiltWindows3File) {
    // A CF_TEXT entry before the CF_DIB one; the DIB is 3 by 2 at 8 bits,
    // bottom row first: 2 1 0, then 0 1 2.
    const QByteArray picture =
        dib(3, 2, 8, 0, {kRed, kGreen, kBlue}).u8s({2, 1, 0, 0}).u8s({0, 1, 2, 0}).data();
    const QByteArray file = clpFile(0xC350, {{1, QByteArray("hello", 6)}, {8, picture}});
    ASSERT_TRUE(clpCodec().probe(file));
    imaging::OwnCodecInfo info;
    ASSERT_EQ(clpCodec().readInfo(file, &info), imaging::kSuccess);
    EXPECT_EQ(info.width, 3);
    EXPECT_EQ(info.height, 2);
    EXPECT_EQ(info.bitsPerPixel, 8);

    const imaging::OwnDecoded decoded = codectesting::decodeOrFail(clpCodec(), file);
    EXPECT_EQ(decoded.bitsPerPixel, 8);
    ASSERT_EQ(decoded.image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(decoded.image.pixel(0, 0), kRed);
    EXPECT_EQ(decoded.image.pixel(2, 0), kBlue);
    EXPECT_EQ(decoded.image.pixel(0, 1), kBlue);
    EXPECT_EQ(clpCodec().encode, nullptr);
}

TEST(ClpReader, GivesEachDibDepthItsPixelConvention) {
    struct Case {
        int bits;
        QList<QRgb> colours;
        QByteArray row;  // two pixels, red then blue, padded
        QImage::Format format;
    };
    const QList<Case> cases = {
        {1, {kRed, kBlue}, QByteArray("\x40\0\0\0", 4), QImage::Format_Mono},
        {4, {kRed, kBlue}, QByteArray("\x01\0\0\0", 4), QImage::Format_Indexed8},
        {16, {}, QByteArray("\x00\x7C\x1F\x00", 4), QImage::Format_RGB555},  // 5-5-5
        {24, {}, QByteArray("\0\0\xFF\xFF\0\0\0\0", 8), QImage::Format_RGB888},
        {32, {}, QByteArray("\0\0\xFF\0\xFF\0\0\0", 8), QImage::Format_ARGB32},
    };
    for (const Case& c : cases) {
        // NT files, once with each file id.
        for (int fileId : {0xC351, 0xC352}) {
            const QByteArray file =
                clpFile(fileId, {{8, dib(2, 1, c.bits, 0, c.colours).raw(c.row).data()}});
            const imaging::OwnDecoded decoded = codectesting::decodeOrFail(clpCodec(), file);
            EXPECT_EQ(decoded.bitsPerPixel, c.bits);
            EXPECT_EQ(decoded.image.format(), c.format) << c.bits;
            EXPECT_EQ(decoded.image.pixel(0, 0), kRed) << c.bits;
            EXPECT_EQ(decoded.image.pixel(1, 0), kBlue) << c.bits;
            if (c.format == QImage::Format_Indexed8) {
                EXPECT_LE(decoded.image.colorCount(), 16);
            }
        }
    }
}

TEST(ClpReader, TakesADibV5WhenThereIsNoDib) {
    // A BITMAPV5HEADER (124 bytes: the 40 of the info header, four masks,
    // colour space, end points, gammas, intent and profile fields), 2 by 2,
    // top-down at 24 bits.
    Bytes v5;
    v5.u32le(124).u32le(2).u32le(static_cast<quint32>(-2)).u16le(1).u16le(24).u32le(0).u32le(16);
    v5.u32le(0).u32le(0).u32le(0).u32le(0).zeros(16).u32le(0x73524742).zeros(64);
    v5.u8s({0, 0, 255, 0, 255, 0, 0, 0}).u8s({255, 0, 0, 255, 255, 255, 0, 0});
    const QByteArray file = clpFile(0xC351, {{13, QByteArray(4, 'u')}, {17, v5.data()}});
    const QImage image = codectesting::decodeOrFail(clpCodec(), file).image;
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.pixel(0, 0), kRed);
    EXPECT_EQ(image.pixel(1, 0), kGreen);
    EXPECT_EQ(image.pixel(0, 1), kBlue);
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 255, 255));
}

TEST(ClpReader, ReadsDeviceBitmapsWithTheirImpliedColours) {
    // CF_BITMAP: type, width, height, bytes a row, planes, bits a pixel and
    // a 4-byte pointer, then the rows top to bottom. 1 bit: 0 is black.
    const QByteArray mono = Bytes()
                                .u16le(0)
                                .u16le(10)
                                .u16le(2)
                                .u16le(2)
                                .u8s({1, 1})
                                .u32le(0)
                                .u8s({0x0F, 0xC0, 0x00, 0x00})
                                .data();
    const imaging::OwnDecoded decoded =
        codectesting::decodeOrFail(clpCodec(), clpFile(0xC350, {{2, mono}}));
    ASSERT_EQ(decoded.image.format(), QImage::Format_Mono);
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(decoded.image.pixel(x, 0), x >= 4 ? qRgb(255, 255, 255) : qRgb(0, 0, 0)) << x;
    }
    EXPECT_EQ(decoded.image.pixel(5, 1), qRgb(0, 0, 0));

    // 8 bits take the CF_PALETTE entry (a LOGPALETTE: version, count, then
    // red, green, blue and flags), and are refused without one.
    const QByteArray indexed =
        Bytes().u16le(0).u16le(2).u16le(1).u16le(2).u8s({1, 8}).u32le(0).u8s({1, 0}).data();
    const QByteArray palette = Bytes().u16le(0x300).u16le(2).u8s({9, 8, 7, 0, 1, 2, 3, 0}).data();
    const QImage withPalette =
        codectesting::decodeOrFail(clpCodec(), clpFile(0xC350, {{9, palette}, {2, indexed}})).image;
    EXPECT_EQ(withPalette.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(withPalette.pixel(1, 0), qRgb(9, 8, 7));
    imaging::OwnDecoded out;
    EXPECT_EQ(clpCodec().decode(clpFile(0xC350, {{2, indexed}}), &out),
              imaging::kErrorInvalidFormat);
}

TEST(ClpReader, RefusesDamagedFilesAndFilesWithoutAPicture) {
    const QByteArray picture =
        dib(5, 3, 4, 0, {kRed, kGreen}).u8s({0x01, 0x10, 0x10, 0}).zeros(8).data();
    const QByteArray valid = clpFile(0xC350, {{1, QByteArray("text", 5)}, {8, picture}});
    EXPECT_EQ(codectesting::firstAcceptedTruncation(clpCodec(), valid), QString());

    imaging::OwnDecoded out;
    imaging::OwnCodecInfo info;
    EXPECT_EQ(clpCodec().decode(clpFile(0xC350, {{1, QByteArray("text", 5)}}), &out),
              imaging::kErrorInvalidFormat);
    EXPECT_EQ(
        clpCodec().decode(clpFile(0xC351, {{8, dib(70000, 2, 8, 0, {}).zeros(64).data()}}), &out),
        imaging::kErrorNoMemory);
    EXPECT_EQ(
        clpCodec().readInfo(clpFile(0xC351, {{8, dib(30000, 30000, 24, 0, {}).data()}}), &info),
        imaging::kErrorNoMemory);
    EXPECT_EQ(
        clpCodec().decode(clpFile(0xC351, {{8, dib(2, 2, 24, 4, {}).zeros(16).data()}}), &out),
        imaging::kErrorUnknownCompression);
    // Rows the entry is too short for, and a colour count past the data.
    EXPECT_EQ(
        clpCodec().decode(clpFile(0xC351, {{8, dib(64, 64, 8, 0, {kRed}).zeros(64).data()}}), &out),
        imaging::kErrorInvalidFormat);
    QByteArray manyColours = dib(1, 1, 24, 0, {}).zeros(4).data();
    manyColours[33] = '\x10';  // 4096 colours used
    EXPECT_EQ(clpCodec().decode(clpFile(0xC350, {{8, manyColours}}), &out),
              imaging::kErrorInvalidFormat);

    // An entry that reaches past the end, and a directory that does.
    QByteArray pastEnd = valid;
    pastEnd[4 + 89 + 2 + 1] = '\x7F';  // the DIB entry's length
    EXPECT_EQ(clpCodec().decode(pastEnd, &out), imaging::kErrorInvalidFormat);
    QByteArray manyEntries = valid;
    manyEntries[2] = '\xFF';
    manyEntries[3] = '\x7F';
    EXPECT_EQ(clpCodec().decode(manyEntries, &out), imaging::kErrorInvalidFormat);
    EXPECT_FALSE(clpCodec().probe(QByteArray("\x50\xC3\0\0", 4)));
}

}  // namespace
