#include "search/folderwalk.h"

#include "imaging/errors.h"
#include "imaging/fileinfo.h"
#include "imaging/imagefile.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace search {

namespace {

struct Entry {
    QByteArray name;  // as the file system stores it
    bool folder = false;
    bool hidden = false;
    bool accepted = false;  // the probe took it
};

using Folder = std::unique_ptr<DIR, int (*)(DIR*)>;

/// The entries of `dir` in the order the file system returns them. Links
/// to folders count as files, so the walk does not enter them; the probe
/// rejects them.
std::vector<Entry> listFolder(DIR* dir) {
    std::vector<Entry> entries;
    while (const dirent* entry = readdir(dir)) {
        Entry item;
        item.name = QByteArray(entry->d_name);
        if (entry->d_type == DT_UNKNOWN) {
            struct stat facts {};
            item.folder = fstatat(dirfd(dir), entry->d_name, &facts, AT_SYMLINK_NOFOLLOW) == 0 &&
                          S_ISDIR(facts.st_mode);
        } else {
            item.folder = entry->d_type == DT_DIR;
        }
        item.hidden = item.name.startsWith('.');
        entries.push_back(std::move(item));
    }
    return entries;
}

bool sameLetter(QChar a, QChar b) {
    if (a.unicode() < 128 && b.unicode() < 128) {
        const auto lower = [](char16_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        return lower(a.unicode()) == lower(b.unicode());
    }
    return a.toCaseFolded() == b.toCaseFolded();
}

/// Wildcard matching that remembers only the last "*": linear in practice
/// and never worse than mask length times name length.
bool wildcardMatch(const QString& mask, const QString& name) {
    qsizetype m = 0;
    qsizetype n = 0;
    qsizetype star = -1;
    qsizetype resume = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == QLatin1Char('*')) {
            star = m++;
            resume = n;
        } else if (m < mask.size() &&
                   (mask[m] == QLatin1Char('?') || sameLetter(mask[m], name[n]))) {
            ++m;
            ++n;
        } else if (star >= 0) {
            m = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == QLatin1Char('*')) {
        ++m;
    }
    return m == mask.size();
}

// Enough for the headers of nearly every picture, EXIF blocks aside.
constexpr int kProbeBytes = 8192;
// Folders with fewer candidates than this are probed on one thread.
constexpr int kParallelProbes = 32;

bool acceptedFormat(int format) {
    return format != 0 && format != 7 && format != 41 && format != 52;
}

QString childPath(const QString& folder, const QByteArray& name) {
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/'))) {
        path += QLatin1Char('/');
    }
    return path + QFile::decodeName(name);
}

/// The probe of `name` in the folder open as `folderFd`, `folder` the
/// folder's path (empty when `name` is a whole path).
/// Most pictures tell what they are in their first few kilobytes: only
/// those are read, with one open relative to the folder and one read, and
/// the whole file is asked only when they do not say.
bool probeAt(int folderFd, const QByteArray& name, const QString& folder) {
    imaging::FileInfo info;
    int status = imaging::kErrorInvalidFormat;
    const int fd = openat(folderFd, name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd >= 0) {
        char head[kProbeBytes];
        const ssize_t got = read(fd, head, sizeof head);
        close(fd);
        if (got > 0) {
            status = imaging::fileInfoMemory(QByteArrayView(head, got), &info);
        }
    }
    // Some formats are known by their file name too, which the bytes alone
    // do not carry: a file the head does not explain is asked in full.
    if (status != imaging::kSuccess) {
        status = imaging::fileInfo(
            folder.isEmpty() ? QFile::decodeName(name) : childPath(folder, name), &info);
    }
    return status == imaging::kSuccess && acceptedFormat(info.format);
}

/// Probes the candidates of one folder, on every core when there are enough
/// of them; stops early when the search is cancelled. The walk then takes
/// the answers in listing order.
void probeAll(int folderFd, const QString& folder, const std::vector<Entry*>& candidates,
              const SearchState& state) {
    const int count = static_cast<int>(candidates.size());
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i = next++; i < count && !state.cancel; i = next++) {
            Entry& entry = *candidates[static_cast<size_t>(i)];
            entry.accepted = probeAt(folderFd, entry.name, folder);
        }
    };
    const int helpers =
        count < kParallelProbes
            ? 0
            : std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8) - 1;
    std::vector<std::thread> pool;
    pool.reserve(static_cast<size_t>(helpers));
    for (int i = 0; i < helpers; ++i) {
        pool.emplace_back(work);
    }
    work();
    for (std::thread& thread : pool) {
        thread.join();
    }
}

}  // namespace

bool maskMatchesEverything(const QString& mask) {
    return mask == QLatin1String("*.*");
}

bool maskMatches(const QString& mask, const QString& name) {
    // "*.*" stands for every name, also those without a dot.
    return maskMatchesEverything(mask) || wildcardMatch(mask, name);
}

bool probeAccepts(const QString& path) {
    return probeAt(AT_FDCWD, QFile::encodeName(path), QString());
}

void walkFolder(const QString& folder, const QString& mask, bool includeSubFolders,
                SearchState& state, const AddFile& add) {
    if (state.cancel) {
        return;
    }
    const Folder dir(opendir(QFile::encodeName(folder).constData()), closedir);
    if (!dir) {
        return;
    }
    std::vector<Entry> entries = listFolder(dir.get());
    const bool everything = maskMatchesEverything(mask);

    // The match listing: the visible plain files whose names match, in
    // listing order. Each step of the full listing that reaches a visible
    // entry other than a folder being entered takes the next of them. Under
    // "everything" the visible files themselves are probed.
    std::vector<Entry*> candidates;
    for (Entry& entry : entries) {
        if (!entry.folder && !entry.hidden &&
            (everything || maskMatches(mask, QFile::decodeName(entry.name)))) {
            candidates.push_back(&entry);
        }
    }
    probeAll(dirfd(dir.get()), folder, candidates, state);
    size_t nextMatch = 0;

    for (const Entry& entry : entries) {
        if (state.cancel) {
            return;
        }
        // Hidden folders are not entered either: on this system they hold
        // caches and settings, among them the thumbnail cache itself.
        if (entry.folder && !entry.hidden && includeSubFolders) {
            walkFolder(childPath(folder, entry.name), mask, includeSubFolders, state, add);
            continue;
        }
        if (entry.hidden) {  // also "." and ".."
            continue;
        }
        if (!everything) {
            if (nextMatch < candidates.size()) {
                const Entry& match = *candidates[nextMatch++];
                if (match.accepted) {
                    add(childPath(folder, match.name));
                    ++state.imagesAdded;
                }
            }
        } else if (entry.accepted && add(childPath(folder, entry.name)) == 0) {
            ++state.imagesAdded;
        }
    }
}

}  // namespace search
