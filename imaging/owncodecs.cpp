#include "imaging/owncodecs.h"

#include "imaging/codecs/clp.h"
#include "imaging/codecs/gemimg.h"
#include "imaging/codecs/icocur.h"
#include "imaging/codecs/ilbm.h"
#include "imaging/codecs/macpaint.h"
#include "imaging/codecs/msp.h"
#include "imaging/codecs/os2bmp.h"
#include "imaging/codecs/pcx.h"
#include "imaging/codecs/wmf.h"
#include "imaging/codecs/wpg.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"

#include <QFileInfo>

namespace imaging::detail {

namespace {

const OwnCodecEntry kMsp{format::kMsp, &mspCodec()};
const OwnCodecEntry kGem{format::kGem, &gemimgCodec()};
const OwnCodecEntry kMacPaint{format::kMacPaint, &macpaintCodec()};
const OwnCodecEntry kWpg{format::kWpg, &wpgCodec()};
const OwnCodecEntry kWmf{format::kWmf, &wmfCodec()};
const OwnCodecEntry kCursor{format::kCursor, &curCodec()};
const OwnCodecEntry kOs2Bmp2{format::kOs2Bmp2, &os2Bmp2Codec()};
// Variants ImageMagick writes at other depths than asked: 1- and 4-bit PCX,
// 1-bit icons. The dispatcher sends only those here.
const OwnCodecEntry kPcx{format::kPcx, &pcxCodec()};
const OwnCodecEntry kIcon{format::kIcon, &icoCodec()};
const OwnCodecEntry kIlbm{second::kIffAmiga, &ilbmCodec()};
const OwnCodecEntry kClp{second::kWindowsClipboard, &clpCodec()};

constexpr qint64 kProbeBytes = 512;

}  // namespace

std::optional<OwnCodecEntry> ownCodecFor(QByteArrayView head, const QString& path) {
    const QByteArrayView probe = head.first(std::min<qint64>(head.size(), kProbeBytes));
    if (kMsp.codec->probe(probe)) {
        return kMsp;
    }
    // A GEM header is a handful of small numbers; many files could pass for
    // one, so the name must agree.
    if (QFileInfo(path).suffix().compare(QLatin1String("img"), Qt::CaseInsensitive) == 0 &&
        kGem.codec->probe(probe)) {
        return kGem;
    }
    return std::nullopt;
}

const OwnCodecEntry* ownCodecForSaving(int format) {
    for (const OwnCodecEntry* entry :
         {&kMsp, &kGem, &kMacPaint, &kWpg, &kWmf, &kCursor, &kOs2Bmp2, &kPcx, &kIcon}) {
        if (entry->format == format && entry->codec->encode) {
            return entry;
        }
    }
    return nullptr;
}

std::optional<OwnCodecEntry> ownSecondCodecFor(QByteArrayView head) {
    const QByteArrayView probe = head.first(std::min<qint64>(head.size(), kProbeBytes));
    for (const OwnCodecEntry* entry : {&kIlbm, &kClp}) {
        if (entry->codec->probe(probe)) {
            return *entry;
        }
    }
    return std::nullopt;
}

const OwnCodecEntry* ownSecondCodecForSaving(int secondFormat) {
    return secondFormat == second::kIffAmiga ? &kIlbm : nullptr;
}

int ownCodecInfo(const OwnCodec& codec, Input& input, FileInfo* info) {
    const QByteArrayView data = input.all();
    OwnCodecInfo own;
    if (const int status = codec.readInfo(data, &own); status != kSuccess) {
        return status;
    }
    const auto* entry = [&]() -> const OwnCodecEntry* {
        for (const OwnCodecEntry* e : {&kMsp, &kGem, &kMacPaint, &kWpg, &kWmf, &kIlbm, &kClp}) {
            if (e->codec == &codec) {
                return e;
            }
        }
        return nullptr;
    }();
    info->format = entry ? entry->format : 0;
    info->width = own.width;
    info->height = own.height;
    info->bitsPerPixel = own.bitsPerPixel;
    info->pages = own.pages;
    info->compression = own.compression;
    info->sizeDisk = input.size();
    info->sizeMemory = paddedImageBytes(own.width, own.height, own.bitsPerPixel);
    return kSuccess;
}

int ownCodecLoad(const OwnCodec& codec, Input& input, const LoadRequest& request,
                 ImageHandle* handle) {
    if (!reportStatus(0)) {
        return kErrorUserAbort;
    }
    OwnDecoded decoded;
    if (const int status = codec.decode(input.all(), &decoded); status != kSuccess) {
        return status;
    }
    return finishLoad(std::move(decoded.image), decoded.bitsPerPixel, request, handle);
}

int ownCodecSave(const OwnCodec& codec, const ImageHandle& source, const SaveRequest& request,
                 QByteArray* out) {
    if (!codec.encode) {
        return kErrorInvalidFormat;
    }
    ImageHandle image;
    if (const int status = imageAtDepth(source, request.bitsPerPixel, &image); status != kSuccess) {
        return status;
    }
    // Pictures that carry a printed size (metafiles) are given the record's
    // resolution, the one they are drawn at when loaded again, so they come
    // back at their own size.
    image.image.setDotsPerMeterX(qRound(request.options.xResolution / 0.0254));
    image.image.setDotsPerMeterY(qRound(request.options.yResolution / 0.0254));
    return codec.encode(image.image, image.bitsPerPixel, out);
}

}  // namespace imaging::detail
