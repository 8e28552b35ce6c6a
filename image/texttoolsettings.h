#pragma once

#include "app/logfont.h"
#include "imaging/textrenderer.h"

#include <QColor>
#include <QString>

namespace image {

/// What the text tool draws with: what the Font dialog starts from and
/// gives back. The three switches are 0 or 1.
struct TextToolSettings {
    LogFont font;
    QRgb textColour = qRgb(0, 0, 0);
    QRgb shadowColour = qRgb(0, 0, 0);
    QRgb highlightColour = qRgb(255, 255, 255);
    QString text;
    int center = 0;
    int dropShadow = 0;
    int outline = 0;

    bool operator==(const TextToolSettings&) const = default;
};

/// The flags of imaging::drawText3D for these settings. The drop shadow and
/// the outline share the effect bits, so with both on the text is outlined.
inline int drawTextFlags(const TextToolSettings& settings) {
    int flags = imaging::kTextPlain;
    if (settings.dropShadow != 0) {
        flags |= imaging::kTextDropShadow;
    }
    if (settings.outline != 0) {
        flags |= imaging::kTextOutline;
    }
    if (settings.center != 0) {
        flags |= imaging::kTextCentred;
    }
    return flags;
}

/// The text as drawText3D takes it: every "&" doubled, so none is taken for
/// a mnemonic.
inline QString drawTextString(const QString& text) {
    QString doubled = text;
    return doubled.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace image
