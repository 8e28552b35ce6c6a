#include "imaging/jpegcodec.h"

#include "imaging/errors.h"
#include "imaging/formatcodes.h"

#include <turbojpeg.h>

#include <QtEndian>

#include <algorithm>
#include <memory>

namespace imaging::detail {

namespace {

struct TjDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjDeleter>;

/// What the markers before the picture data say.
struct JpegHeader {
    int width = 0;
    int height = 0;
    int components = 0;
    bool progressive = false;
    bool exif = false;
    int orientation = 1;
};

quint16 be16(const uchar* p) {
    return static_cast<quint16>((p[0] << 8) | p[1]);
}

bool isStartOfFrame(uchar marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

/// Walks the markers up to the frame header; false when the data is not a
/// JPEG or ends before the frame header.
bool parseHeader(QByteArrayView data, JpegHeader* header) {
    const auto* p = reinterpret_cast<const uchar*>(data.data());
    const qint64 size = data.size();
    if (size < 4 || p[0] != 0xFF || p[1] != 0xD8) {
        return false;
    }
    qint64 pos = 2;
    while (pos + 4 <= size) {
        if (p[pos] != 0xFF) {
            return false;
        }
        const uchar marker = p[pos + 1];
        if (marker == 0xFF) {  // fill byte
            ++pos;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            pos += 2;
            continue;
        }
        const qint64 length = be16(p + pos + 2);
        if (length < 2 || pos + 2 + length > size) {
            return false;
        }
        const uchar* body = p + pos + 4;
        const qint64 bodyLength = length - 2;
        if (marker == 0xE1 && bodyLength > 6 && std::equal(body, body + 6, "Exif\0\0")) {
            header->exif = true;
            header->orientation = exifOrientation(
                QByteArrayView(reinterpret_cast<const char*>(body + 6), bodyLength - 6));
        } else if (isStartOfFrame(marker)) {
            if (bodyLength < 6) {
                return false;
            }
            header->height = be16(body + 1);
            header->width = be16(body + 3);
            header->components = body[5];
            header->progressive =
                marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
            return header->width > 0 && header->height > 0;
        } else if (marker == 0xDA || marker == 0xD9) {
            return false;  // picture data (or the end) before any frame header
        }
        pos += 2 + length;
    }
    return false;
}

int formatOf(const JpegHeader& header) {
    return header.exif ? format::kExifJpeg : format::kJpeg;
}

QList<QRgb> greyPalette() {
    QList<QRgb> palette(256);
    for (int i = 0; i < 256; ++i) {
        palette[i] = qRgb(i, i, i);
    }
    return palette;
}

/// The smallest scale TurboJPEG offers at which the picture still covers
/// `target`.
tjscalingfactor scaleCovering(int width, int height, QSize target) {
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    tjscalingfactor best{1, 1};
    int bestWidth = width;
    for (int i = 0; i < count; ++i) {
        const int w = TJSCALED(width, factors[i]);
        const int h = TJSCALED(height, factors[i]);
        if (w >= target.width() && h >= target.height() && w < bestWidth) {
            best = factors[i];
            bestWidth = w;
        }
    }
    return best;
}

/// Decoding that libjpeg finished only with a warning: a file cut short is
/// an error, other warnings (stray bytes between markers) are not.
bool isFatalWarning(void* decoder) {
    const QByteArray text(tjGetErrorStr2(decoder));
    return text.contains("Premature end") || text.contains("Corrupt JPEG data: premature");
}

}  // namespace

bool isJpeg(QByteArrayView head) {
    return head.size() >= 3 && static_cast<uchar>(head[0]) == 0xFF &&
           static_cast<uchar>(head[1]) == 0xD8 && static_cast<uchar>(head[2]) == 0xFF;
}

int exifOrientation(QByteArrayView tiff) {
    const auto* p = reinterpret_cast<const uchar*>(tiff.data());
    const qint64 size = tiff.size();
    if (size < 8) {
        return 1;
    }
    const bool little = p[0] == 'I' && p[1] == 'I';
    if (!little && !(p[0] == 'M' && p[1] == 'M')) {
        return 1;
    }
    const auto u16 = [&](qint64 at) {
        return little ? qFromLittleEndian<quint16>(p + at) : qFromBigEndian<quint16>(p + at);
    };
    const auto u32 = [&](qint64 at) {
        return little ? qFromLittleEndian<quint32>(p + at) : qFromBigEndian<quint32>(p + at);
    };
    const qint64 ifd = u32(4);
    if (ifd < 8 || ifd + 2 > size) {
        return 1;
    }
    const int entries = u16(ifd);
    for (int i = 0; i < entries; ++i) {
        const qint64 entry = ifd + 2 + 12 * qint64(i);
        if (entry + 12 > size) {
            break;
        }
        if (u16(entry) == 0x0112) {
            const int value = u16(entry + 8);
            return value >= 1 && value <= 8 ? value : 1;
        }
    }
    return 1;
}

QByteArray minimalExif() {
    // Little-endian TIFF structure: IFD0 with Orientation and the EXIF IFD
    // pointer; the EXIF IFD with ExifVersion "0220".
    QByteArray tiff("II\x2A\x00\x08\x00\x00\x00", 8);
    const auto put16 = [&](quint16 v) { tiff.append(char(v & 0xFF)).append(char(v >> 8)); };
    const auto put32 = [&](quint32 v) {
        put16(static_cast<quint16>(v & 0xFFFF));
        put16(static_cast<quint16>(v >> 16));
    };
    put16(2);
    put16(0x0112), put16(3), put32(1), put16(1), put16(0);         // Orientation = 1
    put16(0x8769), put16(4), put32(1), put32(8 + 2 + 2 * 12 + 4);  // EXIF IFD offset
    put32(0);
    put16(1);
    put16(0x9000), put16(7), put32(4), tiff.append("0220", 4);  // ExifVersion
    put32(0);
    return tiff;
}

int jpegInfo(Input& input, FileInfo* info) {
    JpegHeader header;
    // The frame header usually follows within the first few kilobytes, but a
    // large EXIF block with a preview can push it further.
    if (!parseHeader(input.head(64 * 1024), &header) && !parseHeader(input.all(), &header)) {
        return kErrorInvalidFormat;
    }
    const bool sideways = orientationSwapsSides(header.orientation);
    info->format = formatOf(header);
    info->width = sideways ? header.height : header.width;
    info->height = sideways ? header.width : header.height;
    info->bitsPerPixel = header.components == 1 ? 8 : 24;
    info->pages = 1;
    info->compression =
        header.progressive ? QStringLiteral("Progressive JPEG") : QStringLiteral("JPEG");
    info->sizeDisk = input.size();
    info->sizeMemory = paddedImageBytes(info->width, info->height, info->bitsPerPixel);
    return kSuccess;
}

int jpegLoad(Input& input, const LoadRequest& request, ImageHandle* handle) {
    const QByteArrayView data = input.all();
    JpegHeader header;
    if (!parseHeader(data, &header)) {
        return kErrorInvalidFormat;
    }
    if (const int check = checkDimensions(header.width, header.height); check != kSuccess) {
        return check;
    }
    TjHandle decoder(tjInitDecompress());
    if (!decoder) {
        return kErrorNoMemory;
    }
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    if (tjDecompressHeader3(decoder.get(), bytes, static_cast<unsigned long>(data.size()), &width,
                            &height, &subsampling, &colourspace) != 0) {
        return kErrorInvalidFormat;
    }
    tjscalingfactor scale{1, 1};
    if (request.bound.isValid()) {
        // The bound applies to the upright picture.
        const QSize upright =
            orientationSwapsSides(header.orientation) ? QSize(height, width) : QSize(width, height);
        const QSize target = fitInside(upright, request.bound);
        const QSize stored =
            orientationSwapsSides(header.orientation) ? target.transposed() : target;
        scale = scaleCovering(width, height, stored);
    }
    const int outWidth = TJSCALED(width, scale);
    const int outHeight = TJSCALED(height, scale);

    const bool grey = colourspace == TJCS_GRAY;
    const bool cmyk = colourspace == TJCS_CMYK || colourspace == TJCS_YCCK;
    QImage image = newImage(outWidth, outHeight,
                            grey   ? QImage::Format_Indexed8
                            : cmyk ? QImage::Format_RGB32
                                   : QImage::Format_RGB888);
    if (image.isNull()) {
        return kErrorNoMemory;
    }
    if (!reportStatus(0)) {
        return kErrorUserAbort;
    }
    const int pixelFormat = grey ? TJPF_GRAY : cmyk ? TJPF_CMYK : TJPF_RGB;
    const int result = tjDecompress2(decoder.get(), bytes, static_cast<unsigned long>(data.size()),
                                     image.bits(), outWidth, static_cast<int>(image.bytesPerLine()),
                                     outHeight, pixelFormat, TJFLAG_ACCURATEDCT);
    if (result != 0 &&
        (tjGetErrorCode(decoder.get()) == TJERR_FATAL || isFatalWarning(decoder.get()))) {
        return tjGetErrorCode(decoder.get()) == TJERR_FATAL ? kErrorInvalidFormat : kErrorFileRead;
    }
    if (grey) {
        image.setColorTable(greyPalette());
    } else if (cmyk) {
        // Adobe writes inverted CMYK; each pixel becomes RGB in place.
        for (int y = 0; y < outHeight; ++y) {
            auto* line = reinterpret_cast<uchar*>(image.scanLine(y));
            for (int x = 0; x < outWidth; ++x) {
                uchar* px = line + 4 * x;
                const int c = px[0], m = px[1], ye = px[2], k = px[3];
                *reinterpret_cast<QRgb*>(px) = qRgb(c * k / 255, m * k / 255, ye * k / 255);
            }
        }
        image = image.convertToFormat(QImage::Format_RGB888);
    }
    image = orientUpright(image, header.orientation);
    return finishLoad(std::move(image), grey ? 8 : 24, request, handle);
}

int jpegSave(const ImageHandle& source, const SaveRequest& request, QByteArray* out) {
    const bool grey = request.bitsPerPixel == 8;
    QImage image;
    if (grey) {
        image = source.image.convertToFormat(QImage::Format_Grayscale8);
    } else {
        image = source.image.convertToFormat(QImage::Format_RGB888);
    }
    if (image.isNull()) {
        return kErrorNoMemory;
    }
    TjHandle encoder(tjInitCompress());
    if (!encoder) {
        return kErrorNoMemory;
    }
    const int quality = jpegQuality(request.qualityFactor);
    // Full colour resolution for the highest qualities, where the eye would
    // otherwise find the halved chroma on sharp coloured edges.
    const int subsampling = grey ? TJSAMP_GRAY : quality >= 95 ? TJSAMP_444 : TJSAMP_420;
    int flags = TJFLAG_ACCURATEDCT;
    if (request.options.passes == -1) {
        flags |= TJFLAG_PROGRESSIVE;
    }
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (tjCompress2(encoder.get(), image.constBits(), image.width(),
                    static_cast<int>(image.bytesPerLine()), image.height(),
                    grey ? TJPF_GRAY : TJPF_RGB, &buffer, &size, subsampling, quality,
                    flags) != 0) {
        tjFree(buffer);
        return kErrorNoMemory;
    }
    QByteArray jpeg(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    tjFree(buffer);

    if (request.format == format::kExifJpeg) {
        // EXIF files carry an APP1 EXIF segment in place of the JFIF one.
        qsizetype rest = 2;
        if (jpeg.size() > 6 && static_cast<uchar>(jpeg[2]) == 0xFF &&
            static_cast<uchar>(jpeg[3]) == 0xE0) {
            rest = 4 + be16(reinterpret_cast<const uchar*>(jpeg.constData()) + 4);
        }
        const QByteArray exif = QByteArray("Exif\0\0", 6) + minimalExif();
        QByteArray segment("\xFF\xE1", 2);
        const int length = static_cast<int>(exif.size()) + 2;
        segment.append(char(length >> 8)).append(char(length & 0xFF)).append(exif);
        jpeg = jpeg.left(2) + segment + jpeg.mid(rest);
    }
    *out = std::move(jpeg);
    return kSuccess;
}

}  // namespace imaging::detail
