#pragma once

#include "imaging/imagehandle.h"

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

/// Text drawn into images: plain, with a drop shadow or outlined, left-aligned
/// or centred, over one or more lines. Safe from any thread: it only paints
/// into the image it is given.
namespace imaging {

/// The flags of drawText3D. The low three bits name one effect, so the
/// drop shadow and the outline do not combine: 5 | 7 is 7, the outline.
inline constexpr int kTextPlain = 256;
inline constexpr int kTextDropShadow = 5;
inline constexpr int kTextOutline = 7;
inline constexpr int kTextEffectMask = 7;
inline constexpr int kTextCentred = 16;

/// Draws `text` into `rect` of the image, clipped to it, antialiased: lines
/// split at '\n' run down from the rectangle's top-left at the font's line
/// spacing, each left-aligned or centred; "&&" draws one "&". A drop shadow
/// is the text in `shadowColour` offset by (shadowOffsetX, shadowOffsetY)
/// under the text; an outline is the glyph outlines stroked in
/// `highlightColour` under the text. Palette and 16-bit images are drawn at
/// 24 bits and mapped back to their own palette (nearest colours) or depth.
/// Returns 1 or a negative code of errors.h.
int drawText3D(ImageHandle* image, const QRect& rect, const QString& text, int flags,
               int shadowOffsetX, int shadowOffsetY, QRgb textColour, QRgb shadowColour,
               QRgb highlightColour, const QFont& font);

/// The size of the text as drawText3D lays it out: the widest line's
/// advance by the number of lines times the line spacing.
QSize textBlockSize(const QString& text, const QFont& font);

}  // namespace imaging
