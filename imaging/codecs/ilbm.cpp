#include "imaging/codecs/ilbm.h"

#include "imaging/codecs/bytereader.h"
#include "imaging/codecs/codecsupport.h"
#include "imaging/codecs/packbits.h"

#include <QVector>

#include <algorithm>
#include <cstring>
#include <vector>

namespace imaging {

namespace {

constexpr int kBmhdSize = 20;
constexpr int kMaskingHasMask = 1;
constexpr int kCompressionNone = 0;
constexpr int kCompressionByteRun1 = 1;
constexpr quint32 kCamgExtraHalfBrite = 0x80;
constexpr quint32 kCamgHoldAndModify = 0x800;
// A ByteRun1 pair of bytes yields at most 128.
constexpr qint64 kByteRun1MaxGrowth = 64;

enum class Kind { Indexed, HoldAndModify, Rgb, Rgba };

struct Picture {
    bool chunky = false;  // FORM PBM: one byte a pixel
    int width = 0;
    int height = 0;
    int planes = 0;
    int masking = 0;
    int compression = 0;
    quint32 camg = 0;
    bool hasCamg = false;
    QByteArrayView cmap;
    QByteArrayView body;
    Kind kind = Kind::Indexed;
    bool halfBrite = false;  // colours 32 to 63 are 0 to 31 at half brightness
    int colours = 0;         // for Indexed and HoldAndModify: the palette's size
};

bool probe(QByteArrayView head) {
    return head.size() >= 12 && head.first(4) == QByteArrayView("FORM") &&
           (head.sliced(8, 4) == QByteArrayView("ILBM") ||
            head.sliced(8, 4) == QByteArrayView("PBM "));
}

int parse(QByteArrayView data, Picture* picture) {
    if (!probe(data)) {
        return kErrorInvalidFormat;
    }
    ByteReader form(data, 4);
    const qint64 formEnd = 8 + static_cast<qint64>(form.u32be());
    if (formEnd > data.size() || formEnd < 12) {
        return kErrorInvalidFormat;
    }
    picture->chunky = data.sliced(8, 4) == QByteArrayView("PBM ");

    QByteArrayView bmhd;
    ByteReader chunks(data.first(static_cast<qsizetype>(formEnd)), 12);
    while (chunks.remaining() >= 8) {
        const QByteArrayView id = chunks.bytes(4);
        const quint32 length = chunks.u32be();
        if (length > static_cast<quint32>(chunks.remaining())) {
            return kErrorInvalidFormat;
        }
        const QByteArrayView content = chunks.bytes(length);
        if (id == QByteArrayView("BMHD")) {
            bmhd = content;
        } else if (id == QByteArrayView("CMAP")) {
            picture->cmap = content;
        } else if (id == QByteArrayView("CAMG") && content.size() >= 4) {
            picture->camg = ByteReader(content).u32be();
            picture->hasCamg = true;
        } else if (id == QByteArrayView("BODY")) {
            picture->body = content;
        }
        // The pad byte of an odd chunk may be missing at the very end.
        chunks.skip(std::min<qsizetype>(length & 1, chunks.remaining()));
    }
    if (bmhd.size() < kBmhdSize || picture->body.isNull()) {
        return kErrorInvalidFormat;
    }

    ByteReader header(bmhd);
    picture->width = header.u16be();
    picture->height = header.u16be();
    header.skip(4);  // position on the screen
    picture->planes = header.u8();
    picture->masking = header.u8();
    picture->compression = header.u8();
    if (picture->compression != kCompressionNone && picture->compression != kCompressionByteRun1) {
        return kErrorUnknownCompression;
    }

    const int planes = picture->planes;
    if (planes == 24 && !picture->chunky) {
        picture->kind = Kind::Rgb;
    } else if (planes == 32 && !picture->chunky) {
        picture->kind = Kind::Rgba;
    } else if (planes < 1 || planes > 8) {
        return kErrorInvalidFormat;
    } else if (!picture->chunky && (picture->camg & kCamgHoldAndModify) &&
               (planes == 6 || planes == 8)) {
        picture->kind = Kind::HoldAndModify;
        picture->colours = 1 << (planes - 2);
    } else {
        picture->colours = 1 << planes;
        // Old writers left CAMG out of half-brite pictures but gave them 32
        // colours for 6 planes.
        picture->halfBrite = !picture->chunky && planes == 6 &&
                             (picture->hasCamg ? (picture->camg & kCamgExtraHalfBrite) != 0
                                               : picture->cmap.size() / 3 == 32);
    }
    return checkImageSize(picture->width, picture->height);
}

int depthOf(const Picture& picture) {
    switch (picture.kind) {
        case Kind::Indexed:
            return indexedDepth(picture.colours);
        case Kind::HoldAndModify:
        case Kind::Rgb:
            return 24;
        case Kind::Rgba:
            return 32;
    }
    return 0;
}

int readInfo(QByteArrayView data, OwnCodecInfo* info) {
    Picture picture;
    const int result = parse(data, &picture);
    if (result != kSuccess) {
        return result;
    }
    info->width = picture.width;
    info->height = picture.height;
    info->bitsPerPixel = depthOf(picture);
    info->pages = 1;
    info->compression =
        picture.compression == kCompressionNone ? QStringLiteral("None") : QStringLiteral("RLE");
    return kSuccess;
}

QVector<QRgb> paletteOf(const Picture& picture) {
    const int given = static_cast<int>(picture.cmap.size() / 3);
    if (given == 0) {
        return greyRamp(picture.colours);
    }
    QVector<QRgb> palette(picture.colours, qRgb(0, 0, 0));
    const auto* rgb = reinterpret_cast<const uchar*>(picture.cmap.data());
    for (int i = 0; i < std::min(given, picture.colours); ++i) {
        palette[i] = qRgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    }
    if (picture.halfBrite) {
        for (int i = 0; i < 32; ++i) {
            palette[32 + i] =
                qRgb(qRed(palette[i]) / 2, qGreen(palette[i]) / 2, qBlue(palette[i]) / 2);
        }
    }
    return palette;
}

// Each pixel either takes a palette colour or keeps the colour to its left
// with one component replaced, so a row starts from the background colour.
void holdAndModifyRow(const uchar* values, int width, int planes, const QVector<QRgb>& palette,
                      uchar* rgb) {
    const int dataBits = planes - 2;
    const int dataMask = (1 << dataBits) - 1;
    int r = qRed(palette[0]);
    int g = qGreen(palette[0]);
    int b = qBlue(palette[0]);
    for (int x = 0; x < width; ++x) {
        const int value = values[x] & dataMask;
        // Widen the 4 or 6 data bits to 8 by repeating their top bits.
        const int level = (value << (8 - dataBits)) | (value >> (2 * dataBits - 8));
        switch (values[x] >> dataBits) {
            case 0:
                r = qRed(palette[value]);
                g = qGreen(palette[value]);
                b = qBlue(palette[value]);
                break;
            case 1:
                b = level;
                break;
            case 2:
                r = level;
                break;
            default:
                g = level;
                break;
        }
        rgb[3 * x] = static_cast<uchar>(r);
        rgb[3 * x + 1] = static_cast<uchar>(g);
        rgb[3 * x + 2] = static_cast<uchar>(b);
    }
}

int decode(QByteArrayView data, OwnDecoded* out) {
    Picture picture;
    const int result = parse(data, &picture);
    if (result != kSuccess) {
        return result;
    }
    const int width = picture.width;
    const int height = picture.height;
    const qsizetype rowBytes = picture.chunky ? width + (width & 1) : ((width + 15) / 16) * 2;
    const int filePlanes =
        picture.chunky ? 1 : picture.planes + (picture.masking == kMaskingHasMask ? 1 : 0);
    const qint64 bodyBytes = static_cast<qint64>(rowBytes) * filePlanes * height;
    const qint64 available = picture.compression == kCompressionNone
                                 ? picture.body.size()
                                 : picture.body.size() * kByteRun1MaxGrowth;
    if (bodyBytes > available) {
        return kErrorInvalidFormat;
    }

    const int depth = depthOf(picture);
    QImage::Format format = QImage::Format_Indexed8;
    if (depth == 1) {
        format = QImage::Format_Mono;
    } else if (depth == 24) {
        format = QImage::Format_RGB888;
    } else if (depth == 32) {
        format = QImage::Format_ARGB32;
    }
    QImage image(width, height, format);
    if (image.isNull()) {
        return kErrorNoMemory;
    }
    QVector<QRgb> palette;
    if (picture.kind == Kind::Indexed || picture.kind == Kind::HoldAndModify) {
        palette = paletteOf(picture);
    }
    if (picture.kind == Kind::Indexed) {
        image.setColorTable(palette);
    }

    std::vector<char> row(static_cast<size_t>(rowBytes) * filePlanes);
    std::vector<uchar> values(static_cast<size_t>(width));
    PackBitsReader packed(picture.body);
    qsizetype rawPos = 0;
    const int valueMask = picture.planes >= 8 ? 0xFF : (1 << picture.planes) - 1;
    for (int y = 0; y < height; ++y) {
        if (picture.compression == kCompressionNone) {
            std::memcpy(row.data(), picture.body.data() + rawPos, row.size());
            rawPos += static_cast<qsizetype>(row.size());
        } else if (!packed.read(row.data(), static_cast<qsizetype>(row.size()))) {
            return kErrorInvalidFormat;
        }
        const auto* bytes = reinterpret_cast<const uchar*>(row.data());
        if (picture.chunky) {
            for (int x = 0; x < width; ++x) {
                values[static_cast<size_t>(x)] = static_cast<uchar>(bytes[x] & valueMask);
            }
            storeIndexRow(values.data(), y, &image);
            continue;
        }
        if (picture.kind == Kind::Rgb || picture.kind == Kind::Rgba) {
            // Planes run from the lowest bit of red to the highest of blue,
            // then alpha.
            const int channels = picture.planes / 8;
            uchar* line = image.scanLine(y);
            for (int x = 0; x < width; ++x) {
                const int byte = x >> 3;
                const int shift = 7 - (x & 7);
                int channel[4] = {0, 0, 0, 0};
                for (int p = 0; p < picture.planes; ++p) {
                    channel[p / 8] |= ((bytes[p * rowBytes + byte] >> shift) & 1) << (p % 8);
                }
                if (channels == 3) {
                    line[3 * x] = static_cast<uchar>(channel[0]);
                    line[3 * x + 1] = static_cast<uchar>(channel[1]);
                    line[3 * x + 2] = static_cast<uchar>(channel[2]);
                } else {
                    reinterpret_cast<QRgb*>(line)[x] =
                        qRgba(channel[0], channel[1], channel[2], channel[3]);
                }
            }
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const int byte = x >> 3;
            const int shift = 7 - (x & 7);
            int value = 0;
            for (int p = 0; p < picture.planes; ++p) {
                value |= ((bytes[p * rowBytes + byte] >> shift) & 1) << p;
            }
            values[static_cast<size_t>(x)] = static_cast<uchar>(value);
        }
        if (picture.kind == Kind::HoldAndModify) {
            holdAndModifyRow(values.data(), width, picture.planes, palette, image.scanLine(y));
        } else {
            storeIndexRow(values.data(), y, &image);
        }
    }
    out->image = image;
    out->bitsPerPixel = depth;
    return kSuccess;
}

void appendChunk(QByteArray* out, const char* id, QByteArrayView content) {
    out->append(id, 4);
    appendU32be(out, static_cast<quint32>(content.size()));
    out->append(content.data(), content.size());
    if (content.size() & 1) {
        out->append('\0');
    }
}

int encode(const QImage& source, int /*bitsPerPixel*/, QByteArray* out) {
    if (source.isNull() || source.width() > 0xFFFF || source.height() > 0xFFFF) {
        return kErrorInvalidParameter;
    }
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    if (image.isNull()) {
        return kErrorNoMemory;
    }
    const int width = image.width();
    const int height = image.height();
    const int rowBytes = ((width + 15) / 16) * 2;

    QByteArray bmhd;
    appendU16be(&bmhd, static_cast<quint32>(width));
    appendU16be(&bmhd, static_cast<quint32>(height));
    appendU32be(&bmhd, 0);  // position
    bmhd.append(static_cast<char>(24));
    bmhd.append(static_cast<char>(0));  // no mask
    bmhd.append(static_cast<char>(kCompressionByteRun1));
    bmhd.append(static_cast<char>(0));  // pad
    appendU16be(&bmhd, 0);              // transparent colour
    bmhd.append(static_cast<char>(1));  // square pixels
    bmhd.append(static_cast<char>(1));
    appendU16be(&bmhd, static_cast<quint32>(std::min(width, 0x7FFF)));
    appendU16be(&bmhd, static_cast<quint32>(std::min(height, 0x7FFF)));

    QByteArray body;
    QByteArray plane(rowBytes, '\0');
    for (int y = 0; y < height; ++y) {
        const uchar* line = image.constScanLine(y);
        for (int p = 0; p < 24; ++p) {
            const int channel = p / 8;
            const int bit = p % 8;
            plane.fill('\0');
            for (int x = 0; x < width; ++x) {
                if ((line[3 * x + channel] >> bit) & 1) {
                    plane[x >> 3] = static_cast<char>(plane[x >> 3] | (0x80 >> (x & 7)));
                }
            }
            packBitsEncode(plane, &body);
        }
    }
    if (body.size() > 0x7FFFFFF0) {
        return kErrorInvalidParameter;
    }

    QByteArray chunks("ILBM");
    appendChunk(&chunks, "BMHD", bmhd);
    appendChunk(&chunks, "BODY", body);
    out->clear();
    out->append("FORM");
    appendU32be(out, static_cast<quint32>(chunks.size()));
    out->append(chunks);
    return kSuccess;
}

}  // namespace

const OwnCodec& ilbmCodec() {
    static const OwnCodec codec{"IFF", probe, readInfo, decode, encode};
    return codec;
}

}  // namespace imaging
