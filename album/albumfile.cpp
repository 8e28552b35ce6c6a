#include "album/albumfile.h"

#include "album/mounttable.h"
#include "platform/archive.h"
#include "platform/atomicfile.h"
#include "platform/cfile.h"
#include "platform/fileexception.h"

#include <QFileInfo>

namespace {

// Each record is three strings of at least their one-byte length prefix.
constexpr qint64 kSmallestRecord = 3;

bool isFileName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

}  // namespace

AlbumModel readAlbum(QByteArrayView data, const QString& path, qint64* used) {
    ArchiveReader archive(data, path);
    if (data.size() < kAlbumMinimumSize) {
        archive.require(kAlbumMinimumSize);
    }
    if (archive.readString() != QLatin1String(kAlbumSignature)) {
        archive.fail();
    }
    AlbumModel album;
    album.setName(archive.readString());
    const qint32 count = archive.readInt32();
    if (count < 0 || count > AlbumModel::kCapacity) {
        archive.fail();
    }
    archive.require(count * kSmallestRecord);
    QList<AlbumPhoto> photos;
    photos.reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        AlbumPhoto photo;
        photo.path = archive.readString();
        photo.description = archive.readString();
        photo.title = archive.readString();
        photos.append(std::move(photo));
    }
    album.setPhotos(std::move(photos));
    if (used) {
        *used = archive.position();
    }
    return album;
}

QByteArray writeAlbum(const AlbumModel& album) {
    ArchiveWriter archive;
    archive.writeString(QLatin1String(kAlbumSignature));
    archive.writeString(album.name());
    archive.writeInt32(album.count());
    for (const AlbumPhoto& photo : album.photos()) {
        archive.writeString(photo.path);
        archive.writeString(photo.description);
        archive.writeString(photo.title);
    }
    return archive.take();
}

QString invalidAlbumMessage(const QString& fullPath) {
    return QStringLiteral("Not a valid photo album: %1").arg(fullPath);
}

QString unableToSaveMessage() {
    return QStringLiteral("Error: Unable to save file");
}

AlbumModel readAlbumFile(const QString& path, const MountTable& mounts) {
    const QFileInfo info(path);
    const QString fullPath = info.absoluteFilePath();
    CFile file;
    FileException error(FileException::Cause::None, 0, fullPath);
    if (!file.open(fullPath, CFile::kModeRead | CFile::kShareDenyWrite, &error)) {
        throw error;
    }
    const std::uint64_t length = file.getLength();
    if (length > static_cast<std::uint64_t>(kAlbumMaximumSize)) {
        throw FileException(FileException::Cause::BadFormat, 0, fullPath);
    }
    QByteArray data(static_cast<qsizetype>(length), Qt::Uninitialized);
    if (file.read(data.data(), static_cast<std::uint32_t>(length)) != length) {
        throw FileException(FileException::Cause::EndOfFile, 0, fullPath);
    }
    file.close();

    AlbumModel album = readAlbum(data, fullPath);
    const QString realPath = info.canonicalFilePath();
    album.setAlbumDrive(mounts.mountPointOf(realPath.isEmpty() ? fullPath : realPath));
    return album;
}

bool loadAlbum(const QString& path, AlbumModel& album, const MountTable& mounts, QString* message) {
    try {
        album = readAlbumFile(path, mounts);
        return true;
    } catch (const FileException&) {
        if (message) {
            *message = invalidAlbumMessage(QFileInfo(path).absoluteFilePath());
        }
        return false;
    }
}

bool loadAlbum(const QString& path, AlbumModel& album, QString* message) {
    return loadAlbum(path, album, MountTable::system(), message);
}

bool saveAlbum(AlbumModel& album, const QString& albumsFolder, QString* message) {
    if (!isFileName(album.name()) ||
        !writeFileAtomically(album.filePath(albumsFolder), writeAlbum(album))) {
        if (message) {
            *message = unableToSaveMessage();
        }
        return false;
    }
    album.setModified(false);
    return true;
}
