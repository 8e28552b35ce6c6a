#include "search/folderwalk.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dirent.h>

using namespace search;

namespace {

void writePicture(const QString& path, int format = imaging::format::kJpeg) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    imaging::ImageHandle handle;
    ASSERT_EQ(imaging::createImage(&handle, 8, 6, 24), imaging::kSuccess);
    handle.image.fill(Qt::darkCyan);
    ASSERT_EQ(imaging::saveFile(path, handle, format, 24), imaging::kSuccess) << path.toStdString();
}

void writeText(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture at all");
}

/// The names of `folder` in the order the file system lists them.
QStringList listingOrder(const QString& folder) {
    QStringList names;
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    while (const dirent* entry = dir ? readdir(dir) : nullptr) {
        names << QFile::decodeName(entry->d_name);
    }
    if (dir) {
        closedir(dir);
    }
    return names;
}

QStringList walk(const QString& folder, const QString& mask, bool sub,
                 SearchState* state = nullptr) {
    SearchState own;
    SearchState& used = state ? *state : own;
    QStringList added;
    walkFolder(folder, mask, sub, used, [&](const QString& path) {
        added << QDir(folder).relativeFilePath(path);
        return 0;
    });
    return added;
}

class FolderWalk : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

TEST(SearchMask, WildcardsAndCase) {
    EXPECT_TRUE(maskMatches("*.jpg", "holiday.JPG"));
    EXPECT_TRUE(maskMatches("*.*", "README"));  // every name, with or without a dot
    EXPECT_FALSE(maskMatches("*.jpg", "holiday.jpeg"));
    EXPECT_TRUE(maskMatches("img_??.png", "IMG_07.png"));
    EXPECT_FALSE(maskMatches("img_??.png", "img_7.png"));
    EXPECT_TRUE(maskMatches("photo.bmp", "photo.bmp"));
    EXPECT_FALSE(maskMatches("photo.bmp", "photo.bmp.bak"));
    EXPECT_TRUE(maskMatches("*a*b*c", "xxaxxbxxc"));
    // Many stars against a long name that fails late stay quick.
    EXPECT_FALSE(maskMatches("*a*a*a*a*a*a*a*a*b", QString(200, QLatin1Char('a'))));
    EXPECT_TRUE(maskMatchesEverything("*.*"));
    EXPECT_FALSE(maskMatchesEverything("*"));
}

TEST_F(FolderWalk, EverythingAddsEveryRecognisedImageWhateverItsName) {
    writePicture(path("a.jpg"));
    writePicture(path("b.dat"), imaging::format::kPng);  // an image by its bytes
    writePicture(path("c.bmp"), imaging::format::kBmp);
    writeText(path("d.jpg"));  // named like one, is not
    writePicture(path(".hidden.jpg"));
    writePicture(path("sub/e.jpg"));

    const QStringList added = walk(m_dir.path(), "*.*", false);
    QStringList expected;
    for (const QString& name : listingOrder(m_dir.path())) {
        if (name == "a.jpg" || name == "b.dat" || name == "c.bmp") {
            expected << name;
        }
    }
    EXPECT_EQ(added, expected);  // listing order, nothing sorted
}

TEST_F(FolderWalk, MaskBareNameAndProbe) {
    writePicture(path("one.jpg"));
    writePicture(path("two.JPG"));
    writePicture(path("three.png"), imaging::format::kPng);
    writeText(path("broken.jpg"));
    writePicture(path(".secret.jpg"));
    writePicture(path("gem.jpg"), imaging::format::kGem);  // a format the probe rejects

    QStringList jpgs = walk(m_dir.path(), "*.jpg", false);
    jpgs.sort();
    EXPECT_EQ(jpgs, QStringList({"one.jpg", "two.JPG"}));
    EXPECT_EQ(walk(m_dir.path(), "three.png", false), QStringList({"three.png"}));
    EXPECT_TRUE(walk(m_dir.path(), "three", false).isEmpty());
    EXPECT_TRUE(walk(m_dir.path(), "*.gif", false).isEmpty());
    EXPECT_TRUE(walk(path("missing"), "*.*", true).isEmpty());
}

TEST_F(FolderWalk, SubFoldersDepthFirstOnlyWhenAsked) {
    writePicture(path("top.jpg"));
    writePicture(path("a/one.jpg"));
    writePicture(path("a/deeper/two.jpg"));
    writePicture(path("a/deeper/three.jpg"));
    writePicture(path("b/four.jpg"));
    writePicture(path(".cache/never.jpg"));
    QDir().mkpath(path("empty"));
    // A link back up the tree must not make the walk go round for ever.
    ASSERT_TRUE(QFile::link(m_dir.path(), path("a/loop")));

    EXPECT_EQ(walk(m_dir.path(), "*.jpg", false), QStringList({"top.jpg"}));
    const QStringList all = walk(m_dir.path(), "*.*", true);
    QStringList sorted = all;
    sorted.sort();
    EXPECT_EQ(sorted, QStringList({"a/deeper/three.jpg", "a/deeper/two.jpg", "a/one.jpg",
                                   "b/four.jpg", "top.jpg"}));
    // Depth-first: each folder's pictures come together.
    const auto firstOf = [&](const QString& prefix) {
        for (int i = 0; i < all.size(); ++i) {
            if (all[i].startsWith(prefix)) {
                return i;
            }
        }
        return -1;
    };
    const int deeper = firstOf("a/deeper/");
    EXPECT_TRUE(all[deeper + 1].startsWith("a/deeper/"));
    EXPECT_EQ(all.count(), 5);
}

TEST_F(FolderWalk, MatchesMayComeOutBeforeAnEarlierFoldersContents) {
    // With a mask, every visible entry of the listing that is not a folder
    // being entered takes the next match; a folder being entered takes
    // none. So the matches follow the steps, not their own names.
    for (const char* name : {"x1.jpg", "x2.jpg", "x3.jpg", "x4.jpg"}) {
        writePicture(path(QLatin1String(name)));
    }
    writeText(path("notes.txt"));
    writePicture(path("sub/inner.jpg"));

    const QStringList listing = listingOrder(m_dir.path());
    QStringList expected;
    QStringList matches;
    for (const QString& name : listing) {
        if (name.endsWith(".jpg")) {
            matches << name;
        }
    }
    int next = 0;
    for (const QString& name : listing) {
        if (name == "sub") {
            expected << "sub/inner.jpg";
        } else if (!name.startsWith('.') && next < matches.size()) {
            expected << matches[next++];
        }
    }
    EXPECT_EQ(walk(m_dir.path(), "*.jpg", true), expected);
}

TEST_F(FolderWalk, CancelEndsTheWalkAtEveryLevelKeepingWhatWasAdded) {
    for (int i = 0; i < 4; ++i) {
        writePicture(path(QStringLiteral("d%1/e%1/p%1.jpg").arg(i)));
        writePicture(path(QStringLiteral("d%1/q%1.jpg").arg(i)));
    }
    SearchState state;
    QStringList added;
    walkFolder(m_dir.path(), "*.*", true, state, [&](const QString& file) {
        added << file;
        state.cancel = true;  // Esc after the first picture
        return 0;
    });
    EXPECT_EQ(added.size(), 1);
    EXPECT_EQ(state.imagesAdded, 1);
}

TEST_F(FolderWalk, CountsOnlyWhatTheWindowTookUnderEverything) {
    writePicture(path("a.jpg"));
    writePicture(path("b.jpg"));
    SearchState state;
    walkFolder(m_dir.path(), "*.*", false, state,
               [](const QString& file) { return file.endsWith("a.jpg") ? 0 : 1; });
    EXPECT_EQ(state.imagesAdded, 1);
}

}  // namespace
