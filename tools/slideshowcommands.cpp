#include "platform/archive.h"
#include "platform/fileexception.h"
#include "slideshow/slideshowfile.h"
#include "tools/commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tool {

namespace {

QJsonArray codesArray(const QList<qint32>& codes) {
    QJsonArray array;
    for (qint32 code : codes) {
        array.append(code);
    }
    return array;
}

int dump(const QString& path, std::FILE* out, std::FILE* err) {
    QByteArray data;
    if (!readInputFile(path, &data, err)) {
        return 1;
    }
    SlideShow show;
    SlideShowFileInfo info;
    try {
        ArchiveReader archive(data, path);
        if (!readSlideShow(archive, show, &info)) {
            print(err, invalidSlideShowMessage(path) + QLatin1Char('\n'));
            return 1;
        }
    } catch (const FileException& error) {
        print(err, invalidSlideShowMessage(path) + QStringLiteral(" (%1)\n").arg(error.message()));
        return 1;
    }

    const SlideShowSettings& s = show.settings;
    const bool transitionsOn = info.transitionsField == 2;
    QJsonArray slides;
    for (const SlideEntry& slide : show.slides) {
        QJsonObject object{
            {QStringLiteral("imagePath"), slide.imagePath},
            {QStringLiteral("soundPath"), slide.soundPath},
        };
        if (transitionsOn && s.individual != 0) {
            object.insert(QStringLiteral("transitionCode"), slide.transitionCode);
        }
        slides.append(object);
    }
    QJsonObject root{
        {QStringLiteral("size"), data.size()},
        {QStringLiteral("signature"), QString::fromLatin1(kSlideShowSignature)},
        {QStringLiteral("count"), show.slides.count()},
        {QStringLiteral("loop"), s.loop},
        {QStringLiteral("manualMode"), s.manualMode},
        {QStringLiteral("transitionsField"), info.transitionsField},
        {QStringLiteral("transitions"), s.transitions},
        {QStringLiteral("viewTime"), s.viewTime},
        {QStringLiteral("backgroundColour"), colourText(s.backgroundColour)},
        {QStringLiteral("advanced"), s.advanced},
        {QStringLiteral("soundMode"), static_cast<int>(s.soundMode)},
        {QStringLiteral("slides"), slides},
    };
    if (transitionsOn) {
        root.insert(QStringLiteral("individual"), s.individual);
    } else {
        root.insert(QStringLiteral("legacyTransitionTable"), codesArray(info.legacyTable));
    }
    // The set and its order as the show now holds them: read from the file,
    // or made from the legacy table.
    if (!transitionsOn || s.individual == 0) {
        root.insert(QStringLiteral("numberUsed"), s.numberUsed);
        root.insert(QStringLiteral("transitionSet"), codesArray(s.usedTransitions()));
        root.insert(QStringLiteral("transitionMode"), s.transitionMode);
    }
    if (info.transitionModeAfterCodes) {
        root.insert(QStringLiteral("transitionModeAfterCodes"), *info.transitionModeAfterCodes);
    }
    root.insert(QStringLiteral("trailingBytes"), info.trailingBytes);
    printJson(out, root);
    return 0;
}

}  // namespace

int slideShowCommand(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    if (arguments.size() == 2 && arguments.at(0) == QLatin1String("dump")) {
        return dump(arguments.at(1), out, err);
    }
    print(err, QStringLiteral("Usage: pixoria-tool sld dump FILE\n"));
    return 2;
}

}  // namespace tool
