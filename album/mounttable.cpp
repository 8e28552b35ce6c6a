#include "album/mounttable.h"

#include <QDir>
#include <QStorageInfo>

namespace {

const QString kRoot = QStringLiteral("/");

}  // namespace

bool isWithinFolder(const QString& path, const QString& folder) {
    if (folder == kRoot) {
        return path.startsWith(QLatin1Char('/'));
    }
    return path.startsWith(folder) &&
           (path.size() == folder.size() || path.at(folder.size()) == QLatin1Char('/'));
}

MountTable::MountTable(const QStringList& mountPoints) {
    for (const QString& mountPoint : mountPoints) {
        if (mountPoint.startsWith(QLatin1Char('/'))) {
            m_mountPoints.append(QDir::cleanPath(mountPoint));
        }
    }
}

MountTable MountTable::system() {
    QStringList mountPoints{kRoot};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid()) {
            mountPoints.append(volume.rootPath());
        }
    }
    return MountTable(mountPoints);
}

QString MountTable::mountPointOf(const QString& path) const {
    if (!path.startsWith(QLatin1Char('/'))) {
        return {};
    }
    const QString clean = QDir::cleanPath(path);
    QString deepest;
    for (const QString& mountPoint : m_mountPoints) {
        if (mountPoint.size() > deepest.size() && isWithinFolder(clean, mountPoint)) {
            deepest = mountPoint;
        }
    }
    return deepest;
}
