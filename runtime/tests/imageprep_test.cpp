#include "runtime/imageprep.h"
#include "runtime/packagebuild.h"
#include "runtime/packagereader.h"
#include "runtime/tests/runtimetesting.h"

#include "crypt/encryptedimage.h"
#include "crypt/encryptionpassword.h"
#include "imaging/errors.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace runtime;
using namespace runtimetesting;

namespace {

TEST(PreparedSize, FollowsThe550By380Rule) {
    struct Case {
        QSize in;
        QSize out;
    };
    const Case cases[] = {
        {{4000, 3000}, {507, 380}},                        // 506.67 rounds up
        {{600, 200}, {550, 183}},                          // wide, not tall
        {{400, 300}, {400, 300}},                          // within the box: unchanged
        {{550, 380}, {550, 380}},   {{20, 10}, {20, 10}},  // never enlarged
        {{1000, 381}, {550, 210}},   // 997 wide at 380 high is too wide: 209.55 rounds up
        {{3000, 4000}, {285, 380}},  // upright photograph
        {{100, 5000}, {8, 380}},     // 7.6 rounds up
        {{551, 100}, {550, 100}},    // 99.82 rounds up
        {{20000, 10}, {550, 1}},     // a sliver keeps a pixel
        {{10, 20000}, {1, 380}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(preparedSize(c.in), c.out) << c.in.width() << "x" << c.in.height();
    }
}

class Preparation : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

TEST_F(Preparation, PicturesBecomeReducedJpegs) {
    struct Case {
        const char* name;
        QSize size;
        int format;
        QSize prepared;
    };
    const Case cases[] = {
        {"photo.jpg", {4000, 3000}, imaging::format::kJpeg, {507, 380}},
        {"wide.png", {600, 200}, imaging::format::kPng, {550, 183}},
        {"small.bmp", {400, 300}, imaging::format::kBmp, {400, 300}},
        {"palette.gif", {800, 600}, imaging::format::kGif, {507, 380}},
    };
    for (const Case& c : cases) {
        writePicture(path(c.name), c.size.width(), c.size.height(), c.format);
        const PreparedPicture prepared = preparePicture(path(c.name));
        ASSERT_EQ(prepared.status, imaging::kSuccess) << c.name;
        EXPECT_EQ(prepared.size, c.prepared) << c.name;
        EXPECT_EQ(prepared.sourceSize, c.size) << c.name;
        imaging::FileInfo info;
        ASSERT_EQ(imaging::fileInfoMemory(prepared.jpeg, &info), imaging::kSuccess);
        EXPECT_EQ(info.format, imaging::format::kJpeg) << c.name;
        EXPECT_EQ(QSize(info.width, info.height), c.prepared) << c.name;
        EXPECT_EQ(info.bitsPerPixel, 24) << c.name;
        // The picture survives the reduction: the red block stays red.
        imaging::ImageHandle loaded;
        ASSERT_EQ(imaging::loadMemory(prepared.jpeg, &loaded), imaging::kSuccess);
        const QColor red = loaded.image.pixelColor(c.prepared.width() / 4, c.prepared.height() / 4);
        EXPECT_GT(red.red(), 150) << c.name;
        EXPECT_LT(red.blue(), 90) << c.name;
    }
}

TEST_F(Preparation, UnusableFilesFail) {
    const QString text = writeBytes(path("notes.jpg"), "not a picture at all");
    EXPECT_NE(preparePicture(text).status, imaging::kSuccess);
    EXPECT_NE(preparePicture(path("missing.jpg")).status, imaging::kSuccess);

    // An enciphered image passes the file check, but no password is asked
    // while preparing.
    writePicture(path("plain.jpg"), 64, 48);
    EncryptionPassword password;
    password.setPassword(QStringLiteral("secret"));
    ASSERT_EQ(cipher::writeEncipheredImage(path("locked.jpg"), readAll(path("plain.jpg")), password,
                                           cipher::EncryptedKind::File),
              imaging::kSuccess);
    EXPECT_NE(preparePicture(path("locked.jpg")).status, imaging::kSuccess);
}

TEST_F(Preparation, SuccessesAreNumberedInOrderWithoutGaps) {
    QStringList sources;
    for (int i = 0; i < 7; ++i) {
        sources << writePicture(path(qPrintable(QStringLiteral("p%1.jpg").arg(i))), 600 + 10 * i,
                                400);
    }
    sources.insert(2, path("missing.jpg"));
    sources.insert(5, writeBytes(path("bad.png"), "garbage"));

    QString workPath;
    {
        const PlayerWorkFolder folder;
        ASSERT_TRUE(folder.isValid());
        workPath = folder.path();
        EXPECT_TRUE(workPath.startsWith(QDir::tempPath()));
        QList<int> reported;
        const PrepareResult result =
            prepareImages(sources, folder, 1, kPrepareQualityFactor, [&](int done) {
                reported << done;
                return true;
            });
        EXPECT_EQ(reported, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
        EXPECT_EQ(result.failed, (QStringList{sources[2], sources[5]}));
        EXPECT_EQ(result.sourceIndexes, (QList<int>{0, 1, 3, 4, 6, 7, 8}));
        ASSERT_EQ(result.preparedPaths.size(), 7);
        for (int k = 1; k <= 7; ++k) {
            EXPECT_EQ(result.preparedPaths[k - 1], folder.preparedPath(k));
            imaging::FileInfo info;
            ASSERT_EQ(imaging::fileInfo(folder.preparedPath(k), &info), imaging::kSuccess);
            // Picture k is source k-1 in order: 600 + 10 (k-1) wide, 400 high.
            const int source = result.sourceIndexes[k - 1];
            const int width = 600 + 10 * (source - (source > 2) - (source > 5));
            EXPECT_EQ(QSize(info.width, info.height), preparedSize({width, 400})) << k;
        }
        EXPECT_FALSE(QFileInfo::exists(folder.preparedPath(8)));

        // Pictures added later go on from the next number.
        int status = 0;
        EXPECT_EQ(prepareImage(sources[0], 8, folder, kAddedImageQualityFactor, &status),
                  folder.preparedPath(8));
        EXPECT_EQ(status, imaging::kSuccess);
        folder.removeFiles(8);
        EXPECT_TRUE(QDir(workPath).isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(workPath));
}

TEST_F(Preparation, ProgressCanStopTheWork) {
    QStringList sources;
    for (int i = 0; i < 6; ++i) {
        sources << writePicture(path(qPrintable(QStringLiteral("s%1.png").arg(i))), 700, 500,
                                imaging::format::kPng);
    }
    const PlayerWorkFolder folder;
    const PrepareResult result =
        prepareImages(sources, folder, 1, kPrepareQualityFactor, [](int done) { return done < 2; });
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.preparedPaths.size(), 2);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), (QStringList{"1", "2"}));
}

/// The temporary folder of the run, pointed at a folder of the test's own.
class TemporaryFolder {
public:
    TemporaryFolder() : m_saved(qgetenv("TMPDIR")) { qputenv("TMPDIR", m_dir.path().toUtf8()); }
    ~TemporaryFolder() { qputenv("TMPDIR", m_saved); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_saved;
};

TEST_F(Preparation, BuildLeavesNoTemporaryFiles) {
    const QString stub = writeBytes(path("zs1.dll"), pattern(kAssumedStubLength));
    PlayerProject project;
    for (const char* name : {"a.jpg", "b.jpg"}) {
        PlayerImage image;
        image.sourcePath = writePicture(path(name), 900, 700);
        project.images << image;
    }
    project.images.insert(1, PlayerImage{path("gone.jpg"), {}, {}, {}});
    project.images[2].description = QStringLiteral("last");
    project.options.descriptions = true;

    const TemporaryFolder temporary;
    ASSERT_EQ(QDir::tempPath(), temporary.path());
    PackageWriteOptions options;
    options.stubPath = stub;
    const QString output = path("player.exe");
    const PackageBuildResult built = buildPackage(output, project, options);
    ASSERT_TRUE(built.ok) << built.message.toStdString();
    EXPECT_EQ(built.failedImages, QStringList{path("gone.jpg")});
    EXPECT_TRUE(QDir(temporary.path()).isEmpty());
    const PackageReadResult read = readPackage(output);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.content.header.imageCount, 2);
    EXPECT_EQ(read.content.descriptions, (QStringList{QString(), "last"}));

    // A build that fails after preparing leaves nothing either.
    options.stubPath = path("no-stub.dll");
    const PackageBuildResult failed = buildPackage(path("other.exe"), project, options);
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(QDir(temporary.path()).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path("other.exe")));
}

}  // namespace
