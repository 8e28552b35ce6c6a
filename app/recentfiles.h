#pragma once

#include <QStringList>

class QSettings;

/// The recent-file list: the 8 files opened last, newest first, kept in the
/// settings store's group "Recent File List" as "File1" to "File8".
class RecentFileList {
public:
    static constexpr int kSize = 8;

    explicit RecentFileList(QSettings& store);

    /// Puts `path` at the top (moving it when listed) and stores the list.
    void add(const QString& path);
    void remove(int index);
    const QStringList& paths() const { return m_paths; }

private:
    void save();

    QSettings& m_store;
    QStringList m_paths;
};
