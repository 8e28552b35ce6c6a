#include "imaging/imagehandle.h"

#include "imaging/colourreduction.h"
#include "imaging/errors.h"

#include <QPainter>
#include <QTransform>

namespace imaging {

namespace {

thread_local StatusCallback t_statusCallback;

QList<QRgb> greyPalette() {
    QList<QRgb> palette;
    palette.reserve(256);
    for (int i = 0; i < 256; ++i) {
        palette.append(qRgb(i, i, i));
    }
    return palette;
}

bool isPaletteDepth(int bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8;
}

/// Maps `image` (any format) onto the palette and depth of a palette handle.
QImage toPaletteOf(const QImage& image, const QList<QRgb>& palette, int bitsPerPixel,
                   Dither dither) {
    return ditherToPalette(image, palette, dither, bitsPerPixel == 1);
}

QImage toTrueColour(const QImage& image) {
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
}

}  // namespace

int checkDimensions(qint64 width, qint64 height) {
    if (width < 1 || height < 1) {
        return kErrorInvalidParameter;
    }
    if (width > kMaxDimension || height > kMaxDimension || width * height > kMaxPixels) {
        return kErrorNoMemory;
    }
    return kSuccess;
}

QImage::Format formatForDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
            return QImage::Format_Mono;
        case 4:
        case 8:
            return QImage::Format_Indexed8;
        case 16:
            return QImage::Format_RGB555;
        case 24:
            return QImage::Format_RGB888;
        case 32:
            return QImage::Format_ARGB32;
        default:
            return QImage::Format_Invalid;
    }
}

QList<QRgb> standardPalette(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
            return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        case 4:
            return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
                    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
                    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
                    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
        case 8: {
            QList<QRgb> palette;
            for (int r = 0; r < 6; ++r) {
                for (int g = 0; g < 6; ++g) {
                    for (int b = 0; b < 6; ++b) {
                        palette.append(qRgb(r * 51, g * 51, b * 51));
                    }
                }
            }
            // Greys between the cube's own six.
            for (int i = 0; palette.size() < 256; ++i) {
                const int level = 6 + i * 249 / 39;
                palette.append(qRgb(level, level, level));
            }
            return palette;
        }
        default:
            return {};
    }
}

void initHandle(ImageHandle* handle) {
    handle->image = QImage(1, 1, QImage::Format_Mono);
    handle->image.setColorTable(standardPalette(1));
    handle->image.fill(0);
    handle->bitsPerPixel = 1;
    handle->region = QRect();
}

int createImage(ImageHandle* handle, int width, int height, int bitsPerPixel) {
    const QImage::Format format = formatForDepth(bitsPerPixel);
    if (format == QImage::Format_Invalid) {
        return kErrorInvalidParameter;
    }
    if (const int check = checkDimensions(width, height); check != kSuccess) {
        return check;
    }
    QImage image(width, height, format);
    if (image.isNull()) {
        return kErrorNoMemory;
    }
    if (isPaletteDepth(bitsPerPixel)) {
        image.setColorTable(standardPalette(bitsPerPixel));
    }
    handle->image = std::move(image);
    handle->bitsPerPixel = bitsPerPixel;
    handle->region = QRect();
    return fillImage(handle, Qt::white);
}

int fillImage(ImageHandle* handle, const QColor& colour) {
    if (!handle->isAllocated()) {
        return kErrorInvalidParameter;
    }
    if (isPaletteDepth(handle->bitsPerPixel)) {
        handle->image.fill(
            static_cast<uint>(nearestIndex(handle->image.colorTable(), colour.rgb())));
    } else {
        handle->image.fill(colour);
    }
    return kSuccess;
}

void freeImage(ImageHandle* handle) {
    handle->image = QImage();
    handle->bitsPerPixel = 0;
    handle->region = QRect();
}

int copyImage(ImageHandle* destination, const ImageHandle& source) {
    if (!source.isAllocated()) {
        return kErrorInvalidParameter;
    }
    // QImage shares the pixels until one side writes, so the copy is cheap.
    destination->image = source.image;
    destination->bitsPerPixel = source.bitsPerPixel;
    destination->region = QRect();
    return kSuccess;
}

int copyRect(ImageHandle* destination, const ImageHandle& source, int left, int top, int width,
             int height) {
    const QRect rect(left, top, width, height);
    if (!source.isAllocated() || width < 1 || height < 1 || !source.image.rect().contains(rect)) {
        return kErrorInvalidParameter;
    }
    QImage part = source.image.copy(rect);
    if (part.isNull()) {
        return kErrorNoMemory;
    }
    destination->image = std::move(part);
    destination->bitsPerPixel = source.bitsPerPixel;
    destination->region = QRect();
    return kSuccess;
}

int resizeImage(ImageHandle* handle, int width, int height) {
    if (!handle->isAllocated()) {
        return kErrorInvalidParameter;
    }
    if (const int check = checkDimensions(width, height); check != kSuccess) {
        return check;
    }
    if (width == handle->width() && height == handle->height()) {
        return kSuccess;
    }
    if (!reportStatus(0)) {
        return kErrorUserAbort;
    }
    QImage resized;
    if (isPaletteDepth(handle->bitsPerPixel)) {
        // Filtered in true colour, then back onto the image's own palette.
        const QImage scaled =
            toTrueColour(handle->image)
                .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        resized = toPaletteOf(scaled, handle->image.colorTable(), handle->bitsPerPixel,
                              Dither::ErrorDiffusion);
        if (resized.isNull()) {
            return kErrorUserAbort;
        }
    } else {
        resized =
            handle->image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(formatForDepth(handle->bitsPerPixel));
    }
    if (resized.isNull()) {
        return kErrorNoMemory;
    }
    if (!reportStatus(100)) {
        return kErrorUserAbort;
    }
    handle->image = std::move(resized);
    handle->region = QRect();
    return kSuccess;
}

int changeBitsPerPixel(ImageHandle* handle, int bitsPerPixel, Dither dither) {
    if (!handle->isAllocated() || formatForDepth(bitsPerPixel) == QImage::Format_Invalid) {
        return kErrorInvalidParameter;
    }
    if (bitsPerPixel == handle->bitsPerPixel) {
        return kSuccess;
    }
    QImage converted;
    if (isPaletteDepth(bitsPerPixel)) {
        const int colours = 1 << bitsPerPixel;
        QList<QRgb> palette;
        if (bitsPerPixel == 1) {
            palette = standardPalette(1);
        } else {
            palette = exactColours(handle->image, colours);
        }
        const bool exact = !palette.isEmpty() && bitsPerPixel != 1;
        if (palette.isEmpty()) {
            palette = medianCutPalette(handle->image, colours);
        }
        // An image whose colours all fit needs no dithering at all.
        converted = exact ? mapToPalette(handle->image, palette)
                          : toPaletteOf(handle->image, palette, bitsPerPixel, dither);
        if (converted.isNull()) {
            return kErrorUserAbort;
        }
    } else {
        if (!reportStatus(0)) {
            return kErrorUserAbort;
        }
        converted = handle->image.convertToFormat(formatForDepth(bitsPerPixel));
        if (!reportStatus(100)) {
            return kErrorUserAbort;
        }
    }
    if (converted.isNull()) {
        return kErrorNoMemory;
    }
    handle->image = std::move(converted);
    handle->bitsPerPixel = bitsPerPixel;
    return kSuccess;
}

int rotateImage(ImageHandle* handle, int degrees) {
    if (!handle->isAllocated() || (degrees != 90 && degrees != 180 && degrees != 270)) {
        return kErrorInvalidParameter;
    }
    QImage source = handle->image;
    const bool mono = source.format() == QImage::Format_Mono;
    if (mono) {
        source = source.convertToFormat(QImage::Format_Indexed8, source.colorTable());
    }
    QImage rotated = source.transformed(QTransform().rotate(degrees));
    if (mono) {
        rotated = packMono(rotated);
    }
    if (rotated.isNull()) {
        return kErrorNoMemory;
    }
    handle->image = std::move(rotated);
    handle->region = QRect();
    return kSuccess;
}

int combineImage(ImageHandle* destination, int x, int y, const ImageHandle& source) {
    if (!destination->isAllocated() || !source.isAllocated()) {
        return kErrorInvalidParameter;
    }
    const QRect target = QRect(QPoint(x, y), source.image.size()) & destination->image.rect();
    if (target.isEmpty()) {
        return kSuccess;
    }
    if (isPaletteDepth(destination->bitsPerPixel)) {
        const QImage part = source.image.copy(target.translated(-x, -y));
        const QImage mapped = toPaletteOf(part, destination->image.colorTable(),
                                          destination->bitsPerPixel, Dither::ErrorDiffusion);
        if (mapped.isNull()) {
            return kErrorUserAbort;
        }
        QImage indices = destination->image.format() == QImage::Format_Mono
                             ? destination->image.convertToFormat(QImage::Format_Indexed8,
                                                                  destination->image.colorTable())
                             : destination->image;
        const QImage mappedIndices =
            mapped.format() == QImage::Format_Mono
                ? mapped.convertToFormat(QImage::Format_Indexed8, mapped.colorTable())
                : mapped;
        for (int row = 0; row < target.height(); ++row) {
            std::copy_n(mappedIndices.constScanLine(row), target.width(),
                        indices.scanLine(target.top() + row) + target.left());
        }
        destination->image = destination->image.format() == QImage::Format_Mono
                                 ? packMono(indices)
                                 : std::move(indices);
        return kSuccess;
    }
    QPainter painter(&destination->image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(x, y), source.image);
    return kSuccess;
}

void setRegion(ImageHandle* handle, const QRect& rect) {
    handle->region = rect.normalized() & handle->image.rect();
}

QRect regionBounds(const ImageHandle& handle) {
    return handle.region;
}

bool hasRegion(const ImageHandle& handle) {
    return !handle.region.isEmpty();
}

void removeRegion(ImageHandle* handle) {
    handle->region = QRect();
}

void setStatusCallback(StatusCallback callback) {
    t_statusCallback = std::move(callback);
}

bool reportStatus(int percent) {
    return !t_statusCallback || t_statusCallback(percent) != kErrorUserAbort;
}

int handleFromQImage(const QImage& image, ImageHandle* handle, int nativeBitsPerPixel) {
    if (image.isNull()) {
        return kErrorInvalidParameter;
    }
    QImage converted;
    int depth = 0;
    switch (image.format()) {
        case QImage::Format_Mono:
            converted = image;
            depth = 1;
            break;
        case QImage::Format_MonoLSB:
            converted = image.convertToFormat(QImage::Format_Mono);
            depth = 1;
            break;
        case QImage::Format_Indexed8:
            converted = image;
            depth = (nativeBitsPerPixel == 4 && image.colorCount() <= 16) ? 4 : 8;
            break;
        case QImage::Format_Grayscale8:
            converted = image.convertToFormat(QImage::Format_Indexed8, greyPalette());
            depth = 8;
            break;
        case QImage::Format_RGB555:
            converted = image;
            depth = 16;
            break;
        case QImage::Format_RGB16:
        case QImage::Format_RGB444:
        case QImage::Format_ARGB4444_Premultiplied:
            converted = image.convertToFormat(QImage::Format_RGB555);
            depth = 16;
            break;
        case QImage::Format_RGB888:
            converted = image;
            depth = 24;
            break;
        case QImage::Format_RGB32:
        case QImage::Format_RGBX8888:
            depth = nativeBitsPerPixel == 32 ? 32 : 24;
            converted = image.convertToFormat(formatForDepth(depth));
            break;
        case QImage::Format_ARGB32:
            converted = image;
            depth = 32;
            break;
        default:
            depth = image.hasAlphaChannel() ? 32 : 24;
            converted = image.convertToFormat(formatForDepth(depth));
            break;
    }
    if (converted.isNull()) {
        return kErrorNoMemory;
    }
    handle->image = std::move(converted);
    handle->bitsPerPixel = depth;
    handle->region = QRect();
    return kSuccess;
}

}  // namespace imaging
