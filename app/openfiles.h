#pragma once

#include <QStringList>

/// The paths (or, for images never saved, the titles) of the open image
/// documents, with the number of those that have no file.
class OpenFilesList {
public:
    static constexpr int kCapacity = 10001;

    /// False when the list is full.
    bool add(const QString& path);
    /// Removes the first entry equal to `path`; the last entry moves into its
    /// place. False when the path is not listed.
    bool remove(const QString& path);
    /// Replaces the first entry equal to `oldPath`. False when not listed.
    bool replace(const QString& oldPath, const QString& newPath);
    bool contains(const QString& path) const { return m_paths.contains(path); }
    /// Empties the list and the untitled count.
    void clear() {
        m_paths.clear();
        m_untitled = 0;
    }

    int count() const { return static_cast<int>(m_paths.size()); }
    const QStringList& paths() const { return m_paths; }

    int untitledCount() const { return m_untitled; }
    void addUntitled() { ++m_untitled; }
    /// Never below 0.
    void removeUntitled();
    /// The listed documents that have a file.
    int withFileCount() const;

private:
    QStringList m_paths;
    int m_untitled = 0;
};

/// The image paths File Open collects while a tool gathers pictures (the
/// slide show's and the runtime player's lists), up to a capacity.
class ImagePathList {
public:
    explicit ImagePathList(int capacity) : m_capacity(capacity) {}

    /// False when the list is full.
    bool append(const QString& path);
    void clear() { m_paths.clear(); }
    int count() const { return static_cast<int>(m_paths.size()); }
    int capacity() const { return m_capacity; }
    const QStringList& paths() const { return m_paths; }

private:
    int m_capacity;
    QStringList m_paths;
};
