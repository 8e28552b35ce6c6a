#include "image/formats.h"

#include "imaging/secondlibrary.h"
#include "platform/prompt.h"

namespace image {

namespace {

// Codes 1-99 of the main library; "" marks codes named "unknown".
const char* const kFormatNames[100] = {
    nullptr,
    "PCX",
    "GIF",
    "TIFF",
    "TGA",
    "CMP",
    "Windows BMP",
    "From Buffer",
    "unknown",
    "From Bitmap",
    "JPEG",
    "JTIF",
    "Internal",
    "Internal",
    "OS2 BMP",
    "Windows Meta File",
    "EPS",
    "TIFF LZW",
    "unknown",
    "unknown",
    "LEAD",
    "LEAD1 JPEG",
    "LEAD1 JTIF",
    "LEAD2 JPEG",
    "LEAD2 JTIF",
    "CCITT",
    "LEAD 1 bit",
    "CCITT GROUP3 1DIM",
    "CCITT GROUP3 2DIM",
    "CCITT GROUP4",
    "LEAD Lossless",
    "LEAD 1 bit Lossless",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "unknown",
    "CALS",
    "MAC Paint",
    "GEM",
    "Microsoft Paint",
    "Word Perfect",
    "Sun Raster",
    "MAC Pict",
    "Photo CD",
    "DXF",
    "AVI",
    "Wave",
    "Flic",
    "CGM",
    "EPS TIFF",
    "EPS WMF",
    "CMP No Loss",
    "FAX Group3 1D",
    "FAX Group3 2D",
    "FAX G4",
    "WinFax Group3 1D",
    "WinFax Group4",
    "ICA Group3 1D",
    "ICA Group3 2D",
    "ICA Group4",
    "OS2 BMP Type 2",
    "Portable Network Graphic",
    "Photoshop",
    "RAW ICA Group3 1D",
    "RAW ICA Group3 2D",
    "RAW ICA Group4",
    "FlashPix",
    "FlashPix, Single Color",
    "FlashPix, Fixed JPEG",
    "FlashPix, Variable JPEG",
    "BMP RLE",
    "TIFF CMYK",
    "TIFF LZW CMYK",
    "TIFF PACKBITS",
    "TIFF PACKBITS CMYK",
    "DICOM GRAY",
    "DICOM COLOR",
    "Windows ICON",
    "Windows CURSOR",
    "TIFF YCC",
    "TIFF LZW YCC",
    "TIFF PACKBITS YCC",
    "EXIF",
    "EXIF YCC",
    "EXIF JPEG",
    "Microsoft Fax",
};

QList<int> depths(std::initializer_list<int> values) {
    return QList<int>(values);
}

QString joined(const QStringList& labels, const QStringList& patterns) {
    QString out;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        out += labels[i] + QChar(0) + patterns[i] + QChar(0);
    }
    return out;
}

}  // namespace

QString formatName(int format, bool secondLibrary, const QString& path) {
    if (secondLibrary) {
        return secondFormatName(imaging::second::probe(path));
    }
    if (format >= 1 && format <= 99) {
        return QString::fromLatin1(kFormatNames[format]);
    }
    return QStringLiteral("Unknown");
}

QString secondFormatName(int secondFormat) {
    switch (secondFormat) {
        case 3:
            return QStringLiteral("Brooktrout File");
        case 5:
            return QStringLiteral("Windows Clipboard");
        case 18:
            return QStringLiteral("IFF Amiga");
        case 28:
            return QStringLiteral("Portable Bitmap File");
        case 32:
            return QStringLiteral("Portable Graymap File");
        case 34:
            return QStringLiteral("Portable Any-Map File");
        case 35:
            return QStringLiteral("Portable Pixmap File");
        case 38:
            return QStringLiteral("SGI Image File");
        case 40:
            return QStringLiteral("TIF Compressed");
        case 43:
            return QStringLiteral("X Bitmap");
        case 45:
            return QStringLiteral("X Pixmap");
        case 47:
            return QStringLiteral("X Window Dump");
        default:
            return QStringLiteral("Unknown");
    }
}

const QList<OpenFilter>& openFilters() {
    static const QList<OpenFilter> filters = {
        {QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")},
        {QStringLiteral("BMP Files (*.bmp)"), QStringLiteral("*.bmp")},
        {QStringLiteral("BRK Files (*.brk)"), QStringLiteral("*.brk")},
        {QStringLiteral("CALS Files (*.cal)"), QStringLiteral("*.cal")},
        {QStringLiteral("EXIF Files (*.jpg;*.tif)"), QStringLiteral("*.jpg;*.tif")},
        {QStringLiteral("FlashPix Files (*.fpx)"), QStringLiteral("*.fpx")},
        {QStringLiteral("GEM Files (*.img)"), QStringLiteral("*.img")},
        {QStringLiteral("GIF Files (*.gif)"), QStringLiteral("*.gif")},
        {QStringLiteral("IBM IOCA Files (*.ica)"), QStringLiteral("*.ica")},
        {QStringLiteral("IFF Amiga Files (*.iff)"), QStringLiteral("*.iff")},
        {QStringLiteral("JPEG Files (*.jpg;*.jff;*.jtf)"), QStringLiteral("*.jpg;*.jff;*.jtf")},
        {QStringLiteral("LEAD Files (*.cmp)"), QStringLiteral("*.cmp")},
        {QStringLiteral("MacPaint Files (*.mac)"), QStringLiteral("*.mac")},
        {QStringLiteral("Microsoft Fax Files (*.awd)"), QStringLiteral("*.awd")},
        {QStringLiteral("MicrosoftPaint Files (*.msp)"), QStringLiteral("*.msp")},
        {QStringLiteral("Macintosh PICTURE Files (*.pct)"), QStringLiteral("*.pct")},
        {QStringLiteral("OS/2 BMP Files (*.bmp)"), QStringLiteral("*.bmp")},
        {QStringLiteral("PBM Files (*.pbm)"), QStringLiteral("*.pbm")},
        {QStringLiteral("PGM Files (*.pgm)"), QStringLiteral("*.pgm")},
        {QStringLiteral("PNM Files (*.pnm)"), QStringLiteral("*.pnm")},
        {QStringLiteral("PPM Files (*.ppm)"), QStringLiteral("*.ppm")},
        {QStringLiteral("PCX Files (*.pcx)"), QStringLiteral("*.pcx")},
        {QStringLiteral("Photo CD Files (*.pcd)"), QStringLiteral("*.pcd")},
        {QStringLiteral("PhotoShop Files (*.psd)"), QStringLiteral("*.psd")},
        {QStringLiteral("PNG Files (*.png)"), QStringLiteral("*.png")},
        {QStringLiteral("PostScript Raster Files (*.eps)"), QStringLiteral("*.eps")},
        {QStringLiteral("SGI Files (*.sgi)"), QStringLiteral("*.sgi")},
        {QStringLiteral("SUN Raster Files (*.ras)"), QStringLiteral("*.ras")},
        {QStringLiteral("TARGA Files (*.tga)"), QStringLiteral("*.tga")},
        {QStringLiteral("TIF Files (*.tif)"), QStringLiteral("*.tif")},
        {QStringLiteral("Zelvik Convert File (*.con)"), QStringLiteral("*.con")},
        {QStringLiteral("Zelvik Slide Show File (*.sld)"), QStringLiteral("*.sld")},
        {QStringLiteral("Windows Clipboard Files (*.clp)"), QStringLiteral("*.clp")},
        {QStringLiteral("Windows Cursor (*.cur)"), QStringLiteral("*.cur")},
        {QStringLiteral("Windows Icon (*.ico)"), QStringLiteral("*.ico")},
        {QStringLiteral("Windows Metafile (*.wmf)"), QStringLiteral("*.wmf")},
        {QStringLiteral("Winfax Files (*.fxs)"), QStringLiteral("*.fxs")},
        {QStringLiteral("WordPerfect Files (*.wpg)"), QStringLiteral("*.wpg")},
        {QStringLiteral("X Bitmap Files (*.xbm)"), QStringLiteral("*.xbm")},
        {QStringLiteral("X PixMap Files(*.xpm)"), QStringLiteral("*.xpm")},
        {QStringLiteral("X Window Dump Files (*.xwd)"), QStringLiteral("*.xwd")},
    };
    return filters;
}

const QList<SaveType>& saveTypes() {
    const auto fixed = [](const char* label, const char* ext, int format, int depth, bool options) {
        return SaveType{QString::fromLatin1(label),
                        QStringLiteral("*.") + QLatin1String(ext),
                        QString::fromLatin1(ext),
                        format,
                        depth,
                        {},
                        depth,
                        options};
    };
    const auto own = [](const char* label, const char* ext, int format, QList<int> allowed,
                        int fallback, bool options) {
        return SaveType{QString::fromLatin1(label),
                        QStringLiteral("*.") + QLatin1String(ext),
                        QString::fromLatin1(ext),
                        format,
                        0,
                        std::move(allowed),
                        fallback,
                        options};
    };
    static const QList<SaveType> types = {
        own("Windows BMP File", "bmp", 6, depths({1, 4, 8, 16, 24, 32}), 24, true),
        own("GIF File", "gif", 2, depths({1, 4, 8}), 8, true),
        fixed("JPEG File", "jpg", 10, 24, true),
        fixed("CALS File", "cal", 50, 1, false),
        fixed("CCITT Fax File", "tif", 27, 1, true),
        fixed("EPS File", "eps", 16, 8, false),
        fixed("EXIF File", "tif", 96, 24, true),
        fixed("EXIF Compressed File", "jpg", 98, 24, true),
        own("FlashPix File", "fpx", 80, depths({8, 24}), 24, true),
        fixed("GEM File", "img", 52, 1, false),
        fixed("IBM IOCA (Raw) File", "ica", 77, 1, true),
        fixed("IBM IOCA (Wrapped) File", "ica", 71, 1, true),
        fixed("IFF Amiga File", "iff", 18, 24, false),
        fixed("JTIF File", "jtf", 11, 24, true),
        fixed("LEAD File", "cmp", 20, 24, true),
        own("Macintosh PICTURE File", "pct", 56, depths({1, 4, 8, 24}), 24, true),
        fixed("MacPaint File", "mac", 51, 1, false),
        fixed("Microsoft Fax File", "awd", 99, 1, false),
        fixed("MicrosoftPaint File", "msp", 53, 1, false),
        own("OS/2 BMP File", "bmp", 14, depths({1, 4, 8, 24}), 24, true),
        own("PCX File", "pcx", 1, depths({1, 4, 8, 24}), 24, true),
        own("PhotoShop File", "psd", 76, depths({1, 8, 24}), 24, true),
        own("PNG File", "png", 75, depths({1, 4, 8, 24}), 24, true),
        own("SUN Raster File", "ras", 55, depths({1, 4, 8, 24, 32}), 24, true),
        own("TARGA File", "tga", 4, depths({8, 16, 24, 32}), 24, true),
        own("TIF File", "tif", 3, depths({1, 2, 3, 4, 5, 6, 7, 8, 16, 24, 32}), 24, true),
        fixed("Windows Cursor", "cur", 92, 1, false),
        own("Windows Icon", "ico", 91, depths({1, 4, 8}), 8, true),
        own("Windows Metafile", "wmf", 15, depths({8, 24}), 24, true),
        fixed("Winfax File", "fxs", 69, 1, true),
        own("WordPerfect File", "wpg", 54, depths({1, 4, 8}), 8, true),
    };
    return types;
}

const SaveType& saveType(int index) {
    const QList<SaveType>& types = saveTypes();
    if (index < 1 || index > types.size()) {
        index = 1;
    }
    return types[index - 1];
}

int saveDepth(const SaveType& type, int imageDepth) {
    if (type.fixedDepth != 0) {
        return type.fixedDepth;
    }
    return type.ownDepths.contains(imageDepth) ? imageDepth : type.fallbackDepth;
}

QStringList openNameFilters() {
    QStringList filters;
    for (const OpenFilter& filter : openFilters()) {
        // Qt reads the patterns from the last parentheses, separated by spaces.
        const QString patterns = QString(filter.pattern).replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << filter.label + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

QStringList saveNameFilters() {
    QStringList filters;
    for (const SaveType& type : saveTypes()) {
        filters << type.label + QStringLiteral(" (") + type.pattern + QLatin1Char(')');
    }
    return filters;
}

QString openFilterString() {
    QStringList labels, patterns;
    for (const OpenFilter& filter : openFilters()) {
        labels << filter.label;
        patterns << filter.pattern;
    }
    return joined(labels, patterns);
}

QString saveFilterString() {
    QStringList labels, patterns;
    for (const SaveType& type : saveTypes()) {
        labels << type.label;
        patterns << type.pattern;
    }
    return joined(labels, patterns);
}

QString defaultExtension(int format) {
    switch (format) {
        case 1: return QStringLiteral("pcx");
        case 2: return QStringLiteral("gif");
        case 3:
        case 17:
        case 25:
        case 27:
        case 28:
        case 29:
        case 85:
        case 86:
        case 87:
        case 88:
        case 93:
        case 94:
        case 95:
        case 96:
        case 97: return QStringLiteral("tif");
        case 4: return QStringLiteral("tga");
        case 5: return QStringLiteral("cmp");
        case 6:
        case 14:
        case 74:
        case 84: return QStringLiteral("bmp");
        case 10:
        case 98: return QStringLiteral("jpg");
        case 11: return QStringLiteral("jtf");
        case 15: return QStringLiteral("wmf");
        case 16: return QStringLiteral("eps");
        case 18: return QStringLiteral("iff");
        case 50: return QStringLiteral("cal");
        case 51: return QStringLiteral("mac");
        case 52: return QStringLiteral("img");
        case 53: return QStringLiteral("msp");
        case 54: return QStringLiteral("wpg");
        case 55: return QStringLiteral("ras");
        case 56: return QStringLiteral("pct");
        case 57: return QStringLiteral("pcd");
        case 59: return QStringLiteral("avi");
        case 60: return QStringLiteral("wav");
        case 69:
        case 70: return QStringLiteral("fxs");
        case 71:
        case 72:
        case 73:
        case 77:
        case 78:
        case 79: return QStringLiteral("ica");
        case 75: return QStringLiteral("png");
        case 76: return QStringLiteral("psd");
        case 80:
        case 81:
        case 82:
        case 83: return QStringLiteral("fpx");
        case 89:
        case 90: return QStringLiteral("dic");
        case 91: return QStringLiteral("ico");
        case 92: return QStringLiteral("cur");
        case 99: return QStringLiteral("awd");
        default: return {};
    }
}

QString errorMessage(int code) {
    switch (code) {
        case 1:
            return {};
        case -1:
        case -3:
            return QStringLiteral("Error: Not enough memory available");
        case -5:
            return QStringLiteral("Error writing file");
        case -6:
        case -10:
            return QStringLiteral("Error: File not found");
        case -7:
            return QStringLiteral("Error reading file");
        case -8:
            return QStringLiteral("Error: Invalid file name");
        case -9:
            return QStringLiteral("Error: Invalid file format");
        case -14:
            return QStringLiteral("Error: Unable to open file");
        case -15:
            return QStringLiteral("Unknown compression format");
        case -18:
            return QStringLiteral("Printer Error");
        case -19:
            return QStringLiteral("Data CRC check error");
        case -146:
            return QStringLiteral("LZ compressed TIF not supported");
        default:
            return QStringLiteral("A Pixoria error has occurred.\nCODE = %1").arg(code);
    }
}

int reportImagingResult(PromptService& prompt, int code) {
    const QString message = errorMessage(code);
    if (!message.isEmpty()) {
        prompt.message(message);
    }
    return code;
}

}  // namespace image
