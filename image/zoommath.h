#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

/// The arithmetic of showing and printing a picture at a percentage, with
/// no window: the zoom steps, zoom to fit, the area a frame may take, the
/// scroll position that centres a clicked point, and the print layout.
namespace image::zoom {

inline constexpr int kSmallest = 10;
inline constexpr int kLargest = 600;

/// One step in: 10, 25, 33, 50, 66, 75, 100, then 50 more each step; 600
/// stays.
int stepIn(int percent);
/// One step out: the same steps back; 10 stays.
int stepOut(int percent);

/// The largest area a child frame takes for its picture on a screen.
QSize largestFrameArea(QSize screen);
/// The picture's size at the percentage.
QSize zoomedSize(QSize picture, int percent);
/// Whether the picture at the percentage fits in the area.
bool fits(QSize picture, int percent, QSize area);

/// The step at or below the percentage that shows the whole picture in the
/// area.
int fitPercent(QSize picture, QSize area);

/// The scroll position that brings the clicked point (in the window) to the
/// middle of the client area after zooming from `oldPercent` to `newPercent`.
QPoint centredScroll(QPoint click, QPoint oldScroll, int oldPercent, int newPercent, QSize client);

/// Window (zoomed, scrolled-content) coordinates to picture coordinates and
/// back.
QRect toPicture(const QRect& window, int percent);
QRect toWindow(const QRect& picture, int percent);

/// Where a picture goes on a printed page. With `fitToPage` a picture wider
/// than tall is turned a quarter (`rotated`), then scaled to two thirds of
/// the page width, or of the page height where that is still too tall, and
/// centred; without, it sits at its pixel size in the top-left corner.
struct PrintLayout {
    bool rotated = false;
    QRect target;  // in page pixels
};
PrintLayout printLayout(QSize picture, QSize page, bool fitToPage);

}  // namespace image::zoom
