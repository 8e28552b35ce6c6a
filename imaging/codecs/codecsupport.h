#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <QVector>

namespace imaging {

/// Pieces the codecs of this folder share.

/// kSuccess; kErrorInvalidFormat for an empty image; kErrorNoMemory past
/// kMaxDimension or kMaxPixels. Called before anything is allocated.
int checkImageSize(qint64 width, qint64 height);

/// A 1-bit copy in Format_Mono whose bit `blackBit` (0 or 1) marks the darker
/// of the two colours, with the bits past the width set to the lighter one.
QImage monoWithBlackAs(const QImage& image, int blackBit);

/// The depth the pixel conventions give to an indexed image of `colours`
/// entries: 1, 4 or 8.
int indexedDepth(int colours);

/// Stores one row of colour indices into `image`: as bits when it is
/// Format_Mono, as bytes when it is Format_Indexed8.
void storeIndexRow(const uchar* indices, int row, QImage* image);

/// The picture by the pixel conventions for `bits` (1, 4, 8, 24 or 32), for
/// a writer: kErrorInvalidParameter for another depth or when the picture
/// has more colours than the depth holds, kErrorNoMemory when the copy
/// cannot be made. A 1-bit picture always has a two-colour table.
int writableAtDepth(const QImage& source, int bits, QImage* image);

/// `count` greys from black to white.
QVector<QRgb> greyRamp(int count);

/// The bytes of one row of a device-independent bitmap: padded to four.
int dibRowStride(int width, int bits);
/// The pixel rows of a device-independent bitmap of depth 1, 4, 8, 24 or
/// 32: bottom-up, padded to four bytes, colours blue first. `image` is at
/// that depth (indexed for 1 to 8 bits).
void appendDibRows(const QImage& image, int bits, QByteArray* out);

void appendU16le(QByteArray* out, quint32 value);
void appendU32le(QByteArray* out, quint32 value);
void appendU16be(QByteArray* out, quint32 value);
void appendU32be(QByteArray* out, quint32 value);

}  // namespace imaging
