#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <string_view>

namespace search {

/// The file-name masks offered in the mask drop-downs, in the order shown;
/// the drop-downs are not sorted.

/// The thumbnail search, the album source search and the wizard's album page.
inline constexpr std::array<std::string_view, 31> kShortMasks{
    "*.bmp", "*.jpg", "*.gif", "*.tif", "*.ico", "*.pcx", "*.pcd", "*.png",
    "*.tga", "*.iff", "*.brk", "*.cal", "*.clp", "*.img", "*.ica", "*.jff",
    "*.jtf", "*.pct", "*.pbm", "*.pgm", "*.pnm", "*.ppm", "*.psd", "*.ras",
    "*.sgi", "*.wmf", "*.wpg", "*.xbm", "*.xpm", "*.xwd", "*.*"};

/// The wizard's image-search page.
inline constexpr std::array<std::string_view, 39> kLongMasks{
    "*.bmp", "*.jpg", "*.gif", "*.tif", "*.cur", "*.ico", "*.pcx", "*.pcd", "*.png", "*.tga",
    "*.iff", "*.brk", "*.cal", "*.clp", "*.eps", "*.fpx", "*.img", "*.ica", "*.jff", "*.jtf",
    "*.cmp", "*.pct", "*.pbm", "*.pgm", "*.pnm", "*.ppm", "*.mac", "*.awd", "*.msp", "*.psd",
    "*.ras", "*.sgi", "*.wmf", "*.fxs", "*.wpg", "*.xbm", "*.xpm", "*.xwd", "*.*"};

/// The mask of a search nobody has chosen one for.
inline constexpr std::string_view kDefaultMask = "*.bmp";

/// A mask list as the drop-downs take it.
template <std::size_t N>
QStringList maskStrings(const std::array<std::string_view, N>& masks) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(N));
    for (std::string_view mask : masks) {
        list << QString::fromLatin1(mask.data(), static_cast<qsizetype>(mask.size()));
    }
    return list;
}

/// The longest mask a search takes, in characters.
inline constexpr int kMaxMaskLength = 255;

}  // namespace search
