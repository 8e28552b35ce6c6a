#include "album/albummodel.h"

#include "album/mounttable.h"

#include <QDir>

namespace {

const QString kRoot = QStringLiteral("/");

/// The folder holding `folder`; "/" for "/" and for folders right below it.
QString parentFolder(const QString& folder) {
    const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? kRoot : folder.left(slash);
}

/// `relative` below `folder`.
QString joined(const QString& folder, const QString& relative) {
    if (relative.isEmpty()) {
        return folder;
    }
    return folder == kRoot ? kRoot + relative : folder + QLatin1Char('/') + relative;
}

}  // namespace

QString AlbumModel::fullMessage() {
    return QStringLiteral("This album is full: an album holds at most %1 photos.").arg(kCapacity);
}

int AlbumModel::indexOf(const QString& path) const {
    for (int i = 0; i < count(); ++i) {
        if (m_photos.at(i).path == path) {
            return i;
        }
    }
    return -1;
}

bool AlbumModel::setPhotos(QList<AlbumPhoto> photos) {
    if (photos.size() > kCapacity) {
        return false;
    }
    m_photos = std::move(photos);
    return true;
}

AlbumModel::AddResult AlbumModel::addPhoto(const QString& path) {
    if (indexOf(path) >= 0) {
        return AddResult::AlreadyPresent;
    }
    if (count() >= kCapacity) {
        return AddResult::Full;
    }
    m_photos.append(AlbumPhoto{path, {}, {}});
    m_modified = true;
    return AddResult::Added;
}

bool AlbumModel::setPhotoText(int index, const QString& title, const QString& description) {
    if (!isIndex(index)) {
        return false;
    }
    m_photos[index].title = title;
    m_photos[index].description = description;
    m_modified = true;
    return true;
}

bool AlbumModel::removePhoto(int index) {
    if (!isIndex(index)) {
        return false;
    }
    m_photos.removeAt(index);
    m_modified = true;
    return true;
}

bool AlbumModel::movePhoto(int from, int to) {
    if (!isIndex(from) || !isIndex(to)) {
        return false;
    }
    if (from != to) {
        m_photos.move(from, to);
        m_modified = true;
    }
    return true;
}

void AlbumModel::clear() {
    *this = AlbumModel();
}

QString AlbumModel::filePath(const QString& albumsFolder) const {
    QString folder = albumsFolder;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return folder + m_name + QStringLiteral(".alb");
}

QString AlbumModel::pathOnAlbumDrive(const QString& path, const MountTable& mounts) const {
    QString volume = mounts.mountPointOf(path);
    if (m_albumDrive.isEmpty() || volume.isEmpty()) {
        return {};
    }
    const QString clean = QDir::cleanPath(path);
    // A volume beside the album's own (another stick below /media/<user>)
    // that is no longer mounted is unknown to the table, which then names a
    // volume above both. The path's first folder below the shared parent
    // stands for its volume then, as the drive letter did.
    const QString parent = parentFolder(m_albumDrive);
    if (parent != kRoot && isWithinFolder(parent, volume) && isWithinFolder(clean, parent) &&
        clean != parent) {
        const QString below = clean.mid(parent.size() + 1);
        const qsizetype slash = below.indexOf(QLatin1Char('/'));
        if (slash > 0) {
            volume = parent + QLatin1Char('/') + below.left(slash);
        }
    }
    const QString relative = volume == kRoot ? clean.mid(1) : clean.mid(volume.size() + 1);
    const QString moved = joined(m_albumDrive, relative);
    return moved == clean ? QString() : moved;
}

std::optional<QString> AlbumModel::resolvePhotoPath(
    int index, const std::function<bool(const QString&)>& canLoad, const MountTable& mounts) const {
    if (!isIndex(index)) {
        return std::nullopt;
    }
    const QString& stored = m_photos.at(index).path;
    if (canLoad(stored)) {
        return stored;
    }
    return loadableOnAlbumDrive(stored, canLoad, mounts);
}

std::optional<QString> AlbumModel::resolvePhotoPath(
    int index, const std::function<bool(const QString&)>& canLoad) const {
    if (!isIndex(index)) {
        return std::nullopt;
    }
    const QString& stored = m_photos.at(index).path;
    if (canLoad(stored)) {
        return stored;
    }
    return loadableOnAlbumDrive(stored, canLoad, MountTable::system());
}

std::optional<QString> AlbumModel::loadableOnAlbumDrive(
    const QString& path, const std::function<bool(const QString&)>& canLoad,
    const MountTable& mounts) const {
    const QString moved = pathOnAlbumDrive(path, mounts);
    if (!moved.isEmpty() && canLoad(moved)) {
        return moved;
    }
    return std::nullopt;
}
