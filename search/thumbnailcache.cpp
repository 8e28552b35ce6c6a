#include "search/thumbnailcache.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include <array>
#include <utility>

#ifndef PIXORIA_VERSION
#define PIXORIA_VERSION "0"
#endif

namespace search {

namespace {

// The version names our fail folder, so files that failed are tried again by
// a later version whose decoders may read them.
const QString kFailFolder = QStringLiteral("fail/pixoria-" PIXORIA_VERSION);
const QString kSoftware = QStringLiteral("Pixoria " PIXORIA_VERSION);

// zlib level 1: a thumbnail is written once and read many times, but the
// stronger levels cost more time than the few kilobytes they save.
constexpr int kFastPngQuality = 80;

// The largest fail entry we read: ours are one pixel.
constexpr int kMaxFailEntrySide = 16;

constexpr std::array<quint32, 256> makeCrcTable() {
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k) {
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

constexpr std::array<quint32, 256> kCrcTable = makeCrcTable();

quint32 crc32(QByteArrayView bytes) {
    quint32 c = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        c = kCrcTable[(c ^ static_cast<uchar>(byte)) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

void appendBigEndian(QByteArray* out, quint32 value) {
    out->append(static_cast<char>(value >> 24));
    out->append(static_cast<char>(value >> 16));
    out->append(static_cast<char>(value >> 8));
    out->append(static_cast<char>(value));
}

/// A tEXt chunk. Keys and values here are ASCII (the URI is percent-encoded),
/// which is what tEXt holds.
QByteArray textChunk(const QByteArray& key, const QByteArray& value) {
    QByteArray body = "tEXt" + key;
    body.append('\0');
    body.append(value);
    QByteArray chunk;
    appendBigEndian(&chunk, static_cast<quint32>(body.size() - 4));
    chunk.append(body);
    appendBigEndian(&chunk, crc32(body));
    return chunk;
}

/// PNG bytes of `image` with the given text chunks right after the header,
/// where readers that stop early still find them. Qt's own text writing
/// takes "key: value" pairs and so cannot hold keys such as "Thumb::URI";
/// it also picks zTXt for long values, which not every reader of the cache
/// looks into.
QByteArray encodePng(const QImage& image, const QList<std::pair<QByteArray, QByteArray>>& text) {
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        writer.setQuality(kFastPngQuality);
        const QImage pixels = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                            : QImage::Format_RGB32);
        // A view of the pixels without the text the image may carry, which Qt
        // would write beside ours.
        const QImage plain(pixels.constBits(), pixels.width(), pixels.height(),
                           pixels.bytesPerLine(), pixels.format());
        if (!writer.write(plain)) {
            return {};
        }
    }
    // Signature (8 bytes), then the IHDR chunk: length, type, 13 bytes, CRC.
    constexpr qsizetype kAfterHeader = 8 + 4 + 4 + 13 + 4;
    if (png.size() < kAfterHeader || png.mid(12, 4) != "IHDR") {
        return {};
    }
    QByteArray chunks;
    for (const auto& [key, value] : text) {
        chunks.append(textChunk(key, value));
    }
    png.insert(kAfterHeader, chunks);
    return png;
}

/// Creates `folder` (owner only, as the cache's folders must be) with any
/// missing parents; an existing folder is left as it is.
bool ensureFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir()) {
        return true;
    }
    const QString parent = info.absolutePath();
    if (parent != info.absoluteFilePath() && !QFileInfo(parent).isDir() && !ensureFolder(parent)) {
        return false;
    }
    QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Another thread or program may have made it meanwhile.
    return QFileInfo(folder).isDir();
}

/// Writes a file readable by its owner only: the permissions are set on the
/// temporary file before any byte is written, and the file appears under its
/// name only when complete.
bool writePrivateFile(const QString& path, const QByteArray& data, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) ||
        file.write(data) != data.size() || !file.commit()) {
        if (error) {
            *error = file.errorString();
        }
        file.cancelWriting();
        return false;
    }
    return true;
}

/// The image in a cache file when its text says it belongs to `source` in
/// its present state; null otherwise. Files larger than `maxSide` are
/// refused before their pixels are allocated.
QImage readIfFresh(const QString& file, const ThumbnailSource& source, int maxSide) {
    if (!QFileInfo(file).isFile()) {
        return {};
    }
    QImageReader reader(file, "png");
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || size.width() > maxSide || size.height() > maxSide) {
        return {};
    }
    QImage image = reader.read();
    if (image.isNull() || image.text(QStringLiteral("Thumb::URI")).toLatin1() != source.uri) {
        return {};
    }
    // Some writers store fractions of a second; the freedesktop value is whole.
    const QString stamp = image.text(QStringLiteral("Thumb::MTime")).trimmed();
    bool ok = false;
    qint64 modified = stamp.toLongLong(&ok);
    if (!ok) {
        const double seconds = stamp.toDouble(&ok);
        modified = ok ? static_cast<qint64>(seconds) : -1;
    }
    if (!ok || modified != source.modified) {
        return {};
    }
    return image;
}

QByteArray number(qint64 value) {
    return QByteArray::number(value);
}

}  // namespace

ThumbnailCache::ThumbnailCache(QString root) : m_root(std::move(root)) {}

QString ThumbnailCache::defaultRoot() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return cache.isEmpty() ? QString() : cache + QStringLiteral("/thumbnails");
}

int ThumbnailCache::storedSize(int pixelSize) {
    if (pixelSize <= kNormalSize) {
        return kNormalSize;
    }
    return pixelSize <= kLargeSize ? kLargeSize : 0;
}

bool ThumbnailCache::describe(const QString& path, ThumbnailSource* source) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) {
        return false;
    }
    source->path = info.absoluteFilePath();
    source->uri = uriOf(source->path);
    source->modified = info.lastModified().toSecsSinceEpoch();
    source->size = info.size();
    return true;
}

QByteArray ThumbnailCache::uriOf(const QString& absolutePath) {
    return QUrl::fromLocalFile(absolutePath).toEncoded();
}

QString ThumbnailCache::fileNameOf(const QByteArray& uri) {
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

QString ThumbnailCache::thumbnailPath(const QByteArray& uri, int stored) const {
    const QString flavour =
        stored == kLargeSize ? QStringLiteral("/large/") : QStringLiteral("/normal/");
    return m_root + flavour + fileNameOf(uri);
}

QString ThumbnailCache::failurePath(const QByteArray& uri) const {
    return m_root + QLatin1Char('/') + kFailFolder + QLatin1Char('/') + fileNameOf(uri);
}

bool ThumbnailCache::contains(const QString& path) const {
    if (m_root.isEmpty()) {
        return false;
    }
    const QString root = QFileInfo(m_root).canonicalFilePath();
    const QString file = QFileInfo(path).canonicalFilePath();
    return !root.isEmpty() && !file.isEmpty() && file.startsWith(root + QLatin1Char('/'));
}

QImage ThumbnailCache::lookup(const ThumbnailSource& source, int stored) const {
    if (m_root.isEmpty() || (stored != kNormalSize && stored != kLargeSize)) {
        return {};
    }
    QImage image = readIfFresh(thumbnailPath(source.uri, stored), source, stored);
    if (image.isNull()) {
        return {};
    }
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
}

bool ThumbnailCache::store(const ThumbnailSource& source, int stored, const QImage& thumbnail,
                           QSize originalSize, QString* error) const {
    if (m_root.isEmpty() || (stored != kNormalSize && stored != kLargeSize) || thumbnail.isNull() ||
        thumbnail.width() > stored || thumbnail.height() > stored) {
        if (error) {
            *error = QStringLiteral("Not a thumbnail the cache can hold");
        }
        return false;
    }
    const QString path = thumbnailPath(source.uri, stored);
    if (!ensureFolder(QFileInfo(path).absolutePath())) {
        if (error) {
            *error = QStringLiteral("Cannot create the folder of %1").arg(path);
        }
        return false;
    }
    QList<std::pair<QByteArray, QByteArray>> text{
        {"Thumb::URI", source.uri},
        {"Thumb::MTime", number(source.modified)},
        {"Thumb::Size", number(source.size)},
    };
    if (originalSize.isValid()) {
        text.append({"Thumb::Image::Width", number(originalSize.width())});
        text.append({"Thumb::Image::Height", number(originalSize.height())});
    }
    text.append({"Software", kSoftware.toLatin1()});
    const QByteArray png = encodePng(thumbnail, text);
    if (png.isEmpty()) {
        if (error) {
            *error = QStringLiteral("Cannot encode the thumbnail");
        }
        return false;
    }
    return writePrivateFile(path, png, error);
}

bool ThumbnailCache::hasFailed(const ThumbnailSource& source) const {
    return !m_root.isEmpty() &&
           !readIfFresh(failurePath(source.uri), source, kMaxFailEntrySide).isNull();
}

bool ThumbnailCache::recordFailure(const ThumbnailSource& source, QString* error) const {
    if (m_root.isEmpty()) {
        return false;
    }
    const QString path = failurePath(source.uri);
    if (!ensureFolder(QFileInfo(path).absolutePath())) {
        if (error) {
            *error = QStringLiteral("Cannot create the folder of %1").arg(path);
        }
        return false;
    }
    // The picture of a fail entry means nothing; one transparent pixel.
    QImage pixel(1, 1, QImage::Format_ARGB32);
    pixel.fill(Qt::transparent);
    const QByteArray png = encodePng(pixel, {{"Thumb::URI", source.uri},
                                             {"Thumb::MTime", number(source.modified)},
                                             {"Thumb::Size", number(source.size)},
                                             {"Software", kSoftware.toLatin1()}});
    return !png.isEmpty() && writePrivateFile(path, png, error);
}

}  // namespace search
