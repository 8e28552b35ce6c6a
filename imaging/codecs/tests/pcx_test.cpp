#include "imaging/codecs/pcx.h"

#include "imaging/codecs/tests/codectesting.h"

#include <Magick++.h>

#include <gtest/gtest.h>

namespace {

using codectesting::Bytes;
using imaging::pcxCodec;

struct DepthCase {
    int bits;
    QImage source;
    int planeBits;
    int planes;
};

TEST(PcxWriter, ImageMagickReadsEveryDepthBackExactly) {
    const QList<DepthCase> cases = {
        {1, codectesting::testPicture(61, 23, QImage::Format_Mono), 1, 1},
        {4, codectesting::testPicture(33, 17, QImage::Format_Indexed8, 16), 1, 4},
        {8, codectesting::testPicture(41, 31, QImage::Format_Indexed8, 256), 8, 1},
        // Wide enough for runs longer than one count byte holds.
        {24, codectesting::testPicture(301, 20, QImage::Format_RGB888), 8, 3},
    };
    Magick::InitializeMagick(nullptr);
    for (const DepthCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, " << c.source.width() << " wide");
        QByteArray file;
        ASSERT_EQ(pcxCodec().encode(c.source, c.bits, &file), imaging::kSuccess);
        const int bytesPerLine = (c.source.width() * c.planeBits + 15) / 16 * 2;
        EXPECT_EQ(file.left(4), Bytes().u8s({0x0A, 5, 1, c.planeBits}).data());
        EXPECT_EQ(file.mid(65, 3), Bytes().u8(c.planes).u16le(bytesPerLine).data());
        if (c.bits == 8) {
            EXPECT_EQ(file[file.size() - 769], 0x0C);
        }
        const QImage read = codectesting::readWithMagick(file, "PCX");
        EXPECT_EQ(
            codectesting::pixelDifference(c.source.convertToFormat(QImage::Format_ARGB32), read)
                .toStdString(),
            "");
        Magick::Image magick;
        magick.magick("PCX");
        magick.read(Magick::Blob(file.constData(), static_cast<size_t>(file.size())));
        EXPECT_EQ(magick.classType(), c.bits == 24 ? Magick::DirectClass : Magick::PseudoClass);
        if (c.bits < 24) {
            EXPECT_EQ(magick.colorMapSize(), static_cast<size_t>(1) << c.bits);
        }
    }
}

TEST(PcxWriter, CodesRunsAndEscapesBytesThatLookLikeCounts) {
    // A run of 66 needs two counts; 0xC5 alone must be escaped.
    QImage image(70, 1, QImage::Format_Indexed8);
    image.setColorTable(codectesting::testPicture(1, 1, QImage::Format_Indexed8, 256).colorTable());
    image.fill(9);
    image.setPixel(66, 0, 0xC5);
    for (int x = 67; x < 70; ++x) {
        image.setPixel(x, 0, 0x10);
    }
    QByteArray file;
    ASSERT_EQ(pcxCodec().encode(image, 8, &file), imaging::kSuccess);
    EXPECT_EQ(file.mid(128, file.size() - 128 - 769).toHex(' '), "ff 09 c3 09 c1 c5 c3 10");
    const QRgb last = image.color(255);
    EXPECT_EQ(file.right(3), Bytes().u8s({qRed(last), qGreen(last), qBlue(last)}).data());
}

TEST(PcxWriter, KeepsTwoColoursInTheHeaderWithTheDarkerAsOne) {
    // Blue (index 1) left, yellow right, so no inversion, unlike the round
    // trips; 0xF0 escaped and a pad byte for the even line.
    QImage image(8, 1, QImage::Format_Mono);
    image.setColorTable({qRgb(250, 240, 10), qRgb(10, 20, 250)});
    image.fill(0);
    for (int x = 0; x < 4; ++x) {
        image.setPixel(x, 0, 1);
    }
    QByteArray file;
    ASSERT_EQ(pcxCodec().encode(image, 1, &file), imaging::kSuccess);
    EXPECT_EQ(file.mid(16, 6).toHex(' '), "fa f0 0a 0a 14 fa");
    EXPECT_EQ(file.mid(128).toHex(' '), "c1 f0 00");
    const QImage read = codectesting::readWithMagick(file, "PCX");
    ASSERT_FALSE(read.isNull());
    EXPECT_EQ(read.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(read.pixel(7, 0), qRgb(255, 255, 255));
}

TEST(PcxWriter, RefusesWhatItCannotWrite) {
    const QImage rgb = codectesting::testPicture(4, 4, QImage::Format_RGB888);
    const QList<std::pair<int, QImage>> refused = {
        {8, QImage()},
        {16, rgb},
        {32, rgb},
        {4, codectesting::testPicture(4, 4, QImage::Format_Indexed8, 40)},
        // 65535 bytes a line would need a pad byte the length field cannot count.
        {24, QImage(65535, 1, QImage::Format_RGB888)},
    };
    for (const auto& [bits, image] : refused) {
        QByteArray file;
        EXPECT_EQ(pcxCodec().encode(image, bits, &file), imaging::kErrorInvalidParameter) << bits;
    }
}

}  // namespace
