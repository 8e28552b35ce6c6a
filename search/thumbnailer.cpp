#include "search/thumbnailer.h"

#include "imaging/errors.h"
#include "imaging/fileinfo.h"
#include "imaging/imagefile.h"
#include "imaging/imagehandle.h"
#include "search/thumbnailcache.h"

#include <QHash>
#include <QMetaObject>
#include <QMultiHash>
#include <QSize>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace search {

namespace {

struct Made {
    QImage image;
    int status = imaging::kSuccess;
    bool fromCache = false;
};

/// Failures that belong to the file's content, and so last until the file
/// changes. A missing or locked file, a lack of memory or an abort may pass.
bool lastsUntilChanged(int status) {
    switch (status) {
        case imaging::kErrorNoMemory:
        case imaging::kErrorInvalidParameter:
        case imaging::kErrorFileNotFound:
        case imaging::kErrorInvalidFileName:
        case imaging::kErrorFileOpen:
        case imaging::kErrorUserAbort:
            return false;
        default:
            return status < 0;
    }
}

/// The picture reduced to fit a square of `side` pixels, never enlarged.
QImage fitInside(const QImage& image, int side) {
    const int width = image.width();
    const int height = image.height();
    if (width <= side && height <= side) {
        return image;
    }
    const qint64 longest = std::max(width, height);
    const QSize bound(std::max<qint64>(1, (qint64(width) * side + longest / 2) / longest),
                      std::max<qint64>(1, (qint64(height) * side + longest / 2) / longest));
    return image.scaled(bound, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

/// `stopping`, when given, tells that the caller is going away: a decode it
/// cut short says nothing about the file and is not recorded as a failure.
Made produce(const QString& path, int pixelSize, const QString& cacheRoot,
             const std::atomic<bool>* stopping = nullptr) {
    Made made;
    if (pixelSize <= 0) {
        made.status = imaging::kErrorInvalidParameter;
        return made;
    }
    ThumbnailSource source;
    if (!ThumbnailCache::describe(path, &source)) {
        made.status = imaging::kErrorFileNotFound;
        return made;
    }
    const ThumbnailCache cache(cacheRoot);
    if (cache.contains(source.path)) {
        made.status = imaging::kErrorInvalidFileName;
        return made;
    }
    const int stored = cacheRoot.isEmpty() ? 0 : ThumbnailCache::storedSize(pixelSize);
    if (stored != 0) {
        const QImage cached = cache.lookup(source, stored);
        if (!cached.isNull()) {
            made.image = fitInside(cached, pixelSize);
            made.fromCache = true;
            return made;
        }
    }
    if (cache.hasFailed(source)) {
        made.status = imaging::kErrorInvalidFormat;
        made.fromCache = true;
        return made;
    }

    // JPEGs decode at the smallest DCT scale that covers the bound, upright.
    const int side = stored != 0 ? stored : pixelSize;
    imaging::ImageHandle handle;
    made.status = imaging::loadFileScaled(source.path, QSize(side, side), &handle);
    if (made.status != imaging::kSuccess) {
        if (lastsUntilChanged(made.status) && !(stopping && *stopping)) {
            cache.recordFailure(source);
        }
        return made;
    }
    QImage thumbnail = handle.image.convertToFormat(
        handle.image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    handle.image = QImage();
    if (stored != 0) {
        imaging::FileInfo info;
        const QSize original = imaging::fileInfo(source.path, &info) == imaging::kSuccess
                                   ? QSize(info.width, info.height)
                                   : QSize();
        // A cache that cannot be written costs speed, not the thumbnail.
        cache.store(source, stored, thumbnail, original);
    }
    made.image = fitInside(thumbnail, pixelSize);
    return made;
}

}  // namespace

QImage makeThumbnail(const QString& path, int pixelSize, const QString& cacheRoot,
                     bool* fromCache) {
    Made made = produce(path, pixelSize, cacheRoot);
    if (fromCache) {
        *fromCache = made.fromCache;
    }
    return made.status == imaging::kSuccess ? made.image : QImage();
}

struct Thumbnailer::Pool {
    struct Job {
        QString path;
        int pixelSize = 0;
        int priority = 0;
        quint64 order = 0;
    };
    struct Key {
        int priority;
        quint64 order;
        QString path;
        // The first key is served first: highest priority, then latest.
        bool operator<(const Key& other) const {
            if (priority != other.priority) {
                return priority > other.priority;
            }
            return order > other.order;
        }
    };

    mutable std::mutex mutex;
    std::condition_variable wake;
    std::set<Key> queue;
    QHash<QString, Job> queued;
    // Taken by a worker and not yet reported on the owner's thread: path to
    // pixel size (a path may be made at two sizes at once).
    QMultiHash<QString, int> making;
    quint64 nextOrder = 0;
    QString cacheRoot = ThumbnailCache::defaultRoot();
    std::atomic<bool> stopping{false};
    bool paused = false;
    std::vector<std::thread> workers;

    void dropQueued(const QString& path) {
        const auto it = queued.constFind(path);
        if (it != queued.cend()) {
            queue.erase(Key{it->priority, it->order, path});
            queued.erase(it);
        }
    }
};

Thumbnailer::Thumbnailer(QObject* parent, int threads)
    : QObject(parent), m_pool(std::make_unique<Pool>()) {
    if (threads <= 0) {
        threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    }
    Pool* pool = m_pool.get();
    for (int i = 0; i < threads; ++i) {
        pool->workers.emplace_back([this, pool] {
            // Long decodes give up when the thumbnailer goes away.
            imaging::setStatusCallback([pool](int) {
                return pool->stopping ? imaging::kErrorUserAbort : imaging::kSuccess;
            });
            for (;;) {
                Pool::Job job;
                QString root;
                {
                    std::unique_lock lock(pool->mutex);
                    pool->wake.wait(lock, [pool] {
                        return pool->stopping || (!pool->paused && !pool->queue.empty());
                    });
                    if (pool->stopping) {
                        return;
                    }
                    const auto next = pool->queue.begin();
                    job = pool->queued.take(next->path);
                    pool->queue.erase(next);
                    pool->making.insert(job.path, job.pixelSize);
                    root = pool->cacheRoot;
                }
                const Made made = produce(job.path, job.pixelSize, root, &pool->stopping);
                if (pool->stopping) {
                    return;
                }
                const QImage image = made.status == imaging::kSuccess ? made.image : QImage();
                QMetaObject::invokeMethod(
                    this,
                    [this, path = job.path, size = job.pixelSize, image] {
                        deliver(path, size, image);
                    },
                    Qt::QueuedConnection);
            }
        });
    }
}

Thumbnailer::~Thumbnailer() {
    {
        std::lock_guard lock(m_pool->mutex);
        m_pool->stopping = true;
        m_pool->queue.clear();
        m_pool->queued.clear();
    }
    m_pool->wake.notify_all();
    for (std::thread& worker : m_pool->workers) {
        worker.join();
    }
    // Results posted meanwhile are dropped with this object's pending events.
}

void Thumbnailer::request(const QString& path, int pixelSize, int priority) {
    {
        std::lock_guard lock(m_pool->mutex);
        const auto it = m_pool->queued.find(path);
        if (it != m_pool->queued.end()) {
            m_pool->queue.erase(Pool::Key{it->priority, it->order, path});
            it->pixelSize = pixelSize;
            it->priority = priority;
            it->order = m_pool->nextOrder++;
            m_pool->queue.insert(Pool::Key{priority, it->order, path});
            return;
        }
        if (m_pool->making.contains(path, pixelSize)) {
            return;
        }
        const Pool::Job job{path, pixelSize, priority, m_pool->nextOrder++};
        m_pool->queued.insert(path, job);
        m_pool->queue.insert(Pool::Key{priority, job.order, path});
    }
    m_pool->wake.notify_one();
}

void Thumbnailer::cancel(const QString& path) {
    std::lock_guard lock(m_pool->mutex);
    m_pool->dropQueued(path);
}

void Thumbnailer::cancelAll() {
    std::lock_guard lock(m_pool->mutex);
    m_pool->queue.clear();
    m_pool->queued.clear();
}

void Thumbnailer::setCacheRoot(const QString& folder) {
    std::lock_guard lock(m_pool->mutex);
    m_pool->cacheRoot = folder;
}

QString Thumbnailer::cacheRoot() const {
    std::lock_guard lock(m_pool->mutex);
    return m_pool->cacheRoot;
}

int Thumbnailer::pendingCount() const {
    std::lock_guard lock(m_pool->mutex);
    return static_cast<int>(m_pool->queued.size() + m_pool->making.size());
}

int Thumbnailer::threadCount() const {
    return static_cast<int>(m_pool->workers.size());
}

void Thumbnailer::setPaused(bool paused) {
    {
        std::lock_guard lock(m_pool->mutex);
        m_pool->paused = paused;
    }
    if (!paused) {
        m_pool->wake.notify_all();
    }
}

void Thumbnailer::deliver(const QString& path, int pixelSize, const QImage& image) {
    {
        std::lock_guard lock(m_pool->mutex);
        const auto it = m_pool->making.find(path, pixelSize);
        if (it != m_pool->making.end()) {
            m_pool->making.erase(it);
        }
    }
    if (image.isNull()) {
        Q_EMIT thumbnailFailed(path);
    } else {
        Q_EMIT thumbnailReady(path, image);
    }
}

}  // namespace search
