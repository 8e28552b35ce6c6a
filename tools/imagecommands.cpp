#include "app/settingsstore.h"
#include "image/formats.h"
#include "image/fpicdoc.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"
#include "imaging/secondlibrary.h"
#include "tools/commands.h"

#include <QFileInfo>

namespace tool {

namespace {

int convert(const QStringList& arguments, std::FILE* out, std::FILE* err);

/// What an open filter of the dialog stands for: main-library codes, or one
/// of the second library's formats.
struct FilterFormats {
    QList<int> main;
    int second = 0;
    const char* note = nullptr;
};

FilterFormats formatsOfFilter(int index) {
    using namespace imaging::format;
    switch (index) {
        case 2:
            return {{kBmp, kBmpRle}};
        case 3:
            return {{}, imaging::second::kBrooktrout};
        case 4:
            return {{kCals}};
        case 5:
            return {{kExifJpeg, kExif, kExifYcc}};
        case 6:
            return {{kFlashPix}};
        case 7:
            return {{kGem}};
        case 8:
            return {{kGif}};
        case 9:
            return {{kIcaGroup3OneD}};
        case 10:
            return {{}, imaging::second::kIffAmiga};
        case 11:
            return {{kJpeg, kJtif}};
        case 12:
            return {{kLead, kLeadCmp}};
        case 13:
            return {{kMacPaint}};
        case 14:
            return {{kMicrosoftFax}};
        case 15:
            return {{kMsp}};
        case 16:
            return {{kPict}};
        case 17:
            return {{kOs2Bmp, kOs2Bmp2}};
        case 18:
            return {{}, imaging::second::kPortableBitmap};
        case 19:
            return {{}, imaging::second::kPortableGraymap};
        case 20:
            return {{}, imaging::second::kPortableAnymap};
        case 21:
            return {{}, imaging::second::kPortablePixmap};
        case 22:
            return {{kPcx}};
        case 23:
            return {{kPhotoCd}};
        case 24:
            return {{kPhotoshop}};
        case 25:
            return {{kPng}};
        case 26:
            return {{kEps}};
        case 27:
            return {{}, imaging::second::kSgi};
        case 28:
            return {{kSunRaster}};
        case 29:
            return {{kTga}};
        case 30:
            return {{kTiff, kTiffLzw, kTiffPackBits, kCcittGroup4}};
        case 31:
            return {{}, 0, "not a picture: such files only enter the recent-file list"};
        case 32:
            return {{}, 0, "not a picture: slide show files open the slide show"};
        case 33:
            return {{}, imaging::second::kWindowsClipboard};
        case 34:
            return {{kCursor}};
        case 35:
            return {{kIcon}};
        case 36:
            return {{kWmf}};
        case 37:
            return {{kWinFaxGroup3OneD}};
        case 38:
            return {{kWpg}};
        case 39:
            return {{}, imaging::second::kXBitmap};
        case 40:
            return {{}, imaging::second::kXPixmap};
        case 41:
            return {{}, imaging::second::kXWindowDump};
        default:
            return {{}, 0, "every format below"};
    }
}

QString readerOf(const FilterFormats& formats) {
    if (formats.second != 0) {
        return imaging::second::backendName(formats.second);
    }
    QStringList libraries;
    for (int code : formats.main) {
        const QString name = imaging::backendName(code, false);
        if (!name.isEmpty() && !libraries.contains(name)) {
            libraries << name;
        }
    }
    return libraries.join(QStringLiteral(", "));
}

QString writerOf(const image::SaveType& type) {
    if (type.format == imaging::format::kIffSecond) {
        return imaging::second::backendName(imaging::second::kIffAmiga, true);
    }
    return imaging::backendName(type.format, true);
}

int formats(std::FILE* out) {
    print(out, QStringLiteral("Open filters (reads):\n"));
    const QList<image::OpenFilter>& filters = image::openFilters();
    for (int i = 0; i < filters.size(); ++i) {
        const FilterFormats formats = formatsOfFilter(i + 1);
        QString answer;
        if (formats.note) {
            answer = QString::fromLatin1(formats.note);
        } else {
            const QString reader = readerOf(formats);
            answer = reader.isEmpty() ? QStringLiteral("no") : QStringLiteral("yes  ") + reader;
        }
        print(
            out,
            QStringLiteral("  %1  %2  %3\n").arg(i + 1, 2).arg(filters[i].label, -42).arg(answer));
    }
    print(out, QStringLiteral("\nSave types (writes):\n"));
    const QList<image::SaveType>& types = image::saveTypes();
    for (int i = 0; i < types.size(); ++i) {
        const QString writer = writerOf(types[i]);
        print(out,
              QStringLiteral("  %1  %2  code %3  %4\n")
                  .arg(i + 1, 2)
                  .arg(types[i].label, -26)
                  .arg(types[i].format, 2)
                  .arg(writer.isEmpty() ? QStringLiteral("no") : QStringLiteral("yes  ") + writer));
    }
    return 0;
}

int info(const QString& path, std::FILE* out, std::FILE* err) {
    imaging::FileInfo info;
    const int status = imaging::fileInfo(path, &info);
    if (status != imaging::kSuccess) {
        const int second = imaging::second::probe(path);
        if (second != 0) {
            print(out,
                  QStringLiteral("File: %1\nFormat: %2 %3 (second library)\nLibrary: %4\n")
                      .arg(path)
                      .arg(second)
                      .arg(image::secondFormatName(second), imaging::second::backendName(second)));
            return 0;
        }
        print(err, QStringLiteral("pixoria-tool: %1: %2\n").arg(path, image::errorMessage(status)));
        return 1;
    }
    print(out, QStringLiteral("File: %1\n"
                              "Format: %2 %3\n"
                              "Width: %4\n"
                              "Height: %5\n"
                              "Bits per pixel: %6\n"
                              "Pages: %7\n"
                              "Size on disk: %8\n"
                              "Size in memory: %9\n")
                   .arg(path)
                   .arg(info.format)
                   .arg(image::formatName(info.format))
                   .arg(info.width)
                   .arg(info.height)
                   .arg(info.bitsPerPixel)
                   .arg(info.pages)
                   .arg(info.sizeDisk)
                   .arg(info.sizeMemory));
    print(out, QStringLiteral("Compression: %1\nLibrary: %2\n")
                   .arg(info.compression, imaging::backendName(info.format, false)));
    return 0;
}

/// "convert IN --convert [--convert-format EXT]": convert mode's copy, named
/// and typed by the extension ("convertFormat" of the user's settings when
/// none is given).
int convertMode(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    const QString input = arguments[0];
    QString extension;
    int bitsPerPixel = 0, quality = imaging::kDefaultQualityFactor;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (option == QLatin1String("--convert")) {
            continue;
        }
        if (i + 1 >= arguments.size()) {
            print(err, QStringLiteral("pixoria-tool: %1 needs a value\n").arg(option));
            return 2;
        }
        const QString value = arguments[++i];
        if (option == QLatin1String("--convert-format")) {
            extension = value;
        } else if (option == QLatin1String("--bpp")) {
            bitsPerPixel = value.toInt();
        } else if (option == QLatin1String("--quality")) {
            quality = value.toInt();
        } else {
            print(err, QStringLiteral("pixoria-tool: bad option %1\n").arg(option));
            return 2;
        }
    }
    if (extension.isEmpty()) {
        extension = SettingsStore().read(prefs::convert::kConvertFormat);
    }
    int typeIndex = 0;
    for (int i = 0; i < image::saveTypes().size() && typeIndex == 0; ++i) {
        if (image::saveTypes()[i].extension.compare(extension, Qt::CaseInsensitive) == 0) {
            typeIndex = i + 1;
        }
    }
    if (typeIndex == 0) {
        print(err, QStringLiteral("pixoria-tool: no save type writes .%1\n").arg(extension));
        return 2;
    }
    imaging::FileInfo info;
    if (const int status = imaging::fileInfo(input, &info); status != imaging::kSuccess) {
        print(err,
              QStringLiteral("pixoria-tool: %1: %2\n").arg(input, image::errorMessage(status)));
        return 1;
    }
    QStringList converted = {input,
                             convertedPath(input, info.format, extension),
                             QStringLiteral("--type"),
                             QString::number(typeIndex),
                             QStringLiteral("--quality"),
                             QString::number(quality)};
    if (bitsPerPixel != 0) {
        converted << QStringLiteral("--bpp") << QString::number(bitsPerPixel);
    }
    return convert(converted, out, err);
}

int convert(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    if (arguments.contains(QLatin1String("--convert")) && !arguments.isEmpty()) {
        return convertMode(arguments, out, err);
    }
    if (arguments.size() < 2) {
        print(err, QStringLiteral(
                       "Usage: pixoria-tool convert IN OUT --type N [--bpp B] [--quality Q]\n"));
        return 2;
    }
    const QString input = arguments[0];
    const QString output = arguments[1];
    int type = 0, bitsPerPixel = 0, quality = imaging::kDefaultQualityFactor;
    for (int i = 2; i < arguments.size(); i += 2) {
        bool ok = i + 1 < arguments.size();
        const int value = ok ? arguments[i + 1].toInt(&ok) : 0;
        if (ok && arguments[i] == QLatin1String("--type")) {
            type = value;
        } else if (ok && arguments[i] == QLatin1String("--bpp")) {
            bitsPerPixel = value;
        } else if (ok && arguments[i] == QLatin1String("--quality")) {
            quality = value;
        } else {
            print(err, QStringLiteral("pixoria-tool: bad option %1\n").arg(arguments[i]));
            return 2;
        }
    }
    if (type < 1 || type > image::saveTypes().size()) {
        print(err, QStringLiteral("pixoria-tool: --type must be a save type from 1 to %1 "
                                  "(see pixoria-tool formats)\n")
                       .arg(image::saveTypes().size()));
        return 2;
    }
    imaging::ImageHandle picture;
    int status = imaging::loadFile(input, &picture);
    if (status != imaging::kSuccess && imaging::second::load(input, &picture) == 0) {
        status = imaging::kSuccess;
    }
    if (status != imaging::kSuccess) {
        print(err,
              QStringLiteral("pixoria-tool: %1: %2\n").arg(input, image::errorMessage(status)));
        return 1;
    }
    const image::SaveType& saveType = image::saveType(type);
    const int depth =
        bitsPerPixel != 0 ? bitsPerPixel : image::saveDepth(saveType, picture.bitsPerPixel);
    if (saveType.format == imaging::format::kIffSecond) {
        status = imaging::second::save(output, picture, imaging::second::kIffAmiga) == 0
                     ? imaging::kSuccess
                     : imaging::kErrorFileWrite;
    } else {
        status = imaging::saveFile(output, picture, saveType.format, depth, quality);
    }
    if (status != imaging::kSuccess) {
        print(err,
              QStringLiteral("pixoria-tool: %1: %2\n").arg(output, image::errorMessage(status)));
        return 1;
    }
    print(out,
          QStringLiteral("%1: %2, %3 bits per pixel\n").arg(output, saveType.label).arg(depth));
    return 0;
}

}  // namespace

int imageCommand(const QString& command, const QStringList& arguments, std::FILE* out,
                 std::FILE* err) {
    if (command == QLatin1String("formats")) {
        return formats(out);
    }
    if (command == QLatin1String("info") && arguments.size() == 1) {
        return info(arguments[0], out, err);
    }
    if (command == QLatin1String("convert")) {
        return convert(arguments, out, err);
    }
    print(err, QStringLiteral("Usage: pixoria-tool info FILE\n"));
    return 2;
}

}  // namespace tool
