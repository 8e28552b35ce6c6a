#include "imaging/codecs/wpg.h"

#include "imaging/codecs/codecsupport.h"

#include <QVector>

#include <algorithm>
#include <cmath>

namespace imaging {

namespace {

constexpr int kRecordStart = 0x0F;
constexpr int kRecordColourMap = 0x0E;
constexpr int kRecordBitmap = 0x0B;
constexpr int kRecordEnd = 0x10;
// Positions and sizes in WPG units of 1/1200 inch.
constexpr int kUnitsPerInch = 1200;
constexpr int kDefaultDpi = 96;

// Lengths under 255 take one byte; longer ones follow 0xFF as a word, or as
// two words with the top bit of the first set.
void appendRecord(QByteArray* out, int type, const QByteArray& content) {
    out->append(static_cast<char>(type));
    const qsizetype length = content.size();
    if (length < 0xFF) {
        out->append(static_cast<char>(length));
    } else if (length < 0x8000) {
        out->append(static_cast<char>(0xFF));
        appendU16le(out, static_cast<quint32>(length));
    } else {
        out->append(static_cast<char>(0xFF));
        appendU16le(out, 0x8000 | static_cast<quint32>(length >> 16));
        appendU16le(out, static_cast<quint32>(length & 0xFFFF));
    }
    out->append(content);
}

// A byte of 0x81..0xFF repeats the next byte (n & 0x7F) times; 0x01..0x7F
// copies that many bytes. The format's codes for white runs and repeated
// rows are left unused: readers differ on them.
void packRow(const uchar* row, int n, QByteArray* out) {
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < 0x7F && row[i + run] == row[i]) {
            ++run;
        }
        if (run >= 2) {
            out->append(static_cast<char>(0x80 | run));
            out->append(static_cast<char>(row[i]));
            i += run;
            continue;
        }
        const int start = i;
        while (i < n && i - start < 0x7F && !(i + 1 < n && row[i] == row[i + 1])) {
            ++i;
        }
        out->append(static_cast<char>(i - start));
        out->append(reinterpret_cast<const char*>(row + start), i - start);
    }
}

int encode(const QImage& source, int bitsPerPixel, QByteArray* out) {
    if (source.isNull() || source.width() > 0xFFFF || source.height() > 0xFFFF) {
        return kErrorInvalidParameter;
    }
    QImage image;
    if (bitsPerPixel == 1) {
        // Readers differ on whether a 1-bit map's colours count, so index 0
        // is always the darker colour, as in the default map.
        image = monoWithBlackAs(source, 0);
    } else if (bitsPerPixel == 4 || bitsPerPixel == 8) {
        image = source.format() == QImage::Format_Indexed8
                    ? source
                    : source.convertToFormat(QImage::Format_Indexed8);
        if (!image.isNull() && image.colorCount() > (1 << bitsPerPixel)) {
            return kErrorInvalidParameter;
        }
    } else {
        return kErrorInvalidParameter;
    }
    if (image.isNull()) {
        return kErrorNoMemory;
    }
    const int width = image.width();
    const int height = image.height();
    const int dpi =
        image.dotsPerMeterX() > 0
            ? std::clamp(static_cast<int>(std::lround(image.dotsPerMeterX() * 0.0254)), 1, 0xFFFF)
            : kDefaultDpi;
    const auto units = [dpi](int pixels) {
        return static_cast<quint32>(
            std::min<qint64>(0xFFFF, static_cast<qint64>(pixels) * kUnitsPerInch / dpi));
    };

    out->clear();
    out->append("\xFFWPC", 4);
    appendU32le(out, 16);                  // where the records start
    out->append(static_cast<char>(1));     // WordPerfect
    out->append(static_cast<char>(0x16));  // a WPG file
    out->append(static_cast<char>(1));     // version 1.0
    out->append(static_cast<char>(0));
    appendU16le(out, 0);  // not encrypted
    appendU16le(out, 0);

    QByteArray start;
    start.append(static_cast<char>(1));  // version
    start.append(static_cast<char>(0));  // no PostScript
    appendU16le(&start, units(width));
    appendU16le(&start, units(height));
    appendRecord(out, kRecordStart, start);

    const int colours = 1 << bitsPerPixel;
    QByteArray map;
    appendU16le(&map, 0);
    appendU16le(&map, static_cast<quint32>(colours));
    for (int i = 0; i < colours; ++i) {
        const QRgb colour = i < image.colorCount() ? image.color(i) : qRgb(0, 0, 0);
        map.append(static_cast<char>(qRed(colour)));
        map.append(static_cast<char>(qGreen(colour)));
        map.append(static_cast<char>(qBlue(colour)));
    }
    appendRecord(out, kRecordColourMap, map);

    QByteArray bitmap;
    appendU16le(&bitmap, static_cast<quint32>(width));
    appendU16le(&bitmap, static_cast<quint32>(height));
    appendU16le(&bitmap, static_cast<quint32>(bitsPerPixel));
    appendU16le(&bitmap, static_cast<quint32>(dpi));
    appendU16le(&bitmap, static_cast<quint32>(dpi));
    const int rowBytes = (width * bitsPerPixel + 7) / 8;
    QByteArray row(rowBytes, '\0');
    for (int y = 0; y < height; ++y) {
        const uchar* line = image.constScanLine(y);
        if (bitsPerPixel == 4) {
            row.fill('\0');
            for (int x = 0; x < width; ++x) {
                const int index = line[x] & 0x0F;
                row[x >> 1] = static_cast<char>(row[x >> 1] | ((x & 1) ? index : index << 4));
            }
            line = reinterpret_cast<const uchar*>(row.constData());
        }
        packRow(line, rowBytes, &bitmap);
    }
    if (bitmap.size() > 0x7FFFFFFF) {
        return kErrorInvalidParameter;
    }
    appendRecord(out, kRecordBitmap, bitmap);
    appendRecord(out, kRecordEnd, QByteArray());
    return kSuccess;
}

}  // namespace

const OwnCodec& wpgCodec() {
    static const OwnCodec codec{"WPG", nullptr, nullptr, nullptr, encode};
    return codec;
}

}  // namespace imaging
