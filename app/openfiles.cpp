#include "app/openfiles.h"

#include <algorithm>

bool OpenFilesList::add(const QString& path) {
    if (count() >= kCapacity) {
        return false;
    }
    m_paths.append(path);
    return true;
}

bool OpenFilesList::remove(const QString& path) {
    const qsizetype index = m_paths.indexOf(path);
    if (index < 0) {
        return false;
    }
    m_paths[index] = m_paths.constLast();
    m_paths.removeLast();
    return true;
}

bool OpenFilesList::replace(const QString& oldPath, const QString& newPath) {
    const qsizetype index = m_paths.indexOf(oldPath);
    if (index < 0) {
        return false;
    }
    m_paths[index] = newPath;
    return true;
}

void OpenFilesList::removeUntitled() {
    m_untitled = std::max(0, m_untitled - 1);
}

int OpenFilesList::withFileCount() const {
    return std::max(0, count() - m_untitled);
}

bool ImagePathList::append(const QString& path) {
    if (count() >= m_capacity) {
        return false;
    }
    m_paths.append(path);
    return true;
}
