#include "imaging/codecs/wmf.h"

#include "imaging/codecs/codecsupport.h"

#include <algorithm>
#include <cmath>

namespace imaging {

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr int kPlaceableWords = 11;
constexpr int kHeaderWords = 9;
constexpr quint32 kSetWindowOrg = 0x020B;
constexpr quint32 kSetWindowExt = 0x020C;
constexpr quint32 kStretchDib = 0x0F43;
constexpr quint32 kSourceCopy = 0x00CC0020;
constexpr int kDefaultDpi = 96;
constexpr int kMaxSide = 0x7FFF;  // coordinates are signed 16-bit

// Record sizes count 16-bit words, the size and function fields included.
void appendRecord(QByteArray* out, quint32 function, const QByteArray& parameters,
                  quint32* largest) {
    const quint32 words = static_cast<quint32>(3 + (parameters.size() + 1) / 2);
    *largest = std::max(*largest, words);
    appendU32le(out, words);
    appendU16le(out, function);
    out->append(parameters);
    if (parameters.size() & 1) {
        out->append('\0');
    }
}

// A bottom-up DIB with a BITMAPINFOHEADER: 8 bits with the image's colours,
// or 24 bits stored blue first; rows padded to four bytes.
QByteArray dibOf(const QImage& image, int bits) {
    const int width = image.width();
    const int height = image.height();
    const int stride = ((width * bits + 31) / 32) * 4;
    const int colours = bits == 8 ? image.colorCount() : 0;
    QByteArray dib;
    appendU32le(&dib, 40);
    appendU32le(&dib, static_cast<quint32>(width));
    appendU32le(&dib, static_cast<quint32>(height));
    appendU16le(&dib, 1);
    appendU16le(&dib, static_cast<quint32>(bits));
    appendU32le(&dib, 0);  // BI_RGB
    appendU32le(&dib, static_cast<quint32>(stride * height));
    const quint32 dotsPerMeter = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() : 3780;
    appendU32le(&dib, dotsPerMeter);
    appendU32le(&dib, image.dotsPerMeterY() > 0 ? image.dotsPerMeterY() : dotsPerMeter);
    appendU32le(&dib, static_cast<quint32>(colours));
    appendU32le(&dib, 0);
    for (int i = 0; i < colours; ++i) {
        const QRgb colour = image.color(i);
        dib.append(static_cast<char>(qBlue(colour)));
        dib.append(static_cast<char>(qGreen(colour)));
        dib.append(static_cast<char>(qRed(colour)));
        dib.append('\0');
    }
    QByteArray row(stride, '\0');
    for (int y = height - 1; y >= 0; --y) {
        const uchar* line = image.constScanLine(y);
        if (bits == 8) {
            std::copy(line, line + width, row.begin());
        } else {
            for (int x = 0; x < width; ++x) {
                row[3 * x] = static_cast<char>(line[3 * x + 2]);
                row[3 * x + 1] = static_cast<char>(line[3 * x + 1]);
                row[3 * x + 2] = static_cast<char>(line[3 * x]);
            }
        }
        dib.append(row);
    }
    return dib;
}

int encode(const QImage& source, int bitsPerPixel, QByteArray* out) {
    if (source.isNull() || source.width() > kMaxSide || source.height() > kMaxSide) {
        return kErrorInvalidParameter;
    }
    const int bits = bitsPerPixel <= 8 ? 8 : 24;
    const QImage image =
        source.convertToFormat(bits == 8 ? QImage::Format_Indexed8 : QImage::Format_RGB888);
    if (image.isNull()) {
        return kErrorNoMemory;
    }
    const int width = image.width();
    const int height = image.height();
    const int dpi =
        image.dotsPerMeterX() > 0
            ? std::clamp(static_cast<int>(std::lround(image.dotsPerMeterX() * 0.0254)), 1, 0xFFFF)
            : kDefaultDpi;

    // Logical units are the picture's pixels; the placeable header's units
    // per inch give it its printed size.
    quint32 largest = 0;
    QByteArray records;
    QByteArray parameters;
    appendU16le(&parameters, 0);  // y, then x, as every record lists them
    appendU16le(&parameters, 0);
    appendRecord(&records, kSetWindowOrg, parameters, &largest);
    parameters.clear();
    appendU16le(&parameters, static_cast<quint32>(height));
    appendU16le(&parameters, static_cast<quint32>(width));
    appendRecord(&records, kSetWindowExt, parameters, &largest);

    parameters.clear();
    appendU32le(&parameters, kSourceCopy);
    appendU16le(&parameters, 0);  // DIB_RGB_COLORS
    for (int value : {height, width, 0, 0, height, width, 0, 0}) {
        appendU16le(&parameters, static_cast<quint32>(value));  // source, then destination
    }
    parameters.append(dibOf(image, bits));
    if (parameters.size() > 0x7FFFFFF0) {
        return kErrorInvalidParameter;
    }
    appendRecord(&records, kStretchDib, parameters, &largest);
    appendRecord(&records, 0x0000, QByteArray(), &largest);  // end

    out->clear();
    QByteArray placeable;
    appendU32le(&placeable, kPlaceableKey);
    appendU16le(&placeable, 0);  // handle
    appendU16le(&placeable, 0);  // bounds: left, top, right, bottom
    appendU16le(&placeable, 0);
    appendU16le(&placeable, static_cast<quint32>(width));
    appendU16le(&placeable, static_cast<quint32>(height));
    appendU16le(&placeable, static_cast<quint32>(dpi));
    appendU32le(&placeable, 0);
    quint16 checksum = 0;
    for (int i = 0; i < kPlaceableWords - 1; ++i) {
        checksum ^= static_cast<quint16>(static_cast<uchar>(placeable[2 * i]) |
                                         (static_cast<uchar>(placeable[2 * i + 1]) << 8));
    }
    appendU16le(&placeable, checksum);
    out->append(placeable);

    appendU16le(out, 1);  // the type nearly every file carries
    appendU16le(out, kHeaderWords);
    appendU16le(out, 0x0300);
    appendU32le(out, static_cast<quint32>(kHeaderWords + records.size() / 2));
    appendU16le(out, 0);  // no objects
    appendU32le(out, largest);
    appendU16le(out, 0);
    out->append(records);
    return kSuccess;
}

}  // namespace

const OwnCodec& wmfCodec() {
    static const OwnCodec codec{"WMF", nullptr, nullptr, nullptr, encode};
    return codec;
}

}  // namespace imaging
