#include "imaging/gifcodec.h"

#include "imaging/colourreduction.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace imaging::detail {

namespace {

struct MemoryReader {
    QByteArrayView data;
    qint64 position = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const qint64 count = std::min<qint64>(length, reader->data.size() - reader->position);
    if (count <= 0) {
        return 0;
    }
    std::memcpy(buffer, reader->data.data() + reader->position, static_cast<size_t>(count));
    reader->position += count;
    return static_cast<int>(count);
}

int writeToMemory(GifFileType* gif, const GifByteType* buffer, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(buffer), length);
    return length;
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

/// The facts of a GIF gathered by walking its blocks without decoding.
struct GifLayout {
    int width = 0;
    int height = 0;
    int colourBits = 0;  // of the global colour table, 0 when there is none
    int pages = 0;
    qint64 framePixels = 0;  // all frames together
    bool valid = false;
};

/// Walks the block structure, checking every length against the data.
GifLayout walk(QByteArrayView data) {
    GifLayout layout;
    const auto* p = reinterpret_cast<const uchar*>(data.data());
    const qint64 size = data.size();
    if (size < 13) {
        return layout;
    }
    layout.width = p[6] | (p[7] << 8);
    layout.height = p[8] | (p[9] << 8);
    qint64 pos = 13;
    if (p[10] & 0x80) {
        layout.colourBits = (p[10] & 7) + 1;
        pos += 3LL << layout.colourBits;
    }
    const auto skipSubBlocks = [&]() {
        while (pos < size) {
            const int length = p[pos++];
            if (length == 0) {
                return true;
            }
            pos += length;
        }
        return false;
    };
    while (pos < size) {
        const uchar block = p[pos++];
        if (block == 0x3B) {  // trailer
            layout.valid = layout.pages > 0;
            return layout;
        }
        if (block == 0x21) {  // extension
            if (pos >= size) {
                return layout;
            }
            ++pos;
            if (!skipSubBlocks()) {
                return layout;
            }
        } else if (block == 0x2C) {  // image
            if (pos + 9 > size) {
                return layout;
            }
            const uchar flags = p[pos + 8];
            const qint64 frameWidth = p[pos + 4] | (p[pos + 5] << 8);
            const qint64 frameHeight = p[pos + 6] | (p[pos + 7] << 8);
            layout.framePixels += frameWidth * frameHeight;
            if (layout.colourBits == 0 && (flags & 0x80)) {
                layout.colourBits = (flags & 7) + 1;
            }
            pos += 9;
            if (flags & 0x80) {
                pos += 3LL << ((flags & 7) + 1);
            }
            ++pos;  // LZW minimum code size
            if (!skipSubBlocks()) {
                return layout;
            }
            ++layout.pages;
        } else {
            break;
        }
    }
    // Files without a trailer are common; their whole pages still count.
    layout.valid = layout.pages > 0;
    return layout;
}

int depthForColours(int colourBits) {
    return colourBits <= 1 ? 1 : colourBits <= 4 ? 4 : 8;
}

}  // namespace

bool isGif(QByteArrayView head) {
    return head.size() >= 6 && (head.first(6) == "GIF87a" || head.first(6) == "GIF89a");
}

int gifInfo(Input& input, FileInfo* info) {
    const GifLayout layout = walk(input.all());
    if (!layout.valid || layout.width == 0 || layout.height == 0) {
        return kErrorInvalidFormat;
    }
    info->format = format::kGif;
    info->width = layout.width;
    info->height = layout.height;
    info->bitsPerPixel = depthForColours(layout.colourBits);
    info->pages = layout.pages;
    info->compression = QStringLiteral("LZW");
    info->sizeDisk = input.size();
    info->sizeMemory = paddedImageBytes(info->width, info->height, info->bitsPerPixel);
    return kSuccess;
}

int gifLoad(Input& input, const LoadRequest& request, ImageHandle* handle) {
    const QByteArrayView data = input.all();
    const GifLayout layout = walk(data);
    if (!layout.valid) {
        return kErrorInvalidFormat;
    }
    if (const int check = checkDimensions(layout.width, layout.height); check != kSuccess) {
        return check;
    }
    // giflib holds every frame in memory at the size its header says; refuse
    // absurd files before it allocates.
    if (layout.framePixels > kMaxPixels) {
        return kErrorNoMemory;
    }
    MemoryReader reader{data};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&reader, readFromMemory, &error));
    if (!gif) {
        return kErrorInvalidFormat;
    }
    if (!reportStatus(0)) {
        return kErrorUserAbort;
    }
    // Every frame was checked against the data above; giflib checks each
    // frame's size against the screen.
    if (DGifSlurp(gif.get()) != GIF_OK && gif->ImageCount == 0) {
        return gif->Error == D_GIF_ERR_NOT_ENOUGH_MEM ? kErrorNoMemory : kErrorFileRead;
    }
    const int page = std::clamp(request.options.page, 0, gif->ImageCount - 1);
    const SavedImage& frame = gif->SavedImages[page];
    const ColorMapObject* map =
        frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
    if (!map || !frame.RasterBits) {
        return kErrorFileRead;
    }
    QList<QRgb> palette;
    for (int i = 0; i < map->ColorCount; ++i) {
        palette.append(qRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue));
    }
    QImage image(gif->SWidth, gif->SHeight, QImage::Format_Indexed8);
    if (image.isNull()) {
        return kErrorNoMemory;
    }
    image.setColorTable(palette);
    image.fill(static_cast<uint>(std::clamp(gif->SBackGroundColor, 0, map->ColorCount - 1)));
    const GifImageDesc& desc = frame.ImageDesc;
    for (int y = 0; y < desc.Height; ++y) {
        const int targetY = desc.Top + y;
        if (targetY < 0 || targetY >= image.height()) {
            continue;
        }
        uchar* dst = image.scanLine(targetY);
        const GifByteType* src = frame.RasterBits + qint64(y) * desc.Width;
        for (int x = 0; x < desc.Width; ++x) {
            const int targetX = desc.Left + x;
            if (targetX >= 0 && targetX < image.width()) {
                dst[targetX] = static_cast<uchar>(std::min<int>(src[x], map->ColorCount - 1));
            }
        }
    }
    const int depth = depthForColours(map->BitsPerPixel);
    if (depth == 1) {
        image = packMono(image);
    }
    return finishLoad(std::move(image), depth, request, handle);
}

int gifSave(const ImageHandle& source, const SaveRequest& request, QByteArray* out) {
    int depth = request.bitsPerPixel == 0 ? source.bitsPerPixel : request.bitsPerPixel;
    depth = std::min(depth, 8);
    ImageHandle image;
    if (const int status = imageAtDepth(source, depth, &image); status != kSuccess) {
        return status;
    }
    QImage indexed =
        image.image.format() == QImage::Format_Mono
            ? image.image.convertToFormat(QImage::Format_Indexed8, image.image.colorTable())
            : image.image;
    const QList<QRgb> palette = indexed.colorTable();
    int colourBits = 1;
    while ((1 << colourBits) < palette.size()) {
        ++colourBits;
    }
    std::vector<GifColorType> colours(1u << colourBits);
    for (int i = 0; i < palette.size(); ++i) {
        colours[i] = {static_cast<GifByteType>(qRed(palette[i])),
                      static_cast<GifByteType>(qGreen(palette[i])),
                      static_cast<GifByteType>(qBlue(palette[i]))};
    }
    ColorMapObject* map = GifMakeMapObject(1 << colourBits, colours.data());
    if (!map) {
        return kErrorNoMemory;
    }
    QByteArray bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, writeToMemory, &error);
    if (!gif) {
        GifFreeMapObject(map);
        return kErrorNoMemory;
    }
    const bool interlaced = (request.options.flags & kOptionInterlaced) != 0;
    const int width = indexed.width();
    const int height = indexed.height();
    bool ok = EGifPutScreenDesc(gif, width, height, colourBits, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, interlaced, nullptr) == GIF_OK;
    GifFreeMapObject(map);
    // Interlaced files carry the rows in four passes.
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    const int passes = interlaced ? 4 : 1;
    for (int pass = 0; ok && pass < passes; ++pass) {
        const int start = interlaced ? kStart[pass] : 0;
        const int step = interlaced ? kStep[pass] : 1;
        for (int y = start; ok && y < height; y += step) {
            ok = EGifPutLine(gif, const_cast<GifPixelType*>(indexed.constScanLine(y)), width) ==
                 GIF_OK;
        }
    }
    if (EGifCloseFile(gif, &error) != GIF_OK) {
        ok = false;
    }
    if (!ok) {
        return kErrorNoMemory;
    }
    *out = std::move(bytes);
    return kSuccess;
}

}  // namespace imaging::detail
