#pragma once

#include <QString>

#include <atomic>
#include <functional>

/// The folder walk of the image search: every file below a folder whose
/// name matches a mask and that the imaging library recognises, in the
/// order the file system lists them, optionally descending into
/// sub-folders depth-first. Runs on any thread; the cancel flag may be set
/// from another.
namespace search {

/// Shared by the nested walk of one search; reset before every search.
struct SearchState {
    std::atomic<int> imagesAdded{0};
    std::atomic<bool> cancel{false};

    void reset() {
        imagesAdded = 0;
        cancel = false;
    }
};

/// Hands an accepted file (its full path) to the target window; 0 when the
/// window added it.
using AddFile = std::function<int(const QString& path)>;

/// Whether the mask stands for every file: exactly "*.*".
bool maskMatchesEverything(const QString& mask);

/// Whether `name` matches `mask` with "*" and "?" wildcards, letters
/// compared without regard to case, as masks were always typed.
bool maskMatches(const QString& mask, const QString& name);

/// The probe: the file is an image of a format the thumbnails show (file
/// information succeeds with a format code other than 0, 7, 41 and 52).
bool probeAccepts(const QString& path);

/// Walks `folder`. Hidden entries (names starting with "."), files and
/// folders alike, are passed over, folders that cannot be listed silently; folders reached through
/// a symbolic link are not entered, so a link back up the tree cannot loop. Returns early, at every
/// level, once `state.cancel` is set; what was added until then stays.
void walkFolder(const QString& folder, const QString& mask, bool includeSubFolders,
                SearchState& state, const AddFile& add);

}  // namespace search
