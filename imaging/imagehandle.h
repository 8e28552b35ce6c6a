#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include <functional>

/// The image handle and the kernel operations on it. A handle is a record
/// the caller owns; the pixels live in a QImage whose format follows the
/// depth:
///   1 bit   Format_Mono with a 2-entry colour table
///   4 bits  Format_Indexed8 with at most 16 colours
///   8 bits  Format_Indexed8 with at most 256 colours
///   16 bits Format_RGB555
///   24 bits Format_RGB888
///   32 bits Format_ARGB32
/// Every operation returns 1 on success or a negative code of errors.h.
/// Operations on different handles may run on different threads at once;
/// one handle belongs to one thread at a time.
namespace imaging {

struct ImageHandle {
    QImage image;
    int bitsPerPixel = 0;  // 0 while no image memory is held
    QRect region;          // the rectangular region (selection); empty when none

    int width() const { return image.width(); }
    int height() const { return image.height(); }
    bool isAllocated() const { return bitsPerPixel != 0 && !image.isNull(); }
};

enum class Dither { Ordered, ErrorDiffusion };

/// A status callback for long operations: it gets the percentage done and
/// returns 1 to go on or kErrorUserAbort to stop the operation, which then
/// returns kErrorUserAbort and leaves its target as it was.
using StatusCallback = std::function<int(int percent)>;

/// A new handle: 1 by 1 at 1 bit.
void initHandle(ImageHandle* handle);
/// Image memory of the given size and depth (1, 4, 8, 16, 24 or 32), white,
/// with the standard palette of the depth.
int createImage(ImageHandle* handle, int width, int height, int bitsPerPixel);
/// Fills the image (the nearest palette colour on palette images).
int fillImage(ImageHandle* handle, const QColor& colour);
void freeImage(ImageHandle* handle);
int copyImage(ImageHandle* destination, const ImageHandle& source);
/// The given rectangle of `source`, which must lie inside it.
int copyRect(ImageHandle* destination, const ImageHandle& source, int left, int top, int width,
             int height);
/// Resizes in place; shrinking filters the image (area average), never picks
/// single pixels.
int resizeImage(ImageHandle* handle, int width, int height);
/// Changes the depth. Reducing to a palette depth finds the best palette for
/// the picture (1 bit: black and white) and dithers to it.
int changeBitsPerPixel(ImageHandle* handle, int bitsPerPixel, Dither dither);
/// Rotates by 90 or 270 degrees clockwise (also 180).
int rotateImage(ImageHandle* handle, int degrees);
/// Draws `source` onto `destination` with its top-left at (x, y), clipped to
/// the destination; palette destinations take the nearest colours.
int combineImage(ImageHandle* destination, int x, int y, const ImageHandle& source);

/// The rectangular region: set (clipped to the image), bounds, remove.
void setRegion(ImageHandle* handle, const QRect& rect);
QRect regionBounds(const ImageHandle& handle);
bool hasRegion(const ImageHandle& handle);
void removeRegion(ImageHandle* handle);

/// The status callback of the calling thread (null removes it).
void setStatusCallback(StatusCallback callback);
/// Reports progress to the calling thread's callback: false when it asked
/// to abort. Used by the operations of this library.
bool reportStatus(int percent);

/// The QImage format that holds the given depth, or Format_Invalid.
QImage::Format formatForDepth(int bitsPerPixel);
/// The standard palette of a palette depth (1: black and white, 4: the 16
/// VGA colours, 8: a 6x6x6 colour cube with greys).
QList<QRgb> standardPalette(int bitsPerPixel);
/// Wraps a QImage of any format as a handle at the depth that keeps its
/// colours (palette images stay palette images). `nativeBitsPerPixel` keeps
/// a depth the QImage format cannot tell: 4 for a 16-colour Indexed8 image,
/// 32 for an RGB32 image without alpha.
int handleFromQImage(const QImage& image, ImageHandle* handle, int nativeBitsPerPixel = 0);
/// Refuses sizes beyond the library's limits before anything is allocated.
int checkDimensions(qint64 width, qint64 height);

}  // namespace imaging
