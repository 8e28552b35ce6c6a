#pragma once

#include "app/logfont.h"
#include "platform/colorref.h"

#include <QString>

#include <array>
#include <optional>

class ArchiveReader;
class ArchiveWriter;

/// The text style kept in the settings file "pzset.pzs": the text font and
/// the colours the registry-style settings do not hold.
struct TextStyle {
    LogFont font;
    ColorRef textColour = 0;
    ColorRef fillColour = 0xFFFFFF;        // new images
    ColorRef backgroundColour = 0xFFFFFF;  // image views and slide shows
    ColorRef shadowColour = 0;
    ColorRef highlightColour = 0xFFFFFF;  // the outline of outlined text
    std::array<ColorRef, 16> customColours = filledCustomColours();

    bool operator==(const TextStyle&) const = default;

private:
    static constexpr std::array<ColorRef, 16> filledCustomColours() {
        std::array<ColorRef, 16> colours{};
        colours.fill(0xFFFFFF);
        return colours;
    }
};

inline constexpr char kSettingsFileName[] = "pzset.pzs";

/// Reads the file's layout; throws FileException when the data ends early or
/// holds values no writer produces.
TextStyle readSettingsFile(ArchiveReader& archive);
void writeSettingsFile(ArchiveWriter& archive, const TextStyle& style);

/// The style stored at `path`, or nothing when the file is missing,
/// unreadable or damaged.
std::optional<TextStyle> loadSettingsFile(const QString& path);
/// Stores the style through a temporary file, so the previous file survives
/// a failed write. False when nothing could be stored.
bool storeSettingsFile(const QString& path, const TextStyle& style);
