#include "imaging/codecs/ilbm.h"

#include "imaging/codecs/tests/codectesting.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using codectesting::Bytes;
using imaging::ilbmCodec;

// A chunk: four-letter id, big-endian length, content, a pad byte when the
// length is odd.
Bytes chunk(const char* id, const QByteArray& content) {
    Bytes bytes;
    bytes.text(id).u32be(static_cast<quint32>(content.size())).raw(content);
    if (content.size() % 2) {
        bytes.u8(0);
    }
    return bytes;
}

QByteArray form(const char* type, const Bytes& chunks) {
    return Bytes().text("FORM").u32be(4 + chunks.size()).text(type).raw(chunks.data()).data();
}

// BMHD: width, height, x, y, planes, masking, compression, pad, transparent
// colour, aspect x and y, page width and height.
QByteArray bmhd(int width, int height, int planes, int masking, int compression) {
    return Bytes()
        .u16be(width)
        .u16be(height)
        .u32be(0)
        .u8s({planes, masking, compression, 0})
        .u16be(0)
        .u8s({10, 11})
        .u16be(320)
        .u16be(200)
        .data();
}

QByteArray cmap(std::initializer_list<QRgb> colours) {
    Bytes bytes;
    for (QRgb c : colours) {
        bytes.u8s({qRed(c), qGreen(c), qBlue(c)});
    }
    return bytes.data();
}

// One row of `planes` planes, each a whole number of 16-bit words, bit p of
// values[x] in plane p.
QByteArray planarRow(const std::vector<quint32>& values, int planes) {
    const int rowBytes = ((static_cast<int>(values.size()) + 15) / 16) * 2;
    QByteArray row(rowBytes * planes, '\0');
    for (int p = 0; p < planes; ++p) {
        for (size_t x = 0; x < values.size(); ++x) {
            if ((values[x] >> p) & 1) {
                row[p * rowBytes + static_cast<int>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
            }
        }
    }
    return row;
}

TEST(IlbmReader, ReadsAHandBuiltUncompressedFourPlaneFileWithAnOddChunk) {
    // 16 by 2 at four planes, rows of four 2-byte plane lines. Row 0 has
    // pixel x of colour x, row 1 is all colour 5 (planes 0 and 2). A 3-byte
    // ANNO chunk before the body needs its pad byte skipped.
    Bytes palette;
    for (int i = 0; i < 16; ++i) {
        palette.u8s({i * 16, 255 - i * 16, i});
    }
    const QByteArray body = Bytes()
                                .u8s({0x55, 0x55, 0x33, 0x33, 0x0F, 0x0F, 0x00, 0xFF})
                                .u8s({0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00})
                                .data();
    const QByteArray file = form("ILBM", chunk("BMHD", bmhd(16, 2, 4, 0, 0))
                                             .raw(chunk("CMAP", palette.data()).data())
                                             .raw(chunk("ANNO", "odd").data())
                                             .raw(chunk("BODY", body).data()));
    ASSERT_TRUE(ilbmCodec().probe(file));
    imaging::OwnCodecInfo info;
    ASSERT_EQ(ilbmCodec().readInfo(file, &info), imaging::kSuccess);
    EXPECT_EQ(info.bitsPerPixel, 4);
    EXPECT_EQ(info.compression, QStringLiteral("None"));
    const QImage image = codectesting::decodeOrFail(ilbmCodec(), file).image;
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(image.pixelIndex(x, 0), x);
        EXPECT_EQ(image.pixelIndex(x, 1), 5);
    }
    EXPECT_EQ(image.color(7), qRgb(112, 143, 7));
}

TEST(IlbmReader, ReadsByteRun1AndSkipsTheMaskPlane) {
    // 20 by 2, one plane plus a mask plane (masking 1), 4 bytes a line.
    // Row 0: FD FF repeats 0xFF four times; the mask is a literal of four.
    // Row 1: a literal F0, a no-op (0x80), FE 00 repeating zero thrice; mask
    // FD 00.
    const QByteArray body = Bytes()
                                .u8s({0xFD, 0xFF, 0x03, 1, 2, 3, 4})
                                .u8s({0x00, 0xF0, 0x80, 0xFE, 0x00, 0xFD, 0x00})
                                .data();
    const QByteArray file =
        form("ILBM", chunk("BMHD", bmhd(20, 2, 1, 1, 1))
                         .raw(chunk("CMAP", cmap({qRgb(255, 0, 0), qRgb(0, 0, 255)})).data())
                         .raw(chunk("BODY", body).data()));
    const imaging::OwnDecoded decoded = codectesting::decodeOrFail(ilbmCodec(), file);
    EXPECT_EQ(decoded.bitsPerPixel, 1);
    ASSERT_EQ(decoded.image.format(), QImage::Format_Mono);
    for (int x = 0; x < 20; ++x) {
        EXPECT_EQ(decoded.image.pixel(x, 0), qRgb(0, 0, 255));
        EXPECT_EQ(decoded.image.pixel(x, 1), x < 4 ? qRgb(0, 0, 255) : qRgb(255, 0, 0)) << x;
    }
}

TEST(IlbmReader, HalvesTheColoursOfExtraHalfBrite) {
    // Six planes with 32 colours; colour 33 is colour 1 at half brightness,
    // whether CAMG says so (0x80) or, in old files, is missing.
    Bytes palette;
    for (int i = 0; i < 32; ++i) {
        palette.u8s({i == 1 ? 200 : 0, 100, 51});
    }
    for (bool withCamg : {true, false}) {
        Bytes chunks = chunk("BMHD", bmhd(2, 1, 6, 0, 0));
        chunks.raw(chunk("CMAP", palette.data()).data());
        if (withCamg) {
            chunks.raw(chunk("CAMG", Bytes().u32be(0x80).data()).data());
        }
        chunks.raw(chunk("BODY", planarRow({33, 1}, 6)).data());
        const imaging::OwnDecoded decoded =
            codectesting::decodeOrFail(ilbmCodec(), form("ILBM", chunks));
        EXPECT_EQ(decoded.bitsPerPixel, 8);
        EXPECT_EQ(decoded.image.pixel(0, 0), qRgb(100, 50, 25)) << withCamg;
        EXPECT_EQ(decoded.image.pixel(1, 0), qRgb(200, 100, 51)) << withCamg;
    }
}

TEST(IlbmReader, HoldsAndModifies) {
    // HAM6: the top two bits pick palette (0), blue (1), red (2) or green
    // (3); the four low bits are the colour or the new level (times 17).
    const QByteArray palette = cmap({qRgb(0, 0, 0), qRgb(1, 1, 1), qRgb(16, 32, 48)});
    const QByteArray ham6 =
        form("ILBM", chunk("BMHD", bmhd(4, 1, 6, 0, 0))
                         .raw(chunk("CMAP", palette).data())
                         .raw(chunk("CAMG", Bytes().u32be(0x800).data()).data())
                         .raw(chunk("BODY", planarRow({0x02, 0x2F, 0x15, 0x30}, 6)).data()));
    const imaging::OwnDecoded decoded = codectesting::decodeOrFail(ilbmCodec(), ham6);
    EXPECT_EQ(decoded.bitsPerPixel, 24);
    ASSERT_EQ(decoded.image.format(), QImage::Format_RGB888);
    EXPECT_EQ(decoded.image.pixel(0, 0), qRgb(16, 32, 48));
    EXPECT_EQ(decoded.image.pixel(1, 0), qRgb(255, 32, 48));
    EXPECT_EQ(decoded.image.pixel(2, 0), qRgb(255, 32, 0x55));
    EXPECT_EQ(decoded.image.pixel(3, 0), qRgb(255, 0, 0x55));
}

TEST(IlbmReader, ReadsDeepAndChunkyPictures) {
    // 32 planes: red's eight bits first, lowest bit first, then green, blue
    // and alpha.
    const QByteArray deep =
        form("ILBM", chunk("BMHD", bmhd(2, 1, 32, 0, 0))
                         .raw(chunk("BODY", planarRow({0x80402010, 0x01FF7F00}, 32)).data()));
    const imaging::OwnDecoded rgba = codectesting::decodeOrFail(ilbmCodec(), deep);
    EXPECT_EQ(rgba.bitsPerPixel, 32);
    ASSERT_EQ(rgba.image.format(), QImage::Format_ARGB32);
    EXPECT_EQ(rgba.image.pixel(0, 0), qRgba(0x10, 0x20, 0x40, 0x80));
    EXPECT_EQ(rgba.image.pixel(1, 0), qRgba(0x00, 0x7F, 0xFF, 0x01));

    // PBM: a byte a pixel, rows padded to even length; ByteRun1 with a
    // literal of four then a run of four.
    const QByteArray chunky = form(
        "PBM ", chunk("BMHD", bmhd(3, 2, 8, 0, 1))
                    .raw(chunk("CMAP", cmap({0, 0, 0, 0, 0, qRgb(5, 5, 5), qRgb(6, 6, 6),
                                             qRgb(7, 7, 7), 0, qRgb(9, 9, 9)}))
                             .data())
                    .raw(chunk("BODY", Bytes().u8s({0x03, 5, 6, 7, 0, 0xFD, 9}).data()).data()));
    const imaging::OwnDecoded indexed = codectesting::decodeOrFail(ilbmCodec(), chunky);
    EXPECT_EQ(indexed.bitsPerPixel, 8);
    ASSERT_EQ(indexed.image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(indexed.image.pixelIndex(0, 0), 5);
    EXPECT_EQ(indexed.image.pixelIndex(2, 0), 7);
    EXPECT_EQ(indexed.image.pixel(1, 1), qRgb(9, 9, 9));
}

TEST(IlbmWriter, WritesDeepByteRun1ThatReadsBackExactly) {
    QList<QImage> sources;
    for (const QSize size :
         {QSize(1, 1), QSize(15, 3), QSize(16, 2), QSize(17, 7), QSize(200, 30), QSize(1100, 2)}) {
        sources.append(
            codectesting::testPicture(size.width(), size.height(), QImage::Format_RGB888));
    }
    // Any depth goes out as 24 bits.
    sources.append(codectesting::testPicture(33, 5, QImage::Format_Indexed8, 200));
    sources.append(codectesting::testPicture(9, 4, QImage::Format_Mono));
    for (const QImage& source : sources) {
        QByteArray file;
        ASSERT_EQ(ilbmCodec().encode(source, 24, &file), imaging::kSuccess);
        const imaging::OwnDecoded decoded = codectesting::decodeOrFail(ilbmCodec(), file);
        EXPECT_EQ(decoded.bitsPerPixel, 24);
        EXPECT_EQ(codectesting::pixelDifference(source.convertToFormat(QImage::Format_RGB888),
                                                decoded.image),
                  QString())
            << source.width() << "x" << source.height();
        // Odd bodies keep their pad byte inside the FORM.
        EXPECT_EQ(file.size() % 2, 0);
        EXPECT_EQ(file.size(),
                  8 + ((static_cast<uchar>(file[4]) << 24) | (static_cast<uchar>(file[5]) << 16) |
                       (static_cast<uchar>(file[6]) << 8) | static_cast<uchar>(file[7])));
    }
}

TEST(IlbmReader, RefusesDamagedFiles) {
    QByteArray valid;
    ASSERT_EQ(
        ilbmCodec().encode(codectesting::testPicture(23, 6, QImage::Format_RGB888), 24, &valid),
        imaging::kSuccess);
    EXPECT_EQ(codectesting::firstAcceptedTruncation(ilbmCodec(), valid), QString());
    const QByteArray planar = form("ILBM", chunk("BMHD", bmhd(16, 2, 2, 0, 0))
                                               .raw(chunk("CMAP", cmap({1, 2, 3, 4})).data())
                                               .raw(chunk("BODY", QByteArray(8, '\x5A')).data()));
    EXPECT_EQ(codectesting::firstAcceptedTruncation(ilbmCodec(), planar), QString());

    imaging::OwnDecoded out;
    imaging::OwnCodecInfo info;
    auto withHeader = [](const QByteArray& header, const QByteArray& body) {
        return form("ILBM", chunk("BMHD", header).raw(chunk("BODY", body).data()));
    };
    const QByteArray huge = withHeader(bmhd(65535, 65535, 1, 0, 1), QByteArray(16, '\0'));
    EXPECT_EQ(ilbmCodec().readInfo(huge, &info), imaging::kErrorNoMemory);
    EXPECT_EQ(ilbmCodec().decode(huge, &out), imaging::kErrorNoMemory);
    // ByteRun1 cannot grow 16 bytes into 16000 lines of 24 planes.
    EXPECT_EQ(
        ilbmCodec().decode(withHeader(bmhd(16000, 16000, 24, 0, 1), QByteArray(16, '\0')), &out),
        imaging::kErrorInvalidFormat);
    EXPECT_EQ(ilbmCodec().decode(withHeader(bmhd(8, 1, 1, 0, 2), QByteArray(2, '\0')), &out),
              imaging::kErrorUnknownCompression);
    EXPECT_EQ(ilbmCodec().decode(withHeader(bmhd(8, 1, 9, 0, 0), QByteArray(18, '\0')), &out),
              imaging::kErrorInvalidFormat);
    EXPECT_EQ(ilbmCodec().decode(form("ILBM", chunk("BMHD", bmhd(8, 1, 1, 0, 0))), &out),
              imaging::kErrorInvalidFormat);

    // A chunk, and the FORM itself, claiming more than the file holds.
    QByteArray longChunk = planar;
    longChunk[12 + 4 + 3] = 100;  // BMHD's length
    EXPECT_EQ(ilbmCodec().decode(longChunk, &out), imaging::kErrorInvalidFormat);
    QByteArray longForm = planar;
    longForm[4] = 0x7F;
    EXPECT_EQ(ilbmCodec().decode(longForm, &out), imaging::kErrorInvalidFormat);
}

}  // namespace
