#pragma once

#include "imaging/codecs/owncodec.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <initializer_list>

/// Helpers shared by the tests of the own codecs.
namespace codectesting {

/// Builds a file byte by byte, as a test lays it out from the format's
/// description.
class Bytes {
public:
    Bytes& u8(int value);
    Bytes& u8s(std::initializer_list<int> values);
    Bytes& u16le(int value);
    Bytes& u16be(int value);
    Bytes& u32le(quint32 value);
    Bytes& u32be(quint32 value);
    Bytes& text(const char* ascii);
    Bytes& raw(const QByteArray& bytes);
    Bytes& zeros(int count);
    QByteArray data() const { return m_data; }
    int size() const { return static_cast<int>(m_data.size()); }

private:
    QByteArray m_data;
};

/// A picture with edges, runs and noise, so run coders meet every case.
/// `format` is one of the pixel conventions; Format_Mono is black and
/// white, Format_Indexed8 gets `colours` entries.
QImage testPicture(int width, int height, QImage::Format format, int colours = 2);

/// "" when both have the same size and the same colour at every pixel,
/// otherwise where they first differ.
QString pixelDifference(const QImage& expected, const QImage& actual, int tolerance = 0);

/// Decodes with `codec`, failing the test when that does not succeed.
imaging::OwnDecoded decodeOrFail(const imaging::OwnCodec& codec, const QByteArray& data);

/// Every cut of `valid` short of its full length must make decode return a
/// negative code; readInfo must merely not crash. "" or the first cut that
/// decoded.
QString firstAcceptedTruncation(const imaging::OwnCodec& codec, const QByteArray& valid);

/// The picture as ImageMagick reads it, as ARGB32; null when it cannot.
QImage readWithMagick(const QByteArray& data, const char* magick);

}  // namespace codectesting
