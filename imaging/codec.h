#pragma once

// Internal: what the format modules of imaging/ share. Not for callers.

#include "imaging/fileinfo.h"
#include "imaging/imagehandle.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QSize>
#include <QString>

#include <memory>

namespace imaging::detail {

/// The bytes of one file or memory block being read. A file is read only as
/// far as asked for, once.
class Input {
public:
    static Input fromFile(const QString& path);
    static Input fromMemory(QByteArrayView data);

    /// 1, or the code for a file that cannot be found or opened.
    int status() const { return m_status; }
    qint64 size() const { return m_size; }
    /// The first `count` bytes (fewer at the end of the data).
    QByteArrayView head(qint64 count);
    /// All bytes; empty when a file could not be read whole.
    QByteArrayView all();
    /// Up to `count` bytes at `offset`, for readers that seek; -1 on error.
    qint64 readAt(qint64 offset, char* out, qint64 count);
    /// The path of a file input, empty for memory.
    const QString& path() const { return m_path; }

private:
    bool readUpTo(qint64 count);

    QString m_path;
    int m_status = 1;
    qint64 m_size = 0;
    QByteArrayView m_memory;
    std::unique_ptr<QFile> m_file;
    QByteArray m_buffer;
};

struct LoadRequest {
    int bitsPerPixel = 0;  // 0: the file's own depth
    QSize bound;           // valid: reduce to fit inside it
    FileOptions options;
};

struct SaveRequest {
    int format = 0;
    int bitsPerPixel = 0;
    int qualityFactor = 20;
    FileOptions options;
};

/// The libjpeg quality (1-100) for the program's quality factor (2-255).
int jpegQuality(int qualityFactor);

/// Rows padded to 4 bytes, as the library reports image memory.
qint64 paddedImageBytes(int width, int height, int bitsPerPixel);

/// The image of `handle` at the asked depth for a save (converted on a copy
/// when needed, error-diffused).
int imageAtDepth(const ImageHandle& handle, int bitsPerPixel, ImageHandle* out);

/// A new image for a decoder to fill. Large ones are backed by memory the
/// kernel may map in huge pages, which saves most of the page faults of
/// filling tens of megabytes. Null when the memory cannot be had.
QImage newImage(int width, int height, QImage::Format format);

/// The size of `size` scaled to fit inside `bound`, keeping its shape with
/// rounded multiply-divides, never larger than `size` and at least 1 by 1.
QSize fitInside(QSize size, QSize bound);

/// Hands a decoded picture to the caller's handle: reduced to fit the
/// request's bound (then at 24 or 32 bits), else at `nativeBitsPerPixel`
/// (see handleFromQImage), then converted to the requested depth if any.
int finishLoad(QImage image, int nativeBitsPerPixel, const LoadRequest& request,
               ImageHandle* handle);

/// Applies an EXIF/TIFF orientation (1-8) so the picture stands upright.
QImage orientUpright(const QImage& image, int orientation);
/// Whether an orientation turns the picture on its side (width and height swap).
inline bool orientationSwapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

}  // namespace imaging::detail
