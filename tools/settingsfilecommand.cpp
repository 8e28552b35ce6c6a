#include "app/settingsfile.h"
#include "platform/archive.h"
#include "platform/fileexception.h"
#include "tools/commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace tool {

namespace {

std::optional<ColorRef> parseColour(const QString& text) {
    const QColor colour = QColor::fromString(text);
    if (!colour.isValid()) {
        return std::nullopt;
    }
    return toColorRef(colour);
}

int dump(const QString& path, std::FILE* out, std::FILE* err) {
    QByteArray data;
    if (!readInputFile(path, &data, err)) {
        return 1;
    }
    TextStyle style;
    try {
        ArchiveReader archive(data, path);
        style = readSettingsFile(archive);
        if (!archive.atEnd()) {
            print(err, QStringLiteral("pixoria-tool: note: %1 bytes follow the settings\n")
                           .arg(archive.remaining()));
        }
    } catch (const FileException& error) {
        print(err, QStringLiteral("pixoria-tool: %1\n").arg(error.message()));
        return 1;
    }
    const LogFont& font = style.font;
    QJsonObject fontObject{
        {QStringLiteral("height"), font.height},
        {QStringLiteral("width"), font.width},
        {QStringLiteral("escapement"), font.escapement},
        {QStringLiteral("orientation"), font.orientation},
        {QStringLiteral("weight"), font.weight},
        {QStringLiteral("italic"), font.italic},
        {QStringLiteral("underline"), font.underline},
        {QStringLiteral("strikeOut"), font.strikeOut},
        {QStringLiteral("charSet"), font.charSet},
        {QStringLiteral("outPrecision"), font.outPrecision},
        {QStringLiteral("clipPrecision"), font.clipPrecision},
        {QStringLiteral("quality"), font.quality},
        {QStringLiteral("pitchAndFamily"), font.pitchAndFamily},
        {QStringLiteral("faceName"), font.faceName},
    };
    QJsonArray custom;
    for (ColorRef colour : style.customColours) {
        custom.append(colourText(colour));
    }
    const QJsonObject root{
        {QStringLiteral("size"), data.size()},
        {QStringLiteral("font"), fontObject},
        {QStringLiteral("textColour"), colourText(style.textColour)},
        {QStringLiteral("fillColour"), colourText(style.fillColour)},
        {QStringLiteral("backgroundColour"), colourText(style.backgroundColour)},
        {QStringLiteral("shadowColour"), colourText(style.shadowColour)},
        {QStringLiteral("highlightColour"), colourText(style.highlightColour)},
        {QStringLiteral("customColours"), custom},
    };
    printJson(out, root);
    return 0;
}

int make(const QString& path, const QStringList& options, std::FILE* err) {
    TextStyle style;
    style.font.weight = 400;
    style.font.height = -13;
    bool haveFace = false;
    for (int i = 0; i < options.size(); ++i) {
        const QString& option = options.at(i);
        const auto flag = [&](const char* name) { return option == QLatin1String(name); };
        if (flag("--italic")) {
            style.font.italic = 1;
            continue;
        }
        if (flag("--underline")) {
            style.font.underline = 1;
            continue;
        }
        if (flag("--strikeout")) {
            style.font.strikeOut = 1;
            continue;
        }
        if (i + 1 >= options.size()) {
            print(err, QStringLiteral("pixoria-tool: %1 needs a value\n").arg(option));
            return 2;
        }
        const QString value = options.at(++i);
        bool ok = true;
        if (flag("--face")) {
            style.font.faceName = value;
            haveFace = true;
        } else if (flag("--height")) {
            style.font.height = value.toInt(&ok);
        } else if (flag("--weight")) {
            style.font.weight = value.toInt(&ok);
        } else {
            ColorRef* target = flag("--text-colour")         ? &style.textColour
                               : flag("--fill-colour")       ? &style.fillColour
                               : flag("--background-colour") ? &style.backgroundColour
                               : flag("--shadow-colour")     ? &style.shadowColour
                               : flag("--highlight-colour")  ? &style.highlightColour
                                                             : nullptr;
            if (!target) {
                print(err, QStringLiteral("pixoria-tool: unknown option %1\n").arg(option));
                return 2;
            }
            const std::optional<ColorRef> colour = parseColour(value);
            ok = colour.has_value();
            if (ok) {
                *target = *colour;
            }
        }
        if (!ok) {
            print(err,
                  QStringLiteral("pixoria-tool: bad value \"%1\" for %2\n").arg(value, option));
            return 2;
        }
    }
    if (!haveFace) {
        print(err, QStringLiteral("pixoria-tool: settings-file make needs --face NAME\n"));
        return 2;
    }
    if (!storeSettingsFile(path, style)) {
        print(err, QStringLiteral("pixoria-tool: cannot write %1\n").arg(path));
        return 1;
    }
    return 0;
}

}  // namespace

int settingsFileCommand(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    if (arguments.size() >= 2 && arguments.at(0) == QLatin1String("dump") &&
        arguments.size() == 2) {
        return dump(arguments.at(1), out, err);
    }
    if (arguments.size() >= 2 && arguments.at(0) == QLatin1String("make")) {
        return make(arguments.at(1), arguments.mid(2), err);
    }
    print(err, QStringLiteral("Usage: pixoria-tool settings-file dump FILE\n"
                              "       pixoria-tool settings-file make FILE --face NAME [...]\n"));
    return 2;
}

}  // namespace tool
