#include "imaging/textrenderer.h"

#include "imaging/colourreduction.h"
#include "imaging/errors.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace imaging {

namespace {

// The text tool's sizes are pixels at 96 dots per inch, whatever resolution
// the picture's file states.
constexpr double kDotsPerInch = 96.0;
// Half the pen lies under the glyphs: a ring of about 1.5 pixels shows.
constexpr double kOutlinePen = 3.0;

struct TextJob {
    QRect rect;
    QStringList lines;
    int effect = 0;
    bool centred = false;
    QPoint shadowOffset;
    QRgb textColour = 0;
    QRgb shadowColour = 0;
    QRgb highlightColour = 0;
    QFont font;
};

/// The lines as drawn: "&&" is one "&" (callers double every ampersand so
/// none becomes a mnemonic), carriage returns from pasted text go.
QStringList drawnLines(const QString& text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r')) {
            continue;
        }
        if (c == QLatin1Char('&') && i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
            ++i;
        }
        plain += c;
    }
    return plain.split(QLatin1Char('\n'));
}

/// A point-sized font at the text tool's resolution, so a 300-dpi photo does
/// not get three times larger letters than the view measured.
QFont drawingFont(QFont font) {
    if (font.pixelSize() <= 0) {
        font.setPixelSize(
            std::max(1, static_cast<int>(std::lround(font.pointSizeF() * kDotsPerInch / 72.0))));
    }
    return font;
}

/// The baseline origin of each line.
QList<QPoint> lineOrigins(const TextJob& job) {
    const QFontMetrics metrics(job.font);
    QList<QPoint> origins;
    origins.reserve(job.lines.size());
    int baseline = job.rect.top() + metrics.ascent();
    for (const QString& line : job.lines) {
        int x = job.rect.left();
        if (job.centred) {
            x += (job.rect.width() - metrics.horizontalAdvance(line)) / 2;
        }
        origins << QPoint(x, baseline);
        baseline += metrics.lineSpacing();
    }
    return origins;
}

void paintText(QPainter* painter, const TextJob& job) {
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::TextAntialiasing);
    painter->setClipRect(job.rect);
    painter->setFont(job.font);
    const QList<QPoint> origins = lineOrigins(job);

    if (job.effect == kTextDropShadow) {
        painter->setPen(QColor::fromRgb(job.shadowColour));
        for (qsizetype i = 0; i < job.lines.size(); ++i) {
            painter->drawText(origins[i] + job.shadowOffset, job.lines[i]);
        }
    } else if (job.effect == kTextOutline) {
        QPainterPath glyphs;
        for (qsizetype i = 0; i < job.lines.size(); ++i) {
            glyphs.addText(origins[i], job.font, job.lines[i]);
        }
        painter->strokePath(glyphs, QPen(QColor::fromRgb(job.highlightColour), kOutlinePen,
                                         Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        // Filled from the same outlines: hinted glyphs would leave the thin
        // ring uneven.
        painter->fillPath(glyphs, QColor::fromRgb(job.textColour));
        return;
    }
    painter->setPen(QColor::fromRgb(job.textColour));
    for (qsizetype i = 0; i < job.lines.size(); ++i) {
        painter->drawText(origins[i], job.lines[i]);
    }
}

/// Draws into a 24-bit copy of `area` and brings it back at the image's own
/// depth: palette images take the nearest entries of their own palette.
int paintThrough24Bits(ImageHandle* handle, const QRect& area, const TextJob& job) {
    QImage part = handle->image.copy(area).convertToFormat(QImage::Format_RGB888);
    if (part.isNull()) {
        return kErrorNoMemory;
    }
    {
        QPainter painter(&part);
        painter.translate(-area.topLeft());
        paintText(&painter, job);
    }
    if (handle->bitsPerPixel == 16) {
        const QImage back = part.convertToFormat(handle->image.format());
        QPainter painter(&handle->image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(area.topLeft(), back);
        return kSuccess;
    }
    const QImage mapped = mapToPalette(part, handle->image.colorTable());
    if (mapped.isNull()) {
        return kErrorUserAbort;
    }
    const bool mono = handle->image.format() == QImage::Format_Mono;
    QImage indices =
        mono ? handle->image.convertToFormat(QImage::Format_Indexed8, handle->image.colorTable())
             : handle->image;
    for (int row = 0; row < area.height(); ++row) {
        std::copy_n(mapped.constScanLine(row), area.width(),
                    indices.scanLine(area.top() + row) + area.left());
    }
    handle->image = mono ? packMono(indices) : std::move(indices);
    return kSuccess;
}

}  // namespace

int drawText3D(ImageHandle* image, const QRect& rect, const QString& text, int flags,
               int shadowOffsetX, int shadowOffsetY, QRgb textColour, QRgb shadowColour,
               QRgb highlightColour, const QFont& font) {
    if (image == nullptr || !image->isAllocated()) {
        return kErrorInvalidParameter;
    }
    const QRect area = rect.normalized() & image->image.rect();
    if (area.isEmpty() || text.isEmpty()) {
        return kSuccess;
    }
    TextJob job;
    job.rect = rect.normalized();
    job.lines = drawnLines(text);
    job.effect = flags & kTextEffectMask;
    job.centred = (flags & kTextCentred) != 0;
    job.shadowOffset = QPoint(shadowOffsetX, shadowOffsetY);
    job.textColour = textColour;
    job.shadowColour = shadowColour;
    job.highlightColour = highlightColour;
    job.font = drawingFont(font);

    if (image->bitsPerPixel == 24 || image->bitsPerPixel == 32) {
        QPainter painter(&image->image);
        paintText(&painter, job);
        return kSuccess;
    }
    return paintThrough24Bits(image, area, job);
}

QSize textBlockSize(const QString& text, const QFont& font) {
    if (text.isEmpty()) {
        return {};
    }
    const QFontMetrics metrics(drawingFont(font));
    const QStringList lines = drawnLines(text);
    int width = 0;
    for (const QString& line : lines) {
        width = std::max(width, metrics.horizontalAdvance(line));
    }
    return {width, static_cast<int>(lines.size()) * metrics.lineSpacing()};
}

}  // namespace imaging
