#pragma once

#include "slideshow/slideshow.h"

#include <QList>
#include <QString>

#include <optional>

class ArchiveReader;
class ArchiveWriter;
class SettingsStore;

/// The first field of every slide show file.
inline constexpr char kSlideShowSignature[] = "starbloom slide file";

/// The two writers of .sld files. Both write the same layout; the editor's
/// writes every sound path empty and writes advanced as held, the advanced
/// options' writer keeps the sounds, writes advanced as 1 and puts
/// transitionMode after the per-slide transition codes.
enum class SlideShowWriter { Editor, AdvancedOptions };

/// Layout facts the reader met besides the show itself, for dumps and
/// checks.
struct SlideShowFileInfo {
    /// The transitions field as stored: 0 off, 2 on, 1 on in the older layout.
    qint32 transitionsField = 0;
    /// The 113 stored values of the legacy transition table, when the file
    /// carries one.
    QList<qint32> legacyTable;
    /// Where the reader stopped: the end of the transition block.
    qint64 transitionBlockEnd = 0;
    /// Bytes after the transition block; the advanced options' writer leaves
    /// transitionMode there after per-slide codes.
    qint64 trailingBytes = 0;
    std::optional<qint32> transitionModeAfterCodes;
};

/// Reads a .sld file into `show`. The slides are replaced by the file's;
/// show-wide values the file does not carry (the set when the file holds
/// per-slide codes, soundsync, ...) keep theirs. Returns false when the
/// signature does not match, having read nothing after it. Throws
/// FileException when the data ends before a field it announces, or holds
/// a slide count beyond the list's capacity, a transition set beyond its
/// capacity or a transitions field no writer produces. On any failure
/// `show` may be partly read: read into a copy (loadSlideShowFile does).
bool readSlideShow(ArchiveReader& archive, SlideShow& show, SlideShowFileInfo* info = nullptr);

/// Writes `show` in the layout of `writer`. The editor's writer leaves the
/// sounds in `show` alone; saveSlideShowFile drops them once the file is
/// stored.
void writeSlideShow(ArchiveWriter& archive, const SlideShow& show, SlideShowWriter writer);

/// "Not a valid slide show file: %s" for `path`.
QString invalidSlideShowMessage(const QString& path);
/// What the dialogs show when a show cannot be saved.
QString unableToSaveSlideShowMessage();

struct SlideShowLoadResult {
    enum class Status {
        Loaded,
        NotOpened,  // the file could not be opened; callers pass over it quietly
        Invalid,    // not a slide show file: `message` says so
    };
    Status status = Status::NotOpened;
    /// False when the signature differed (or could not be read).
    bool signatureMatched = false;
    QString message;

    bool loaded() const { return status == Status::Loaded; }
};

/// Reads the file at `path` into a copy of `show` and hands it over only
/// when the whole file read; otherwise `show` is unchanged.
SlideShowLoadResult loadSlideShowFile(const QString& path, SlideShow& show);

/// Stores `show` at `path` through a temporary file that replaces the old
/// one only when complete. With the editor's writer the sounds held in
/// `show` are dropped once the file is stored, as the file has none. False
/// (with the reason in `error`) when nothing was stored; `show` is then
/// unchanged.
bool saveSlideShowFile(const QString& path, SlideShow& show, SlideShowWriter writer,
                       QString* error = nullptr);

/// The editor's Open and Save: Manual Mode, Loop and Use Transitions, as
/// `show` holds them before the file is touched, go to the settings store
/// first (storeEditorCheckBoxes), then the file is read or written. The
/// editor puts its slide list's rows into `show.slides` before saving.
SlideShowLoadResult editorLoadSlideShow(SettingsStore& store, const QString& path, SlideShow& show);
bool editorSaveSlideShow(SettingsStore& store, const QString& path, SlideShow& show,
                         QString* error = nullptr);
