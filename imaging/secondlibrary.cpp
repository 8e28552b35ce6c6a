#include "imaging/secondlibrary.h"

#include "imaging/codec.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/magickcodec.h"
#include "imaging/owncodecs.h"
#include "imaging/tiffcodec.h"
#include "platform/atomicfile.h"

#include <QFileInfo>
#include <QtEndian>

#include <vector>

namespace imaging::second {

using namespace imaging::detail;

namespace {

thread_local std::vector<Error> t_errors;

/// Records a failure in the error list (with the place it was noticed, as
/// the list reports it) and passes its code on.
int recordFailure(int code, const char* file, int line) {
    t_errors.push_back({code, QFileInfo(QString::fromUtf8(file)).fileName(), line});
    return code;
}
#define fail(code) recordFailure((code), __FILE__, __LINE__)

struct Found {
    int code = 0;
    const char* magick = nullptr;  // read by ImageMagick
    std::optional<OwnCodecEntry> own;
};

Found byMagick(int code, const char* magick) {
    return Found{code, magick, std::nullopt};
}

bool isPnm(QByteArrayView head) {
    return head.size() >= 3 && head[0] == 'P' && head[1] >= '1' && head[1] <= '7' &&
           QByteArrayView(" \t\r\n#").contains(head[2]);
}

Found identify(Input& input) {
    const QByteArrayView head = input.head(512);
    const auto* p = reinterpret_cast<const uchar*>(head.data());
    if (isPnm(head)) {
        switch (head[1]) {
            case '1':
            case '4':
                return byMagick(kPortableBitmap, "PBM");
            case '2':
            case '5':
                return byMagick(kPortableGraymap, "PGM");
            case '7':
                return byMagick(kPortableAnymap, "PAM");
            default:
                return byMagick(kPortablePixmap, "PPM");
        }
    }
    if (head.size() >= 4 && p[0] == 0x01 && p[1] == 0xDA && p[2] <= 1) {
        return byMagick(kSgi, "SGI");
    }
    if (head.startsWith("/* XPM */")) {
        return byMagick(kXPixmap, "XPM");
    }
    if (head.startsWith("#define") && head.contains("_width")) {
        return byMagick(kXBitmap, "XBM");
    }
    if (head.size() >= 100 && qFromBigEndian<quint32>(p + 4) == 7 &&
        qFromBigEndian<quint32>(p) >= 100 && qFromBigEndian<quint32>(p) < 4096) {
        return byMagick(kXWindowDump, "XWD");
    }
    if (const auto own = ownSecondCodecFor(head)) {
        return Found{own->format, nullptr, own};
    }
    if (isTiff(head)) {
        FileInfo info;
        if (tiffInfo(input, &info) == kSuccess && format::isLzwTiff(info.format)) {
            return Found{kTiffCompressed, nullptr, std::nullopt};
        }
    }
    return Found{0, nullptr, std::nullopt};
}

int loadFrom(Input& input, ImageHandle* handle) {
    if (input.status() != kSuccess) {
        return fail(input.status());
    }
    const Found found = identify(input);
    if (found.code == 0) {
        return fail(kErrorInvalidFormat);
    }
    LoadRequest request;
    request.options = defaultFileOptions();
    ImageHandle loaded;
    int status = kErrorInvalidFormat;
    if (found.code == kTiffCompressed) {
        status = tiffLoad(input, request, &loaded);
    } else if (found.own) {
        status = ownCodecLoad(*found.own->codec, input, request, &loaded);
    } else {
        status = magickLoad(input, found.magick, request, &loaded);
    }
    if (status != kSuccess) {
        return fail(status);
    }
    *handle = std::move(loaded);
    return 0;
}

}  // namespace

int probe(const QString& path) {
    Input input = Input::fromFile(path);
    return input.status() == kSuccess ? identify(input).code : 0;
}

int probeMemory(QByteArrayView data) {
    Input input = Input::fromMemory(data);
    return identify(input).code;
}

int load(const QString& path, ImageHandle* handle) {
    Input input = Input::fromFile(path);
    return loadFrom(input, handle);
}

int loadMemory(QByteArrayView data, ImageHandle* handle) {
    Input input = Input::fromMemory(data);
    return loadFrom(input, handle);
}

int save(const QString& path, const ImageHandle& handle, int secondFormat) {
    const OwnCodecEntry* own = ownSecondCodecForSaving(secondFormat);
    if (!own) {
        return fail(kErrorInvalidFormat);
    }
    SaveRequest request;
    request.format = secondFormat;
    request.bitsPerPixel = 24;
    request.options = defaultFileOptions();
    QByteArray bytes;
    if (const int status = ownCodecSave(*own->codec, handle, request, &bytes); status != kSuccess) {
        return fail(status);
    }
    if (!writeFileAtomically(path, bytes)) {
        return fail(kErrorFileWrite);
    }
    return 0;
}

QString backendName(int secondFormat, bool forSaving) {
    if (forSaving) {
        return secondFormat == kIffAmiga ? QStringLiteral("Pixoria") : QString();
    }
    const auto magick = [](const char* coder) {
        return magickCanRead(coder) ? QStringLiteral("ImageMagick") : QString();
    };
    switch (secondFormat) {
        case kPortableBitmap:
            return magick("PBM");
        case kPortableGraymap:
            return magick("PGM");
        case kPortableAnymap:
            return magick("PAM");
        case kPortablePixmap:
            return magick("PPM");
        case kSgi:
            return magick("SGI");
        case kXBitmap:
            return magick("XBM");
        case kXPixmap:
            return magick("XPM");
        case kXWindowDump:
            return magick("XWD");
        case kIffAmiga:
        case kWindowsClipboard:
            return QStringLiteral("Pixoria");
        case kTiffCompressed:
            return QStringLiteral("libtiff");
        default:
            return {};
    }
}

int errorCount() {
    return static_cast<int>(t_errors.size());
}

Error errorAt(int index) {
    return index >= 0 && index < errorCount() ? t_errors[static_cast<size_t>(index)] : Error{};
}

void clearErrors() {
    t_errors.clear();
}

}  // namespace imaging::second
