#include "imaging/codecs/codecsupport.h"

#include "imaging/errors.h"

#include <cstring>

namespace imaging {

int checkImageSize(qint64 width, qint64 height) {
    if (width <= 0 || height <= 0) {
        return kErrorInvalidFormat;
    }
    if (width > kMaxDimension || height > kMaxDimension || width * height > kMaxPixels) {
        return kErrorNoMemory;
    }
    return kSuccess;
}

QImage monoWithBlackAs(const QImage& image, int blackBit) {
    QImage mono = image.format() == QImage::Format_Mono
                      ? image.copy()
                      : image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    if (mono.isNull()) {
        return mono;
    }
    // Qt's own mono images mark black with 1 when they carry no table.
    int darker = 1;
    if (mono.colorCount() >= 2) {
        darker = qGray(mono.color(0)) < qGray(mono.color(1)) ? 0 : 1;
    }
    if (darker != blackBit) {
        mono.invertPixels();
    }
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    mono.setColorTable(blackBit == 1 ? QVector<QRgb>{white, black} : QVector<QRgb>{black, white});

    const int tailBits = mono.width() % 8;
    if (tailBits != 0) {
        const int last = mono.width() / 8;
        const uchar keep = static_cast<uchar>(0xFF00 >> tailBits);
        for (int y = 0; y < mono.height(); ++y) {
            uchar* line = mono.scanLine(y);
            line[last] = blackBit == 1 ? (line[last] & keep) : (line[last] | ~keep);
        }
    }
    return mono;
}

int indexedDepth(int colours) {
    if (colours <= 2) {
        return 1;
    }
    return colours <= 16 ? 4 : 8;
}

void storeIndexRow(const uchar* indices, int row, QImage* image) {
    uchar* line = image->scanLine(row);
    const int width = image->width();
    if (image->format() == QImage::Format_Indexed8) {
        std::memcpy(line, indices, static_cast<size_t>(width));
        return;
    }
    std::memset(line, 0, static_cast<size_t>((width + 7) / 8));
    for (int x = 0; x < width; ++x) {
        if (indices[x] & 1) {
            line[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
        }
    }
}

int writableAtDepth(const QImage& source, int bits, QImage* image) {
    if (bits == 1) {
        *image = source.format() == QImage::Format_Mono
                     ? source
                     : source.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
        // Qt's own mono images without a table mark black with 1.
        if (!image->isNull() && image->colorCount() < 2) {
            image->setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        }
    } else if (bits == 4 || bits == 8) {
        *image = source.format() == QImage::Format_Indexed8
                     ? source
                     : source.convertToFormat(QImage::Format_Indexed8);
        if (!image->isNull() && image->colorCount() > (1 << bits)) {
            return kErrorInvalidParameter;
        }
    } else if (bits == 24) {
        *image = source.convertToFormat(QImage::Format_RGB888);
    } else if (bits == 32) {
        *image = source.convertToFormat(QImage::Format_ARGB32);
    } else {
        return kErrorInvalidParameter;
    }
    return image->isNull() ? kErrorNoMemory : kSuccess;
}

QVector<QRgb> greyRamp(int count) {
    QVector<QRgb> table(count);
    for (int i = 0; i < count; ++i) {
        const int level = count > 1 ? i * 255 / (count - 1) : 0;
        table[i] = qRgb(level, level, level);
    }
    return table;
}

void appendU16le(QByteArray* out, quint32 value) {
    out->append(static_cast<char>(value & 0xFF));
    out->append(static_cast<char>((value >> 8) & 0xFF));
}

void appendU32le(QByteArray* out, quint32 value) {
    appendU16le(out, value & 0xFFFF);
    appendU16le(out, value >> 16);
}

void appendU16be(QByteArray* out, quint32 value) {
    out->append(static_cast<char>((value >> 8) & 0xFF));
    out->append(static_cast<char>(value & 0xFF));
}

void appendU32be(QByteArray* out, quint32 value) {
    appendU16be(out, value >> 16);
    appendU16be(out, value & 0xFFFF);
}

int dibRowStride(int width, int bits) {
    return ((width * bits + 31) / 32) * 4;
}

void appendDibRows(const QImage& image, int bits, QByteArray* out) {
    const int width = image.width();
    QByteArray row(dibRowStride(width, bits), '\0');
    for (int y = image.height() - 1; y >= 0; --y) {
        const uchar* line = image.constScanLine(y);
        row.fill('\0');
        auto* bytes = reinterpret_cast<uchar*>(row.data());
        if (bits == 1) {
            std::memcpy(bytes, line, static_cast<size_t>((width + 7) / 8));
            if (width % 8 != 0) {
                bytes[width / 8] &= static_cast<uchar>(0xFF00 >> (width % 8));
            }
        } else if (bits == 4) {
            for (int x = 0; x < width; ++x) {
                bytes[x >> 1] |= static_cast<uchar>((x & 1) ? (line[x] & 0x0F) : (line[x] << 4));
            }
        } else if (bits == 8) {
            std::memcpy(bytes, line, static_cast<size_t>(width));
        } else if (bits == 24) {
            for (int x = 0; x < width; ++x) {
                bytes[3 * x] = line[3 * x + 2];
                bytes[3 * x + 1] = line[3 * x + 1];
                bytes[3 * x + 2] = line[3 * x];
            }
        } else {
            const auto* pixels = reinterpret_cast<const QRgb*>(line);
            for (int x = 0; x < width; ++x) {
                bytes[4 * x] = static_cast<uchar>(qBlue(pixels[x]));
                bytes[4 * x + 1] = static_cast<uchar>(qGreen(pixels[x]));
                bytes[4 * x + 2] = static_cast<uchar>(qRed(pixels[x]));
                bytes[4 * x + 3] = static_cast<uchar>(qAlpha(pixels[x]));
            }
        }
        out->append(row);
    }
}

}  // namespace imaging
