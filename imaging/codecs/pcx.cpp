#include "imaging/codecs/pcx.h"

#include "imaging/codecs/codecsupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace imaging {

namespace {

constexpr int kHeaderSize = 128;
constexpr int kPaletteMarker = 0x0C;
constexpr int kMaxRun = 63;
constexpr int kDefaultDpi = 96;

// The picture at `bits`, one of the depths this writer knows.
int atDepth(const QImage& source, int bits, QImage* image) {
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) {
        return kErrorInvalidParameter;
    }
    const int status = writableAtDepth(source, bits, image);
    if (status != kSuccess) {
        return status;
    }
    // The darker colour goes to bit 1, as ImageMagick ignores the palette
    // of 1-bit files and draws 1 as black.
    if (bits == 1 && qGray(image->color(0)) < qGray(image->color(1))) {
        const QRgb dark = image->color(0);
        const QRgb light = image->color(1);
        image->invertPixels();
        image->setColorTable({light, dark});
    }
    return kSuccess;
}

// Bytes with the top two bits set are counts, so such a byte goes out as a
// run of one even when alone. Runs stop at the end of each plane's line, as
// the oldest readers decode line by line.
void packLine(const uchar* line, int n, QByteArray* out) {
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < kMaxRun && line[i + run] == line[i]) {
            ++run;
        }
        if (run > 1 || line[i] >= 0xC0) {
            out->append(static_cast<char>(0xC0 | run));
        }
        out->append(static_cast<char>(line[i]));
        i += run;
    }
}

void appendRgb(QByteArray* out, QRgb colour) {
    out->append(static_cast<char>(qRed(colour)));
    out->append(static_cast<char>(qGreen(colour)));
    out->append(static_cast<char>(qBlue(colour)));
}

int encode(const QImage& source, int bitsPerPixel, QByteArray* out) {
    if (source.isNull()) {
        return kErrorInvalidParameter;
    }
    QImage image;
    const int status = atDepth(source, bitsPerPixel, &image);
    if (status != kSuccess) {
        return status;
    }
    const int width = image.width();
    const int height = image.height();
    const int planeBits = bitsPerPixel == 24 ? 8 : (bitsPerPixel == 4 ? 1 : bitsPerPixel);
    const int planes = bitsPerPixel == 24 ? 3 : (bitsPerPixel == 4 ? 4 : 1);
    const qint64 used = (static_cast<qint64>(width) * planeBits + 7) / 8;
    const qint64 bytesPerLine = used + (used & 1);
    if (width > 0xFFFF || height > 0xFFFF || bytesPerLine > 0xFFFF) {
        return kErrorInvalidParameter;
    }
    const int dpi =
        image.dotsPerMeterX() > 0
            ? std::clamp(static_cast<int>(std::lround(image.dotsPerMeterX() * 0.0254)), 1, 0xFFFF)
            : kDefaultDpi;

    QByteArray header;
    header.append(static_cast<char>(0x0A));  // ZSoft
    header.append(static_cast<char>(5));     // PC Paintbrush 3.0 on, with palettes
    header.append(static_cast<char>(1));     // run-length coded
    header.append(static_cast<char>(planeBits));
    appendU16le(&header, 0);
    appendU16le(&header, 0);
    appendU16le(&header, static_cast<quint32>(width - 1));
    appendU16le(&header, static_cast<quint32>(height - 1));
    appendU16le(&header, static_cast<quint32>(dpi));
    appendU16le(&header, static_cast<quint32>(dpi));
    // 8-bit pictures also get their first colours here, for readers that
    // look no further.
    for (int i = 0; i < 16; ++i) {
        appendRgb(&header,
                  bitsPerPixel != 24 && i < image.colorCount() ? image.color(i) : qRgb(0, 0, 0));
    }
    header.append('\0');
    header.append(static_cast<char>(planes));
    appendU16le(&header, static_cast<quint32>(bytesPerLine));
    appendU16le(&header, 1);  // colour, not grey
    header.append(kHeaderSize - header.size(), '\0');

    out->clear();
    out->append(header);
    QByteArray plane(bytesPerLine, '\0');
    for (int y = 0; y < height; ++y) {
        const uchar* line = image.constScanLine(y);
        for (int p = 0; p < planes; ++p) {
            plane.fill('\0');
            auto* bytes = reinterpret_cast<uchar*>(plane.data());
            if (bitsPerPixel == 1 || bitsPerPixel == 8) {
                std::memcpy(bytes, line, static_cast<size_t>(used));
                if (bitsPerPixel == 1 && width % 8 != 0) {
                    bytes[used - 1] &= static_cast<uchar>(0xFF00 >> (width % 8));
                }
            } else if (bitsPerPixel == 4) {
                for (int x = 0; x < width; ++x) {
                    if ((line[x] >> p) & 1) {
                        bytes[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
                    }
                }
            } else {
                for (int x = 0; x < width; ++x) {
                    bytes[x] = line[3 * x + p];
                }
            }
            packLine(bytes, static_cast<int>(bytesPerLine), out);
        }
    }
    if (bitsPerPixel == 8) {
        out->append(static_cast<char>(kPaletteMarker));
        for (int i = 0; i < 256; ++i) {
            appendRgb(out, i < image.colorCount() ? image.color(i) : qRgb(0, 0, 0));
        }
    }
    return kSuccess;
}

}  // namespace

const OwnCodec& pcxCodec() {
    static const OwnCodec codec{"PCX", nullptr, nullptr, nullptr, encode};
    return codec;
}

}  // namespace imaging
