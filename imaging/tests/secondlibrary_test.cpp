#include "imaging/secondlibrary.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"

#include <Magick++.h>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace imaging;

namespace {

/// Writes a small sample with ImageMagick, the library the second library
/// reads these formats through, so the samples come from another writer.
QString magickSample(const QTemporaryDir& dir, const char* magick, const char* name) {
    static bool initialised = [] {
        Magick::InitializeMagick(nullptr);
        return true;
    }();
    (void)initialised;
    Magick::Image image(Magick::Geometry(24, 16), Magick::Color("white"));
    image.fillColor(Magick::Color("red"));
    image.draw(Magick::DrawableRectangle(0, 0, 11, 7));
    image.fillColor(Magick::Color("black"));
    image.draw(Magick::DrawableRectangle(12, 8, 23, 15));
    image.magick(magick);
    const QString path = dir.filePath(QString::fromLatin1(name));
    image.write(path.toStdString());
    return path;
}

TEST(SecondLibrary, ReadsItsFormatsWithItsOwnCodes) {
    QTemporaryDir dir;
    const struct {
        const char* magick;
        const char* name;
        int code;
        bool colour;
    } cases[] = {
        {"PBM", "a.pbm", second::kPortableBitmap, false},
        {"PGM", "a.pgm", second::kPortableGraymap, false},
        {"PPM", "a.ppm", second::kPortablePixmap, true},
        {"PAM", "a.pnm", second::kPortableAnymap, true},
        {"SGI", "a.sgi", second::kSgi, true},
        {"XBM", "a.xbm", second::kXBitmap, false},
        {"XPM", "a.xpm", second::kXPixmap, true},
        {"XWD", "a.xwd", second::kXWindowDump, true},
    };
    for (const auto& c : cases) {
        const QString path = magickSample(dir, c.magick, c.name);
        // The main library leaves them to the second.
        FileInfo info;
        EXPECT_EQ(fileInfo(path, &info), kErrorInvalidFormat) << c.name;
        EXPECT_EQ(second::probe(path), c.code) << c.name;
        ImageHandle handle;
        ASSERT_EQ(second::load(path, &handle), 0) << c.name;
        EXPECT_EQ(handle.image.size(), QSize(24, 16)) << c.name;
        EXPECT_EQ(qGray(handle.image.pixel(20, 12)), 0) << c.name;
        EXPECT_EQ(qGray(handle.image.pixel(20, 2)), 255) << c.name;
        if (c.colour) {
            EXPECT_EQ(handle.image.pixel(2, 2), qRgb(255, 0, 0)) << c.name;
        }
    }
    EXPECT_EQ(second::errorCount(), 0);
}

TEST(SecondLibrary, ReadsLzwTiffAndWritesIff) {
    QTemporaryDir dir;
    ImageHandle picture;
    ASSERT_EQ(createImage(&picture, 30, 20, 24), kSuccess);
    ASSERT_EQ(fillImage(&picture, QColor(10, 120, 230)), kSuccess);

    const QString tiff = dir.filePath(QStringLiteral("lzw.tif"));
    ASSERT_EQ(saveFile(tiff, picture, format::kTiffLzw, 24), kSuccess);
    FileInfo info;
    ASSERT_EQ(fileInfo(tiff, &info), kSuccess);
    EXPECT_EQ(info.format, format::kTiffLzw);
    EXPECT_EQ(second::probe(tiff), second::kTiffCompressed);

    const QString iff = dir.filePath(QStringLiteral("a.iff"));
    ASSERT_EQ(second::save(iff, picture, second::kIffAmiga), 0);
    EXPECT_EQ(second::probe(iff), second::kIffAmiga);
    for (const QString& path : {tiff, iff}) {
        ImageHandle back;
        ASSERT_EQ(second::load(path, &back), 0) << path.toStdString();
        EXPECT_EQ(back.bitsPerPixel, 24);
        EXPECT_EQ(back.image.pixel(29, 19), qRgb(10, 120, 230));
    }
}

TEST(SecondLibrary, FailuresGoIntoTheErrorList) {
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("x.pbm"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a bitmap");
    file.close();
    second::clearErrors();
    EXPECT_EQ(second::probe(text), 0);
    ImageHandle handle;
    EXPECT_LT(second::load(text, &handle), 0);
    EXPECT_LT(second::load(dir.filePath(QStringLiteral("missing.ppm")), &handle), 0);
    EXPECT_LT(second::save(dir.filePath(QStringLiteral("a.sgi")), handle, second::kSgi), 0);
    ASSERT_EQ(second::errorCount(), 3);
    EXPECT_EQ(second::errorAt(0).code, kErrorInvalidFormat);
    EXPECT_EQ(second::errorAt(1).code, kErrorFileNotFound);
    EXPECT_EQ(second::errorAt(0).module, QStringLiteral("secondlibrary.cpp"));
    EXPECT_GT(second::errorAt(0).line, 0);
    second::clearErrors();
    EXPECT_EQ(second::errorCount(), 0);
    EXPECT_EQ(second::errorAt(5).code, 0);
}

}  // namespace
