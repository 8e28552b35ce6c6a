#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>

namespace search {

/// Makes thumbnails of image files on a pool of worker threads of its own, looking in and writing
/// to the freedesktop thumbnail cache. Requests are served highest priority first, and among equal
/// priorities the latest request first (what was just scrolled into view); results come back as
/// queued signals on the thread that owns the thumbnailer. Interface thread owns it; the destructor
/// cancels what is queued and joins the workers.
class Thumbnailer : public QObject {
    Q_OBJECT
public:
    /// `threads` 0: one per core.
    explicit Thumbnailer(QObject* parent = nullptr, int threads = 0);
    ~Thumbnailer() override;
    /// Asks for the thumbnail of `path` whose longest side is at most `pixelSize` device pixels
    /// (never enlarged). Asking again for a queued path only changes its priority (and its size, to
    /// the latest asked for); asking for a path being made at the same size waits for that result.
    void request(const QString& path, int pixelSize, int priority);
    /// Drops a queued request; one being made still finishes and reports.
    void cancel(const QString& path);
    void cancelAll();
    /// The cache's root folder; default $XDG_CACHE_HOME/thumbnails (~/.cache/thumbnails). Empty: no
    /// cache. Requests already being made keep the root they started with.
    void setCacheRoot(const QString& folder);
    QString cacheRoot() const;
    /// Requests queued or being made.
    int pendingCount() const;
    int threadCount() const;
    /// While paused the workers take no new requests (what is being made
    /// finishes); tools that need the processor for themselves pause it.
    void setPaused(bool paused);

Q_SIGNALS:
    void thumbnailReady(const QString& path, const QImage& image);
    void thumbnailFailed(const QString& path);

private:
    struct Pool;
    void deliver(const QString& path, int pixelSize, const QImage& image);

    std::unique_ptr<Pool> m_pool;
};

/// One thumbnail made on the calling thread, through the cache at `cacheRoot` (empty: none): the
/// cached one when it is fresh (Thumb::MTime equals the file's modification time and Thumb::URI
/// matches), else made from the file and stored. A null image when the file cannot be read (then
/// recorded in the fail folder, and a fresh fail entry makes later calls fail at once without
/// decoding). `fromCache` tells whether the answer, picture or failure, came from the cache without
/// decoding the file. Requests up to 128 pixels are served from the cache's 128-pixel thumbnails,
/// up to 256 from its 256-pixel ones; larger ones are made from the file each time and not stored.
/// Files inside the cache are refused.
QImage makeThumbnail(const QString& path, int pixelSize, const QString& cacheRoot,
                     bool* fromCache = nullptr);

}  // namespace search
