#include "imaging/codecs/os2bmp.h"

#include "imaging/codecs/codecsupport.h"

namespace imaging {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 64;
constexpr quint32 kDefaultDotsPerMeter = 3780;  // 96 dpi

// The picture at `bits`, one of the depths this writer knows.
int atDepth(const QImage& source, int bits, QImage* image) {
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) {
        return kErrorInvalidParameter;
    }
    return writableAtDepth(source, bits, image);
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
    const qint64 stride = ((static_cast<qint64>(width) * bitsPerPixel + 31) / 32) * 4;
    const int colours = bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0;
    const qint64 offset = kFileHeaderSize + kInfoHeaderSize + 4 * colours;
    const qint64 fileSize = offset + stride * height;
    if (fileSize > 0x7FFFFFFF) {
        return kErrorInvalidParameter;
    }
    const quint32 dotsPerMeterX = image.dotsPerMeterX() > 0
                                      ? static_cast<quint32>(image.dotsPerMeterX())
                                      : kDefaultDotsPerMeter;
    const quint32 dotsPerMeterY =
        image.dotsPerMeterY() > 0 ? static_cast<quint32>(image.dotsPerMeterY()) : dotsPerMeterX;

    out->clear();
    out->reserve(fileSize);
    out->append("BM", 2);
    appendU32le(out, static_cast<quint32>(fileSize));
    appendU32le(out, 0);  // hot spot, for icons and pointers only
    appendU32le(out, static_cast<quint32>(offset));

    appendU32le(out, kInfoHeaderSize);
    appendU32le(out, static_cast<quint32>(width));
    appendU32le(out, static_cast<quint32>(height));
    appendU16le(out, 1);  // planes
    appendU16le(out, static_cast<quint32>(bitsPerPixel));
    appendU32le(out, 0);  // uncompressed
    appendU32le(out, static_cast<quint32>(stride * height));
    appendU32le(out, dotsPerMeterX);
    appendU32le(out, dotsPerMeterY);
    appendU32le(out, static_cast<quint32>(colours));
    appendU32le(out, 0);  // all colours important
    // Units in metres, rows from the bottom, no halftoning, RGB colours: all
    // zero, as is the rest of the 64 bytes.
    out->append(kFileHeaderSize + kInfoHeaderSize - out->size(), '\0');

    for (int i = 0; i < colours; ++i) {
        const QRgb colour = i < image.colorCount() ? image.color(i) : qRgb(0, 0, 0);
        out->append(static_cast<char>(qBlue(colour)));
        out->append(static_cast<char>(qGreen(colour)));
        out->append(static_cast<char>(qRed(colour)));
        out->append('\0');
    }

    appendDibRows(image, bitsPerPixel, out);
    return kSuccess;
}

}  // namespace

const OwnCodec& os2Bmp2Codec() {
    static const OwnCodec codec{"OS2 BMP2", nullptr, nullptr, nullptr, encode};
    return codec;
}

}  // namespace imaging
