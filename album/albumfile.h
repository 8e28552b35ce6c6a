#pragma once

#include "album/albummodel.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class MountTable;

/// The first field of every album file.
inline constexpr char kAlbumSignature[] = "starbloom photo album";
/// Files shorter than the signature's length plus 2 are refused unread.
inline constexpr qint64 kAlbumMinimumSize = 23;
/// Real albums are well below this; a larger file is not read into memory.
inline constexpr qint64 kAlbumMaximumSize = 16 << 20;
inline constexpr char kAlbumExtension[] = ".alb";

/// The album in the bytes of an album file: signature, album name, photo
/// count, then path, description and title of each photo. Bytes after the
/// last record are left alone; `used`, when given, receives how many were
/// read. Throws FileException naming `path`: EndOfFile for data shorter than
/// kAlbumMinimumSize or ending inside a field, BadFormat for another
/// signature or a photo count outside 0 to 1001. The result is not modified
/// and has no album drive.
AlbumModel readAlbum(QByteArrayView data, const QString& path = {}, qint64* used = nullptr);

/// The album file of `album`, in the order readAlbum reads.
QByteArray writeAlbum(const AlbumModel& album);

/// "Not a valid photo album: %s" with the path.
QString invalidAlbumMessage(const QString& fullPath);
/// The message of a save that wrote nothing.
QString unableToSaveMessage();

/// Reads the album file at `path` (made absolute): readAlbum's album with
/// the file's mount point as its album drive. Throws FileException when the
/// file cannot be read, is larger than kAlbumMaximumSize, or is not a valid
/// album.
AlbumModel readAlbumFile(const QString& path, const MountTable& mounts);

/// Load album: replaces `album` with the album in the file at `path`, not
/// modified, its drive the mount point of the file. When the file cannot be
/// read or is not a valid album, answers false with invalidAlbumMessage()
/// in `message` and leaves `album` exactly as it was.
bool loadAlbum(const QString& path, AlbumModel& album, const MountTable& mounts,
               QString* message = nullptr);
/// The same against the volumes mounted now.
bool loadAlbum(const QString& path, AlbumModel& album, QString* message = nullptr);

/// Save album: writes `album` to its file in `albumsFolder` (see
/// AlbumModel::filePath) through a temporary file that replaces the old one
/// only when complete, then clears the modified flag. A name that cannot be a
/// file name (empty, or holding "/") and a failed write answer false with
/// unableToSaveMessage() in `message`; then nothing is written and `album`
/// is unchanged.
bool saveAlbum(AlbumModel& album, const QString& albumsFolder, QString* message = nullptr);
