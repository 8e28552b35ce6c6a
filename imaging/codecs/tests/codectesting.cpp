#include "imaging/codecs/tests/codectesting.h"

#include <Magick++.h>

#include <gtest/gtest.h>

#include <mutex>

namespace codectesting {

Bytes& Bytes::u8(int value) {
    m_data.append(static_cast<char>(value & 0xFF));
    return *this;
}

Bytes& Bytes::u8s(std::initializer_list<int> values) {
    for (int value : values) {
        u8(value);
    }
    return *this;
}

Bytes& Bytes::u16le(int value) {
    return u8(value).u8(value >> 8);
}

Bytes& Bytes::u16be(int value) {
    return u8(value >> 8).u8(value);
}

Bytes& Bytes::u32le(quint32 value) {
    return u16le(static_cast<int>(value & 0xFFFF)).u16le(static_cast<int>(value >> 16));
}

Bytes& Bytes::u32be(quint32 value) {
    return u16be(static_cast<int>(value >> 16)).u16be(static_cast<int>(value & 0xFFFF));
}

Bytes& Bytes::text(const char* ascii) {
    m_data.append(ascii);
    return *this;
}

Bytes& Bytes::raw(const QByteArray& bytes) {
    m_data.append(bytes);
    return *this;
}

Bytes& Bytes::zeros(int count) {
    m_data.append(count, '\0');
    return *this;
}

QImage testPicture(int width, int height, QImage::Format format, int colours) {
    const bool indexed = format == QImage::Format_Mono || format == QImage::Format_Indexed8;
    QImage image(width, height, indexed ? format : QImage::Format_ARGB32);
    if (indexed) {
        QVector<QRgb> table;
        for (int i = 0; i < colours; ++i) {
            const int shade = colours > 1 ? i * 255 / (colours - 1) : 0;
            table.append(format == QImage::Format_Mono ? qRgb(shade, shade, shade)
                                                       : qRgb(shade, 255 - shade, shade / 2));
        }
        image.setColorTable(table);
    }
    quint32 noise = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            int level = 255;
            if (y % 7 == 3) {
                level = 0;  // a uniform row
            } else if (x < width / 3) {
                level = (x / 5 + y / 3) % 2 ? 255 : 0;  // blocks
            } else if (x < 2 * width / 3) {
                level = static_cast<int>((noise >> 16) & 0xFF);
            }
            if (indexed) {
                image.setPixel(x, y, static_cast<uint>(level * colours / 256));
            } else {
                image.setPixel(x, y, qRgba(level, (x * 7) & 0xFF, (y * 13) & 0xFF, (x + y) & 0xFF));
            }
        }
    }
    return indexed ? image : image.convertToFormat(format);
}

QString pixelDifference(const QImage& expected, const QImage& actual, int tolerance) {
    if (expected.size() != actual.size()) {
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    }
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb a = expected.pixel(x, y);
            const QRgb b = actual.pixel(x, y);
            if (std::abs(qRed(a) - qRed(b)) > tolerance ||
                std::abs(qGreen(a) - qGreen(b)) > tolerance ||
                std::abs(qBlue(a) - qBlue(b)) > tolerance ||
                std::abs(qAlpha(a) - qAlpha(b)) > tolerance) {
                return QStringLiteral("pixel %1,%2 is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(b, 8, 16, QLatin1Char('0'))
                    .arg(a, 8, 16, QLatin1Char('0'));
            }
        }
    }
    return {};
}

imaging::OwnDecoded decodeOrFail(const imaging::OwnCodec& codec, const QByteArray& data) {
    imaging::OwnDecoded decoded;
    const int result = codec.decode(data, &decoded);
    EXPECT_EQ(result, imaging::kSuccess) << codec.name << " decode";
    return decoded;
}

QString firstAcceptedTruncation(const imaging::OwnCodec& codec, const QByteArray& valid) {
    for (qsizetype length = 0; length < valid.size(); ++length) {
        // A copy, so reading past the cut is a heap overflow the sanitizer sees.
        const QByteArray cut(valid.constData(), length);
        imaging::OwnCodecInfo info;
        (void)codec.readInfo(cut, &info);
        imaging::OwnDecoded decoded;
        const int result = codec.decode(cut, &decoded);
        if (result >= 0) {
            return QStringLiteral("%1 of %2 bytes gave %3")
                .arg(length)
                .arg(valid.size())
                .arg(result);
        }
    }
    return {};
}

QImage readWithMagick(const QByteArray& data, const char* magick) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { Magick::InitializeMagick(nullptr); });
    try {
        Magick::Image image;
        image.quiet(true);
        image.magick(magick);
        image.read(Magick::Blob(data.constData(), static_cast<size_t>(data.size())));
        Magick::Blob pixels;
        image.write(&pixels, "RGBA", 8);
        const int width = static_cast<int>(image.columns());
        const int height = static_cast<int>(image.rows());
        if (pixels.length() != static_cast<size_t>(width) * height * 4) {
            return {};
        }
        QImage rgba(static_cast<const uchar*>(pixels.data()), width, height, width * 4,
                    QImage::Format_RGBA8888);
        return rgba.convertToFormat(QImage::Format_ARGB32);
    } catch (const Magick::Exception& e) {
        ADD_FAILURE() << "ImageMagick: " << e.what();
        return {};
    }
}

}  // namespace codectesting
