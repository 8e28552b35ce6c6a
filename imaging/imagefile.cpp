#include "imaging/imagefile.h"

#include "imaging/codec.h"
#include "imaging/epsreader.h"
#include "imaging/epswriter.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/gifcodec.h"
#include "imaging/jpegcodec.h"
#include "imaging/magickcodec.h"
#include "imaging/owncodecs.h"
#include "imaging/photocd.h"
#include "imaging/pngcodec.h"
#include "imaging/tiffcodec.h"
#include "platform/atomicfile.h"

#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

#include <cstring>

namespace imaging {

using namespace detail;

namespace {

/// How many leading bytes the format tests look at (PhotoCD's mark sits at
/// 2048).
constexpr qint64 kSniffBytes = 2056;

quint16 le16(const uchar* p) {
    return qFromLittleEndian<quint16>(p);
}
quint32 le32(const uchar* p) {
    return qFromLittleEndian<quint32>(p);
}

/// A recognised file: its format code, the depth its header announces (0:
/// ask the reader) and, for formats read by ImageMagick, the coder name.
struct Sniffed {
    int format = 0;
    int depth = 0;
    const char* magick = nullptr;
    const OwnCodec* own = nullptr;
    bool qt = false;  // read by Qt's own reader
};

int depthFromBits(int bits) {
    if (bits <= 1) {
        return 1;
    }
    if (bits <= 4) {
        return 4;
    }
    if (bits <= 8) {
        return 8;
    }
    if (bits <= 16) {
        return 16;
    }
    return bits <= 24 ? 24 : 32;
}

std::optional<Sniffed> sniffBmp(QByteArrayView head) {
    const auto* p = reinterpret_cast<const uchar*>(head.data());
    if (head.size() < 30 || p[0] != 'B' || p[1] != 'M') {
        return std::nullopt;
    }
    const quint32 headerSize = le32(p + 14);
    Sniffed found{format::kBmp, 0, "BMP"};
    if (headerSize == 12) {
        found.format = format::kOs2Bmp;
        found.depth = depthFromBits(le16(p + 24));
        return found;
    }
    if (headerSize < 16 || headerSize > 124) {
        return std::nullopt;
    }
    found.depth = depthFromBits(le16(p + 28));
    const bool windows = headerSize == 40 || headerSize == 52 || headerSize == 56 ||
                         headerSize == 108 || headerSize == 124;
    if (!windows) {
        // ImageMagick takes the palette behind this header for 3-byte entries;
        // Qt's reader gets it right.
        found.format = format::kOs2Bmp2;
        found.magick = nullptr;
        found.qt = true;
        return found;
    }
    if (head.size() >= 34) {
        const quint32 compression = le32(p + 30);
        if (compression == 1 || compression == 2) {
            found.format = format::kBmpRle;
        }
    }
    return found;
}

std::optional<Sniffed> sniffPcx(QByteArrayView head) {
    const auto* p = reinterpret_cast<const uchar*>(head.data());
    if (head.size() < 128 || p[0] != 0x0A || p[1] > 5 || p[1] == 1 || p[2] != 1) {
        return std::nullopt;
    }
    const int bits = p[3];
    const int planes = p[65];
    if ((bits != 1 && bits != 2 && bits != 4 && bits != 8) || planes < 1 || planes > 4) {
        return std::nullopt;
    }
    return Sniffed{format::kPcx, depthFromBits(bits * planes), "PCX"};
}

std::optional<Sniffed> sniffTga(QByteArrayView head, qint64 size, const QString& path,
                                Input& input) {
    const auto* p = reinterpret_cast<const uchar*>(head.data());
    if (head.size() < 18) {
        return std::nullopt;
    }
    const int mapType = p[1], type = p[2], bits = p[16];
    const int width = le16(p + 12), height = le16(p + 14);
    const bool plausible =
        mapType <= 1 &&
        (type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11) &&
        (bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32) && width > 0 &&
        height > 0 && ((type != 1 && type != 9) || mapType == 1);
    if (!plausible) {
        return std::nullopt;
    }
    // Targa has no mark at its start; accept it by its extension or by the
    // footer of version 2 files.
    const QString suffix = QFileInfo(path).suffix().toLower();
    bool accepted = suffix == QLatin1String("tga") || suffix == QLatin1String("vda") ||
                    suffix == QLatin1String("icb") || suffix == QLatin1String("vst");
    if (!accepted && size >= 26) {
        char footer[18] = {};
        accepted = input.readAt(size - 18, footer, 18) == 18 &&
                   std::memcmp(footer, "TRUEVISION-XFILE.", 17) == 0;
    }
    if (!accepted) {
        return std::nullopt;
    }
    return Sniffed{format::kTga, depthFromBits(bits == 15 ? 16 : bits), "TGA"};
}

/// An OS/2 2.x bitmap's facts from its header.
int os2BitmapInfo(Input& input, int depth, FileInfo* info) {
    const QByteArrayView head = input.head(30);
    if (head.size() < 30) {
        return kErrorInvalidFormat;
    }
    const auto* p = reinterpret_cast<const uchar*>(head.data());
    const qint32 width = static_cast<qint32>(le32(p + 18));
    const qint32 height = static_cast<qint32>(le32(p + 22));
    if (width <= 0 || height == 0 || height == INT32_MIN) {
        return kErrorInvalidFormat;
    }
    info->format = format::kOs2Bmp2;
    info->width = width;
    info->height = std::abs(height);
    info->bitsPerPixel = depth;
    info->pages = 1;
    info->compression = QStringLiteral("None");
    info->sizeDisk = input.size();
    info->sizeMemory = paddedImageBytes(info->width, info->height, depth);
    return kSuccess;
}

int qtLoad(Input& input, const char* format, int depth, const LoadRequest& request,
           ImageHandle* handle) {
    FileInfo info;
    if (const int status = os2BitmapInfo(input, depth, &info); status != kSuccess) {
        return status;
    }
    if (const int check = checkDimensions(info.width, info.height); check != kSuccess) {
        return check;
    }
    const QByteArrayView data = input.all();
    QImage image = QImage::fromData(data, format);
    if (image.isNull()) {
        return kErrorFileRead;
    }
    return finishLoad(std::move(image), depth, request, handle);
}

/// Icons and cursors: a directory of pictures; the first one's depth is
/// the file's.
std::optional<Sniffed> sniffIcon(QByteArrayView head) {
    const auto* p = reinterpret_cast<const uchar*>(head.data());
    if (head.size() < 22 || p[0] != 0 || p[1] != 0 || (p[2] != 1 && p[2] != 2) || p[3] != 0 ||
        le16(p + 4) == 0) {
        return std::nullopt;
    }
    Sniffed found =
        p[2] == 1 ? Sniffed{format::kIcon, 0, "ICO"} : Sniffed{format::kCursor, 0, "CUR"};
    const quint64 offset = le32(p + 18);
    if (offset + 16 <= quint64(head.size())) {
        if (std::memcmp(p + offset, "\x89PNG", 4) == 0) {
            found.depth = 32;
        } else if (le32(p + offset) == 40) {
            found.depth = depthFromBits(le16(p + offset + 14));
        }
    }
    return found;
}

/// A 16-bit copy for ImageMagick's BMP writer, which truncates where it
/// should round when it takes 8-bit channels down to 5 bits: each channel is
/// given as the smallest 8-bit value that truncates to its 5-bit one.
ImageHandle forFiveBitWriter(const ImageHandle& handle) {
    QImage image =
        handle.image.convertToFormat(QImage::Format_RGB555).convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < 3 * image.width(); ++x) {
            const int five = row[x] >> 3;
            row[x] = static_cast<uchar>((five * 255 + 30) / 31);
        }
    }
    ImageHandle out;
    handleFromQImage(image, &out);
    return out;
}

/// Whether `mark` stands at `offset`. Marks are given with their length, as
/// some begin with a zero byte.
template <qsizetype N>
bool at(QByteArrayView head, qint64 offset, const char (&mark)[N]) {
    const qint64 length = N - 1;
    return head.size() >= offset + length && std::memcmp(head.data() + offset, mark, length) == 0;
}

std::optional<Sniffed> sniff(Input& input) {
    const QByteArrayView head = input.head(kSniffBytes);
    const auto* p = reinterpret_cast<const uchar*>(head.data());
    if (isJpeg(head)) {
        return Sniffed{format::kJpeg};
    }
    if (isPng(head)) {
        return Sniffed{format::kPng};
    }
    if (isGif(head)) {
        return Sniffed{format::kGif};
    }
    if (isTiff(head)) {
        return Sniffed{format::kTiff};
    }
    if (auto bmp = sniffBmp(head)) {
        return bmp;
    }
    if (at(head, 0, "8BPS")) {
        return Sniffed{format::kPhotoshop, 0, "PSD"};
    }
    if (auto icon = sniffIcon(head)) {
        return icon;
    }
    if (at(head, 0, "\x59\xA6\x6A\x95") && head.size() >= 16) {
        return Sniffed{format::kSunRaster,
                       depthFromBits(static_cast<int>(qFromBigEndian<quint32>(p + 12))), "SUN"};
    }
    if (at(head, 0, "\xFFWPC")) {
        return Sniffed{format::kWpg, 0, "WPG"};
    }
    if (at(head, 0, "\xD7\xCD\xC6\x9A") || at(head, 0, "\x01\x00\x09\x00\x00\x03")) {
        return Sniffed{format::kWmf, 24, "WMF"};
    }
    if (isEps(head)) {
        return Sniffed{format::kEps};
    }
    if (at(head, 2048, "PCD_IPI")) {
        return Sniffed{format::kPhotoCd, 24, "PCD"};
    }
    if (at(head, 128, "DICM")) {
        return Sniffed{format::kDicomGrey, 0, "DCM"};
    }
    if (at(head, 522, "\x00\x11\x02\xFF") || at(head, 522, "\x11\x01")) {
        return Sniffed{format::kPict, 0, "PICT"};
    }
    if (at(head, 0, "srcdocid:") || at(head, 0, "rorient:") ||
        at(head, 0, "version: MIL-STD-1840")) {
        return Sniffed{format::kCals, 1, "CALS"};
    }
    if (const auto own = ownCodecFor(head, input.path())) {
        return Sniffed{own->format, 0, nullptr, own->codec};
    }
    if (auto pcx = sniffPcx(head)) {
        return pcx;
    }
    // MacPaint: behind a MacBinary header its file type says so; a bare file
    // has no mark of its own, so its version number (0, 2 or 3) and its name
    // must agree.
    if (head.size() >= 512) {
        const QString suffix = QFileInfo(input.path()).suffix().toLower();
        const bool macBinary = p[0] == 0 && p[1] >= 1 && p[1] <= 63 && at(head, 65, "PNTG");
        const bool bare = (suffix == QLatin1String("mac") || suffix == QLatin1String("pntg")) &&
                          p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] <= 3;
        if (macBinary || bare) {
            return Sniffed{format::kMacPaint, 1, "MAC"};
        }
    }
    return sniffTga(head, input.size(), input.path(), input);
}

int infoOf(Input& input, FileInfo* info) {
    if (input.status() != kSuccess) {
        return input.status();
    }
    if (input.size() == 0) {
        return kErrorInvalidFormat;
    }
    const std::optional<Sniffed> found = sniff(input);
    if (!found) {
        return kErrorInvalidFormat;
    }
    int status = kErrorInvalidFormat;
    switch (found->format) {
        case format::kJpeg:
            status = jpegInfo(input, info);
            break;
        case format::kPng:
            status = pngInfo(input, info);
            break;
        case format::kGif:
            status = gifInfo(input, info);
            break;
        case format::kTiff:
            status = tiffInfo(input, info);
            break;
        case format::kEps:
            status = epsInfo(input, info);
            break;
        default:
            if (found->qt) {
                status = os2BitmapInfo(input, found->depth, info);
            } else if (found->own) {
                status = ownCodecInfo(*found->own, input, info);
            } else {
                status = magickInfo(input, found->magick, info);
                info->format = found->format;
                if (found->depth != 0) {
                    info->bitsPerPixel = found->depth;
                    info->sizeMemory = paddedImageBytes(info->width, info->height, found->depth);
                }
                if (found->format == format::kDicomGrey && info->bitsPerPixel > 8) {
                    info->format = format::kDicomColour;
                }
            }
            break;
    }
    return status;
}

int loadOf(Input& input, const LoadRequest& request, ImageHandle* handle) {
    if (input.status() != kSuccess) {
        return input.status();
    }
    if (input.size() == 0) {
        return kErrorInvalidFormat;
    }
    const std::optional<Sniffed> found = sniff(input);
    if (!found) {
        return kErrorInvalidFormat;
    }
    ImageHandle loaded;
    int status = kErrorInvalidFormat;
    switch (found->format) {
        case format::kJpeg:
            status = jpegLoad(input, request, &loaded);
            break;
        case format::kPng:
            status = pngLoad(input, request, &loaded);
            break;
        case format::kGif:
            status = gifLoad(input, request, &loaded);
            break;
        case format::kTiff:
            status = tiffLoad(input, request, &loaded);
            break;
        case format::kEps:
            status = epsLoad(input, request, &loaded);
            break;
        default:
            if (found->qt) {
                status = qtLoad(input, "BMP", found->depth, request, &loaded);
            } else if (found->own) {
                status = ownCodecLoad(*found->own, input, request, &loaded);
            } else {
                status = magickLoad(input, found->magick, request, &loaded, found->depth);
            }
            break;
    }
    if (status == kSuccess) {
        // The caller's handle changes only when the whole load succeeded.
        *handle = std::move(loaded);
    }
    return status;
}

/// The depth ImageMagick's writer keeps for an asked one. Where it cannot
/// write a depth it writes another (or, for 8-bit Photoshop files, one it
/// cannot read back), so such pictures go out at the next depth it writes
/// faithfully; the pixels stay the same.
int magickWriterDepth(int format, int depth) {
    switch (format) {
        case format::kPict:
            return std::max(depth, 24);
        case format::kPhotoshop:
            return depth == 8 ? 24 : depth;
        case format::kTga:
            return depth == 16 ? 24 : depth;
        case format::kSunRaster:
            return depth == 1 ? 24 : depth == 4 ? 8 : depth;
        default:
            return depth;
    }
}

/// Saves through ImageMagick at the asked depth's colours, written at the
/// depth its writer keeps.
int magickSaveAt(const ImageHandle& handle, int format, const char* magick, int bitsPerPixel,
                 int qualityFactor, QByteArray* out) {
    const int writerDepth = magickWriterDepth(format, bitsPerPixel);
    if (writerDepth == bitsPerPixel) {
        return magickSave(handle, magick, bitsPerPixel, qualityFactor, out);
    }
    ImageHandle reduced;
    if (const int status = imageAtDepth(handle, bitsPerPixel, &reduced); status != kSuccess) {
        return status;
    }
    return magickSave(reduced, magick, writerDepth, qualityFactor, out);
}

int encode(const ImageHandle& handle, int format, int bitsPerPixel, int qualityFactor,
           QByteArray* out) {
    if (!handle.isAllocated()) {
        return kErrorInvalidParameter;
    }
    SaveRequest request;
    request.format = format;
    request.bitsPerPixel = bitsPerPixel != 0 ? bitsPerPixel : handle.bitsPerPixel;
    request.qualityFactor = qualityFactor;
    request.options = defaultFileOptions();
    switch (format) {
        case format::kJpeg:
        case format::kExifJpeg:
            return jpegSave(handle, request, out);
        case format::kTiff:
        case format::kTiffPackBits:
        case format::kTiffLzw:
        case format::kJtif:
        case format::kCcittGroup3OneD:
        case format::kCcittGroup3TwoD:
        case format::kCcittGroup4:
        case format::kExif:
        case format::kExifYcc:
            return tiffSave(handle, request, out);
        case format::kGif:
            return gifSave(handle, request, out);
        case format::kPng:
            return pngSave(handle, request, out);
        case format::kEps:
            return epsSave(handle, request, out);
        case format::kBmp:
            if (request.bitsPerPixel == 16) {
                return magickSave(forFiveBitWriter(handle), "BMP", 24, qualityFactor, out, "None",
                                  {QStringLiteral("bmp:subtype=RGB555")});
            }
            return magickSave(handle, request.bitsPerPixel == 32 ? "BMP" : "BMP3",
                              request.bitsPerPixel, qualityFactor, out, "None");
        case format::kBmpRle:
            // Run-length BMPs are written at 8 bits (RLE8), the one run-length
            // form the library writes.
            return magickSave(handle, "BMP3", 8, qualityFactor, out, "RLE");
        case format::kOs2Bmp:
            return magickSave(handle, "BMP2",
                              request.bitsPerPixel == 16 || request.bitsPerPixel == 32
                                  ? 24
                                  : request.bitsPerPixel,
                              qualityFactor, out);
        case format::kPcx:
            if (request.bitsPerPixel == 1 || request.bitsPerPixel == 4) {
                return ownCodecSave(*ownCodecForSaving(format)->codec, handle, request, out);
            }
            return magickSave(handle, "PCX", request.bitsPerPixel, qualityFactor, out);
        case format::kTga:
            return magickSaveAt(handle, format, "TGA", request.bitsPerPixel, qualityFactor, out);
        case format::kPhotoshop:
            return magickSaveAt(handle, format, "PSD", request.bitsPerPixel, qualityFactor, out);
        case format::kIcon:
            if (request.bitsPerPixel == 1 || request.bitsPerPixel == 24) {
                return ownCodecSave(*ownCodecForSaving(format)->codec, handle, request, out);
            }
            return magickSave(handle, "ICO", request.bitsPerPixel, qualityFactor, out);
        case format::kSunRaster:
            return magickSaveAt(handle, format, "SUN", request.bitsPerPixel, qualityFactor, out);
        case format::kPict:
            return magickSaveAt(handle, format, "PICT", request.bitsPerPixel, qualityFactor, out);
        case format::kCals:
            return magickSave(handle, "CALS", 1, qualityFactor, out);
        case format::kPhotoCd:
            return magickSave(handle, "PCD", 24, qualityFactor, out);
        default: {
            if (const OwnCodecEntry* own = ownCodecForSaving(format)) {
                return ownCodecSave(*own->codec, handle, request, out);
            }
            return kErrorInvalidFormat;
        }
    }
}

/// Who reads and who writes each format code here. ImageMagick's entries
/// name its coder, which the system's security policy may still forbid.
struct Backend {
    int format;
    const char* reader;
    const char* writer;
    const char* magick = nullptr;
};

constexpr const char* kTurboJpeg = "libjpeg-turbo";
constexpr const char* kLibTiff = "libtiff";
constexpr const char* kGiflib = "giflib";
constexpr const char* kLibPng = "libpng";
constexpr const char* kMagick = "ImageMagick";
constexpr const char* kOwn = "Pixoria";

constexpr Backend kBackends[] = {
    {format::kJpeg, kTurboJpeg, kTurboJpeg},
    {format::kExifJpeg, kTurboJpeg, kTurboJpeg},
    {format::kTiff, kLibTiff, kLibTiff},
    {format::kJtif, kLibTiff, kLibTiff},
    {format::kTiffLzw, kLibTiff, kLibTiff},
    {format::kCcitt, kLibTiff, nullptr},
    {format::kCcittGroup3OneD, kLibTiff, kLibTiff},
    {format::kCcittGroup3TwoD, kLibTiff, kLibTiff},
    {format::kCcittGroup4, kLibTiff, kLibTiff},
    {format::kTiffCmyk, kLibTiff, nullptr},
    {format::kTiffLzwCmyk, kLibTiff, nullptr},
    {format::kTiffPackBits, kLibTiff, kLibTiff},
    {format::kTiffPackBitsCmyk, kLibTiff, nullptr},
    {format::kTiffYcc, kLibTiff, nullptr},
    {format::kTiffLzwYcc, kLibTiff, nullptr},
    {format::kTiffPackBitsYcc, kLibTiff, nullptr},
    {format::kExif, kLibTiff, kLibTiff},
    {format::kExifYcc, kLibTiff, kLibTiff},
    {format::kGif, kGiflib, kGiflib},
    {format::kPng, kLibPng, kLibPng},
    {format::kEps, "Ghostscript", kOwn},
    {format::kMsp, kOwn, kOwn},
    {format::kGem, kOwn, kOwn},
    {format::kMacPaint, kMagick, kOwn, "MAC"},
    {format::kWpg, kMagick, kOwn, "WPG"},
    {format::kWmf, kMagick, kOwn, "WMF"},
    {format::kBmp, kMagick, kMagick, "BMP"},
    {format::kBmpRle, kMagick, kMagick, "BMP"},
    {format::kOs2Bmp, kMagick, kMagick, "BMP"},
    {format::kOs2Bmp2, "Qt", kOwn},
    {format::kPcx, kMagick, kMagick, "PCX"},
    {format::kTga, kMagick, kMagick, "TGA"},
    {format::kPhotoshop, kMagick, kMagick, "PSD"},
    {format::kIcon, kMagick, kMagick, "ICO"},
    {format::kCursor, kMagick, kOwn, "CUR"},
    {format::kDicomGrey, kMagick, nullptr, "DCM"},
    {format::kDicomColour, kMagick, nullptr, "DCM"},
    {format::kPhotoCd, kMagick, kMagick, "PCD"},
    {format::kSunRaster, kMagick, kMagick, "SUN"},
    {format::kPict, kMagick, kMagick, "PICT"},
    {format::kCals, kMagick, kMagick, "CALS"},
};

const Backend* backendOf(int format) {
    for (const Backend& backend : kBackends) {
        if (backend.format == format) {
            return &backend;
        }
    }
    return nullptr;
}

const char* available(const Backend* backend, bool forSaving) {
    if (!backend) {
        return nullptr;
    }
    const char* library = forSaving ? backend->writer : backend->reader;
    if (!library) {
        return nullptr;
    }
    if (library == kMagick && backend->magick) {
        const bool allowed =
            forSaving ? magickCanWrite(backend->magick) : magickCanRead(backend->magick);
        return allowed ? library : nullptr;
    }
    if (!forSaving && backend->format == format::kEps && !ghostscriptAvailable()) {
        return nullptr;
    }
    return library;
}

}  // namespace

bool canSave(int format) {
    return available(backendOf(format), true) != nullptr;
}

bool canLoad(int format) {
    return available(backendOf(format), false) != nullptr;
}

QString backendName(int format, bool forSaving) {
    const char* library = available(backendOf(format), forSaving);
    return library ? QString::fromLatin1(library) : QString();
}

int fileInfo(const QString& path, FileInfo* info) {
    Input input = Input::fromFile(path);
    FileInfo result;
    const int status = infoOf(input, &result);
    if (status == kSuccess) {
        *info = result;
    }
    return status;
}

int fileInfoMemory(QByteArrayView data, FileInfo* info) {
    Input input = Input::fromMemory(data);
    FileInfo result;
    const int status = infoOf(input, &result);
    if (status == kSuccess) {
        *info = result;
    }
    return status;
}

int loadFile(const QString& path, ImageHandle* handle, int bitsPerPixel) {
    Input input = Input::fromFile(path);
    LoadRequest request;
    request.bitsPerPixel = bitsPerPixel;
    request.options = defaultFileOptions();
    return loadOf(input, request, handle);
}

int loadMemory(QByteArrayView data, ImageHandle* handle, int bitsPerPixel) {
    Input input = Input::fromMemory(data);
    LoadRequest request;
    request.bitsPerPixel = bitsPerPixel;
    request.options = defaultFileOptions();
    return loadOf(input, request, handle);
}

int loadFileScaled(const QString& path, QSize bound, ImageHandle* handle) {
    if (!bound.isValid() || bound.isEmpty()) {
        return kErrorInvalidParameter;
    }
    Input input = Input::fromFile(path);
    LoadRequest request;
    request.bound = bound;
    request.options = defaultFileOptions();
    return loadOf(input, request, handle);
}

int loadMemoryScaled(QByteArrayView data, QSize bound, ImageHandle* handle) {
    if (!bound.isValid() || bound.isEmpty()) {
        return kErrorInvalidParameter;
    }
    Input input = Input::fromMemory(data);
    LoadRequest request;
    request.bound = bound;
    request.options = defaultFileOptions();
    return loadOf(input, request, handle);
}

int saveMemory(QByteArray* data, const ImageHandle& handle, int format, int bitsPerPixel,
               int qualityFactor) {
    QByteArray bytes;
    const int status = encode(handle, format, bitsPerPixel, qualityFactor, &bytes);
    if (status == kSuccess) {
        *data = std::move(bytes);
    }
    return status;
}

int saveFile(const QString& path, const ImageHandle& handle, int format, int bitsPerPixel,
             int qualityFactor) {
    if (path.isEmpty() || QFileInfo(path).isDir()) {
        return kErrorInvalidFileName;
    }
    QByteArray bytes;
    if (const int status = encode(handle, format, bitsPerPixel, qualityFactor, &bytes);
        status != kSuccess) {
        return status;
    }
    return writeFileAtomically(path, bytes) ? kSuccess : kErrorFileWrite;
}

int flashPixResolutions(const QString&, QList<QSize>* sizes) {
    // No library on this system reads FlashPix.
    sizes->clear();
    return kErrorInvalidFormat;
}

void setFlashPixResolution(int) {}

}  // namespace imaging
