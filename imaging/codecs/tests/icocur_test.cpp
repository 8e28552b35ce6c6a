#include "imaging/codecs/icocur.h"

#include "imaging/codecs/tests/codectesting.h"

#include <QImageReader>

#include <gtest/gtest.h>

namespace {

using codectesting::Bytes;
using imaging::curCodec;
using imaging::icoCodec;

TEST(IcoCurWriter, ImageMagickAndQtReadEveryDepthBackExactly) {
    QImage mono = codectesting::testPicture(17, 9, QImage::Format_Mono);
    mono.setColorTable({qRgb(200, 30, 40), qRgb(10, 20, 250)});
    QImage translucent = codectesting::testPicture(31, 20, QImage::Format_ARGB32);
    translucent.setPixel(3, 2, qRgba(10, 20, 30, 0));
    const QList<std::pair<int, QImage>> cases = {
        {1, mono},
        {4, codectesting::testPicture(33, 17, QImage::Format_Indexed8, 16)},
        {8, codectesting::testPicture(40, 31, QImage::Format_Indexed8, 256)},
        {24, codectesting::testPicture(256, 256, QImage::Format_RGB888)},  // sizes written as 0
        {32, translucent},
    };
    const bool qtReadsIcons = QImageReader::supportedImageFormats().contains("ico");
    for (const imaging::OwnCodec* codec : {&icoCodec(), &curCodec()}) {
        const bool icon = codec == &icoCodec();
        for (const auto& [bits, source] : cases) {
            SCOPED_TRACE(testing::Message() << codec->name << " at " << bits << " bits");
            QByteArray file;
            ASSERT_EQ(codec->encode(source, bits, &file), imaging::kSuccess);
            const int w = source.width();
            const int h = source.height();
            EXPECT_EQ(file.left(6), Bytes().u16le(0).u16le(icon ? 1 : 2).u16le(1).data());
            EXPECT_EQ(file.mid(6, 3),
                      Bytes().u8s({w & 0xFF, h & 0xFF, bits < 8 ? 1 << bits : 0}).data());
            // Planes and bit count of an icon, the hot spot of a cursor.
            EXPECT_EQ(file.mid(10, 4), Bytes().u16le(icon ? 1 : 0).u16le(icon ? bits : 0).data());
            EXPECT_EQ(file.mid(30, 8), Bytes().u32le(2 * h).u16le(1).u16le(bits).data());
            const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
            const QImage read = codectesting::readWithMagick(file, icon ? "ICO" : "CUR");
            EXPECT_EQ(codectesting::pixelDifference(argb, read).toStdString(), "");
            if (qtReadsIcons) {
                // Qt premultiplies, which rounds the colours of translucent pixels.
                QImage qt;
                ASSERT_TRUE(qt.loadFromData(file, "ICO"));
                const QImage premultiplied =
                    argb.convertToFormat(QImage::Format_ARGB32_Premultiplied);
                EXPECT_EQ(codectesting::pixelDifference(premultiplied, qt).toStdString(), "");
            }
        }
    }
}

TEST(IcoCurWriter, MasksOnlyTheFullyTransparentPixelsOf32Bits) {
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(qRgba(1, 2, 3, 255));
    image.setPixel(1, 0, qRgba(1, 2, 3, 0));
    image.setPixel(2, 1, qRgba(1, 2, 3, 1));
    QByteArray file;
    ASSERT_EQ(icoCodec().encode(image, 32, &file), imaging::kSuccess);
    // Mask rows of four bytes, bottom-up: row 1, then row 0 with x = 1 set.
    EXPECT_EQ(file.right(8).toHex(' '), "00 00 00 00 40 00 00 00");
    ASSERT_EQ(icoCodec().encode(image, 24, &file), imaging::kSuccess);
    EXPECT_EQ(file.right(8), QByteArray(8, '\0'));
}

TEST(IcoCurWriter, RefusesWhatItCannotWrite) {
    const QList<std::pair<int, QImage>> refused = {
        {32, QImage(257, 1, QImage::Format_ARGB32)},
        {1, QImage(1, 257, QImage::Format_Mono)},
        {8, QImage()},
        {16, QImage(4, 4, QImage::Format_RGB888)},
        {4, codectesting::testPicture(4, 4, QImage::Format_Indexed8, 40)},
    };
    for (const imaging::OwnCodec* codec : {&icoCodec(), &curCodec()}) {
        for (const auto& [bits, image] : refused) {
            QByteArray file;
            EXPECT_EQ(codec->encode(image, bits, &file), imaging::kErrorInvalidParameter)
                << codec->name << " " << bits;
        }
    }
}

}  // namespace
