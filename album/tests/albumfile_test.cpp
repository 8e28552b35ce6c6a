#include "album/albumfile.h"
#include "album/mounttable.h"
#include "platform/fileexception.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray stringField(const QByteArray& bytes) {
    return char(bytes.size()) + bytes;
}

QByteArray tripBytes() {
    return stringField("starbloom photo album") + stringField("Trip") +
           QByteArray::fromHex("01000000") + stringField("c:\\a.bmp") + stringField("") +
           stringField("Sea");
}

AlbumModel sampleAlbum() {
    AlbumModel album;
    album.setName(QStringLiteral("Summer"));
    album.setPhotos(
        {{QStringLiteral("/pics/beach.jpg"), QStringLiteral("Sand & sun"), QStringLiteral("Beach")},
         {QStringLiteral("/pics/caf\u00e9.png"), {}, {}},
         {QStringLiteral("/pics/x.tif"), QStringLiteral("Only a description"), {}}});
    return album;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

FileException::Cause readFailure(const QByteArray& bytes) {
    try {
        readAlbum(bytes);
    } catch (const FileException& error) {
        return error.cause();
    }
    return FileException::Cause::None;
}

TEST(AlbumFile, TripAndEmptyAlbumsByteForByte) {
    AlbumModel album;
    album.setName(QStringLiteral("Trip"));
    album.setPhotos({{QStringLiteral("c:\\a.bmp"), {}, QStringLiteral("Sea")}});
    EXPECT_EQ(writeAlbum(album), tripBytes());

    const AlbumModel read = readAlbum(tripBytes());
    EXPECT_EQ(read, album);
    EXPECT_EQ(read.photo(0).title, QStringLiteral("Sea"));
    EXPECT_TRUE(read.photo(0).description.isEmpty());

    // No photos: signature, name and a zero count.
    AlbumModel none;
    none.setName(QStringLiteral("None"));
    const QByteArray empty =
        stringField("starbloom photo album") + stringField("None") + QByteArray(4, '\0');
    EXPECT_EQ(writeAlbum(none), empty);
    EXPECT_EQ(readAlbum(empty), none);
}

TEST(AlbumFile, ShortFilesAreRefusedUnreadAndForeignSignaturesAfterReading) {
    // 22 bytes that would read as a (wrong) signature are refused for their
    // size before the signature is looked at.
    const QByteArray wrong = stringField("starbloom photo albuM");
    ASSERT_EQ(wrong.size(), 22);
    EXPECT_EQ(readFailure(wrong), FileException::Cause::EndOfFile);
    EXPECT_EQ(readFailure(stringField("starbloom photo album")), FileException::Cause::EndOfFile);
    // At 23 bytes the signature is read and compared, case and all.
    EXPECT_EQ(readFailure(wrong + '\0'), FileException::Cause::BadFormat);
    EXPECT_EQ(readFailure(stringField("Starbloom photo album") + '\0'),
              FileException::Cause::BadFormat);
    // The right signature and an empty name, but no count.
    EXPECT_EQ(readFailure(stringField("starbloom photo album") + '\0'),
              FileException::Cause::EndOfFile);
}

TEST(AlbumFile, CountsOutsideTheModelOrBeyondTheDataAreRefused) {
    const QByteArray head = stringField("starbloom photo album") + stringField("N");
    EXPECT_EQ(readFailure(head + QByteArray::fromHex("ffffffff") + QByteArray(9, '\0')),
              FileException::Cause::BadFormat);
    EXPECT_EQ(readFailure(head + QByteArray::fromHex("ea030000") + QByteArray(3006, '\0')),
              FileException::Cause::BadFormat);
    // 1001 records need at least 3003 bytes.
    EXPECT_EQ(readFailure(head + QByteArray::fromHex("e9030000") + QByteArray(3002, '\0')),
              FileException::Cause::EndOfFile);
    const AlbumModel full =
        readAlbum(head + QByteArray::fromHex("e9030000") + QByteArray(3003, '\0'));
    EXPECT_EQ(full.count(), AlbumModel::kCapacity);
}

TEST(AlbumFile, LongTextsTakeTheWiderLengthPrefixes) {
    AlbumModel album;
    album.setName(QStringLiteral("L"));
    album.setPhotos({{QString(254, QLatin1Char('p')), QString(255, QLatin1Char('d')),
                      QString(65533, QLatin1Char('t'))},
                     {QStringLiteral("/q"), QString(65534, QLatin1Char('e')), {}}});
    const QByteArray bytes = writeAlbum(album);
    qsizetype at = 22 + 2 + 4;
    EXPECT_EQ(bytes.mid(at, 1), QByteArray::fromHex("fe"));
    at += 1 + 254;
    EXPECT_EQ(bytes.mid(at, 3), QByteArray::fromHex("ffff00"));
    at += 3 + 255;
    EXPECT_EQ(bytes.mid(at, 3), QByteArray::fromHex("fffdff"));
    at += 3 + 65533 + 3;
    EXPECT_EQ(bytes.mid(at, 7), QByteArray::fromHex("ffffff feff0000"));
    EXPECT_EQ(readAlbum(bytes), album);
}

TEST(AlbumFile, TextsOfTheWindowsProgramAreDecoded) {
    QByteArray utf16Title = QByteArray::fromHex("fffeff03") + QByteArray("S\0e\0a\0", 6);
    const QByteArray bytes = stringField("starbloom photo album") + stringField("Caf\xe9") +
                             QByteArray::fromHex("01000000") + stringField("d:\\b.jpg") +
                             stringField("na\xefve \x80") + utf16Title + "trailing";
    qint64 used = 0;
    const AlbumModel album = readAlbum(bytes, {}, &used);
    EXPECT_EQ(album.name(), QStringLiteral("Caf\u00e9"));
    EXPECT_EQ(album.photo(0).description, QStringLiteral("na\u00efve \u20ac"));
    EXPECT_EQ(album.photo(0).title, QStringLiteral("Sea"));
    EXPECT_EQ(used, bytes.size() - 8);
}

TEST(AlbumFile, SavedAlbumLoadsBackFromTheAlbumsFolder) {
    QTemporaryDir dir;
    const QString albums = dir.filePath(QStringLiteral("Albums/"));
    ASSERT_TRUE(QDir().mkpath(albums));
    AlbumModel album = sampleAlbum();
    album.setModified(true);
    QString message;
    ASSERT_TRUE(saveAlbum(album, albums, &message)) << message.toStdString();
    EXPECT_FALSE(album.isModified());
    const QString path = albums + QStringLiteral("Summer.alb");
    EXPECT_EQ(album.filePath(albums), path);
    // Nothing but the album file is left behind.
    EXPECT_EQ(QDir(albums).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Summer.alb")});

    AlbumModel loaded;
    loaded.setModified(true);
    const QString volume = QFileInfo(dir.path()).canonicalFilePath();
    const MountTable mounts({QStringLiteral("/"), volume});
    ASSERT_TRUE(loadAlbum(path, loaded, mounts, &message));
    EXPECT_FALSE(loaded.isModified());
    EXPECT_EQ(loaded.albumDrive(), volume);
    loaded.setAlbumDrive({});
    EXPECT_EQ(loaded, album);

    // A second save replaces the file whole.
    album.removePhoto(0);
    ASSERT_TRUE(saveAlbum(album, albums));
    ASSERT_TRUE(loadAlbum(path, loaded, mounts));
    EXPECT_EQ(loaded.photos(), album.photos());
}

TEST(AlbumFile, FailedLoadsLeaveTheCallersAlbumAlone) {
    QTemporaryDir dir;
    const QByteArray good = writeAlbum(sampleAlbum());
    AlbumModel held = sampleAlbum();
    held.setName(QStringLiteral("Held"));
    held.setModified(true);
    held.setAlbumDrive(QStringLiteral("/media/held"));
    const AlbumModel before = held;

    const QString path = dir.filePath(QStringLiteral("cut.alb"));
    for (qsizetype length = 0; length < good.size(); ++length) {
        ASSERT_TRUE(writeFile(path, good.left(length)));
        QString message;
        ASSERT_FALSE(loadAlbum(path, held, &message)) << length;
        EXPECT_EQ(message, QStringLiteral("Not a valid photo album: ") + path);
        ASSERT_EQ(held, before) << length;
    }
    QString message;
    EXPECT_FALSE(loadAlbum(dir.filePath(QStringLiteral("missing.alb")), held, &message));
    EXPECT_EQ(message, QStringLiteral("Not a valid photo album: ") +
                           dir.filePath(QStringLiteral("missing.alb")));
    EXPECT_FALSE(loadAlbum(dir.path(), held));
    EXPECT_EQ(held, before);
}

TEST(AlbumFile, SaveRefusesNamesThatAreNoFileNameAndFailedWrites) {
    QTemporaryDir dir;
    const QString albums = dir.filePath(QStringLiteral("Albums/"));
    ASSERT_TRUE(QDir().mkpath(albums));
    // A name read from a file must not steer the save out of the folder.
    for (const QString& name : {QStringLiteral("../escape"), QString(), QStringLiteral("a\0b")}) {
        AlbumModel album = sampleAlbum();
        album.setName(name);
        album.setModified(true);
        QString message;
        EXPECT_FALSE(saveAlbum(album, albums, &message));
        EXPECT_EQ(message, QStringLiteral("Error: Unable to save file"));
        EXPECT_TRUE(album.isModified());
    }
    EXPECT_TRUE(QDir(albums).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("escape.alb"))));

    AlbumModel album = sampleAlbum();
    album.setModified(true);
    EXPECT_FALSE(saveAlbum(album, dir.filePath(QStringLiteral("no such folder/"))));
    EXPECT_TRUE(album.isModified());
}

}  // namespace
