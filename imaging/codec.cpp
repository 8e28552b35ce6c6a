#include "imaging/codec.h"

#include "imaging/errors.h"

#include <QFileInfo>
#include <QTransform>

#include <algorithm>
#include <cstdlib>
#include <limits>

#include <sys/mman.h>

namespace imaging {

namespace {
thread_local FileOptions t_fileOptions;
}  // namespace

FileOptions defaultFileOptions() {
    return t_fileOptions;
}

void setDefaultFileOptions(const FileOptions& options) {
    t_fileOptions = options;
}

}  // namespace imaging

namespace imaging::detail {

Input Input::fromFile(const QString& path) {
    Input input;
    input.m_path = path;
    if (path.isEmpty()) {
        input.m_status = kErrorInvalidFileName;
        return input;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        input.m_status = kErrorFileNotFound;
        return input;
    }
    if (info.isDir()) {
        input.m_status = kErrorFileOpen;
        return input;
    }
    input.m_file = std::make_unique<QFile>(path);
    if (!input.m_file->open(QIODevice::ReadOnly)) {
        input.m_status = kErrorFileOpen;
        return input;
    }
    input.m_size = input.m_file->size();
    return input;
}

Input Input::fromMemory(QByteArrayView data) {
    Input input;
    input.m_memory = data;
    input.m_size = data.size();
    return input;
}

bool Input::readUpTo(qint64 count) {
    count = std::min(count, m_size);
    if (!m_file || m_buffer.size() >= count) {
        return true;
    }
    const qint64 have = m_buffer.size();
    m_buffer.resize(count);
    const qint64 got = m_file->seek(have) ? m_file->read(m_buffer.data() + have, count - have) : -1;
    if (got != count - have) {
        m_buffer.resize(have + std::max<qint64>(got, 0));
        return false;
    }
    return true;
}

QByteArrayView Input::head(qint64 count) {
    if (!m_file) {
        return m_memory.first(std::min(count, m_size));
    }
    readUpTo(count);
    return QByteArrayView(m_buffer).first(std::min<qint64>(count, m_buffer.size()));
}

qint64 Input::readAt(qint64 offset, char* out, qint64 count) {
    if (offset < 0 || count < 0) {
        return -1;
    }
    if (offset >= m_size) {
        return 0;
    }
    count = std::min(count, m_size - offset);
    if (!m_file) {
        std::copy_n(m_memory.data() + offset, count, out);
        return count;
    }
    if (offset + count <= m_buffer.size()) {
        std::copy_n(m_buffer.constData() + offset, count, out);
        return count;
    }
    if (!m_file->seek(offset)) {
        return -1;
    }
    return m_file->read(out, count);
}

QByteArrayView Input::all() {
    if (!m_file) {
        return m_memory;
    }
    if (!readUpTo(m_size)) {
        return {};
    }
    return m_buffer;
}

int jpegQuality(int qualityFactor) {
    // The program's factor runs the other way from libjpeg's quality: 2 is
    // the best picture, 255 the smallest file. 2 to 20 spans quality 100 to
    // 90 (20, the default, is visually lossless), 20 to 255 spans 90 to 5.
    const int factor = std::clamp(qualityFactor, 2, 255);
    if (factor <= 20) {
        return 100 - (factor - 2) * 10 / 18;
    }
    return 90 - (factor - 20) * 85 / 235;
}

qint64 paddedImageBytes(int width, int height, int bitsPerPixel) {
    // Headers may announce anything; the answer saturates instead of
    // overflowing.
    if (width <= 0 || height <= 0 || bitsPerPixel <= 0) {
        return 0;
    }
    const qint64 rowBytes = ((qint64(width) * std::min(bitsPerPixel, 64) + 31) / 32) * 4;
    if (rowBytes > std::numeric_limits<qint64>::max() / height) {
        return std::numeric_limits<qint64>::max();
    }
    return rowBytes * height;
}

int imageAtDepth(const ImageHandle& handle, int bitsPerPixel, ImageHandle* out) {
    const int status = copyImage(out, handle);
    if (status != kSuccess || bitsPerPixel == 0 || bitsPerPixel == handle.bitsPerPixel) {
        return status;
    }
    return changeBitsPerPixel(out, bitsPerPixel, Dither::ErrorDiffusion);
}

QImage newImage(int width, int height, QImage::Format format) {
    constexpr qint64 kHugePage = 2 * 1024 * 1024;
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 bytesPerLine = ((qint64(width) * depth + 31) / 32) * 4;
    const qint64 bytes = bytesPerLine * height;
    if (width < 1 || height < 1 || bytes < 2 * kHugePage) {
        return QImage(width, height, format);
    }
    void* memory = nullptr;
    const qint64 rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    if (posix_memalign(&memory, kHugePage, static_cast<size_t>(rounded)) != 0) {
        return {};
    }
    madvise(memory, static_cast<size_t>(rounded), MADV_HUGEPAGE);
    return QImage(
        static_cast<uchar*>(memory), width, height, static_cast<qsizetype>(bytesPerLine), format,
        [](void* data) { std::free(data); }, memory);
}

QSize fitInside(QSize size, QSize bound) {
    if (size.width() <= bound.width() && size.height() <= bound.height()) {
        return size;
    }
    const qint64 w = size.width(), h = size.height();
    QSize fitted;
    if (w * bound.height() >= h * bound.width()) {
        fitted = QSize(bound.width(), static_cast<int>((h * bound.width() + w / 2) / w));
    } else {
        fitted = QSize(static_cast<int>((w * bound.height() + h / 2) / h), bound.height());
    }
    return fitted.expandedTo(QSize(1, 1));
}

int finishLoad(QImage image, int nativeBitsPerPixel, const LoadRequest& request,
               ImageHandle* handle) {
    if (image.isNull()) {
        return kErrorNoMemory;
    }
    if (request.bound.isValid()) {
        const QSize target = fitInside(image.size(), request.bound);
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                              : QImage::Format_RGB888);
        if (image.size() != target) {
            image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        nativeBitsPerPixel = 0;
    }
    int status = handleFromQImage(image, handle, nativeBitsPerPixel);
    if (status == kSuccess && nativeBitsPerPixel == 16 && handle->bitsPerPixel != 16) {
        status = changeBitsPerPixel(handle, 16, Dither::ErrorDiffusion);
    }
    if (status == kSuccess && request.bitsPerPixel != 0) {
        status = changeBitsPerPixel(handle, request.bitsPerPixel, Dither::ErrorDiffusion);
    }
    if (status == kSuccess && !reportStatus(100)) {
        return kErrorUserAbort;
    }
    return status;
}

QImage orientUpright(const QImage& image, int orientation) {
    switch (orientation) {
        case 2:
            return image.mirrored(true, false);
        case 3:
            return image.transformed(QTransform().rotate(180));
        case 4:
            return image.mirrored(false, true);
        case 5:
            return image.transformed(QTransform().rotate(90)).mirrored(true, false);
        case 6:
            return image.transformed(QTransform().rotate(90));
        case 7:
            return image.transformed(QTransform().rotate(270)).mirrored(true, false);
        case 8:
            return image.transformed(QTransform().rotate(270));
        default:
            return image;
    }
}

}  // namespace imaging::detail
