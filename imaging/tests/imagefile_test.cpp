#include "imaging/imagefile.h"
#include "imaging/codec.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/jpegcodec.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace imaging;

namespace {

/// A picture with flat colour blocks, a gradient and fine detail: it shows
/// colour shifts, lost rows and smeared edges alike.
ImageHandle testPicture(int width = 48, int height = 32) {
    QImage image(width, height, QImage::Format_RGB888);
    QPainter painter(&image);
    painter.fillRect(0, 0, width, height, QColor(250, 250, 250));
    QLinearGradient ramp(0, 0, width, 0);
    ramp.setColorAt(0, QColor(20, 40, 200));
    ramp.setColorAt(1, QColor(240, 200, 10));
    painter.fillRect(0, 0, width, height / 2, ramp);
    painter.fillRect(0, height / 2, width / 3, height / 2, QColor(200, 0, 0));
    painter.fillRect(width / 3, height / 2, width / 3, height / 2, QColor(0, 150, 0));
    painter.setPen(Qt::black);
    painter.drawLine(0, height - 1, width - 1, height / 2);
    painter.end();
    ImageHandle handle;
    EXPECT_EQ(handleFromQImage(image, &handle), kSuccess);
    return handle;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

/// The mean difference per channel between two pictures of one size.
double meanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    qint64 sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return double(sum) / (3.0 * x.width() * x.height());
}

struct RoundTrip {
    const char* name;
    int format;        // saved with this code
    int depth;         // at this depth
    int readFormat;    // file information reports this code
    int readDepth;     // and this depth
    double tolerance;  // mean difference per channel against the saved depth's picture
    QSize size = {48, 32};
};

void PrintTo(const RoundTrip& c, std::ostream* out) {
    *out << c.name;
}

class SaveAndLoad : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(SaveAndLoad, FileInformationAndPixelsComeBack) {
    const RoundTrip& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(c.name));
    const ImageHandle source = testPicture(c.size.width(), c.size.height());
    ASSERT_TRUE(canSave(c.format)) << c.name;
    ASSERT_EQ(saveFile(path, source, c.format, c.depth), kSuccess) << c.name;

    FileInfo info;
    ASSERT_EQ(fileInfo(path, &info), kSuccess) << c.name;
    EXPECT_EQ(info.format, c.readFormat) << c.name;
    EXPECT_EQ(info.bitsPerPixel, c.readDepth) << c.name;
    EXPECT_EQ(info.sizeDisk, QFileInfo(path).size());
    EXPECT_GE(info.pages, 1);

    ImageHandle loaded;
    ASSERT_EQ(loadFile(path, &loaded), kSuccess) << c.name;
    EXPECT_EQ(loaded.bitsPerPixel, c.readDepth) << c.name;
    EXPECT_EQ(QSize(info.width, info.height), loaded.image.size());
    // What the file should hold: the picture at the depth it was saved at.
    ImageHandle expected;
    ASSERT_EQ(detail::imageAtDepth(source, c.depth, &expected), kSuccess);
    if (c.format == format::kJpeg && c.depth == 8) {
        expected.image = source.image.convertToFormat(QImage::Format_Grayscale8);  // grey JPEG
    }
    if (c.format == format::kMacPaint) {
        // MacPaint pages are always 576 by 720; the picture sits top-left.
        ASSERT_EQ(loaded.image.size(), QSize(576, 720));
        loaded.image = loaded.image.copy(0, 0, 48, 32);
    }
    ASSERT_EQ(loaded.image.size(), expected.image.size()) << c.name;
    EXPECT_LE(meanDifference(loaded.image, expected.image), c.tolerance) << c.name;
}

// Lossless formats must give back exactly what they were given (0), JPEG
// stays visually close, pictures drawn again by another program (metafile,
// PostScript) nearly so.
INSTANTIATE_TEST_SUITE_P(
    EveryWritableType, SaveAndLoad,
    ::testing::Values(
        RoundTrip{"a.bmp", format::kBmp, 24, format::kBmp, 24, 0},
        RoundTrip{"b1.bmp", format::kBmp, 1, format::kBmp, 1, 0},
        RoundTrip{"b4.bmp", format::kBmp, 4, format::kBmp, 4, 0},
        RoundTrip{"b8.bmp", format::kBmp, 8, format::kBmp, 8, 0},
        RoundTrip{"b16.bmp", format::kBmp, 16, format::kBmp, 16, 0},
        RoundTrip{"b32.bmp", format::kBmp, 32, format::kBmp, 32, 0},
        RoundTrip{"rle.bmp", format::kBmpRle, 8, format::kBmpRle, 8, 0},
        RoundTrip{"os2.bmp", format::kOs2Bmp, 24, format::kOs2Bmp, 24, 0},
        RoundTrip{"os2-8.bmp", format::kOs2Bmp, 8, format::kOs2Bmp, 8, 0},
        RoundTrip{"os2v2.bmp", format::kOs2Bmp2, 24, format::kOs2Bmp2, 24, 0},
        RoundTrip{"os2v2-4.bmp", format::kOs2Bmp2, 4, format::kOs2Bmp2, 4, 0},
        RoundTrip{"os2v2-1.bmp", format::kOs2Bmp2, 1, format::kOs2Bmp2, 1, 0},
        RoundTrip{"a.gif", format::kGif, 8, format::kGif, 8, 0},
        RoundTrip{"a4.gif", format::kGif, 4, format::kGif, 4, 0},
        RoundTrip{"a1.gif", format::kGif, 1, format::kGif, 1, 0},
        RoundTrip{"a.jpg", format::kJpeg, 24, format::kJpeg, 24, 6},
        RoundTrip{"grey.jpg", format::kJpeg, 8, format::kJpeg, 8, 8},
        RoundTrip{"a.cal", format::kCals, 1, format::kCals, 1, 0},
        RoundTrip{"g31.tif", format::kCcittGroup3OneD, 1, format::kCcittGroup3OneD, 1, 0},
        RoundTrip{"g32.tif", format::kCcittGroup3TwoD, 1, format::kCcittGroup3TwoD, 1, 0},
        RoundTrip{"g4.tif", format::kCcittGroup4, 1, format::kCcittGroup4, 1, 0},
        RoundTrip{"a.eps", format::kEps, 8, format::kEps, 24, 3},
        RoundTrip{"exif.tif", format::kExif, 24, format::kExif, 24, 0},
        RoundTrip{"exifycc.tif", format::kExifYcc, 24, format::kExifYcc, 24, 2},
        RoundTrip{"exif.jpg", format::kExifJpeg, 24, format::kExifJpeg, 24, 6},
        RoundTrip{"a.img", format::kGem, 1, format::kGem, 1, 0},
        RoundTrip{"a.jtf", format::kJtif, 24, format::kJtif, 24, 6},
        RoundTrip{"a.pct", format::kPict, 24, format::kPict, 24, 0},
        RoundTrip{"a.mac", format::kMacPaint, 1, format::kMacPaint, 1, 0},
        RoundTrip{"a.msp", format::kMsp, 1, format::kMsp, 1, 0},
        RoundTrip{"a.pcx", format::kPcx, 24, format::kPcx, 24, 0},
        RoundTrip{"a8.pcx", format::kPcx, 8, format::kPcx, 8, 0},
        RoundTrip{"a1.pcx", format::kPcx, 1, format::kPcx, 1, 0},
        RoundTrip{"a4.pcx", format::kPcx, 4, format::kPcx, 4, 0},
        RoundTrip{"a.psd", format::kPhotoshop, 24, format::kPhotoshop, 24, 0},
        RoundTrip{"a.png", format::kPng, 24, format::kPng, 24, 0},
        RoundTrip{"a1.png", format::kPng, 1, format::kPng, 1, 0},
        RoundTrip{"a4.png", format::kPng, 4, format::kPng, 4, 0},
        RoundTrip{"a8.png", format::kPng, 8, format::kPng, 8, 0},
        RoundTrip{"a32.png", format::kPng, 32, format::kPng, 32, 0},
        RoundTrip{"a.ras", format::kSunRaster, 24, format::kSunRaster, 24, 0},
        RoundTrip{"a8.ras", format::kSunRaster, 8, format::kSunRaster, 8, 0},
        // Depths ImageMagick's writers do not keep go out at the next one
        // they do, with the same pixels.
        RoundTrip{"a1.ras", format::kSunRaster, 1, format::kSunRaster, 24, 0},
        RoundTrip{"a8.pct", format::kPict, 8, format::kPict, 24, 0},
        RoundTrip{"a8.psd", format::kPhotoshop, 8, format::kPhotoshop, 24, 0},
        RoundTrip{"a8.tga", format::kTga, 8, format::kTga, 8, 0},
        RoundTrip{"a16.tga", format::kTga, 16, format::kTga, 24, 0},
        RoundTrip{"a.tga", format::kTga, 24, format::kTga, 24, 0},
        RoundTrip{"a32.tga", format::kTga, 32, format::kTga, 32, 0},
        RoundTrip{"a.tif", format::kTiff, 24, format::kTiff, 24, 0},
        RoundTrip{"a1.tif", format::kTiff, 1, format::kTiff, 1, 0},
        RoundTrip{"a4.tif", format::kTiff, 4, format::kTiff, 4, 0},
        RoundTrip{"a8.tif", format::kTiff, 8, format::kTiff, 8, 0},
        RoundTrip{"a32.tif", format::kTiff, 32, format::kTiff, 32, 0},
        RoundTrip{"pb.tif", format::kTiffPackBits, 24, format::kTiffPackBits, 24, 0},
        RoundTrip{"lzw.tif", format::kTiffLzw, 24, format::kTiffLzw, 24, 0},
        RoundTrip{"a.cur", format::kCursor, 1, format::kCursor, 1, 0, {32, 32}},
        RoundTrip{"a.ico", format::kIcon, 8, format::kIcon, 8, 0},
        RoundTrip{"a4.ico", format::kIcon, 4, format::kIcon, 4, 0},
        RoundTrip{"a1.ico", format::kIcon, 1, format::kIcon, 1, 0},
        RoundTrip{"a24.ico", format::kIcon, 24, format::kIcon, 24, 0},
        RoundTrip{"a.wmf", format::kWmf, 24, format::kWmf, 24, 2},
        RoundTrip{"a.wpg", format::kWpg, 8, format::kWpg, 8, 0}),
    [](const ::testing::TestParamInfo<RoundTrip>& param) {
        std::string name = param.param.name;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

TEST(SaveAndLoad, FormatsNothingHereWritesAreRefused) {
    QTemporaryDir dir;
    const ImageHandle source = testPicture();
    for (int code : {format::kFlashPix, format::kRawIcaGroup3OneD, format::kIcaGroup3OneD,
                     format::kLead, format::kMicrosoftFax, format::kWinFaxGroup3OneD, 0, 1000}) {
        const QString path = dir.filePath(QStringLiteral("x%1").arg(code));
        EXPECT_FALSE(canSave(code)) << code;
        EXPECT_EQ(saveFile(path, source, code, 24), kErrorInvalidFormat) << code;
        EXPECT_FALSE(QFile::exists(path));
    }
}

TEST(SaveAndLoad, SavingReplacesAFileOnlyWhenComplete) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.png"));
    writeAll(path, "previous contents");
    ImageHandle empty;
    EXPECT_EQ(saveFile(path, empty, format::kPng, 24), kErrorInvalidParameter);
    EXPECT_EQ(readAll(path), QByteArray("previous contents"));
    EXPECT_EQ(saveFile(dir.path(), testPicture(), format::kPng, 24), kErrorInvalidFileName);
    EXPECT_EQ(
        saveFile(dir.filePath(QStringLiteral("missing/x.png")), testPicture(), format::kPng, 24),
        kErrorFileWrite);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.png"});
}

TEST(SaveAndLoad, MemoryAndFilesAgree) {
    const ImageHandle source = testPicture();
    QByteArray bytes;
    ASSERT_EQ(saveMemory(&bytes, source, format::kJpeg, 24), kSuccess);
    FileInfo info;
    ASSERT_EQ(fileInfoMemory(bytes, &info), kSuccess);
    EXPECT_EQ(info.format, format::kJpeg);
    EXPECT_EQ(info.sizeDisk, bytes.size());
    ImageHandle loaded;
    ASSERT_EQ(loadMemory(bytes, &loaded), kSuccess);
    EXPECT_EQ(loaded.image.size(), QSize(48, 32));
    ASSERT_EQ(loadMemory(bytes, &loaded, 8), kSuccess);
    EXPECT_EQ(loaded.bitsPerPixel, 8);
}

TEST(QualityFactor, RunsFromBestToSmallestAndTwentyIsVisuallyLossless) {
    EXPECT_EQ(detail::jpegQuality(2), 100);
    EXPECT_EQ(detail::jpegQuality(20), 90);
    EXPECT_EQ(detail::jpegQuality(255), 5);
    EXPECT_EQ(detail::jpegQuality(1000), 5);
    for (int factor = 3; factor <= 255; ++factor) {
        EXPECT_LE(detail::jpegQuality(factor), detail::jpegQuality(factor - 1));
    }
    // And the files do shrink.
    const ImageHandle source = testPicture(200, 150);
    QByteArray best, standard, smallest;
    ASSERT_EQ(saveMemory(&best, source, format::kJpeg, 24, 2), kSuccess);
    ASSERT_EQ(saveMemory(&standard, source, format::kJpeg, 24, 20), kSuccess);
    ASSERT_EQ(saveMemory(&smallest, source, format::kJpeg, 24, 255), kSuccess);
    EXPECT_GT(best.size(), standard.size());
    EXPECT_GT(standard.size(), smallest.size());
}

TEST(SaveAndLoad, ProgressiveJpegAndInterlacedGifFollowTheOptionRecord) {
    const ImageHandle source = testPicture(64, 64);
    FileOptions options = defaultFileOptions();
    options.passes = -1;
    options.flags = kOptionInterlaced;
    setDefaultFileOptions(options);
    QByteArray jpeg, gif;
    ASSERT_EQ(saveMemory(&jpeg, source, format::kJpeg, 24), kSuccess);
    ASSERT_EQ(saveMemory(&gif, source, format::kGif, 8), kSuccess);
    setDefaultFileOptions(FileOptions());
    FileInfo info;
    ASSERT_EQ(fileInfoMemory(jpeg, &info), kSuccess);
    EXPECT_EQ(info.compression, QStringLiteral("Progressive JPEG"));
    EXPECT_TRUE(jpeg.contains(QByteArray("\xFF\xC2", 2)));
    // The image descriptor's flags carry the interlace bit (0x40); it follows
    // the screen descriptor and the global colour table.
    const qsizetype descriptor = 13 + (3 << ((static_cast<uchar>(gif[10]) & 7) + 1));
    ASSERT_EQ(gif[descriptor], ',');
    EXPECT_TRUE(static_cast<uchar>(gif[descriptor + 9]) & 0x40);
    ImageHandle back;
    ASSERT_EQ(loadMemory(gif, &back), kSuccess);
    ImageHandle expected;
    ASSERT_EQ(detail::imageAtDepth(source, 8, &expected), kSuccess);
    EXPECT_EQ(meanDifference(back.image, expected.image), 0);
}

TEST(BadInput, IsRefusedWithItsMessageCode) {
    QTemporaryDir dir;
    const ImageHandle source = testPicture(64, 64);

    QByteArray jpeg;
    ASSERT_EQ(saveMemory(&jpeg, source, format::kJpeg, 24), kSuccess);
    const QString truncated = dir.filePath(QStringLiteral("cut.jpg"));
    writeAll(truncated, jpeg.left(jpeg.size() / 2));
    ImageHandle handle;
    initHandle(&handle);
    EXPECT_EQ(loadFile(truncated, &handle), kErrorFileRead);
    EXPECT_EQ(handle.width(), 1) << "a failed load leaves the handle as it was";

    QByteArray png;
    ASSERT_EQ(saveMemory(&png, source, format::kPng, 24), kSuccess);
    png[29] = static_cast<char>(png[29] ^ 0x55);  // the header chunk's CRC
    const QString badCrc = dir.filePath(QStringLiteral("crc.png"));
    writeAll(badCrc, png);
    EXPECT_EQ(loadFile(badCrc, &handle), kErrorCrc);

    const QString empty = dir.filePath(QStringLiteral("empty.jpg"));
    writeAll(empty, QByteArray());
    FileInfo info;
    EXPECT_EQ(fileInfo(empty, &info), kErrorInvalidFormat);
    EXPECT_EQ(loadFile(empty, &handle), kErrorInvalidFormat);

    const QString text = dir.filePath(QStringLiteral("notes.bmp"));
    writeAll(text, "These are notes, not a picture.\n");
    EXPECT_EQ(fileInfo(text, &info), kErrorInvalidFormat);
    EXPECT_EQ(loadFile(text, &handle), kErrorInvalidFormat);

    EXPECT_EQ(fileInfo(dir.filePath(QStringLiteral("none.png")), &info), kErrorFileNotFound);
    EXPECT_EQ(loadFile(dir.path(), &handle), kErrorFileOpen);
}

TEST(BadInput, HugeHeadersAreRefusedBeforeAnyAllocation) {
    // A TIFF whose header claims 100,000 by 100,000 pixels of RGB, with one
    // strip that is not there.
    QByteArray tiff("II\x2A\x00\x08\x00\x00\x00", 8);
    const auto put16 = [&](quint16 v) { tiff.append(char(v & 0xFF)).append(char(v >> 8)); };
    const auto put32 = [&](quint32 v) {
        put16(quint16(v & 0xFFFF));
        put16(quint16(v >> 16));
    };
    const auto entry = [&](quint16 tag, quint16 type, quint32 count, quint32 value) {
        put16(tag), put16(type), put32(count), put32(value);
    };
    put16(8);
    entry(256, 4, 1, 100000);  // width
    entry(257, 4, 1, 100000);  // length
    entry(258, 3, 1, 8);       // bits per sample
    entry(259, 3, 1, 1);       // no compression
    entry(262, 3, 1, 1);       // black is zero
    entry(273, 4, 1, 200);     // strip offset
    entry(278, 4, 1, 100000);  // rows per strip
    entry(279, 4, 1, 1000000000);
    put32(0);
    tiff.append(QByteArray(100, '\0'));

    FileInfo info;
    ASSERT_EQ(fileInfoMemory(tiff, &info), kSuccess);
    EXPECT_EQ(info.width, 100000);
    ImageHandle handle;
    EXPECT_EQ(loadMemory(tiff, &handle), kErrorNoMemory);

    // A GIF whose screen is 65535 by 65535.
    QByteArray gif(
        "GIF89a\xFF\xFF\xFF\xFF\x00\x00\x00,"
        "\x00\x00\x00\x00\xFF\xFF\xFF\xFF\x00\x02\x02\x44\x01\x00;",
        29);
    EXPECT_EQ(loadMemory(gif, &handle), kErrorNoMemory);

    // A PNG announcing 70,000 pixels across.
    QByteArray png;
    ASSERT_EQ(saveMemory(&png, testPicture(), format::kPng, 24), kSuccess);
    png[16] = 0, png[17] = 1, png[18] = 0x11, png[19] = 0x70;
    EXPECT_LT(loadMemory(png, &handle), 0);
}

TEST(Orientation, PhotosLoadUprightAndReportTheirUprightSize) {
    // A JPEG of 40 by 20 whose EXIF block says "turn 90 degrees clockwise".
    QImage picture(40, 20, QImage::Format_RGB888);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.fillRect(0, 0, 10, 10, Qt::red);  // top-left as stored
    painter.end();
    ImageHandle source;
    ASSERT_EQ(handleFromQImage(picture, &source), kSuccess);
    QByteArray jpeg;
    ASSERT_EQ(saveMemory(&jpeg, source, format::kExifJpeg, 24), kSuccess);
    const qsizetype orientation = jpeg.indexOf(QByteArray("\x12\x01\x03\x00", 4));
    ASSERT_GT(orientation, 0);
    jpeg[orientation + 8] = 6;
    EXPECT_EQ(detail::exifOrientation(jpeg.mid(jpeg.indexOf("Exif") + 6)), 6);

    FileInfo info;
    ASSERT_EQ(fileInfoMemory(jpeg, &info), kSuccess);
    EXPECT_EQ(QSize(info.width, info.height), QSize(20, 40));
    ImageHandle upright;
    ASSERT_EQ(loadMemory(jpeg, &upright), kSuccess);
    EXPECT_EQ(upright.image.size(), QSize(20, 40));
    // The stored top-left corner is now the top-right one.
    EXPECT_GT(qRed(upright.image.pixel(15, 4)), 200);
    EXPECT_LT(qGreen(upright.image.pixel(15, 4)), 60);
    EXPECT_GT(qGreen(upright.image.pixel(4, 4)), 200);
}

TEST(ScaledLoading, FitsTheBoundWithoutEnlarging) {
    const ImageHandle source = testPicture(1600, 1200);
    QByteArray jpeg, png;
    ASSERT_EQ(saveMemory(&jpeg, source, format::kJpeg, 24), kSuccess);
    ASSERT_EQ(saveMemory(&png, source, format::kPng, 24), kSuccess);
    for (const QByteArray& data : {jpeg, png}) {
        ImageHandle thumb;
        ASSERT_EQ(loadMemoryScaled(data, QSize(128, 128), &thumb), kSuccess);
        EXPECT_EQ(thumb.image.size(), QSize(128, 96));
        EXPECT_EQ(thumb.bitsPerPixel, 24);
        ASSERT_EQ(loadMemoryScaled(data, QSize(550, 380), &thumb), kSuccess);
        EXPECT_EQ(thumb.image.size(), QSize(507, 380));
        ASSERT_EQ(loadMemoryScaled(data, QSize(5000, 5000), &thumb), kSuccess);
        EXPECT_EQ(thumb.image.size(), QSize(1600, 1200));
        // The picture is still the same picture.
        ImageHandle full;
        ASSERT_EQ(loadMemory(data, &full), kSuccess);
        EXPECT_LE(meanDifference(thumb.image, full.image), 6);
    }
}

TEST(Threads, LoadsAndSavesRunSideBySide) {
    const ImageHandle source = testPicture(300, 200);
    QByteArray jpeg;
    ASSERT_EQ(saveMemory(&jpeg, source, format::kJpeg, 24), kSuccess);
    ImageHandle reference;
    ASSERT_EQ(loadMemory(jpeg, &reference), kSuccess);
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10; ++i) {
                ImageHandle handle;
                QByteArray bytes;
                if (loadMemory(jpeg, &handle) != kSuccess || handle.image != reference.image ||
                    saveMemory(&bytes, handle, format::kTiff, 24) != kSuccess ||
                    saveMemory(&bytes, handle, format::kPcx, 8) != kSuccess) {
                    ++failures;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
}

}  // namespace

namespace {

TEST(PhotoCd, LoadsAtTheChosenResolution) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.pcd"));
    ASSERT_EQ(saveFile(path, testPicture(768, 512), format::kPhotoCd, 24), kSuccess);
    FileInfo info;
    ASSERT_EQ(fileInfo(path, &info), kSuccess);
    EXPECT_EQ(info.format, format::kPhotoCd);
    const struct {
        int resolution;
        QSize size;
    } cases[] = {{1, {192, 128}}, {2, {384, 256}}, {3, {768, 512}}};
    for (const auto& c : cases) {
        setPhotoCdResolution(c.resolution);
        ImageHandle handle;
        ASSERT_EQ(loadFile(path, &handle), kSuccess) << c.resolution;
        EXPECT_EQ(handle.image.size(), c.size) << c.resolution;
        EXPECT_EQ(handle.bitsPerPixel, 24);
    }
    setPhotoCdResolution(3);
}

}  // namespace
