#include "app/recentfiles.h"

#include <QSettings>

namespace {
const QString kGroup = QStringLiteral("Recent File List");

QString entryKey(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}
}  // namespace

RecentFileList::RecentFileList(QSettings& store) : m_store(store) {
    m_store.beginGroup(kGroup);
    for (int i = 0; i < kSize; ++i) {
        const QString path = m_store.value(entryKey(i)).toString();
        if (!path.isEmpty() && !m_paths.contains(path)) {
            m_paths.append(path);
        }
    }
    m_store.endGroup();
}

void RecentFileList::add(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    m_paths.removeAll(path);
    m_paths.prepend(path);
    while (m_paths.size() > kSize) {
        m_paths.removeLast();
    }
    save();
}

void RecentFileList::remove(int index) {
    if (index < 0 || index >= m_paths.size()) {
        return;
    }
    m_paths.removeAt(index);
    save();
}

void RecentFileList::save() {
    m_store.beginGroup(kGroup);
    m_store.remove(QString());
    for (int i = 0; i < m_paths.size(); ++i) {
        m_store.setValue(entryKey(i), m_paths.at(i));
    }
    m_store.endGroup();
    m_store.sync();
}
