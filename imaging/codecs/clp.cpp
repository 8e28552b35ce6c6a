#include "imaging/codecs/clp.h"

#include "imaging/codecs/bytereader.h"
#include "imaging/codecs/codecsupport.h"

#include <QBuffer>
#include <QImageReader>
#include <QVector>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace imaging {

namespace {

constexpr quint16 kFileIdWin3 = 0xC350;
constexpr quint16 kFileIdNt = 0xC351;
constexpr quint16 kFileIdNt2 = 0xC352;
// Id, length, offset and a 79-character name: narrow on Windows 3.x with a
// 16-bit id, wide on NT with a 32-bit one.
constexpr int kEntrySizeWin3 = 2 + 4 + 4 + 79;
constexpr int kEntrySizeNt = 4 + 4 + 4 + 79 * 2;

constexpr quint32 kFormatBitmap = 2;
constexpr quint32 kFormatDib = 8;
constexpr quint32 kFormatPalette = 9;
constexpr quint32 kFormatDibV5 = 17;

constexpr quint32 kCoreHeaderSize = 12;
constexpr quint32 kInfoHeaderSize = 40;
constexpr quint32 kBiRgb = 0;
constexpr quint32 kBiRle8 = 1;
constexpr quint32 kBiRle4 = 2;
constexpr quint32 kBiBitfields = 3;
// The 16-bit BITMAP structure in front of CF_BITMAP bits, pointer included.
constexpr int kBitmapHeaderSize = 14;
// Qt refuses images over its own allocation limit; ours is the one to apply.
constexpr int kReaderLimitMegabytes = static_cast<int>(kMaxPixels * 4 / (1024 * 1024));

struct Entry {
    quint32 format = 0;
    QByteArrayView data;
};

struct Dib {
    QByteArrayView data;
    quint32 headerSize = 0;
    int width = 0;
    int height = 0;  // negative for top-down rows
    int bitCount = 0;
    quint32 compression = kBiRgb;
    qsizetype bitsOffset = 0;  // header, masks and colour table
};

bool probe(QByteArrayView head) {
    if (head.size() < 4) {
        return false;
    }
    ByteReader reader(head);
    const quint16 id = reader.u16le();
    const int count = reader.u16le();
    return (id == kFileIdWin3 || id == kFileIdNt || id == kFileIdNt2) && count > 0;
}

// The entry of the first format in `wanted` the file has, with its bytes
// checked to lie in the file; the entry's format is 0 when none is there.
int findEntry(QByteArrayView data, std::initializer_list<quint32> wanted, Entry* entry) {
    if (!probe(data)) {
        return kErrorInvalidFormat;
    }
    ByteReader reader(data);
    const bool win3 = reader.u16le() == kFileIdWin3;
    const int count = reader.u16le();
    const int entrySize = win3 ? kEntrySizeWin3 : kEntrySizeNt;
    if (static_cast<qint64>(count) * entrySize > reader.remaining()) {
        return kErrorInvalidFormat;
    }
    *entry = Entry();
    for (quint32 format : wanted) {
        for (int i = 0; i < count; ++i) {
            reader.seek(4 + static_cast<qsizetype>(i) * entrySize);
            const quint32 id = win3 ? reader.u16le() : reader.u32le();
            const quint32 length = reader.u32le();
            const quint32 offset = reader.u32le();
            if (id != format) {
                continue;
            }
            if (offset > static_cast<quint64>(data.size()) ||
                length > static_cast<quint64>(data.size()) - offset) {
                return kErrorInvalidFormat;
            }
            entry->format = id;
            entry->data = data.sliced(offset, length);
            return kSuccess;
        }
    }
    return kSuccess;
}

int parseDib(QByteArrayView data, Dib* dib) {
    ByteReader reader(data);
    dib->data = data;
    dib->headerSize = reader.u32le();
    quint32 colourCount = 0;
    int entrySize = 4;
    int planes = 0;
    if (dib->headerSize == kCoreHeaderSize) {
        dib->width = reader.u16le();
        dib->height = reader.u16le();
        planes = reader.u16le();
        dib->bitCount = reader.u16le();
        entrySize = 3;
    } else if (dib->headerSize >= kInfoHeaderSize && dib->headerSize <= 124) {
        dib->width = reader.s32le();
        dib->height = reader.s32le();
        planes = reader.u16le();
        dib->bitCount = reader.u16le();
        dib->compression = reader.u32le();
        reader.skip(12);  // image size and resolution
        colourCount = reader.u32le();
    } else {
        return kErrorInvalidFormat;
    }
    if (reader.failed() || dib->headerSize > static_cast<quint64>(data.size()) || planes != 1) {
        return kErrorInvalidFormat;
    }
    const int bits = dib->bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return kErrorInvalidFormat;
    }
    const bool compressionFits = dib->compression == kBiRgb ||
                                 (dib->compression == kBiRle8 && bits == 8) ||
                                 (dib->compression == kBiRle4 && bits == 4) ||
                                 (dib->compression == kBiBitfields && (bits == 16 || bits == 32));
    if (!compressionFits) {
        return dib->compression > kBiBitfields ? kErrorUnknownCompression : kErrorInvalidFormat;
    }
    if (dib->height == INT_MIN) {
        return kErrorInvalidFormat;
    }
    const int result = checkImageSize(dib->width, std::abs(dib->height));
    if (result != kSuccess) {
        return result;
    }
    if (bits <= 8) {
        if (colourCount == 0 || colourCount > (1u << bits)) {
            colourCount = 1u << bits;
        }
    } else if (colourCount > 256) {
        return kErrorInvalidFormat;
    }
    qint64 offset =
        static_cast<qint64>(dib->headerSize) + static_cast<qint64>(colourCount) * entrySize;
    if (dib->compression == kBiBitfields && dib->headerSize == kInfoHeaderSize) {
        offset += 12;
    }
    const qint64 stride = ((static_cast<qint64>(dib->width) * bits + 31) / 32) * 4;
    const qint64 bitsSize = stride * std::abs(dib->height);
    // Some writers put the masks of a V4 or V5 header after it as well.
    if (dib->compression == kBiBitfields && dib->headerSize > kInfoHeaderSize &&
        data.size() - offset - 12 == bitsSize) {
        offset += 12;
    }
    if (offset > data.size()) {
        return kErrorInvalidFormat;
    }
    const bool compressed = dib->compression == kBiRle8 || dib->compression == kBiRle4;
    if (compressed ? offset == data.size() : bitsSize > data.size() - offset) {
        return kErrorInvalidFormat;
    }
    dib->bitsOffset = static_cast<qsizetype>(offset);
    return kSuccess;
}

struct Bitmap {
    int width = 0;
    int height = 0;
    int widthBytes = 0;
    int bitCount = 0;
    QByteArrayView bits;
};

int parseBitmap(QByteArrayView data, Bitmap* bitmap) {
    ByteReader reader(data);
    reader.skip(2);  // type, always 0
    bitmap->width = reader.s16le();
    bitmap->height = reader.s16le();
    bitmap->widthBytes = reader.s16le();
    const int planes = reader.u8();
    bitmap->bitCount = reader.u8();
    reader.skip(4);  // the bits' address in the writer's memory
    if (reader.failed() || planes != 1) {
        return kErrorInvalidFormat;
    }
    const int bits = bitmap->bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) {
        return kErrorInvalidFormat;
    }
    const int result = checkImageSize(bitmap->width, bitmap->height);
    if (result != kSuccess) {
        return result;
    }
    const qint64 needed = (static_cast<qint64>(bitmap->width) * bits + 7) / 8;
    if (bitmap->widthBytes < needed ||
        static_cast<qint64>(bitmap->widthBytes) * bitmap->height > reader.remaining()) {
        return kErrorInvalidFormat;
    }
    bitmap->bits = data.sliced(kBitmapHeaderSize);
    return kSuccess;
}

int findPicture(QByteArrayView data, Entry* entry) {
    const int result = findEntry(data, {kFormatDib, kFormatDibV5, kFormatBitmap}, entry);
    if (result == kSuccess && entry->format == 0) {
        return kErrorInvalidFormat;
    }
    return result;
}

int readInfo(QByteArrayView data, OwnCodecInfo* info) {
    Entry entry;
    int result = findPicture(data, &entry);
    if (result != kSuccess) {
        return result;
    }
    info->pages = 1;
    if (entry.format == kFormatBitmap) {
        Bitmap bitmap;
        result = parseBitmap(entry.data, &bitmap);
        info->width = bitmap.width;
        info->height = bitmap.height;
        info->bitsPerPixel = bitmap.bitCount;
        info->compression = QStringLiteral("None");
        return result;
    }
    Dib dib;
    result = parseDib(entry.data, &dib);
    info->width = dib.width;
    info->height = std::abs(dib.height);
    info->bitsPerPixel = dib.bitCount;
    const bool rle = dib.compression == kBiRle8 || dib.compression == kBiRle4;
    info->compression = rle ? QStringLiteral("RLE") : QStringLiteral("None");
    return result;
}

QImage::Format formatFor(int bits) {
    switch (bits) {
        case 1:
            return QImage::Format_Mono;
        case 4:
        case 8:
            return QImage::Format_Indexed8;
        case 16:
            return QImage::Format_RGB555;
        case 24:
            return QImage::Format_RGB888;
        default:
            return QImage::Format_ARGB32;
    }
}

int decodeDib(const Dib& dib, OwnDecoded* out) {
    // A BMP file is the DIB behind a 14-byte header that says where the
    // bits start.
    QByteArray file("BM");
    appendU32le(&file, static_cast<quint32>(14 + dib.data.size()));
    appendU32le(&file, 0);
    appendU32le(&file, static_cast<quint32>(14 + dib.bitsOffset));
    file.append(dib.data.data(), dib.data.size());

    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    reader.setAllocationLimit(kReaderLimitMegabytes);
    QImage image = reader.read();
    if (image.isNull()) {
        return kErrorInvalidFormat;
    }
    const QImage::Format wanted = formatFor(dib.bitCount);
    if (image.format() != wanted) {
        image = image.convertToFormat(wanted);
        if (image.isNull()) {
            return kErrorNoMemory;
        }
    }
    if (wanted == QImage::Format_Mono && image.colorCount() < 2) {
        QVector<QRgb> table = image.colorTable();
        table.resize(2, qRgb(255, 255, 255));
        image.setColorTable(table);
    }
    out->image = image;
    out->bitsPerPixel = dib.bitCount;
    return kSuccess;
}

// The Windows default colours of a 16-colour display.
const QRgb kVgaColours[16] = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

// A device bitmap carries no colours: a 1-bit one is black on white, a 4-bit
// one uses the display's default colours and an 8-bit one the CF_PALETTE
// entry (a LOGPALETTE) saved beside it.
int paletteFor(QByteArrayView file, int bits, QVector<QRgb>* palette) {
    if (bits == 1) {
        *palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    } else if (bits == 4) {
        *palette = QVector<QRgb>(kVgaColours, kVgaColours + 16);
    }
    Entry entry;
    const int result = findEntry(file, {kFormatPalette}, &entry);
    if (result != kSuccess || bits == 1 || bits == 24) {
        return result;
    }
    if (entry.format == 0) {
        return bits == 8 ? kErrorInvalidFormat : kSuccess;
    }
    ByteReader reader(entry.data);
    reader.skip(2);  // version
    const int count = reader.u16le();
    if (reader.failed() || count == 0 || count > (1 << bits) ||
        static_cast<qint64>(count) * 4 > reader.remaining()) {
        return kErrorInvalidFormat;
    }
    palette->resize(1 << bits, qRgb(0, 0, 0));
    for (int i = 0; i < count; ++i) {
        const int r = reader.u8();
        const int g = reader.u8();
        const int b = reader.u8();
        reader.skip(1);  // flags
        (*palette)[i] = qRgb(r, g, b);
    }
    return kSuccess;
}

int decodeBitmap(QByteArrayView file, const Bitmap& bitmap, OwnDecoded* out) {
    QVector<QRgb> palette;
    const int result = paletteFor(file, bitmap.bitCount, &palette);
    if (result != kSuccess) {
        return result;
    }
    QImage image(bitmap.width, bitmap.height, formatFor(bitmap.bitCount));
    if (image.isNull()) {
        return kErrorNoMemory;
    }
    image.setColorTable(palette);
    const auto* bits = reinterpret_cast<const uchar*>(bitmap.bits.data());
    const int used = (bitmap.width * bitmap.bitCount + 7) / 8;
    for (int y = 0; y < bitmap.height; ++y) {
        const uchar* src = bits + static_cast<qsizetype>(y) * bitmap.widthBytes;
        uchar* dst = image.scanLine(y);
        if (bitmap.bitCount == 4) {
            for (int x = 0; x < bitmap.width; ++x) {
                dst[x] = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
            }
        } else if (bitmap.bitCount == 24) {
            for (int x = 0; x < bitmap.width; ++x) {  // stored blue first
                dst[3 * x] = src[3 * x + 2];
                dst[3 * x + 1] = src[3 * x + 1];
                dst[3 * x + 2] = src[3 * x];
            }
        } else {
            std::memcpy(dst, src, static_cast<size_t>(used));
        }
    }
    out->image = image;
    out->bitsPerPixel = bitmap.bitCount;
    return kSuccess;
}

int decode(QByteArrayView data, OwnDecoded* out) {
    Entry entry;
    int result = findPicture(data, &entry);
    if (result != kSuccess) {
        return result;
    }
    if (entry.format == kFormatBitmap) {
        Bitmap bitmap;
        result = parseBitmap(entry.data, &bitmap);
        return result == kSuccess ? decodeBitmap(data, bitmap, out) : result;
    }
    Dib dib;
    result = parseDib(entry.data, &dib);
    return result == kSuccess ? decodeDib(dib, out) : result;
}

}  // namespace

const OwnCodec& clpCodec() {
    static const OwnCodec codec{"CLP", probe, readInfo, decode, nullptr};
    return codec;
}

}  // namespace imaging
