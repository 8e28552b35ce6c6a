#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class MountTable;

/// One photo of an album: the full path of its image file and the texts
/// shown with it.
struct AlbumPhoto {
    QString path;
    QString description;
    QString title;

    /// Neither a title nor a description.
    bool hasNoText() const { return title.isEmpty() && description.isEmpty(); }
    bool operator==(const AlbumPhoto&) const = default;
};

/// The album the album view and the album creator share: its name, up to
/// 1001 photos in album order (indexed from 0), whether it differs from its
/// file, and the volume its file was loaded from (the album drive).
/// A plain value; one thread uses an object at a time.
class AlbumModel {
public:
    static constexpr int kCapacity = 1001;

    enum class AddResult { Added, AlreadyPresent, Full };

    /// The text to show when addPhoto() answers Full.
    static QString fullMessage();

    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }

    int count() const { return static_cast<int>(m_photos.size()); }
    bool isEmpty() const { return m_photos.isEmpty(); }
    const QList<AlbumPhoto>& photos() const { return m_photos; }
    /// `index` must be below count().
    const AlbumPhoto& photo(int index) const { return m_photos.at(index); }
    /// The first photo whose path is exactly `path` (case-sensitive), or -1.
    int indexOf(const QString& path) const;

    /// Replaces every photo, as a loaded file gives them (duplicates and
    /// all). False, and nothing changed, when there are more than kCapacity.
    bool setPhotos(QList<AlbumPhoto> photos);
    /// Appends `path` with an empty title and description and marks the
    /// album modified. A path already in the album, or a photo beyond
    /// kCapacity, is refused and nothing changes.
    AddResult addPhoto(const QString& path);
    /// Each of these marks the album modified; an index out of range
    /// changes nothing and answers false.
    bool setPhotoText(int index, const QString& title, const QString& description);
    /// Later photos move up one place.
    bool removePhoto(int index);
    /// Takes photo `from` out and puts it back at `to`; the photos between
    /// move by one. Moving a photo onto its own place changes nothing.
    bool movePhoto(int from, int to);
    /// Back to the empty album of start-up: no name, no photos, no drive,
    /// not modified.
    void clear();

    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    /// The mount point of the file the album was loaded from; empty for an
    /// album that was never loaded.
    const QString& albumDrive() const { return m_albumDrive; }
    void setAlbumDrive(const QString& mountPoint) { m_albumDrive = mountPoint; }

    /// The album's file in `albumsFolder`: the folder, the name and ".alb".
    QString filePath(const QString& albumsFolder) const;

    /// `path` moved from its own volume to the album drive, keeping its place
    /// below the volume, so an album carried to another volume together with
    /// its pictures still finds them. Empty when there is nothing different
    /// to try: no album drive, a path that is not absolute, or a path that
    /// already lies at that place.
    QString pathOnAlbumDrive(const QString& path, const MountTable& mounts) const;

    /// The path photo `index` is opened from: its stored path when `canLoad`
    /// takes it, else the stored path on the album drive when `canLoad` takes
    /// that. Nothing when neither loads; what then happens is the caller's.
    std::optional<QString> resolvePhotoPath(int index,
                                            const std::function<bool(const QString&)>& canLoad,
                                            const MountTable& mounts) const;
    /// The same against the volumes mounted now, looked up only when the
    /// stored path does not load.
    std::optional<QString> resolvePhotoPath(
        int index, const std::function<bool(const QString&)>& canLoad) const;

    bool operator==(const AlbumModel&) const = default;

private:
    bool isIndex(int index) const { return index >= 0 && index < count(); }
    std::optional<QString> loadableOnAlbumDrive(const QString& path,
                                                const std::function<bool(const QString&)>& canLoad,
                                                const MountTable& mounts) const;

    QString m_name;
    QList<AlbumPhoto> m_photos;
    bool m_modified = false;
    QString m_albumDrive;
};
