#include "tools/commands.h"

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
    "  help, --help, -h\n"
    "      Print this text.\n"
    "\n"
    "Exit codes: 0 done, 1 the work failed, 2 the command line was wrong.\n";

}  // namespace

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
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
