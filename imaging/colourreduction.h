#pragma once

#include "imaging/imagehandle.h"

#include <QImage>
#include <QList>

/// Reducing colours for the palette depths: a palette chosen for the picture
/// (median cut over a 5-bit-per-channel histogram, or the exact colours when
/// there are few enough) and dithering to a palette. Pure functions; safe
/// from any thread.
namespace imaging {

/// The colours of `image` when it has at most `limit` of them, else empty.
QList<QRgb> exactColours(const QImage& image, int limit);

/// A palette of at most `colours` entries that represents `image` well.
QList<QRgb> medianCutPalette(const QImage& image, int colours);

/// `image` mapped onto `palette` as a Format_Indexed8 image (or Format_Mono
/// when `mono` is set and the palette has two entries), dithered as asked.
/// Reports progress through the calling thread's status callback; returns a
/// null image when that asked to abort.
QImage ditherToPalette(const QImage& image, const QList<QRgb>& palette, Dither dither,
                       bool mono = false);

/// `image` as a Format_Indexed8 image on `palette`, each pixel the nearest
/// entry, without dithering (for images whose colours are all in it).
/// Returns a null image when the status callback asked to abort.
QImage mapToPalette(const QImage& image, const QList<QRgb>& palette);

/// An Indexed8 image whose pixels are 0 or 1, as Format_Mono with the same
/// two colours.
QImage packMono(const QImage& indexed);

/// The index of the palette entry nearest to `colour`.
int nearestIndex(const QList<QRgb>& palette, QRgb colour);

}  // namespace imaging
