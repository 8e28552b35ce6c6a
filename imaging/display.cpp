#include "imaging/display.h"

#include "imaging/colourreduction.h"
#include "imaging/errors.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>

#include <atomic>

namespace imaging {

namespace {

std::atomic<int> g_displayMode{0};

QPainter::CompositionMode compositionOf(RasterOp op) {
    switch (op) {
        case RasterOp::And:
            return QPainter::RasterOp_SourceAndDestination;
        case RasterOp::Or:
            return QPainter::RasterOp_SourceOrDestination;
        case RasterOp::Xor:
            return QPainter::RasterOp_SourceXorDestination;
        case RasterOp::Invert:
            return QPainter::RasterOp_NotDestination;
        case RasterOp::Copy:
            break;
    }
    return QPainter::CompositionMode_SourceOver;
}

}  // namespace

void setDisplayMode(int mask, int value) {
    int current = g_displayMode.load();
    while (!g_displayMode.compare_exchange_weak(current, (current & ~mask) | (value & mask))) {
    }
}

int displayMode() {
    return g_displayMode.load();
}

QList<QRgb> displayPalette(const ImageHandle& handle) {
    if ((displayMode() & kDisplayFixedPalette) || handle.bitsPerPixel > 8) {
        return standardPalette(8);
    }
    return handle.image.colorTable();
}

void paintImage(QPainter* painter, const ImageHandle& handle, const QRectF& target,
                const QRectF& source, RasterOp op) {
    if (!handle.isAllocated()) {
        return;
    }
    QImage image = handle.image;
    const QPaintDevice* device = painter->device();
    if (device && device->depth() <= 8) {
        const Dither dither =
            (displayMode() & kDisplayOrderedDither) ? Dither::Ordered : Dither::ErrorDiffusion;
        const QImage reduced = ditherToPalette(image, displayPalette(handle), dither);
        if (!reduced.isNull()) {
            image = reduced;
        }
    }
    painter->save();
    painter->setCompositionMode(compositionOf(op));
    painter->setRenderHint(QPainter::SmoothPixmapTransform, target.size() != source.size());
    painter->drawImage(target, image, source);
    painter->restore();
}

void drawRegionFrame(QPainter* painter, const ImageHandle& handle,
                     const QTransform& imageToDevice) {
    if (!hasRegion(handle)) {
        return;
    }
    const QRectF frame = imageToDevice.mapRect(QRectF(handle.region));
    painter->save();
    // Two passes, black under white dashes, so the frame shows on any picture.
    painter->setPen(QPen(Qt::black, 1, Qt::SolidLine));
    painter->drawRect(frame.adjusted(0, 0, -1, -1));
    painter->setPen(QPen(Qt::white, 1, Qt::DashLine));
    painter->drawRect(frame.adjusted(0, 0, -1, -1));
    painter->restore();
}

QImage toQImage(const ImageHandle& handle) {
    return handle.image;
}

QPixmap toPixmap(const ImageHandle& handle) {
    return QPixmap::fromImage(handle.image);
}

int copyToClipboard(const ImageHandle& handle) {
    if (!handle.isAllocated()) {
        return kErrorInvalidParameter;
    }
    QGuiApplication::clipboard()->setImage(handle.image);
    return kSuccess;
}

bool clipboardHasImage() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

int pasteFromClipboard(ImageHandle* handle) {
    if (!clipboardHasImage()) {
        return kErrorInvalidParameter;
    }
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull()) {
        return kErrorInvalidParameter;
    }
    return handleFromQImage(image, handle);
}

int captureScreen(const QRect& area, ImageHandle* handle) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || area.isEmpty()) {
        return kErrorInvalidParameter;
    }
    const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (shot.isNull()) {
        return kErrorInvalidParameter;
    }
    return handleFromQImage(shot.toImage().convertToFormat(QImage::Format_RGB888), handle);
}

int captureScreen(ImageHandle* handle) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return kErrorInvalidParameter;
    }
    return captureScreen(QRect(QPoint(0, 0), screen->geometry().size()), handle);
}

}  // namespace imaging
