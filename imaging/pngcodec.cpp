#include "imaging/pngcodec.h"

#include "imaging/colourreduction.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"

#include <png.h>

#include <QtEndian>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace imaging::detail {

namespace {

constexpr uchar kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

/// What went wrong inside libpng, for the result code.
struct PngState {
    Input* input = nullptr;  // read from as libpng asks, never held whole
    qint64 position = 0;
    bool crcError = false;
    bool truncated = false;
    QByteArray* out = nullptr;
};

// libpng leaves this function by longjmp: nothing here may own memory.
void onError(png_structp png, png_const_charp message) {
    auto* state = static_cast<PngState*>(png_get_error_ptr(png));
    if (message && std::strstr(message, "CRC")) {
        state->crcError = true;
    }
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void readData(png_structp png, png_bytep out, png_size_t length) {
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    const qint64 got = state->input->readAt(state->position, reinterpret_cast<char*>(out),
                                            static_cast<qint64>(length));
    if (got != qint64(length)) {
        state->truncated = true;
        png_error(png, "read past the end of the data");
    }
    state->position += got;
}

void writeData(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    state->out->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void flushData(png_structp) {}

/// The depth an image of this colour type and bit depth loads at.
int depthOf(int colourType, int bitDepth) {
    switch (colourType) {
        case PNG_COLOR_TYPE_PALETTE:
        case PNG_COLOR_TYPE_GRAY:
            return bitDepth == 1 ? 1 : bitDepth <= 4 ? 4 : 8;
        case PNG_COLOR_TYPE_RGB:
            return 24;
        default:
            return 32;  // grey or colour with alpha
    }
}

int resultOf(const PngState& state) {
    if (state.crcError) {
        return kErrorCrc;
    }
    return state.truncated ? kErrorFileRead : kErrorInvalidFormat;
}

}  // namespace

bool isPng(QByteArrayView head) {
    return head.size() >= 8 && std::memcmp(head.data(), kSignature, 8) == 0;
}

int pngInfo(Input& input, FileInfo* info) {
    const QByteArrayView head = input.head(33);
    const auto* p = reinterpret_cast<const uchar*>(head.data());
    if (!isPng(head) || head.size() < 33 || std::memcmp(p + 12, "IHDR", 4) != 0) {
        return kErrorInvalidFormat;
    }
    const quint32 width = qFromBigEndian<quint32>(p + 16);
    const quint32 height = qFromBigEndian<quint32>(p + 20);
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
        return kErrorInvalidFormat;
    }
    info->format = format::kPng;
    info->width = static_cast<int>(std::min<quint32>(width, INT_MAX));
    info->height = static_cast<int>(std::min<quint32>(height, INT_MAX));
    info->bitsPerPixel = depthOf(p[25], p[24]);
    info->pages = 1;
    info->compression = p[28] ? QStringLiteral("Deflate, interlaced") : QStringLiteral("Deflate");
    info->sizeDisk = input.size();
    info->sizeMemory = paddedImageBytes(info->width, info->height, info->bitsPerPixel);
    return kSuccess;
}

namespace {

/// Decodes into `image` at the file's own depth (`depth`). Kept apart so
/// that everything living across libpng's setjmp is reached through
/// pointers and owned by the caller.
int decode(PngState* state, QImage* image, int* depth) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, state, onError, onWarning);
    if (!png) {
        return kErrorNoMemory;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return kErrorNoMemory;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return resultOf(*state);
    }
    png_set_read_fn(png, state, readData);
    png_set_user_limits(png, kMaxDimension, kMaxDimension);
    png_set_chunk_malloc_max(png, 64 * 1024 * 1024);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    if (checkDimensions(width, height) != kSuccess) {
        png_destroy_read_struct(&png, &info, nullptr);
        return kErrorNoMemory;
    }
    *depth = depthOf(colourType, bitDepth);
    QImage::Format format = QImage::Format_Indexed8;
    if (bitDepth == 16) {
        png_set_strip_16(png);
    }
    if (colourType == PNG_COLOR_TYPE_RGB) {
        format = QImage::Format_RGB888;
    } else if (colourType != PNG_COLOR_TYPE_PALETTE && colourType != PNG_COLOR_TYPE_GRAY) {
        // Grey or colour with alpha: BGRA bytes, which is ARGB32 in memory.
        if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
            png_set_gray_to_rgb(png);
        }
        png_set_bgr(png);
        format = QImage::Format_ARGB32;
    } else if (bitDepth < 8) {
        png_set_packing(png);  // one byte per pixel, values kept
    }
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    *image = newImage(static_cast<int>(width), static_cast<int>(height), format);
    if (image->isNull()) {
        png_destroy_read_struct(&png, &info, nullptr);
        return kErrorNoMemory;
    }
    if (format == QImage::Format_Indexed8) {
        const int entries = 1 << std::min(bitDepth, 8);
        QList<QRgb> palette;
        if (colourType == PNG_COLOR_TYPE_PALETTE) {
            png_colorp colours = nullptr;
            int count = 0;
            png_get_PLTE(png, info, &colours, &count);
            for (int i = 0; i < count; ++i) {
                palette.append(qRgb(colours[i].red, colours[i].green, colours[i].blue));
            }
            // Indices past the palette show black rather than reading past it.
            while (palette.size() < entries) {
                palette.append(qRgb(0, 0, 0));
            }
        } else {
            for (int i = 0; i < entries; ++i) {
                const int level = i * 255 / (entries - 1);
                palette.append(qRgb(level, level, level));
            }
        }
        image->setColorTable(palette);
    }
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            if ((y & 255) == 0 && !reportStatus(static_cast<int>((qint64(pass) * height + y) * 100 /
                                                                 (qint64(passes) * height)))) {
                png_destroy_read_struct(&png, &info, nullptr);
                return kErrorUserAbort;
            }
            png_read_row(png, image->scanLine(static_cast<int>(y)), nullptr);
        }
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return kSuccess;
}

int encodeRows(const QImage& pixels, int depth, PngState* state, std::vector<png_color>* colours) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state, onError, onWarning);
    if (!png) {
        return kErrorNoMemory;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return kErrorNoMemory;
    }
    png_set_write_fn(png, state, writeData, flushData);
    const int width = pixels.width();
    const int height = pixels.height();
    int colourType = PNG_COLOR_TYPE_PALETTE;
    int bitDepth = depth == 1 ? 1 : depth == 4 ? 4 : 8;
    if (depth == 24) {
        colourType = PNG_COLOR_TYPE_RGB;
    } else if (depth == 32) {
        colourType = PNG_COLOR_TYPE_RGB_ALPHA;
        bitDepth = 8;
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                 bitDepth, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        colours->clear();
        for (QRgb colour : pixels.colorTable()) {
            colours->push_back({static_cast<png_byte>(qRed(colour)),
                                static_cast<png_byte>(qGreen(colour)),
                                static_cast<png_byte>(qBlue(colour))});
        }
        png_set_PLTE(png, info, colours->data(), static_cast<int>(colours->size()));
        // Palette pictures compress best unfiltered.
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    } else {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    }
    // zlib's level 3 with the Sub filter makes photographs about as small as
    // its default level 6 does, in a third of the time.
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    if (bitDepth < 8) {
        png_set_packing(png);
    }
    if (depth == 32) {
        png_set_bgr(png);
    }
    for (int y = 0; y < height; ++y) {
        if ((y & 255) == 0 && !reportStatus(y * 100 / height)) {
            png_destroy_write_struct(&png, &info);
            return kErrorUserAbort;
        }
        png_write_row(png, const_cast<png_bytep>(pixels.constScanLine(y)));
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return kSuccess;
}

/// Writes `pixels` (Indexed8 for the palette depths) through libpng into
/// the state's output. Everything living across setjmp belongs to the caller.
int encode(const QImage& pixels, int depth, PngState* state) {
    std::vector<png_color> palette;
    return encodeRows(pixels, depth, state, &palette);
}

}  // namespace

int pngLoad(Input& input, const LoadRequest& request, ImageHandle* handle) {
    PngState state;
    state.input = &input;
    if (!isPng(input.head(8))) {
        return kErrorInvalidFormat;
    }
    QImage image;
    int depth = 0;
    if (const int status = decode(&state, &image, &depth); status != kSuccess) {
        return status;
    }
    if (depth == 1) {
        image = packMono(image);
    }
    return finishLoad(std::move(image), depth, request, handle);
}

int pngSave(const ImageHandle& source, const SaveRequest& request, QByteArray* out) {
    int depth = request.bitsPerPixel == 0 ? source.bitsPerPixel : request.bitsPerPixel;
    if (depth == 16) {
        depth = 24;
    }
    ImageHandle image;
    if (const int status = imageAtDepth(source, depth, &image); status != kSuccess) {
        return status;
    }
    QImage pixels = image.image;
    if (depth == 1) {
        pixels = pixels.convertToFormat(QImage::Format_Indexed8, pixels.colorTable());
    }
    QByteArray bytes;
    PngState state;
    state.out = &bytes;
    if (const int status = encode(pixels, depth, &state); status != kSuccess) {
        return status;
    }
    *out = std::move(bytes);
    return kSuccess;
}

}  // namespace imaging::detail
