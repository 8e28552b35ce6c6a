#include "tools/commands.h"

#include <QFile>
#include <QJsonDocument>

namespace tool {

namespace {

const char kUsage[] =
    "Usage: pixoria-tool COMMAND [ARGUMENTS]\n"
    "\n"
    "Pixoria's own work from the command line.\n"
    "\n"
    "Commands:\n"
    "  settings-file dump FILE\n"
    "      Print the text font and colours of a settings file (pzset.pzs) as JSON.\n"
    "  settings-file make FILE --face NAME [--height N] [--weight N] [--italic]\n"
    "                [--underline] [--strikeout] [--text-colour C] [--fill-colour C]\n"
    "                [--background-colour C] [--shadow-colour C] [--highlight-colour C]\n"
    "      Write a settings file. Colours are #RRGGBB; unnamed values take the\n"
    "      program's defaults.\n"
    "  info FILE [--password P]\n"
    "      Print what the imaging library reports of an image file; with a\n"
    "      password, of the picture inside an enciphered image file.\n"
    "  convert IN OUT --type N [--bpp B] [--quality Q]\n"
    "      Save IN as save type N (1-31, see formats) at B bits per pixel (the\n"
    "      type's rule by default) and quality factor Q (2 best - 255 smallest,\n"
    "      default 20).\n"
    "  convert IN --convert [--convert-format EXT] [--bpp B] [--quality Q]\n"
    "      Convert mode: save a copy of IN as the save type of extension EXT (the\n"
    "      \"convertFormat\" setting by default) under IN's name, its own extension\n"
    "      replaced by EXT when it is the format's usual one, else EXT appended.\n"
    "  encipher IN OUT --password P [--photocd]\n"
    "      Write IN (an image file) as an enciphered image file under password P;\n"
    "      --photocd marks it as a PhotoCD picture.\n"
    "  formats\n"
    "      List every open filter and save type and whether Pixoria reads or\n"
    "      writes it here, through which library.\n"
    "  alb dump FILE\n"
    "      Print the name and every photo (path, description, title) of a photo\n"
    "      album file (.alb) as JSON.\n"
    "  sld dump FILE\n"
    "      Print every field of a slide show file (.sld) as JSON: the show's\n"
    "      settings, each slide's image and sound path and the transitions.\n"
    "  rtp dump FILE\n"
    "      Print every field of a player project (.rtp) as JSON.\n"
    "  package build PROJECT.rtp OUT.exe [--stub FILE] [--password P]\n"
    "      Prepare the project's pictures and write a runtime player package;\n"
    "      the player stub is zs1.dll beside the program unless --stub names\n"
    "      one. An encrypted project needs --password.\n"
    "  package dump FILE [--password P]\n"
    "      Print a runtime player package's header, tables and pictures as JSON.\n"
    "  package extract FILE DIR [--password P]\n"
    "      Write a package's pictures (1, 2, ...) and sounds (zss1.wav, ...)\n"
    "      into DIR, as the importer does.\n"
    "  help, --help, -h\n"
    "      Print this text.\n"
    "\n"
    "Exit codes: 0 done, 1 the work failed, 2 the command line was wrong.\n";

}  // namespace

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

bool readInputFile(const QString& path, QByteArray* data, std::FILE* err) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        print(err,
              QStringLiteral("pixoria-tool: cannot read %1: %2\n").arg(path, file.errorString()));
        return false;
    }
    *data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        print(err,
              QStringLiteral("pixoria-tool: cannot read %1: %2\n").arg(path, file.errorString()));
        return false;
    }
    return true;
}

void printJson(std::FILE* stream, const QJsonObject& object) {
    print(stream, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)));
}

QString colourText(ColorRef colour) {
    if ((colour >> 24) != 0) {
        return QStringLiteral("0x%1").arg(colour, 8, 16, QLatin1Char('0'));
    }
    return toQColor(colour).name();
}

int run(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    if (arguments.isEmpty()) {
        print(err, QString::fromLatin1(kUsage));
        return 2;
    }
    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        print(out, QString::fromLatin1(kUsage));
        return 0;
    }
    if (command == QLatin1String("sld")) {
        return slideShowCommand(rest, out, err);
    }
    if (command == QLatin1String("alb")) {
        return albumCommand(rest, out, err);
    }
    if (command == QLatin1String("rtp")) {
        return rtpCommand(rest, out, err);
    }
    if (command == QLatin1String("package")) {
        return packageCommand(rest, out, err);
    }
    if (command == QLatin1String("settings-file")) {
        return settingsFileCommand(rest, out, err);
    }
    if (command == QLatin1String("encipher")) {
        return encipherCommand(rest, out, err);
    }
    if (command == QLatin1String("info") && rest.size() > 1) {
        return encryptedInfoCommand(rest[0], rest.mid(1), out, err);
    }
    if (command == QLatin1String("info") || command == QLatin1String("convert") ||
        command == QLatin1String("formats")) {
        return imageCommand(command, rest, out, err);
    }
    print(err, QStringLiteral("pixoria-tool: unknown command \"%1\"\n\n").arg(command) +
                   QString::fromLatin1(kUsage));
    return 2;
}

}  // namespace tool
