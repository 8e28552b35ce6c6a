#pragma once

#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"

#include <QByteArray>
#include <QFile>
#include <QPainter>
#include <QString>

#include <gtest/gtest.h>

/// Files the runtime tests build their packages from.
namespace runtimetesting {

/// A file of `length` bytes of a recognisable pattern.
inline QString writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(file.write(bytes), bytes.size());
    return path;
}

inline QByteArray pattern(qint64 length, int seed = 1) {
    QByteArray bytes(length, Qt::Uninitialized);
    for (qint64 i = 0; i < length; ++i) {
        bytes[i] = static_cast<char>((i * 7 + seed * 13 + (i >> 8)) & 0xFF);
    }
    return bytes;
}

/// A stand-in for a prepared picture: the JPEG start-of-image marker, then
/// the pattern, `length` bytes in all.
inline QByteArray jpegLike(qint64 length, int seed = 1) {
    QByteArray bytes = pattern(length, seed);
    bytes[0] = static_cast<char>(0xFF);
    bytes[1] = static_cast<char>(0xD8);
    return bytes;
}

/// A real picture of the given size, saved in the given format.
inline QString writePicture(const QString& path, int width, int height,
                            int format = imaging::format::kJpeg) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(230, 220, 200));
    QPainter painter(&image);
    painter.fillRect(width / 8, height / 8, width / 3, height / 3, QColor(200, 40, 30));
    painter.fillRect(width / 2, height / 2, width / 3, height / 3, QColor(20, 70, 200));
    painter.end();
    imaging::ImageHandle handle;
    imaging::handleFromQImage(image, &handle);
    const int bits = format == imaging::format::kGif ? 8 : 24;
    EXPECT_EQ(imaging::saveFile(path, handle, format, bits), imaging::kSuccess);
    return path;
}

inline quint32 uint32At(const QByteArray& bytes, qint64 offset) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + offset);
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

inline void putUInt32(QByteArray& bytes, quint32 value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.append(static_cast<char>((value >> shift) & 0xFF));
    }
}

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

}  // namespace runtimetesting
