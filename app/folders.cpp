#include "app/folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString withTrailingSeparator(const QString& folder) {
    if (folder.endsWith(QLatin1Char('/'))) {
        return folder;
    }
    return folder + QLatin1Char('/');
}

QString determineProgramFolder(const QString& executableFolder) {
    if (executableFolder.isEmpty()) {
        return QStringLiteral("/");
    }
    const QFileInfo info(executableFolder);
    if (info.isDir() && info.isWritable()) {
        return withTrailingSeparator(info.absoluteFilePath());
    }
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString perUser = withTrailingSeparator(dataHome) + QStringLiteral("Pixoria/");
    if (QDir().mkpath(perUser)) {
        return perUser;
    }
    return withTrailingSeparator(info.absoluteFilePath());
}

QString determineWindowsFolder(const QString& programFolder) {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) {
        return withTrailingSeparator(pictures);
    }
    const QString home = QDir::homePath();
    if (!home.isEmpty() && QFileInfo(home).isDir()) {
        return withTrailingSeparator(home);
    }
    return programFolder;
}

QString determineAlbumFolder(const QString& programFolder) {
    const QString albums = programFolder + QStringLiteral("Albums/");
    const QFileInfo info(albums);
    if ((info.isDir() && info.isExecutable()) || QDir().mkpath(albums)) {
        return albums;
    }
    return programFolder;
}
