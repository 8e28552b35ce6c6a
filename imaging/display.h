#pragma once

#include "imaging/imagehandle.h"

#include <QPainter>
#include <QPixmap>
#include <QRect>

/// Showing images: palettes and painting for a display, conversion to and
/// from Qt's images, the clipboard and screen capture. Interface thread
/// only (the clipboard and screens belong to it); the conversions are safe
/// from any thread.
namespace imaging {

/// Display-mode flags.
inline constexpr int kDisplayOrderedDither = 1;   // else error diffusion
inline constexpr int kDisplayFixedPalette = 128;  // else the image's own palette

/// Sets the flags of `mask` to those of `value`.
void setDisplayMode(int mask, int value);
int displayMode();

/// The palette the image is shown with on a palette display: its own
/// colours, or the fixed palette when kDisplayFixedPalette is set.
QList<QRgb> displayPalette(const ImageHandle& handle);

enum class RasterOp { Copy, And, Or, Xor, Invert };

/// Paints the `source` part of the image into `target` on the painter's
/// device, smoothly scaled, with the raster operation. On a display of 8
/// bits or fewer the picture is first reduced to its display palette,
/// dithered as the display mode says.
void paintImage(QPainter* painter, const ImageHandle& handle, const QRectF& target,
                const QRectF& source, RasterOp op = RasterOp::Copy);

/// Draws the frame of the handle's region, in device coordinates given by
/// `imageToDevice`.
void drawRegionFrame(QPainter* painter, const ImageHandle& handle, const QTransform& imageToDevice);

QImage toQImage(const ImageHandle& handle);
QPixmap toPixmap(const ImageHandle& handle);

int copyToClipboard(const ImageHandle& handle);
/// 1 with the clipboard's picture in the handle, kErrorInvalidParameter when
/// the clipboard holds none.
int pasteFromClipboard(ImageHandle* handle);
bool clipboardHasImage();

/// The given area of the whole desktop (all screens), in device pixels.
int captureScreen(const QRect& area, ImageHandle* handle);
/// The whole primary screen.
int captureScreen(ImageHandle* handle);

}  // namespace imaging
