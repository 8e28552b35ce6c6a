#pragma once

#include <QString>
#include <QStringList>

/// The mount points of the file systems, deepest match first. Albums use it
/// in place of drive letters: a photo path is moved from the volume it names
/// to the volume the album file lies on. A value; any thread may hold its own.
class MountTable {
public:
    /// Absolute mount points; others are ignored.
    explicit MountTable(const QStringList& mountPoints);

    /// The volumes mounted now, and "/" always.
    static MountTable system();

    /// The deepest mount point that is `path` or one of its ancestors,
    /// compared by path components. Empty when `path` is not absolute (a
    /// relative path, or one of the Windows program such as "c:\a.bmp").
    QString mountPointOf(const QString& path) const;

    const QStringList& mountPoints() const { return m_mountPoints; }

private:
    QStringList m_mountPoints;
};

/// True when `path` is `folder` or lies below it, compared by components;
/// both cleaned and absolute.
bool isWithinFolder(const QString& path, const QString& folder);
