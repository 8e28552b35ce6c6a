#include "imaging/codecs/msp.h"

#include "imaging/codecs/bytereader.h"
#include "imaging/codecs/codecsupport.h"

#include <algorithm>
#include <cstring>

namespace imaging {

namespace {

constexpr int kHeaderSize = 32;
constexpr int kHeaderWords = kHeaderSize / 2;
// The two key words of each version, as little-endian words.
constexpr quint16 kKey1Version1 = 0x6144;  // "Da"
constexpr quint16 kKey2Version1 = 0x4D6E;  // "nM"
constexpr quint16 kKey1Version2 = 0x694C;  // "Li"
constexpr quint16 kKey2Version2 = 0x536E;  // "nS"
// Word 12 is the checksum: words 0 to 12 XOR to zero.
constexpr int kChecksumWord = 12;

struct Header {
    int version = 0;
    int width = 0;
    int height = 0;
};

int versionOf(QByteArrayView data) {
    if (data.size() < 4) {
        return 0;
    }
    ByteReader reader(data);
    const quint16 key1 = reader.u16le();
    const quint16 key2 = reader.u16le();
    if (key1 == kKey1Version1 && key2 == kKey2Version1) {
        return 1;
    }
    if (key1 == kKey1Version2 && key2 == kKey2Version2) {
        return 2;
    }
    return 0;
}

int readHeader(QByteArrayView data, Header* header) {
    header->version = versionOf(data);
    if (header->version == 0 || data.size() < kHeaderSize) {
        return kErrorInvalidFormat;
    }
    ByteReader reader(data);
    quint16 words[kHeaderWords];
    quint16 sum = 0;
    for (int i = 0; i < kHeaderWords; ++i) {
        words[i] = reader.u16le();
        if (i <= kChecksumWord) {
            sum ^= words[i];
        }
    }
    if (sum != 0) {
        return kErrorCrc;
    }
    header->width = words[2];
    header->height = words[3];
    return checkImageSize(header->width, header->height);
}

bool probe(QByteArrayView head) {
    return versionOf(head) != 0;
}

int readInfo(QByteArrayView data, OwnCodecInfo* info) {
    Header header;
    const int result = readHeader(data, &header);
    if (result != kSuccess) {
        return result;
    }
    info->width = header.width;
    info->height = header.height;
    info->bitsPerPixel = 1;
    info->pages = 1;
    info->compression = header.version == 1 ? QStringLiteral("None") : QStringLiteral("RLE");
    return kSuccess;
}

// One version 2 row: a zero byte introduces a run (count, value); any other
// byte counts the literal bytes that follow. What a row leaves out is white.
void unpackRow(QByteArrayView packed, uchar* row, int rowBytes) {
    ByteReader reader(packed);
    int x = 0;
    while (x < rowBytes && reader.remaining() > 0) {
        const int type = reader.u8();
        if (type == 0) {
            const int count = reader.u8();
            const uchar value = reader.u8();
            if (reader.failed()) {
                break;
            }
            const int n = std::min(count, rowBytes - x);
            std::memset(row + x, value, static_cast<size_t>(n));
            x += n;
        } else {
            const QByteArrayView literal =
                reader.bytes(std::min<qsizetype>(type, reader.remaining()));
            const int n = std::min(static_cast<int>(literal.size()), rowBytes - x);
            std::memcpy(row + x, literal.data(), static_cast<size_t>(n));
            x += n;
        }
    }
    std::memset(row + x, 0xFF, static_cast<size_t>(rowBytes - x));
}

int decode(QByteArrayView data, OwnDecoded* out) {
    Header header;
    int result = readHeader(data, &header);
    if (result != kSuccess) {
        return result;
    }
    const int rowBytes = (header.width + 7) / 8;
    const qint64 left = data.size() - kHeaderSize;
    qsizetype bodyStart = kHeaderSize + 2LL * header.height;
    if (header.version == 1) {
        if (static_cast<qint64>(rowBytes) * header.height > left) {
            return kErrorInvalidFormat;
        }
    } else {
        if (2LL * header.height > left) {
            return kErrorInvalidFormat;
        }
        ByteReader map(data, kHeaderSize);
        qint64 packedTotal = 0;
        for (int y = 0; y < header.height; ++y) {
            packedTotal += map.u16le();
        }
        if (packedTotal > data.size() - bodyStart) {
            return kErrorInvalidFormat;
        }
    }

    QImage image(header.width, header.height, QImage::Format_Mono);
    if (image.isNull()) {
        return kErrorNoMemory;
    }
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    if (header.version == 1) {
        for (int y = 0; y < header.height; ++y) {
            std::memcpy(image.scanLine(y), data.data() + kHeaderSize + qsizetype(y) * rowBytes,
                        static_cast<size_t>(rowBytes));
        }
    } else {
        ByteReader map(data, kHeaderSize);
        for (int y = 0; y < header.height; ++y) {
            const int packedSize = map.u16le();
            unpackRow(data.sliced(bodyStart, packedSize), image.scanLine(y), rowBytes);
            bodyStart += packedSize;
        }
    }
    out->image = image;
    out->bitsPerPixel = 1;
    return kSuccess;
}

void packRow(const uchar* row, int rowBytes, QByteArray* out) {
    int x = 0;
    while (x < rowBytes) {
        int run = 1;
        while (x + run < rowBytes && run < 255 && row[x + run] == row[x]) {
            ++run;
        }
        if (run >= 3) {
            out->append('\0');
            out->append(static_cast<char>(run));
            out->append(static_cast<char>(row[x]));
            x += run;
            continue;
        }
        const int start = x;
        while (x < rowBytes && x - start < 255) {
            if (x + 2 < rowBytes && row[x] == row[x + 1] && row[x] == row[x + 2]) {
                break;
            }
            ++x;
        }
        out->append(static_cast<char>(x - start));
        out->append(reinterpret_cast<const char*>(row + start), x - start);
    }
}

int encode(const QImage& source, int /*bitsPerPixel*/, QByteArray* out) {
    if (source.isNull() || source.width() > 0xFFFF || source.height() > 0xFFFF) {
        return kErrorInvalidParameter;
    }
    const QImage mono = monoWithBlackAs(source, 0);
    if (mono.isNull()) {
        return kErrorNoMemory;
    }
    const int width = mono.width();
    const int height = mono.height();
    const int rowBytes = (width + 7) / 8;

    // Square pixels, printed at the bitmap's own size; the rest stays zero.
    const auto w = static_cast<quint16>(width);
    const auto h = static_cast<quint16>(height);
    quint16 words[kHeaderWords] = {kKey1Version2, kKey2Version2, w, h, 1, 1, 1, 1, w, h};
    for (int i = 0; i < kChecksumWord; ++i) {
        words[kChecksumWord] ^= words[i];
    }

    QByteArray map;
    QByteArray body;
    for (int y = 0; y < height; ++y) {
        const qsizetype before = body.size();
        packRow(mono.constScanLine(y), rowBytes, &body);
        appendU16le(&map, static_cast<quint32>(body.size() - before));
    }

    out->clear();
    for (quint16 word : words) {
        appendU16le(out, word);
    }
    out->append(map);
    out->append(body);
    return kSuccess;
}

}  // namespace

const OwnCodec& mspCodec() {
    static const OwnCodec codec{"MSP", probe, readInfo, decode, encode};
    return codec;
}

}  // namespace imaging
