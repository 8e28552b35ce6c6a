#include "imaging/codecs/os2bmp.h"

#include "imaging/codecs/tests/codectesting.h"

#include <Magick++.h>

#include <gtest/gtest.h>

namespace {

using codectesting::Bytes;
using imaging::os2Bmp2Codec;

TEST(Os2BmpWriter, QtReadsEveryDepthBackExactlyAndImageMagickItsLayout) {
    QImage mono = codectesting::testPicture(61, 23, QImage::Format_Mono);
    mono.setColorTable({qRgb(200, 30, 40), qRgb(10, 20, 250)});
    const QList<std::pair<int, QImage>> cases = {
        {1, mono},
        {4, codectesting::testPicture(33, 17, QImage::Format_Indexed8, 16)},
        {8, codectesting::testPicture(41, 31, QImage::Format_Indexed8, 256)},
        {24, codectesting::testPicture(39, 20, QImage::Format_RGB888)},
    };
    Magick::InitializeMagick(nullptr);
    for (const auto& [bits, source] : cases) {
        SCOPED_TRACE(testing::Message() << bits << " bits, " << source.width() << " wide");
        QByteArray file;
        ASSERT_EQ(os2Bmp2Codec().encode(source, bits, &file), imaging::kSuccess);
        const int colours = bits <= 8 ? 1 << bits : 0;
        EXPECT_EQ(file.left(6), Bytes().text("BM").u32le(file.size()).data());
        EXPECT_EQ(file.mid(10, 8), Bytes().u32le(14 + 64 + 4 * colours).u32le(64).data());
        EXPECT_EQ(file.mid(28, 6), Bytes().u16le(bits).u32le(0).data());  // uncompressed
        const QImage expected = source.convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(
            codectesting::pixelDifference(expected, QImage::fromData(file, "BMP")).toStdString(),
            "");
        // ImageMagick takes this header's palette for 3-byte entries, so only
        // its reading of the layout is checked at the indexed depths.
        Magick::Image magick;
        magick.magick("BMP");
        magick.read(Magick::Blob(file.constData(), static_cast<size_t>(file.size())));
        EXPECT_EQ(magick.classType(), bits == 24 ? Magick::DirectClass : Magick::PseudoClass);
        if (bits == 24) {
            EXPECT_EQ(
                codectesting::pixelDifference(expected, codectesting::readWithMagick(file, "BMP"))
                    .toStdString(),
                "");
        } else {
            EXPECT_EQ(magick.colorMapSize(), static_cast<size_t>(colours));
        }
    }
}

TEST(Os2BmpWriter, RefusesWhatItCannotWrite) {
    const QImage rgb = codectesting::testPicture(4, 4, QImage::Format_RGB888);
    const QList<std::pair<int, QImage>> refused = {
        {24, QImage()},
        {16, rgb},
        {32, rgb},
        {4, codectesting::testPicture(4, 4, QImage::Format_Indexed8, 40)},
    };
    for (const auto& [bits, image] : refused) {
        QByteArray file;
        EXPECT_EQ(os2Bmp2Codec().encode(image, bits, &file), imaging::kErrorInvalidParameter)
            << bits;
    }
}

}  // namespace
