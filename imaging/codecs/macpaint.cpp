#include "imaging/codecs/macpaint.h"

#include "imaging/codecs/codecsupport.h"
#include "imaging/codecs/packbits.h"

#include <algorithm>
#include <cstring>

namespace imaging {

namespace {

constexpr int kWidth = 576;
constexpr int kHeight = 720;
constexpr int kRowBytes = kWidth / 8;
// A version word, 38 fill patterns of 8 bytes and padding. Version 0 tells
// MacPaint to use its own patterns, so they stay zero.
constexpr int kHeaderSize = 512;
constexpr int kMacBinarySize = 128;

// CRC-16 with polynomial 0x1021 from zero, as MacBinary II checks its header.
quint16 macBinaryCrc(const QByteArray& bytes) {
    quint16 crc = 0;
    for (char byte : bytes) {
        crc ^= static_cast<quint16>(static_cast<uchar>(byte) << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x8000) ? static_cast<quint16>((crc << 1) ^ 0x1021)
                                 : static_cast<quint16>(crc << 1);
        }
    }
    return crc;
}

// Pictures left the Mac wrapped in MacBinary, and readers on other systems
// (ImageMagick among them) expect that 128-byte header in front of the data
// fork, which is then padded to a multiple of 128 bytes.
QByteArray macBinaryHeader(qsizetype dataForkSize) {
    static const char kName[] = "Untitled";
    QByteArray header(kMacBinarySize, '\0');
    header[1] = static_cast<char>(sizeof(kName) - 1);
    header.replace(2, sizeof(kName) - 1, kName);
    header.replace(65, 8, "PNTGMPNT");  // file type and creator
    QByteArray length;
    appendU32be(&length, static_cast<quint32>(dataForkSize));
    header.replace(83, 4, length);
    header[122] = static_cast<char>(129);  // MacBinary II, written and needed
    header[123] = static_cast<char>(129);
    QByteArray crc;
    appendU16be(&crc, macBinaryCrc(header.left(124)));
    header.replace(124, 2, crc);
    return header;
}

int encode(const QImage& source, int /*bitsPerPixel*/, QByteArray* out) {
    if (source.isNull()) {
        return kErrorInvalidParameter;
    }
    const QImage mono = monoWithBlackAs(
        source.copy(0, 0, std::min(source.width(), kWidth), std::min(source.height(), kHeight)), 1);
    if (mono.isNull()) {
        return kErrorNoMemory;
    }
    QByteArray data(kHeaderSize, '\0');
    const int usedBytes = (mono.width() + 7) / 8;
    QByteArray row(kRowBytes, '\0');
    for (int y = 0; y < kHeight; ++y) {
        row.fill('\0');
        if (y < mono.height()) {
            std::memcpy(row.data(), mono.constScanLine(y), static_cast<size_t>(usedBytes));
        }
        packBitsEncode(row, &data);
    }
    *out = macBinaryHeader(data.size());
    out->append(data);
    out->append((kMacBinarySize - data.size() % kMacBinarySize) % kMacBinarySize, '\0');
    return kSuccess;
}

}  // namespace

const OwnCodec& macpaintCodec() {
    static const OwnCodec codec{"MAC", nullptr, nullptr, nullptr, encode};
    return codec;
}

}  // namespace imaging
