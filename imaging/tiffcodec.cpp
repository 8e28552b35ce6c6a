#include "imaging/tiffcodec.h"

#include "imaging/colourreduction.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"

#include <tiffio.h>

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace imaging::detail {

namespace {

// libtiff reports through these; our callers get codes, not text on stderr.
int silentHandler(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

constexpr tmsize_t kMaxSingleAllocation = tmsize_t(512) * 1024 * 1024;

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

// --- Reading through an Input ---------------------------------------------

struct ReadStream {
    Input* input;
    qint64 position = 0;
};

tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t size) {
    auto* stream = static_cast<ReadStream*>(handle);
    const qint64 got = stream->input->readAt(stream->position, static_cast<char*>(buffer), size);
    if (got > 0) {
        stream->position += got;
    }
    return static_cast<tmsize_t>(got);
}

tmsize_t noWrite(thandle_t, void*, tmsize_t) {
    return -1;
}

toff_t readSeekProc(thandle_t handle, toff_t offset, int whence) {
    auto* stream = static_cast<ReadStream*>(handle);
    qint64 base = 0;
    if (whence == SEEK_CUR) {
        base = stream->position;
    } else if (whence == SEEK_END) {
        base = stream->input->size();
    }
    stream->position = base + static_cast<qint64>(offset);
    return static_cast<toff_t>(stream->position);
}

int closeProc(thandle_t) {
    return 0;
}

toff_t readSizeProc(thandle_t handle) {
    return static_cast<toff_t>(static_cast<ReadStream*>(handle)->input->size());
}

int noMap(thandle_t, void**, toff_t*) {
    return 0;
}
void noUnmap(thandle_t, void*, toff_t) {}

TIFFOpenOptions* makeOptions() {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxSingleAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options, silentHandler, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, silentHandler, nullptr);
    return options;
}

TiffPtr openForReading(ReadStream* stream) {
    TIFFOpenOptions* options = makeOptions();
    TIFF* tif = TIFFClientOpenExt("input", "rm", stream, readProc, noWrite, readSeekProc, closeProc,
                                  readSizeProc, noMap, noUnmap, options);
    TIFFOpenOptionsFree(options);
    return TiffPtr(tif);
}

// --- Writing into memory --------------------------------------------------

struct WriteStream {
    QByteArray data;
    qint64 position = 0;
};

tmsize_t writeProc(thandle_t handle, void* buffer, tmsize_t size) {
    auto* stream = static_cast<WriteStream*>(handle);
    const qint64 end = stream->position + size;
    if (end > stream->data.size()) {
        stream->data.resize(end);
    }
    std::memcpy(stream->data.data() + stream->position, buffer, static_cast<size_t>(size));
    stream->position = end;
    return size;
}

tmsize_t writeStreamRead(thandle_t handle, void* buffer, tmsize_t size) {
    auto* stream = static_cast<WriteStream*>(handle);
    const qint64 available = std::max<qint64>(0, stream->data.size() - stream->position);
    const qint64 count = std::min<qint64>(size, available);
    std::memcpy(buffer, stream->data.constData() + stream->position, static_cast<size_t>(count));
    stream->position += count;
    return static_cast<tmsize_t>(count);
}

toff_t writeSeekProc(thandle_t handle, toff_t offset, int whence) {
    auto* stream = static_cast<WriteStream*>(handle);
    qint64 base = 0;
    if (whence == SEEK_CUR) {
        base = stream->position;
    } else if (whence == SEEK_END) {
        base = stream->data.size();
    }
    stream->position = base + static_cast<qint64>(offset);
    return static_cast<toff_t>(stream->position);
}

toff_t writeSizeProc(thandle_t handle) {
    return static_cast<toff_t>(static_cast<WriteStream*>(handle)->data.size());
}

// --- What a directory holds -----------------------------------------------

struct Layout {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bitsPerSample = 1;
    uint16_t samplesPerPixel = 1;
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t compression = COMPRESSION_NONE;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    uint32_t group3Options = 0;
    bool tiled = false;
    bool exif = false;
    bool hasAlpha = false;
};

Layout readLayout(TIFF* tif) {
    Layout layout;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &layout.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &layout.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &layout.bitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &layout.samplesPerPixel);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &layout.photometric)) {
        layout.photometric = layout.samplesPerPixel >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISWHITE;
    }
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &layout.planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &layout.compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &layout.orientation);
    TIFFGetField(tif, TIFFTAG_GROUP3OPTIONS, &layout.group3Options);
    layout.tiled = TIFFIsTiled(tif) != 0;
    toff_t exifOffset = 0;
    layout.exif = TIFFGetField(tif, TIFFTAG_EXIFIFD, &exifOffset) != 0;
    uint16_t extraCount = 0;
    uint16_t* extraTypes = nullptr;
    if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes) && extraCount > 0) {
        layout.hasAlpha =
            extraTypes[0] == EXTRASAMPLE_ASSOCALPHA || extraTypes[0] == EXTRASAMPLE_UNASSALPHA;
    } else if (layout.photometric == PHOTOMETRIC_RGB && layout.samplesPerPixel == 4) {
        layout.hasAlpha = true;
    }
    if (layout.orientation < 1 || layout.orientation > 8) {
        layout.orientation = ORIENTATION_TOPLEFT;
    }
    return layout;
}

int formatOf(const Layout& layout) {
    const bool cmyk = layout.photometric == PHOTOMETRIC_SEPARATED;
    const bool ycc = layout.photometric == PHOTOMETRIC_YCBCR;
    switch (layout.compression) {
        case COMPRESSION_LZW:
            return cmyk ? format::kTiffLzwCmyk : ycc ? format::kTiffLzwYcc : format::kTiffLzw;
        case COMPRESSION_PACKBITS:
            return cmyk  ? format::kTiffPackBitsCmyk
                   : ycc ? format::kTiffPackBitsYcc
                         : format::kTiffPackBits;
        case COMPRESSION_CCITTRLE:
        case COMPRESSION_CCITTRLEW:
            return format::kCcitt;
        case COMPRESSION_CCITTFAX3:
            return (layout.group3Options & GROUP3OPT_2DENCODING) ? format::kCcittGroup3TwoD
                                                                 : format::kCcittGroup3OneD;
        case COMPRESSION_CCITTFAX4:
            return format::kCcittGroup4;
        case COMPRESSION_JPEG:
        case COMPRESSION_OJPEG:
            return format::kJtif;
        case COMPRESSION_NONE:
            if (layout.exif) {
                return ycc ? format::kExifYcc : format::kExif;
            }
            return cmyk ? format::kTiffCmyk : ycc ? format::kTiffYcc : format::kTiff;
        default:
            return cmyk ? format::kTiffCmyk : format::kTiff;
    }
}

QString compressionName(uint16_t compression) {
    switch (compression) {
        case COMPRESSION_NONE:
            return QStringLiteral("None");
        case COMPRESSION_LZW:
            return QStringLiteral("LZW");
        case COMPRESSION_PACKBITS:
            return QStringLiteral("PackBits");
        case COMPRESSION_CCITTRLE:
        case COMPRESSION_CCITTRLEW:
            return QStringLiteral("CCITT Modified Huffman");
        case COMPRESSION_CCITTFAX3:
            return QStringLiteral("CCITT Group 3");
        case COMPRESSION_CCITTFAX4:
            return QStringLiteral("CCITT Group 4");
        case COMPRESSION_JPEG:
        case COMPRESSION_OJPEG:
            return QStringLiteral("JPEG");
        case COMPRESSION_ADOBE_DEFLATE:
        case COMPRESSION_DEFLATE:
            return QStringLiteral("Deflate");
        default:
            return QStringLiteral("Other (%1)").arg(compression);
    }
}

/// Bilevel, palette, grey and 8-bit RGB(A) strips are read row by row at
/// their own depth; everything else goes through libtiff's RGBA reader.
bool readsNatively(const Layout& l) {
    if (l.tiled || l.planar != PLANARCONFIG_CONTIG || l.compression == COMPRESSION_JPEG ||
        l.compression == COMPRESSION_OJPEG) {
        return false;
    }
    const bool single =
        l.samplesPerPixel == 1 &&
        (l.bitsPerSample == 1 || l.bitsPerSample == 4 || l.bitsPerSample == 8) &&
        (l.photometric == PHOTOMETRIC_MINISWHITE || l.photometric == PHOTOMETRIC_MINISBLACK ||
         l.photometric == PHOTOMETRIC_PALETTE);
    const bool rgb = l.photometric == PHOTOMETRIC_RGB && l.bitsPerSample == 8 &&
                     (l.samplesPerPixel == 3 || l.samplesPerPixel == 4);
    return single || rgb;
}

int nativeDepth(const Layout& l) {
    if (readsNatively(l)) {
        if (l.samplesPerPixel == 1) {
            return l.bitsPerSample;
        }
        return l.samplesPerPixel == 4 ? 32 : 24;
    }
    return l.hasAlpha ? 32 : 24;
}

QList<QRgb> paletteOf(TIFF* tif, const Layout& l) {
    const int entries = 1 << l.bitsPerSample;
    QList<QRgb> palette(entries);
    if (l.photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue)) {
            // Old writers stored 8-bit values in the 16-bit map.
            bool eightBit = true;
            for (int i = 0; i < entries; ++i) {
                eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
            }
            const int shift = eightBit ? 0 : 8;
            for (int i = 0; i < entries; ++i) {
                palette[i] = qRgb(red[i] >> shift, green[i] >> shift, blue[i] >> shift);
            }
            return palette;
        }
    }
    for (int i = 0; i < entries; ++i) {
        int level = i * 255 / (entries - 1);
        if (l.photometric == PHOTOMETRIC_MINISWHITE) {
            level = 255 - level;
        }
        palette[i] = qRgb(level, level, level);
    }
    return palette;
}

int readNative(TIFF* tif, const Layout& l, QImage* out) {
    const int depth = nativeDepth(l);
    QImage image = newImage(static_cast<int>(l.width), static_cast<int>(l.height),
                            depth == 1    ? QImage::Format_Mono
                            : depth <= 8  ? QImage::Format_Indexed8
                            : depth == 24 ? QImage::Format_RGB888
                                          : QImage::Format_ARGB32);
    if (image.isNull()) {
        return kErrorNoMemory;
    }
    if (depth <= 8) {
        image.setColorTable(paletteOf(tif, l));
    }
    std::vector<uchar> row(static_cast<size_t>(TIFFScanlineSize(tif)));
    for (uint32_t y = 0; y < l.height; ++y) {
        if ((y & 255) == 0 && !reportStatus(static_cast<int>(qint64(y) * 100 / l.height))) {
            return kErrorUserAbort;
        }
        if (TIFFReadScanline(tif, row.data(), y, 0) < 0) {
            return kErrorFileRead;
        }
        uchar* dst = image.scanLine(static_cast<int>(y));
        if (depth == 1) {
            std::copy_n(row.data(), std::min<size_t>(row.size(), image.bytesPerLine()), dst);
        } else if (depth == 4) {
            for (uint32_t x = 0; x < l.width; ++x) {
                const uchar pair = row[x / 2];
                dst[x] = (x & 1) ? (pair & 0x0F) : (pair >> 4);
            }
        } else if (depth == 8 || depth == 24) {
            std::copy_n(row.data(), static_cast<size_t>(l.width) * (depth / 8), dst);
        } else {
            auto* px = reinterpret_cast<QRgb*>(dst);
            for (uint32_t x = 0; x < l.width; ++x) {
                const uchar* s = row.data() + 4 * x;
                px[x] = qRgba(s[0], s[1], s[2], s[3]);
            }
        }
    }
    *out = orientUpright(image, l.orientation);
    return kSuccess;
}

int readThroughRgba(TIFF* tif, const Layout& l, QImage* out) {
    // libtiff's RGBA raster is R, G, B, A bytes per pixel: QImage's RGBA8888.
    QImage image =
        newImage(static_cast<int>(l.width), static_cast<int>(l.height), QImage::Format_RGBA8888);
    if (image.isNull() || image.bytesPerLine() != qsizetype(l.width) * 4) {
        return kErrorNoMemory;
    }
    if (!reportStatus(0)) {
        return kErrorUserAbort;
    }
    if (!TIFFReadRGBAImageOriented(tif, l.width, l.height,
                                   reinterpret_cast<uint32_t*>(image.bits()), ORIENTATION_TOPLEFT,
                                   0)) {
        return l.compression == COMPRESSION_NONE || TIFFIsCODECConfigured(l.compression)
                   ? kErrorFileRead
                   : kErrorUnknownCompression;
    }
    image.convertTo(l.hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    *out = std::move(image);
    return reportStatus(100) ? kSuccess : kErrorUserAbort;
}

// --- Writing --------------------------------------------------------------

uint16_t compressionFor(int format) {
    switch (format) {
        case format::kTiffPackBits:
            return COMPRESSION_PACKBITS;
        case format::kTiffLzw:
            return COMPRESSION_LZW;
        case format::kJtif:
            return COMPRESSION_JPEG;
        case format::kCcittGroup3OneD:
        case format::kCcittGroup3TwoD:
            return COMPRESSION_CCITTFAX3;
        case format::kCcittGroup4:
            return COMPRESSION_CCITTFAX4;
        default:
            return COMPRESSION_NONE;
    }
}

bool isFax(int format) {
    return format == format::kCcittGroup3OneD || format == format::kCcittGroup3TwoD ||
           format == format::kCcittGroup4;
}

bool isGreyRamp(const QList<QRgb>& palette) {
    if (palette.size() != 256) {
        return false;
    }
    for (int i = 0; i < 256; ++i) {
        if (palette[i] != qRgb(i, i, i)) {
            return false;
        }
    }
    return true;
}

void setColourMap(TIFF* tif, const QList<QRgb>& palette, int bitsPerSample) {
    const int entries = 1 << bitsPerSample;
    std::vector<uint16_t> red(entries), green(entries), blue(entries);
    for (int i = 0; i < entries && i < palette.size(); ++i) {
        red[i] = static_cast<uint16_t>(qRed(palette[i]) * 257);
        green[i] = static_cast<uint16_t>(qGreen(palette[i]) * 257);
        blue[i] = static_cast<uint16_t>(qBlue(palette[i]) * 257);
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
}

/// Adds an EXIF IFD holding the EXIF version to a finished little-endian
/// classic TIFF, by writing a copy of its first IFD with the EXIF pointer.
bool addExifDirectory(QByteArray* tiff) {
    auto* p = reinterpret_cast<uchar*>(tiff->data());
    if (tiff->size() < 8 || p[0] != 'I' || p[1] != 'I' || qFromLittleEndian<quint16>(p + 2) != 42) {
        return false;
    }
    const quint32 ifd = qFromLittleEndian<quint32>(p + 4);
    if (ifd + 2 > quint64(tiff->size())) {
        return false;
    }
    const int count = qFromLittleEndian<quint16>(p + ifd);
    if (ifd + 2 + 12 * quint64(count) + 4 > quint64(tiff->size())) {
        return false;
    }
    std::vector<QByteArray> entries;
    for (int i = 0; i < count; ++i) {
        entries.emplace_back(tiff->mid(ifd + 2 + 12 * i, 12));
    }
    const quint32 next = qFromLittleEndian<quint32>(p + ifd + 2 + 12 * count);
    if (tiff->size() % 2) {
        tiff->append('\0');
    }
    const quint32 newIfd = static_cast<quint32>(tiff->size());
    const quint32 exifIfd = newIfd + 2 + 12 * (count + 1) + 4;
    QByteArray pointer(12, '\0');
    qToLittleEndian<quint16>(0x8769, pointer.data());
    qToLittleEndian<quint16>(TIFF_LONG, pointer.data() + 2);
    qToLittleEndian<quint32>(1, pointer.data() + 4);
    qToLittleEndian<quint32>(exifIfd, pointer.data() + 8);
    entries.push_back(pointer);
    std::sort(entries.begin(), entries.end(), [](const QByteArray& a, const QByteArray& b) {
        return qFromLittleEndian<quint16>(a.constData()) <
               qFromLittleEndian<quint16>(b.constData());
    });
    QByteArray block(2, '\0');
    qToLittleEndian<quint16>(static_cast<quint16>(entries.size()), block.data());
    for (const QByteArray& entry : entries) {
        block.append(entry);
    }
    QByteArray link(4, '\0');
    qToLittleEndian<quint32>(next, link.data());
    block.append(link);
    // The EXIF IFD: ExifVersion "0220", no next IFD.
    QByteArray exif(2 + 12 + 4, '\0');
    qToLittleEndian<quint16>(1, exif.data());
    qToLittleEndian<quint16>(0x9000, exif.data() + 2);
    qToLittleEndian<quint16>(TIFF_UNDEFINED, exif.data() + 4);
    qToLittleEndian<quint32>(4, exif.data() + 6);
    std::memcpy(exif.data() + 10, "0220", 4);
    tiff->append(block).append(exif);
    qToLittleEndian<quint32>(newIfd, tiff->data() + 4);
    return true;
}

void toYcc(const uchar* rgb, uchar* ycc, int width) {
    // JFIF's full-range conversion, which TIFF readers assume with the
    // default reference black and white.
    for (int x = 0; x < width; ++x) {
        const double r = rgb[3 * x], g = rgb[3 * x + 1], b = rgb[3 * x + 2];
        const auto clamp = [](double v) {
            return static_cast<uchar>(std::clamp(v + 0.5, 0.0, 255.0));
        };
        ycc[3 * x] = clamp(0.299 * r + 0.587 * g + 0.114 * b);
        ycc[3 * x + 1] = clamp(-0.168736 * r - 0.331264 * g + 0.5 * b + 128);
        ycc[3 * x + 2] = clamp(0.5 * r - 0.418688 * g - 0.081312 * b + 128);
    }
}

}  // namespace

bool isTiff(QByteArrayView head) {
    if (head.size() < 4) {
        return false;
    }
    const auto* p = reinterpret_cast<const uchar*>(head.data());
    return (p[0] == 'I' && p[1] == 'I' && (p[2] == 42 || p[2] == 43) && p[3] == 0) ||
           (p[0] == 'M' && p[1] == 'M' && p[2] == 0 && (p[3] == 42 || p[3] == 43));
}

int tiffInfo(Input& input, FileInfo* info) {
    ReadStream stream{&input};
    TiffPtr tif = openForReading(&stream);
    if (!tif) {
        return kErrorInvalidFormat;
    }
    const Layout layout = readLayout(tif.get());
    if (layout.width == 0 || layout.height == 0) {
        return kErrorInvalidFormat;
    }
    const bool sideways = orientationSwapsSides(layout.orientation);
    info->format = formatOf(layout);
    info->width = static_cast<int>(sideways ? layout.height : layout.width);
    info->height = static_cast<int>(sideways ? layout.width : layout.height);
    info->bitsPerPixel = nativeDepth(layout);
    info->pages = TIFFNumberOfDirectories(tif.get());
    info->compression = compressionName(layout.compression);
    info->sizeDisk = input.size();
    info->sizeMemory = paddedImageBytes(info->width, info->height, info->bitsPerPixel);
    return kSuccess;
}

int tiffLoad(Input& input, const LoadRequest& request, ImageHandle* handle) {
    ReadStream stream{&input};
    TiffPtr tif = openForReading(&stream);
    if (!tif) {
        return kErrorInvalidFormat;
    }
    if (request.options.page > 0 &&
        !TIFFSetDirectory(tif.get(), static_cast<tdir_t>(request.options.page))) {
        return kErrorInvalidParameter;
    }
    const Layout layout = readLayout(tif.get());
    if (const int check = checkDimensions(layout.width, layout.height); check != kSuccess) {
        return check;
    }
    QImage image;
    const int status = readsNatively(layout) ? readNative(tif.get(), layout, &image)
                                             : readThroughRgba(tif.get(), layout, &image);
    if (status != kSuccess) {
        return status;
    }
    return finishLoad(std::move(image), nativeDepth(layout), request, handle);
}

int tiffSave(const ImageHandle& source, const SaveRequest& request, QByteArray* out) {
    const int format = request.format;
    int depth = request.bitsPerPixel == 0 ? source.bitsPerPixel : request.bitsPerPixel;
    if (isFax(format)) {
        depth = 1;
    } else if (format == format::kJtif || format == format::kExif || format == format::kExifYcc ||
               depth == 16) {
        depth = 24;
    }
    ImageHandle image;
    if (const int status = imageAtDepth(source, depth, &image); status != kSuccess) {
        return status;
    }
    const QImage& pixels = image.image;
    const int width = pixels.width();
    const int height = pixels.height();

    WriteStream stream;
    // Room for the uncompressed picture up front, so the file is not copied
    // again and again as it grows.
    stream.data.reserve(static_cast<qsizetype>(
        std::min<qint64>(paddedImageBytes(width, height, depth) + 64 * 1024, qint64(1) << 30)));
    TIFFOpenOptions* options = makeOptions();
    TiffPtr tif(TIFFClientOpenExt("output", "wl", &stream, writeStreamRead, writeProc,
                                  writeSeekProc, closeProc, writeSizeProc, noMap, noUnmap,
                                  options));
    TIFFOpenOptionsFree(options);
    if (!tif) {
        return kErrorNoMemory;
    }
    TIFF* t = tif.get();
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(t, TIFFTAG_XRESOLUTION, 72.0);
    TIFFSetField(t, TIFFTAG_YRESOLUTION, 72.0);
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(t, TIFFTAG_SOFTWARE, "Pixoria");
    const uint16_t compression = compressionFor(format);
    TIFFSetField(t, TIFFTAG_COMPRESSION, compression);

    const QList<QRgb> palette = pixels.colorTable();
    bool invertBits = false;
    bool ycc = false;
    if (depth == 1) {
        const bool blackWhite =
            palette.size() == 2 &&
            ((palette[0] == qRgb(0, 0, 0) && palette[1] == qRgb(255, 255, 255)) ||
             (palette[0] == qRgb(255, 255, 255) && palette[1] == qRgb(0, 0, 0)));
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
        if (blackWhite || isFax(format)) {
            // Fax readers expect white as 0; pixels whose colour is the darker
            // entry become 1.
            TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
            invertBits = qGray(palette.value(0)) < qGray(palette.value(1));
        } else {
            TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
            setColourMap(t, palette, 1);
        }
        if (format == format::kCcittGroup3TwoD) {
            TIFFSetField(t, TIFFTAG_GROUP3OPTIONS, GROUP3OPT_2DENCODING);
        }
    } else if (depth == 4 || depth == 8) {
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, depth);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
        if (depth == 8 && isGreyRamp(palette)) {
            TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        } else {
            TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
            setColourMap(t, palette, depth);
        }
    } else if (depth == 24) {
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
        if (compression == COMPRESSION_JPEG) {
            TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
            TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
            TIFFSetField(t, TIFFTAG_JPEGQUALITY, jpegQuality(request.qualityFactor));
        } else if (format == format::kExifYcc) {
            ycc = true;
            TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
            TIFFSetField(t, TIFFTAG_YCBCRSUBSAMPLING, 1, 1);
        } else {
            TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        }
    } else {
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 4);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        const uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    // JPEG strips must hold whole MCU rows; 16 rows cover every subsampling.
    const uint32_t rowsPerStrip = compression == COMPRESSION_JPEG
                                      ? std::max<uint32_t>(16, TIFFDefaultStripSize(t, 0) / 16 * 16)
                                      : TIFFDefaultStripSize(t, 0);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);

    std::vector<uchar> row(static_cast<size_t>(std::max<tmsize_t>(TIFFScanlineSize(t), 4 * width)));
    for (int y = 0; y < height; ++y) {
        if ((y & 255) == 0 && !reportStatus(y * 100 / height)) {
            return kErrorUserAbort;
        }
        const uchar* src = pixels.constScanLine(y);
        if (depth == 1) {
            const qsizetype bytes = (width + 7) / 8;
            for (qsizetype i = 0; i < bytes; ++i) {
                row[i] = invertBits ? static_cast<uchar>(~src[i]) : src[i];
            }
        } else if (depth == 4) {
            std::fill(row.begin(), row.end(), 0);
            for (int x = 0; x < width; ++x) {
                row[x / 2] |= static_cast<uchar>((src[x] & 0x0F) << ((x & 1) ? 0 : 4));
            }
        } else if (depth == 8) {
            std::copy_n(src, width, row.data());
        } else if (depth == 24) {
            if (ycc) {
                toYcc(src, row.data(), width);
            } else {
                std::copy_n(src, 3 * width, row.data());
            }
        } else {
            const auto* px = reinterpret_cast<const QRgb*>(src);
            for (int x = 0; x < width; ++x) {
                row[4 * x] = static_cast<uchar>(qRed(px[x]));
                row[4 * x + 1] = static_cast<uchar>(qGreen(px[x]));
                row[4 * x + 2] = static_cast<uchar>(qBlue(px[x]));
                row[4 * x + 3] = static_cast<uchar>(qAlpha(px[x]));
            }
        }
        if (TIFFWriteScanline(t, row.data(), static_cast<uint32_t>(y), 0) < 0) {
            return kErrorFileWrite;
        }
    }
    if (!TIFFFlush(t)) {
        return kErrorFileWrite;
    }
    tif.reset();
    if ((format == format::kExif || format == format::kExifYcc) &&
        !addExifDirectory(&stream.data)) {
        return kErrorFileWrite;
    }
    *out = std::move(stream.data);
    return kSuccess;
}

}  // namespace imaging::detail
