#include "app/logfont.h"

#include <algorithm>
#include <cmath>

namespace {

// Font sizes in the record are pixels at the 96 dots per inch that the text
// tool draws into images with.
constexpr double kDotsPerInch = 96.0;

// Pitch-and-family byte: low two bits pitch, high nibble family.
constexpr std::uint8_t kFixedPitch = 1;
constexpr std::uint8_t kVariablePitch = 2;
constexpr std::uint8_t kFamilyRoman = 0x10;
constexpr std::uint8_t kFamilySwiss = 0x20;
constexpr std::uint8_t kFamilyModern = 0x30;
constexpr std::uint8_t kFamilyScript = 0x40;
constexpr std::uint8_t kFamilyDecorative = 0x50;

constexpr std::uint8_t kNonAntialiasedQuality = 3;
constexpr std::uint8_t kAntialiasedQuality = 4;

}  // namespace

QFont toQFont(const LogFont& record) {
    QFont font(record.faceName);
    if (record.height != 0) {
        font.setPixelSize(std::max(1, std::abs(record.height)));
    }
    if (record.weight > 0) {
        font.setWeight(static_cast<QFont::Weight>(std::clamp(record.weight, 1, 1000)));
    }
    font.setItalic(record.italic != 0);
    font.setUnderline(record.underline != 0);
    font.setStrikeOut(record.strikeOut != 0);
    font.setFixedPitch((record.pitchAndFamily & 0x03) == kFixedPitch);
    switch (record.pitchAndFamily & 0xF0) {
        case kFamilyRoman:
            font.setStyleHint(QFont::Serif);
            break;
        case kFamilySwiss:
            font.setStyleHint(QFont::SansSerif);
            break;
        case kFamilyModern:
            font.setStyleHint(QFont::TypeWriter);
            break;
        case kFamilyScript:
            font.setStyleHint(QFont::Cursive);
            break;
        case kFamilyDecorative:
            font.setStyleHint(QFont::Decorative);
            break;
        default:
            break;
    }
    if (record.quality == kNonAntialiasedQuality) {
        font.setStyleStrategy(QFont::NoAntialias);
    } else if (record.quality == kAntialiasedQuality) {
        font.setStyleStrategy(QFont::PreferAntialias);
    }
    return font;
}

LogFont toLogFont(const QFont& font, const LogFont& base) {
    LogFont record = base;
    record.faceName = font.family();
    if (font.pixelSize() > 0) {
        record.height = -font.pixelSize();
    } else {
        record.height =
            -static_cast<std::int32_t>(std::lround(font.pointSizeF() * kDotsPerInch / 72.0));
    }
    record.weight = font.weight();
    record.italic = font.italic() ? 1 : 0;
    record.underline = font.underline() ? 1 : 0;
    record.strikeOut = font.strikeOut() ? 1 : 0;
    record.pitchAndFamily = static_cast<std::uint8_t>(
        (record.pitchAndFamily & 0xF0) | (font.fixedPitch() ? kFixedPitch : kVariablePitch));
    if (font.styleStrategy() & QFont::NoAntialias) {
        record.quality = kNonAntialiasedQuality;
    } else if (font.styleStrategy() & QFont::PreferAntialias) {
        record.quality = kAntialiasedQuality;
    }
    return record;
}
