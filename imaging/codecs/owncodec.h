#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

#include "imaging/errors.h"

/// Codecs of our own, for the formats no library on the system reads or
/// writes. Each format lives in its own file pair and offers the functions
/// of one OwnCodec record. Pure functions over bytes: safe from any thread.
///
/// Pixel conventions shared with the rest of imaging/:
///   1 bit   QImage::Format_Mono (most significant bit first), 2-entry colour table
///   4 bits  QImage::Format_Indexed8 with at most 16 colours (bitsPerPixel 4)
///   8 bits  QImage::Format_Indexed8 with at most 256 colours
///   16 bits QImage::Format_RGB555
///   24 bits QImage::Format_RGB888
///   32 bits QImage::Format_ARGB32
namespace imaging {

/// What a header tells without decoding the pixels.
struct OwnCodecInfo {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int pages = 1;
    QString compression;  // as the Image Information dialog shows it, e.g. "RLE", "None"
};

struct OwnDecoded {
    QImage image;
    int bitsPerPixel = 0;
};

struct OwnCodec {
    const char* name;  // short name, e.g. "MSP"
    /// True when the first bytes (at most 512 given) are this format's.
    bool (*probe)(QByteArrayView head);
    /// 1, or a negative code. Checks every length against the data.
    int (*readInfo)(QByteArrayView data, OwnCodecInfo* info);
    int (*decode)(QByteArrayView data, OwnDecoded* out);
    /// Null when the format is read only. `bitsPerPixel` is the depth to
    /// write; the image is already at that depth by the conventions above.
    int (*encode)(const QImage& image, int bitsPerPixel, QByteArray* out);
};

}  // namespace imaging
