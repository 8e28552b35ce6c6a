#include "app/settingsfile.h"

#include "platform/archive.h"
#include "platform/atomicfile.h"
#include "platform/fileexception.h"

#include <QFile>

#include <algorithm>
#include <cstdlib>

namespace {

// The font record of any real font lies well inside these bounds; a file
// whose values fall outside them is damaged rather than unusual.
constexpr std::int32_t kMaxFontHeight = 16384;
constexpr std::int32_t kMaxWeight = 1000;
// The settings file is a few hundred bytes; anything far larger is not one.
constexpr qint64 kMaxFileSize = 1 << 20;

bool isColorRef(ColorRef value) {
    // The top byte of a colour reference selects RGB (0), a palette index (1)
    // or a palette-relative colour (2).
    return (value >> 24) <= 2;
}

}  // namespace

TextStyle readSettingsFile(ArchiveReader& archive) {
    TextStyle style;
    LogFont& font = style.font;
    font.height = archive.readInt32();
    font.width = archive.readInt32();
    font.escapement = archive.readInt32();
    font.orientation = archive.readInt32();
    font.weight = archive.readInt32();
    font.italic = archive.readByte();
    font.underline = archive.readByte();
    font.strikeOut = archive.readByte();
    font.charSet = archive.readByte();
    font.outPrecision = archive.readByte();
    font.clipPrecision = archive.readByte();
    font.quality = archive.readByte();
    font.pitchAndFamily = archive.readByte();
    font.faceName = archive.readString();
    if (std::abs(static_cast<qint64>(font.height)) > kMaxFontHeight || font.weight < 0 ||
        font.weight > kMaxWeight) {
        archive.fail();
    }

    style.textColour = archive.readUInt32();
    style.fillColour = archive.readUInt32();
    style.backgroundColour = archive.readUInt32();
    style.shadowColour = archive.readUInt32();
    style.highlightColour = archive.readUInt32();
    for (ColorRef& colour : style.customColours) {
        colour = archive.readUInt32();
    }
    const bool coloursValid =
        isColorRef(style.textColour) && isColorRef(style.fillColour) &&
        isColorRef(style.backgroundColour) && isColorRef(style.shadowColour) &&
        isColorRef(style.highlightColour) &&
        std::all_of(style.customColours.begin(), style.customColours.end(), isColorRef);
    if (!coloursValid) {
        archive.fail();
    }
    return style;
}

void writeSettingsFile(ArchiveWriter& archive, const TextStyle& style) {
    const LogFont& font = style.font;
    archive.writeInt32(font.height);
    archive.writeInt32(font.width);
    archive.writeInt32(font.escapement);
    archive.writeInt32(font.orientation);
    archive.writeInt32(font.weight);
    archive.writeByte(font.italic);
    archive.writeByte(font.underline);
    archive.writeByte(font.strikeOut);
    archive.writeByte(font.charSet);
    archive.writeByte(font.outPrecision);
    archive.writeByte(font.clipPrecision);
    archive.writeByte(font.quality);
    archive.writeByte(font.pitchAndFamily);
    archive.writeString(font.faceName);

    archive.writeUInt32(style.textColour);
    archive.writeUInt32(style.fillColour);
    archive.writeUInt32(style.backgroundColour);
    archive.writeUInt32(style.shadowColour);
    archive.writeUInt32(style.highlightColour);
    for (ColorRef colour : style.customColours) {
        archive.writeUInt32(colour);
    }
}

std::optional<TextStyle> loadSettingsFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize) {
        return std::nullopt;
    }
    const QByteArray data = file.readAll();
    try {
        ArchiveReader archive(data, path);
        return readSettingsFile(archive);
    } catch (const FileException&) {
        return std::nullopt;
    }
}

bool storeSettingsFile(const QString& path, const TextStyle& style) {
    ArchiveWriter archive;
    writeSettingsFile(archive, style);
    return writeFileAtomically(path, archive.data());
}
