#pragma once

#include <QFont>
#include <QString>

#include <cstdint>

/// The text font as the settings file stores it: the fields of the Windows
/// logical-font record. Heights are in pixels; a negative height is the
/// character height, a positive one the cell height.
struct LogFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;   // tenths of a degree
    std::int32_t orientation = 0;  // tenths of a degree
    std::int32_t weight = 0;       // 0 default, 400 normal, 700 bold
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    QString faceName;

    bool operator==(const LogFont&) const = default;
};

/// The font to draw with. Record fields QFont has no notion of (escapement,
/// clip precision) are ignored here and kept in the record.
QFont toQFont(const LogFont& record);

/// The record for a font chosen in the font dialog. Fields QFont does not
/// carry are taken from `base`, so a font chosen and stored again keeps them.
LogFont toLogFont(const QFont& font, const LogFont& base = {});
