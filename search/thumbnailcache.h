#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace search {

/// What the cache knows a picture file by: its URI and the state it had when
/// the thumbnail was made.
struct ThumbnailSource {
    QString path;         // absolute
    QByteArray uri;       // file:// URI, percent-encoded
    qint64 modified = 0;  // seconds since the epoch
    qint64 size = 0;      // bytes
};

/// The freedesktop thumbnail cache below one root folder ($XDG_CACHE_HOME/
/// thumbnails): "normal" (128 pixels) and "large" (256 pixels) PNGs named by
/// the MD5 of the file's URI, carrying Thumb::URI and Thumb::MTime, and a
/// folder of our own under "fail" that records files we could not read.
/// Holds no state but the root, so any thread may use its own copy at once;
/// files are replaced by renaming complete temporary files over them.
class ThumbnailCache {
public:
    static constexpr int kNormalSize = 128;
    static constexpr int kLargeSize = 256;

    explicit ThumbnailCache(QString root);
    /// $XDG_CACHE_HOME/thumbnails, or ~/.cache/thumbnails.
    static QString defaultRoot();
    const QString& root() const { return m_root; }

    /// The size of the stored thumbnails that serve a request of `pixelSize`:
    /// 128 or 256, 0 when the request is larger than anything stored.
    static int storedSize(int pixelSize);
    /// The file's state, false when it is not a readable regular file.
    static bool describe(const QString& path, ThumbnailSource* source);
    static QByteArray uriOf(const QString& absolutePath);
    /// The MD5 of the URI in lower-case hex, with ".png".
    static QString fileNameOf(const QByteArray& uri);

    /// Where the thumbnail of `storedSize` pixels and the fail entry live.
    QString thumbnailPath(const QByteArray& uri, int storedSize) const;
    QString failurePath(const QByteArray& uri) const;
    /// Whether the file lies inside the cache (thumbnails of thumbnails are
    /// never made).
    bool contains(const QString& path) const;

    /// The stored thumbnail when it is fresh: its URI and modification time
    /// match the file's. Null when missing, stale or unreadable.
    QImage lookup(const ThumbnailSource& source, int storedSize) const;
    /// Stores a thumbnail made at `storedSize` from a picture of
    /// `originalSize` (invalid when unknown).
    bool store(const ThumbnailSource& source, int storedSize, const QImage& thumbnail,
               QSize originalSize, QString* error = nullptr) const;
    /// Whether a fail entry for the file in its present state exists.
    bool hasFailed(const ThumbnailSource& source) const;
    bool recordFailure(const ThumbnailSource& source, QString* error = nullptr) const;

private:
    QString m_root;
};

}  // namespace search
