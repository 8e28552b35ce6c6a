#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "imaging/errors.h"
#include "imaging/imagefile.h"
#include "runtime/packagebuild.h"
#include "runtime/packagereader.h"
#include "runtime/projectfile.h"
#include "tools/commands.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tool {

namespace {

const char kRtpUsage[] = "Usage: pixoria-tool rtp dump FILE\n";
const char kPackageUsage[] =
    "Usage: pixoria-tool package build PROJECT.rtp OUT.exe [--stub FILE] [--password P]\n"
    "       pixoria-tool package dump FILE [--password P]\n"
    "       pixoria-tool package extract FILE DIR [--password P]\n";

/// "--stub FILE" and "--password P" among `options`; the allowed ones only.
bool parseOptions(const QStringList& options, bool allowStub, QString* stub, QString* password,
                  bool* hasPassword, std::FILE* err) {
    for (int i = 0; i < options.size(); ++i) {
        if (options[i] == QLatin1String("--password") && i + 1 < options.size()) {
            *password = options[++i];
            *hasPassword = true;
        } else if (allowStub && options[i] == QLatin1String("--stub") && i + 1 < options.size()) {
            *stub = options[++i];
        } else {
            print(err, QStringLiteral("pixoria-tool: bad option %1\n").arg(options[i]));
            return false;
        }
    }
    if (*hasPassword && (password->size() < 2 || password->size() > 96)) {
        print(err, QStringLiteral("pixoria-tool: --password needs 2 to 96 characters\n"));
        return false;
    }
    return true;
}

QJsonObject optionsJson(const runtime::PlayerOptions& options) {
    return {
        {QStringLiteral("viewTime"), options.viewTime},
        {QStringLiteral("autoPlay"), options.autoPlay},
        {QStringLiteral("loop"), options.loop},
        {QStringLiteral("fullScreen"), options.fullScreen},
        {QStringLiteral("transitions"), options.transitions},
        {QStringLiteral("descriptions"), options.descriptions},
        {QStringLiteral("soundMode"), options.soundMode},
        {QStringLiteral("synchronise"), options.synchronise},
        {QStringLiteral("encrypt"), options.encrypt},
    };
}

int rtpDump(const QString& path, std::FILE* out, std::FILE* err) {
    const runtime::ProjectLoadResult loaded = runtime::loadProject(path);
    if (!loaded.loaded()) {
        print(err, QStringLiteral("pixoria-tool: %1\n").arg(loaded.message));
        return 1;
    }
    QJsonArray images;
    int number = 0;
    for (const runtime::PlayerImage& image : loaded.project.images) {
        images.append(QJsonObject{{QStringLiteral("number"), ++number},
                                  {QStringLiteral("path"), image.sourcePath},
                                  {QStringLiteral("sound"), image.soundPath},
                                  {QStringLiteral("description"), image.description}});
    }
    QJsonObject dump = optionsJson(loaded.project.options);
    dump.insert(QStringLiteral("file"), path);
    dump.insert(QStringLiteral("signature"), QLatin1String(runtime::kProjectSignature));
    dump.insert(QStringLiteral("soundModeField"), loaded.fields.soundModeField);
    dump.insert(QStringLiteral("countField"), loaded.fields.countField);
    dump.insert(QStringLiteral("imageCount"), number);
    dump.insert(QStringLiteral("images"), images);
    printJson(out, dump);
    return 0;
}

QJsonObject headerJson(const QString& path, const runtime::PackageHeader& header) {
    const runtime::PackageLayout layout = header.layout();
    QJsonObject dump = optionsJson(header.options());
    dump.insert(QStringLiteral("file"), path);
    dump.insert(QStringLiteral("fileLength"), header.fileLength);
    dump.insert(QStringLiteral("trailerStubLength"), header.trailerStubLength);
    dump.insert(QStringLiteral("stubLength"), header.stubLength);
    dump.insert(QStringLiteral("plainEnd"), layout.plainEnd());
    dump.insert(QStringLiteral("cipherStart"), layout.cipherStart());
    dump.insert(QStringLiteral("countField"), header.countField);
    dump.insert(QStringLiteral("soundModeField"), header.soundModeField);
    dump.insert(QStringLiteral("packageSoundMode"), header.soundMode);
    dump.insert(QStringLiteral("manual"), header.manual);
    dump.insert(QStringLiteral("imageCount"), header.imageCount);
    // Whether the key blocks carry the key, never the blocks themselves.
    dump.insert(QStringLiteral("keyBlocks"),
                header.keyBlocksCarryKey ? QStringLiteral("key") : QStringLiteral("zeros"));
    dump.insert(QStringLiteral("payloadLength"), header.payloadLength());
    return dump;
}

QJsonObject soundJson(quint32 entry) {
    QJsonObject sound{{QStringLiteral("entry"), static_cast<qint64>(entry)}};
    if (runtime::isSoundReference(entry)) {
        sound.insert(QStringLiteral("sameAsImage"),
                     static_cast<qint64>(entry - runtime::kSoundReferenceBase));
    } else {
        sound.insert(QStringLiteral("length"), static_cast<qint64>(entry));
    }
    return sound;
}

/// The package read with the password the command line gave, or the
/// header alone when it is encrypted and none was given (`content` false).
int readForCommand(const QString& path, const QString& password, bool hasPassword,
                   runtime::PackageReadResult* read, bool* content, std::FILE* err) {
    *read = runtime::readPackageHeader(path);
    *content = false;
    if (read->ok() && (!read->content.header.encrypt || hasPassword)) {
        *read = runtime::readPackage(path, password);
        *content = true;
    }
    if (!read->ok()) {
        print(err, QStringLiteral("pixoria-tool: %1: %2\n").arg(path, read->message));
        return 1;
    }
    return 0;
}

int packageDump(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    QString stub, password;
    bool hasPassword = false;
    if (arguments.isEmpty() ||
        !parseOptions(arguments.mid(1), false, &stub, &password, &hasPassword, err)) {
        print(err, QString::fromLatin1(kPackageUsage));
        return 2;
    }
    const QString path = arguments[0];
    runtime::PackageReadResult read;
    bool content = false;
    if (const int code = readForCommand(path, password, hasPassword, &read, &content, err)) {
        return code;
    }
    const runtime::PackageHeader& header = read.content.header;
    QJsonObject dump = headerJson(path, header);
    QJsonArray images;
    for (int i = 0; i < header.imageCount; ++i) {
        QJsonObject image{{QStringLiteral("number"), i + 1},
                          {QStringLiteral("length"), header.imageLengths[i]},
                          {QStringLiteral("sound"), soundJson(header.soundEntries[i])},
                          {QStringLiteral("textLength"), header.textLengths[i]}};
        if (content) {
            imaging::FileInfo info;
            if (imaging::fileInfoMemory(read.content.images[i], &info) == imaging::kSuccess) {
                image.insert(QStringLiteral("width"), info.width);
                image.insert(QStringLiteral("height"), info.height);
                image.insert(QStringLiteral("bitsPerPixel"), info.bitsPerPixel);
            } else {
                image.insert(QStringLiteral("picture"), QStringLiteral("not recognised"));
            }
            image.insert(QStringLiteral("description"), read.content.descriptions[i]);
        }
        images.append(image);
    }
    dump.insert(QStringLiteral("images"), images);
    if (!content) {
        dump.insert(QStringLiteral("content"),
                    QStringLiteral("encrypted: give --password to read the pictures"));
    }
    printJson(out, dump);
    return 0;
}

int packageExtract(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    QString stub, password;
    bool hasPassword = false;
    if (arguments.size() < 2 ||
        !parseOptions(arguments.mid(2), false, &stub, &password, &hasPassword, err)) {
        print(err, QString::fromLatin1(kPackageUsage));
        return 2;
    }
    const QString path = arguments[0];
    const QString folder = arguments[1];
    runtime::PackageReadResult read;
    bool content = false;
    if (const int code = readForCommand(path, password, hasPassword, &read, &content, err)) {
        return code;
    }
    if (!content) {
        print(err, QStringLiteral("pixoria-tool: %1 is encrypted: give --password P\n").arg(path));
        return 2;
    }
    if (!QDir().mkpath(folder)) {
        print(err, QStringLiteral("pixoria-tool: cannot make the folder %1\n").arg(folder));
        return 1;
    }
    const runtime::ExtractedPackage extracted = runtime::extractPackage(read.content, folder);
    if (!extracted.ok) {
        print(err, QStringLiteral("pixoria-tool: %1\n").arg(extracted.message));
        return 1;
    }
    QJsonArray images;
    for (int i = 0; i < extracted.images.size(); ++i) {
        images.append(QJsonObject{{QStringLiteral("number"), i + 1},
                                  {QStringLiteral("image"), extracted.images[i]},
                                  {QStringLiteral("sound"), extracted.sounds[i]},
                                  {QStringLiteral("description"), extracted.descriptions[i]}});
    }
    QJsonObject summary = optionsJson(read.content.header.options());
    summary.insert(QStringLiteral("file"), path);
    summary.insert(QStringLiteral("folder"), folder);
    summary.insert(QStringLiteral("images"), images);
    printJson(out, summary);
    return 0;
}

int packageBuild(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    QString stub, password;
    bool hasPassword = false;
    if (arguments.size() < 2 ||
        !parseOptions(arguments.mid(2), true, &stub, &password, &hasPassword, err)) {
        print(err, QString::fromLatin1(kPackageUsage));
        return 2;
    }
    const runtime::ProjectLoadResult loaded = runtime::loadProject(arguments[0]);
    if (!loaded.loaded()) {
        print(err, QStringLiteral("pixoria-tool: %1\n").arg(loaded.message));
        return 1;
    }
    if (loaded.project.options.encrypt && !hasPassword) {
        print(err, QStringLiteral("pixoria-tool: %1 asks for encryption: give --password P\n")
                       .arg(arguments[0]));
        return 2;
    }
    if (!loaded.project.options.encrypt && hasPassword) {
        print(err, QStringLiteral("pixoria-tool: note: %1 does not ask for encryption; the "
                                  "password is not used\n")
                       .arg(arguments[0]));
    }
    runtime::PackageWriteOptions options;
    options.stubPath = stub.isEmpty() ? runtime::defaultStubPath() : stub;
    options.password = password;
    options.sendPassword = SettingsStore().read(prefs::general::kSendPass) == 1;

    const runtime::PackageBuildResult built =
        runtime::buildPackage(arguments[1], loaded.project, options);
    for (const QString& failed : built.failedImages) {
        print(err,
              QStringLiteral("pixoria-tool: left out, it could not be prepared: %1\n").arg(failed));
    }
    if (!built.ok) {
        print(err, QStringLiteral("pixoria-tool: %1\n").arg(built.message));
        return 1;
    }
    print(out, QStringLiteral("%1: runtime player of %2 pictures, %3 bytes\n")
                   .arg(arguments[1])
                   .arg(built.header.imageCount)
                   .arg(built.header.fileLength));
    return 0;
}

}  // namespace

int rtpCommand(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    if (arguments.size() != 2 || arguments[0] != QLatin1String("dump")) {
        print(err, QString::fromLatin1(kRtpUsage));
        return 2;
    }
    return rtpDump(arguments[1], out, err);
}

int packageCommand(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    const QString action = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (action == QLatin1String("build")) {
        return packageBuild(rest, out, err);
    }
    if (action == QLatin1String("dump")) {
        return packageDump(rest, out, err);
    }
    if (action == QLatin1String("extract")) {
        return packageExtract(rest, out, err);
    }
    print(err, QString::fromLatin1(kPackageUsage));
    return 2;
}

}  // namespace tool
