#include "album/albummodel.h"
#include "album/albumfile.h"
#include "album/mounttable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList pathsOf(const AlbumModel& album) {
    QStringList paths;
    for (const AlbumPhoto& photo : album.photos()) {
        paths.append(photo.path);
    }
    return paths;
}

TEST(AlbumModel, HoldsAtMost1001PhotosEachOnce) {
    AlbumModel album;
    for (int i = 0; i < AlbumModel::kCapacity; ++i) {
        ASSERT_EQ(album.addPhoto(QStringLiteral("/p/%1.jpg").arg(i)), AlbumModel::AddResult::Added);
    }
    album.setModified(false);
    EXPECT_EQ(album.addPhoto(QStringLiteral("/p/extra.jpg")), AlbumModel::AddResult::Full);
    EXPECT_EQ(album.addPhoto(QStringLiteral("/p/7.jpg")), AlbumModel::AddResult::AlreadyPresent);
    EXPECT_EQ(album.count(), AlbumModel::kCapacity);
    EXPECT_FALSE(album.isModified());
    EXPECT_TRUE(AlbumModel::fullMessage().contains(QStringLiteral("1001")));
    EXPECT_FALSE(album.setPhotos(QList<AlbumPhoto>(AlbumModel::kCapacity + 1)));
    EXPECT_EQ(album.count(), AlbumModel::kCapacity);

    // Paths are compared with their letter case.
    AlbumModel other;
    EXPECT_EQ(other.addPhoto(QStringLiteral("/p/A.jpg")), AlbumModel::AddResult::Added);
    EXPECT_EQ(other.addPhoto(QStringLiteral("/p/a.jpg")), AlbumModel::AddResult::Added);
    EXPECT_EQ(other.addPhoto(QStringLiteral("/p/a.jpg")), AlbumModel::AddResult::AlreadyPresent);
    EXPECT_TRUE(other.isModified());
    EXPECT_TRUE(other.photo(0).hasNoText());
}

TEST(AlbumModel, EditsKeepOrderAndMarkTheAlbumModified) {
    AlbumModel album;
    for (int i = 1; i <= 8; ++i) {
        album.addPhoto(QString::number(i));
    }
    album.setModified(false);
    ASSERT_TRUE(album.movePhoto(4, 1));
    EXPECT_EQ(pathsOf(album), QStringLiteral("1 5 2 3 4 6 7 8").split(QLatin1Char(' ')));
    EXPECT_TRUE(album.isModified());

    album.setModified(false);
    EXPECT_TRUE(album.movePhoto(3, 3));
    EXPECT_FALSE(album.isModified()) << "a photo put back onto its own place";
    EXPECT_FALSE(album.movePhoto(0, 8));
    EXPECT_FALSE(album.removePhoto(8));
    EXPECT_FALSE(album.setPhotoText(-1, QStringLiteral("t"), QStringLiteral("d")));
    EXPECT_FALSE(album.isModified());

    ASSERT_TRUE(album.removePhoto(1));
    EXPECT_EQ(pathsOf(album), QStringLiteral("1 2 3 4 6 7 8").split(QLatin1Char(' ')));
    album.setModified(false);
    ASSERT_TRUE(album.setPhotoText(2, QStringLiteral("Title"), QStringLiteral("Description")));
    EXPECT_EQ(album.photo(2).title, QStringLiteral("Title"));
    EXPECT_EQ(album.photo(2).description, QStringLiteral("Description"));
    EXPECT_TRUE(album.isModified());

    album.clear();
    EXPECT_EQ(album, AlbumModel());
}

TEST(MountTable, FindsTheDeepestVolumeByWholeFolders) {
    const MountTable mounts({"/", "/media/a", "/media/ab/", "relative"});
    EXPECT_EQ(mounts.mountPointOf(QStringLiteral("/media/ab/x.jpg")), QStringLiteral("/media/ab"));
    EXPECT_EQ(mounts.mountPointOf(QStringLiteral("/media/a/x.jpg")), QStringLiteral("/media/a"));
    EXPECT_EQ(mounts.mountPointOf(QStringLiteral("/media/abc/x")), QStringLiteral("/"));
    EXPECT_EQ(mounts.mountPointOf(QStringLiteral("/media/a")), QStringLiteral("/media/a"));
    EXPECT_TRUE(mounts.mountPointOf(QStringLiteral("c:\\a.bmp")).isEmpty());
}

/// Two "volumes" d and e side by side in a temporary folder; the album lies
/// on e, its photos were stored with paths on d.
class AlbumDrive : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_top = QFileInfo(m_dir.path()).canonicalFilePath();
        m_d = m_top + QStringLiteral("/d");
        m_e = m_top + QStringLiteral("/e");
        ASSERT_TRUE(QDir().mkpath(m_d + QStringLiteral("/pics")));
        ASSERT_TRUE(QDir().mkpath(m_e + QStringLiteral("/pics")));
        ASSERT_TRUE(QDir().mkpath(m_e + QStringLiteral("/Albums")));
    }

    static void touch(const QString& path) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    /// Saves an album with `photoPath` on e and loads it against `mounts`.
    AlbumModel loadedAlbum(const QString& photoPath, const MountTable& mounts) {
        AlbumModel album;
        album.setName(QStringLiteral("Moved"));
        album.addPhoto(photoPath);
        EXPECT_TRUE(saveAlbum(album, m_e + QStringLiteral("/Albums")));
        AlbumModel loaded;
        EXPECT_TRUE(loadAlbum(album.filePath(m_e + QStringLiteral("/Albums")), loaded, mounts));
        return loaded;
    }

    static std::optional<QString> resolve(const AlbumModel& album, const MountTable& mounts) {
        return album.resolvePhotoPath(
            0, [](const QString& path) { return QFileInfo(path).isFile(); }, mounts);
    }

    QTemporaryDir m_dir;
    QString m_top, m_d, m_e;
};

TEST_F(AlbumDrive, PhotoMissingOnItsVolumeIsFoundAtTheSamePlaceOnTheAlbums) {
    const MountTable mounts({QStringLiteral("/"), m_d, m_e});
    const QString stored = m_d + QStringLiteral("/pics/a.jpg");
    const AlbumModel album = loadedAlbum(stored, mounts);
    EXPECT_EQ(album.albumDrive(), m_e);

    EXPECT_EQ(resolve(album, mounts), std::nullopt) << "missing on both volumes";
    touch(m_e + QStringLiteral("/pics/a.jpg"));
    EXPECT_EQ(resolve(album, mounts), m_e + QStringLiteral("/pics/a.jpg"));
    // The stored path is tried first and wins when it loads.
    touch(stored);
    EXPECT_EQ(resolve(album, mounts), stored);
}

TEST_F(AlbumDrive, AVolumeNoLongerMountedIsTheFolderBesideTheAlbums) {
    // d is gone: the table knows only the root and e.
    const MountTable mounts({QStringLiteral("/"), m_e});
    const AlbumModel album = loadedAlbum(m_d + QStringLiteral("/pics/b.jpg"), mounts);
    touch(m_e + QStringLiteral("/pics/b.jpg"));
    EXPECT_EQ(resolve(album, mounts), m_e + QStringLiteral("/pics/b.jpg"));
}

TEST_F(AlbumDrive, PhotoOfTheRootVolumeIsLookedForBelowTheAlbumsVolume) {
    const MountTable mounts({QStringLiteral("/"), m_e});
    const QString stored = QStringLiteral("/pixoria-missing/pics/c.jpg");
    const AlbumModel album = loadedAlbum(stored, mounts);
    EXPECT_EQ(album.pathOnAlbumDrive(stored, mounts), m_e + stored);
    touch(m_e + stored);
    EXPECT_EQ(resolve(album, mounts), m_e + stored);
}

TEST_F(AlbumDrive, NothingElseIsTriedWithoutADriveOrForForeignPaths) {
    const MountTable mounts({QStringLiteral("/"), m_e});
    AlbumModel never;
    never.addPhoto(m_d + QStringLiteral("/pics/a.jpg"));
    EXPECT_TRUE(never.pathOnAlbumDrive(never.photo(0).path, mounts).isEmpty());

    const AlbumModel windows = loadedAlbum(QStringLiteral("c:\\pics\\a.bmp"), mounts);
    int tries = 0;
    EXPECT_EQ(windows.resolvePhotoPath(
                  0,
                  [&](const QString&) {
                      ++tries;
                      return false;
                  },
                  mounts),
              std::nullopt);
    EXPECT_EQ(tries, 1);
    // A photo already on the album's volume has no other place to be.
    EXPECT_TRUE(windows.pathOnAlbumDrive(m_e + QStringLiteral("/pics/a.jpg"), mounts).isEmpty());
    EXPECT_EQ(windows.resolvePhotoPath(5, [](const QString&) { return true; }), std::nullopt);
}

}  // namespace
