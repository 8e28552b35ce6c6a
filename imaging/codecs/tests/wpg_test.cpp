#include "imaging/codecs/wpg.h"

#include "imaging/codecs/tests/codectesting.h"

#include <gtest/gtest.h>

namespace {

using imaging::wpgCodec;

struct DepthCase {
    int bits;
    QImage source;
};

TEST(WpgWriter, ImageMagickReadsEveryDepthBackExactly) {
    QImage mono = codectesting::testPicture(61, 23, QImage::Format_Mono);
    QImage qtOrder = mono.copy();  // 1 marks black, as Qt makes mono pictures
    qtOrder.invertPixels();
    qtOrder.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const QList<DepthCase> cases = {
        {1, mono},
        {1, qtOrder},
        {4, codectesting::testPicture(33, 17, QImage::Format_Indexed8, 16)},
        {4, codectesting::testPicture(8, 2, QImage::Format_Indexed8, 5)},
        {8, codectesting::testPicture(40, 31, QImage::Format_Indexed8, 256)},
        // Long enough for the bitmap record's 32-bit length.
        {8, codectesting::testPicture(300, 260, QImage::Format_Indexed8, 200)},
    };
    for (const DepthCase& c : cases) {
        QByteArray file;
        ASSERT_EQ(wpgCodec().encode(c.source, c.bits, &file), imaging::kSuccess);
        EXPECT_EQ(file.left(4), QByteArray("\xFFWPC", 4));
        const QImage read = codectesting::readWithMagick(file, "WPG");
        EXPECT_EQ(
            codectesting::pixelDifference(c.source.convertToFormat(QImage::Format_ARGB32), read),
            QString())
            << c.bits << " bits, " << c.source.width() << "x" << c.source.height();
    }
}

TEST(WpgWriter, RefusesDepthsItCannotWrite) {
    QByteArray file;
    const QImage rgb = codectesting::testPicture(4, 4, QImage::Format_RGB888);
    EXPECT_EQ(wpgCodec().encode(rgb, 24, &file), imaging::kErrorInvalidParameter);
    EXPECT_EQ(
        wpgCodec().encode(codectesting::testPicture(4, 4, QImage::Format_Indexed8, 40), 4, &file),
        imaging::kErrorInvalidParameter);
    EXPECT_EQ(wpgCodec().encode(QImage(), 8, &file), imaging::kErrorInvalidParameter);
}

}  // namespace
