#include "imaging/codecs/icocur.h"

#include "imaging/codecs/codecsupport.h"

namespace imaging {

namespace {

constexpr int kTypeIcon = 1;
constexpr int kTypeCursor = 2;
constexpr int kMaxSide = 256;
constexpr int kDirectorySize = 6;
constexpr int kEntrySize = 16;
constexpr int kInfoHeaderSize = 40;

// The picture at `bits`, one of the depths this writer knows.
int atDepth(const QImage& source, int bits, QImage* image) {
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        return kErrorInvalidParameter;
    }
    return writableAtDepth(source, bits, image);
}

// One bit a pixel, bottom-up; a set bit lets the screen show through.
void appendMask(const QImage& image, int bits, QByteArray* out) {
    const int width = image.width();
    QByteArray row(dibRowStride(width, 1), '\0');
    for (int y = image.height() - 1; y >= 0; --y) {
        row.fill('\0');
        auto* bytes = reinterpret_cast<uchar*>(row.data());
        if (bits == 32) {
            const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                if (qAlpha(pixels[x]) == 0) {
                    bytes[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
                }
            }
        }
        out->append(row);
    }
}

int encode(int type, const QImage& source, int bitsPerPixel, QByteArray* out) {
    if (source.isNull() || source.width() > kMaxSide || source.height() > kMaxSide) {
        return kErrorInvalidParameter;
    }
    QImage image;
    const int status = atDepth(source, bitsPerPixel, &image);
    if (status != kSuccess) {
        return status;
    }
    const int width = image.width();
    const int height = image.height();
    const int colours = bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0;

    QByteArray dib;
    appendU32le(&dib, kInfoHeaderSize);
    appendU32le(&dib, static_cast<quint32>(width));
    appendU32le(&dib, static_cast<quint32>(height * 2));  // the picture, then its mask
    appendU16le(&dib, 1);
    appendU16le(&dib, static_cast<quint32>(bitsPerPixel));
    appendU32le(&dib, 0);  // BI_RGB
    appendU32le(&dib, static_cast<quint32>(
                          (dibRowStride(width, bitsPerPixel) + dibRowStride(width, 1)) * height));
    appendU32le(&dib, 0);  // resolution
    appendU32le(&dib, 0);
    appendU32le(&dib, 0);  // every colour of the depth is listed
    appendU32le(&dib, 0);
    for (int i = 0; i < colours; ++i) {
        const QRgb colour = i < image.colorCount() ? image.color(i) : qRgb(0, 0, 0);
        dib.append(static_cast<char>(qBlue(colour)));
        dib.append(static_cast<char>(qGreen(colour)));
        dib.append(static_cast<char>(qRed(colour)));
        dib.append('\0');
    }
    appendDibRows(image, bitsPerPixel, &dib);
    appendMask(image, bitsPerPixel, &dib);

    out->clear();
    appendU16le(out, 0);
    appendU16le(out, static_cast<quint32>(type));
    appendU16le(out, 1);  // one picture
    // Sizes and colour counts of 256 are written as 0.
    out->append(static_cast<char>(width & 0xFF));
    out->append(static_cast<char>(height & 0xFF));
    out->append(static_cast<char>(colours & 0xFF));
    out->append('\0');
    if (type == kTypeIcon) {
        appendU16le(out, 1);  // planes
        appendU16le(out, static_cast<quint32>(bitsPerPixel));
    } else {
        appendU16le(out, 0);  // hot spot
        appendU16le(out, 0);
    }
    appendU32le(out, static_cast<quint32>(dib.size()));
    appendU32le(out, kDirectorySize + kEntrySize);
    out->append(dib);
    return kSuccess;
}

int encodeIcon(const QImage& source, int bitsPerPixel, QByteArray* out) {
    return encode(kTypeIcon, source, bitsPerPixel, out);
}

int encodeCursor(const QImage& source, int bitsPerPixel, QByteArray* out) {
    return encode(kTypeCursor, source, bitsPerPixel, out);
}

}  // namespace

const OwnCodec& icoCodec() {
    static const OwnCodec codec{"ICO", nullptr, nullptr, nullptr, encodeIcon};
    return codec;
}

const OwnCodec& curCodec() {
    static const OwnCodec codec{"CUR", nullptr, nullptr, nullptr, encodeCursor};
    return codec;
}

}  // namespace imaging
