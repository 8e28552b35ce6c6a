#pragma once

#include <QColor>

#include <cstdint>

/// A colour as the program's files store it: 0x00BBGGRR.
using ColorRef = std::uint32_t;

constexpr ColorRef makeColorRef(int red, int green, int blue) {
    return static_cast<ColorRef>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

inline QColor toQColor(ColorRef ref) {
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

inline ColorRef toColorRef(const QColor& color) {
    return makeColorRef(color.red(), color.green(), color.blue());
}
