#include "album/albumfile.h"
#include "album/mounttable.h"
#include "platform/fileexception.h"
#include "tools/commands.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tool {

namespace {

int dump(const QString& path, std::FILE* out, std::FILE* err) {
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    QFile file(fullPath);
    if (!file.open(QIODevice::ReadOnly)) {
        print(err,
              QStringLiteral("pixoria-tool: cannot read %1: %2\n").arg(path, file.errorString()));
        return 1;
    }
    if (file.size() > kAlbumMaximumSize) {
        print(err, QStringLiteral("pixoria-tool: %1\npixoria-tool: %2 bytes is more than an "
                                  "album holds\n")
                       .arg(invalidAlbumMessage(fullPath))
                       .arg(file.size()));
        return 1;
    }
    const QByteArray data = file.readAll();
    AlbumModel album;
    qint64 used = 0;
    try {
        album = readAlbum(data, fullPath, &used);
    } catch (const FileException& error) {
        print(err, QStringLiteral("pixoria-tool: %1\npixoria-tool: %2\n")
                       .arg(invalidAlbumMessage(fullPath), error.message()));
        return 1;
    }
    if (used < data.size()) {
        print(err, QStringLiteral("pixoria-tool: note: %1 bytes follow the last photo\n")
                       .arg(data.size() - used));
    }
    const QString realPath = QFileInfo(fullPath).canonicalFilePath();
    album.setAlbumDrive(
        MountTable::system().mountPointOf(realPath.isEmpty() ? fullPath : realPath));

    QJsonArray photos;
    for (int i = 0; i < album.count(); ++i) {
        const AlbumPhoto& photo = album.photo(i);
        photos.append(QJsonObject{
            {QStringLiteral("number"), i + 1},
            {QStringLiteral("path"), photo.path},
            {QStringLiteral("description"), photo.description},
            {QStringLiteral("title"), photo.title},
        });
    }
    const QJsonObject root{
        {QStringLiteral("size"), data.size()},
        {QStringLiteral("signature"), QString::fromLatin1(kAlbumSignature)},
        {QStringLiteral("name"), album.name()},
        {QStringLiteral("count"), album.count()},
        {QStringLiteral("photos"), photos},
        {QStringLiteral("albumDrive"), album.albumDrive()},
    };
    printJson(out, root);
    return 0;
}

}  // namespace

int albumCommand(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    if (arguments.size() == 2 && arguments.at(0) == QLatin1String("dump")) {
        return dump(arguments.at(1), out, err);
    }
    print(err, QStringLiteral("Usage: pixoria-tool alb dump FILE\n"));
    return 2;
}

}  // namespace tool
