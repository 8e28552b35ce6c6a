#include "imaging/magickcodec.h"

#include "imaging/colourreduction.h"
#include "imaging/errors.h"
#include "imaging/photocd.h"

#include <Magick++.h>

#include <QStringList>

#include <cstring>
#include <mutex>

namespace imaging::detail {

namespace {

void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        // Untrusted input: bound what one picture may take (the system's
        // policy may bound it further), never spill to disk, and keep to one
        // thread per call since callers run their own pool.
        Magick::ResourceLimits::thread(1);
        Magick::ResourceLimits::memory(1024ULL * 1024 * 1024);
        Magick::ResourceLimits::map(1024ULL * 1024 * 1024);
        Magick::ResourceLimits::area(static_cast<MagickCore::MagickSizeType>(kMaxPixels));
        Magick::ResourceLimits::disk(0);
        Magick::ResourceLimits::width(kMaxDimension);
        Magick::ResourceLimits::height(kMaxDimension);
    });
}

int codeOf(const Magick::Exception& error) {
    const std::string text = error.what();
    if (text.find("memory") != std::string::npos ||
        text.find("resource limit") != std::string::npos ||
        text.find("ResourceLimit") != std::string::npos ||
        text.find("width or height exceeds") != std::string::npos) {
        return kErrorNoMemory;
    }
    if (text.find("CorruptImage") != std::string::npos ||
        text.find("unexpected end") != std::string::npos ||
        text.find("UnexpectedEndOfFile") != std::string::npos ||
        text.find("InsufficientImageData") != std::string::npos) {
        return kErrorFileRead;
    }
    if (text.find("NoDecodeDelegate") != std::string::npos ||
        text.find("no decode delegate") != std::string::npos ||
        text.find("security policy") != std::string::npos) {
        return kErrorInvalidFormat;
    }
    return kErrorInvalidFormat;
}

/// Reads the picture (or only its header when `ping`).
int readImage(Input& input, const char* magick, bool ping, Magick::Image* image) {
    initialiseOnce();
    try {
        image->quiet(true);
        if (std::strcmp(magick, "PCD") == 0) {
            // The size asked for picks the PhotoCD resolution: 1 is 192 by
            // 128 (128 by 192 upright), each step doubles it, 3 is the base.
            const int step = photoCdResolution() - 1;
            image->size(Magick::Geometry(static_cast<size_t>(192) << step, static_cast<size_t>(128)
                                                                               << step));
        }
        if (std::strcmp(magick, "WMF") == 0) {
            // Metafiles are drawn at the file-option record's resolution.
            const FileOptions options = defaultFileOptions();
            image->density(Magick::Geometry(static_cast<size_t>(std::max(1, options.xResolution)),
                                            static_cast<size_t>(std::max(1, options.yResolution))));
        }
        if (!input.path().isEmpty()) {
            // Naming the format keeps ImageMagick from guessing another coder
            // from the contents.
            const std::string name = std::string(magick) + ":" + input.path().toStdString();
            ping ? image->ping(name) : image->read(name);
        } else {
            const QByteArrayView data = input.all();
            Magick::Blob blob(data.data(), static_cast<size_t>(data.size()));
            image->magick(magick);
            ping ? image->ping(blob) : image->read(blob);
        }
    } catch (const Magick::Warning&) {
        // A warning still leaves a usable picture.
    } catch (const Magick::Exception& error) {
        // Bytes after the end of a bitmap (an enciphered picture's padding,
        // say) are reported as an error, though the picture is whole.
        const bool trailingBytes =
            std::strstr(error.what(), "length and filesize do not match") != nullptr;
        if (!trailingBytes || image->columns() == 0) {
            return codeOf(error);
        }
    }
    if (image->columns() == 0 || image->rows() == 0) {
        return kErrorInvalidFormat;
    }
    return kSuccess;
}

int depthOf(const Magick::Image& image) {
    if (image.classType() == Magick::PseudoClass && image.colorMapSize() > 0 &&
        image.colorMapSize() <= 256) {
        const size_t colours = image.colorMapSize();
        return colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
    }
    if (image.type() == Magick::BilevelType) {
        return 1;
    }
    if (image.type() == Magick::GrayscaleType) {
        return 8;
    }
    return image.matte() ? 32 : 24;
}

QString compressionName(Magick::CompressionType type) {
    switch (type) {
        case Magick::NoCompression:
        case Magick::UndefinedCompression:
            return QStringLiteral("None");
        case Magick::RLECompression:
            return QStringLiteral("RLE");
        case Magick::JPEGCompression:
            return QStringLiteral("JPEG");
        case Magick::LZWCompression:
            return QStringLiteral("LZW");
        case Magick::ZipCompression:
            return QStringLiteral("Deflate");
        case Magick::FaxCompression:
            return QStringLiteral("CCITT Group 3");
        case Magick::Group4Compression:
            return QStringLiteral("CCITT Group 4");
        default:
            return QStringLiteral("Compressed");
    }
}

/// The picture as a QImage at `depth` (1, 4, 8, 24 or 32; 16 comes as 24).
QImage toQImage(Magick::Image& image, int depth) {
    const int width = static_cast<int>(image.columns());
    const int height = static_cast<int>(image.rows());
    if (depth <= 8 && image.classType() != Magick::PseudoClass) {
        // Some coders give palette files as direct colour (bilevel pictures,
        // icons with their masks as alpha); the palette comes back exactly,
        // as such files hold no more colours than their depth.
        image.matte(false);
        image.type(Magick::PaletteType);
    }
    if (depth <= 8 && image.classType() == Magick::PseudoClass && image.colorMapSize() > 0 &&
        image.colorMapSize() <= 256) {
        QImage out(width, height, QImage::Format_Indexed8);
        if (out.isNull()) {
            return {};
        }
        QList<QRgb> palette;
        for (size_t i = 0; i < image.colorMapSize(); ++i) {
            const Magick::ColorRGB colour = image.colorMap(i);
            palette.append(qRgb(qRound(colour.red() * 255), qRound(colour.green() * 255),
                                qRound(colour.blue() * 255)));
        }
        out.setColorTable(palette);
        for (int y = 0; y < height; ++y) {
            image.getConstPixels(0, y, width, 1);
            const Magick::IndexPacket* indexes = image.getConstIndexes();
            uchar* dst = out.scanLine(y);
            for (int x = 0; x < width; ++x) {
                dst[x] = static_cast<uchar>(std::min<size_t>(indexes[x], palette.size() - 1));
            }
        }
        return depth == 1 ? packMono(out) : out;
    }
    const bool alpha = depth == 32;
    QImage out(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    if (out.isNull()) {
        return {};
    }
    for (int y = 0; y < height; ++y) {
        image.write(0, y, width, 1, alpha ? "BGRA" : "RGB", Magick::CharPixel, out.scanLine(y));
    }
    return out;
}

Magick::Image fromQImage(const QImage& source) {
    const QImage rgba = source.convertToFormat(QImage::Format_ARGB32);
    Magick::Image image(static_cast<size_t>(rgba.width()), static_cast<size_t>(rgba.height()),
                        "BGRA", Magick::CharPixel, rgba.constBits());
    if (!source.hasAlphaChannel()) {
        image.matte(false);
    }
    return image;
}

bool policyAllows(const char* magick, MagickCore::PolicyRights rights) {
    return MagickCore::IsRightsAuthorized(MagickCore::CoderPolicyDomain, rights, magick) !=
           MagickCore::MagickFalse;
}

}  // namespace

bool magickCanRead(const char* magick) {
    initialiseOnce();
    try {
        const Magick::CoderInfo info(magick);
        return info.isReadable() && policyAllows(magick, MagickCore::ReadPolicyRights);
    } catch (const Magick::Exception&) {
        return false;
    }
}

bool magickCanWrite(const char* magick) {
    initialiseOnce();
    try {
        const Magick::CoderInfo info(magick);
        return info.isWritable() && policyAllows(magick, MagickCore::WritePolicyRights);
    } catch (const Magick::Exception&) {
        return false;
    }
}

int magickInfo(Input& input, const char* magick, FileInfo* info) {
    // Small files are read whole: a header alone does not tell every coder's
    // palette, and so the depth. Large ones are only pinged.
    constexpr qint64 kReadWholeBelow = 4 * 1024 * 1024;
    Magick::Image image;
    if (const int status = readImage(input, magick, input.size() >= kReadWholeBelow, &image);
        status != kSuccess) {
        return status;
    }
    try {
        info->width = static_cast<int>(image.columns());
        info->height = static_cast<int>(image.rows());
        info->bitsPerPixel = depthOf(image);
        info->compression = compressionName(image.compressType());
    } catch (const Magick::Exception& error) {
        return codeOf(error);
    }
    info->pages = 1;
    info->sizeDisk = input.size();
    info->sizeMemory = paddedImageBytes(info->width, info->height, info->bitsPerPixel);
    return kSuccess;
}

int magickLoad(Input& input, const char* magick, const LoadRequest& request, ImageHandle* handle,
               int nativeBitsPerPixel) {
    Magick::Image image;
    if (const int status = readImage(input, magick, true, &image); status != kSuccess) {
        return status;
    }
    if (const int check = checkDimensions(image.columns(), image.rows()); check != kSuccess) {
        return check;
    }
    if (!reportStatus(0)) {
        return kErrorUserAbort;
    }
    image = Magick::Image();
    if (const int status = readImage(input, magick, false, &image); status != kSuccess) {
        return status;
    }
    int depth = 0;
    QImage pixels;
    try {
        depth = nativeBitsPerPixel != 0 ? nativeBitsPerPixel : depthOf(image);
        pixels = toQImage(image, depth == 16 ? 24 : depth);
    } catch (const Magick::Exception& error) {
        return codeOf(error);
    }
    if (pixels.isNull()) {
        return kErrorNoMemory;
    }
    if (depth <= 8 && pixels.format() != QImage::Format_Mono &&
        pixels.format() != QImage::Format_Indexed8) {
        depth = 24;  // the coder gave no palette; keep every colour
    }
    return finishLoad(std::move(pixels), depth, request, handle);
}

int magickSave(const ImageHandle& source, const char* magick, int bitsPerPixel, int qualityFactor,
               QByteArray* out, const char* compression, const QStringList& defines) {
    initialiseOnce();
    const int depth = bitsPerPixel == 0 ? source.bitsPerPixel : bitsPerPixel;
    ImageHandle converted;
    if (const int status = imageAtDepth(source, depth, &converted); status != kSuccess) {
        return status;
    }
    try {
        Magick::Image image = fromQImage(converted.image);
        image.magick(magick);
        image.quality(static_cast<size_t>(jpegQuality(qualityFactor)));
        image.depth(8);
        if (depth <= 8) {
            // The colours are already reduced to the depth; the palette type
            // makes the coder write indices at the fewest bits that hold them
            // (a bilevel type would be written as direct colour by some).
            image.type(Magick::PaletteType);
        } else if (depth == 32) {
            image.type(Magick::TrueColorMatteType);
        } else {
            image.type(Magick::TrueColorType);
        }
        if (compression) {
            image.compressType(std::strcmp(compression, "RLE") == 0 ? Magick::RLECompression
                                                                    : Magick::NoCompression);
        }
        for (const QString& define : defines) {
            const QStringList parts = define.split(QLatin1Char('='));
            const QStringList key = parts.value(0).split(QLatin1Char(':'));
            image.defineValue(key.value(0).toStdString(), key.value(1).toStdString(),
                              parts.value(1).toStdString());
        }
        Magick::Blob blob;
        try {
            image.write(&blob);
        } catch (const Magick::Warning&) {
            // Written all the same; a warning is no failure.
        }
        if (blob.length() == 0) {
            return kErrorFileWrite;
        }
        *out = QByteArray(static_cast<const char*>(blob.data()),
                          static_cast<qsizetype>(blob.length()));
    } catch (const Magick::Exception& error) {
        const int code = codeOf(error);
        return code == kErrorInvalidFormat ? kErrorFileWrite : code;
    }
    return kSuccess;
}

}  // namespace imaging::detail
