#pragma once

#include "runtime/playerproject.h"

#include <QString>

#include <optional>

class ArchiveReader;
class ArchiveWriter;

/// The player project file (".rtp"): the creator's options and, for every
/// picture, its path, sound path and description, in the framework archive
/// encoding. No picture data, no sound data and no password. Any thread.
namespace runtime {

inline constexpr char kProjectSignature[] = "starbloom runtime project";
/// The file dialogs' filter.
inline constexpr char kProjectFilter[] = "Player Projects (*.rtp)|*.rtp||";
/// A project file is never larger than this; a bigger file is not one.
inline constexpr qint64 kMaxProjectFileSize = 64 * 1024 * 1024;

/// The stored values the reader turned into options, for dumps.
struct ProjectFields {
    qint32 soundModeField = 0;
    qint32 countField = 0;
};

/// Writes the project. The caller keeps the count within kMaxImages.
void writeProject(ArchiveWriter& archive, const PlayerProject& project);

/// Reads a project; nothing when the data does not start with the
/// signature. Throws FileException when the data ends before the fields are
/// complete (EndOfFile) or holds values no writer produces: a picture count
/// beyond kMaxImages or below 0, a sound mode beyond 8 (BadFormat). A view
/// time outside 0-99 reads as 0, as the creator's edit takes it. Every
/// image path fills both the source and the prepared path: the prepared
/// pictures are made again.
std::optional<PlayerProject> readProject(ArchiveReader& archive, ProjectFields* fields = nullptr);

/// "Not a valid player project: %s" for `path`.
QString invalidProjectMessage(const QString& path);
/// What the creator shows when a project cannot be saved.
QString unableToSaveProjectMessage();

struct ProjectLoadResult {
    enum class Status {
        Loaded,
        NotOpened,  // the file could not be read: `message` says why
        Invalid,    // not a player project, or a damaged one: `message` says so
    };
    Status status = Status::NotOpened;
    QString message;
    PlayerProject project;  // the whole project, only when Loaded
    ProjectFields fields;

    bool loaded() const { return status == Status::Loaded; }
};

/// Reads the project at `path` into a fresh model; the caller takes it over
/// only when it loaded, so nothing the caller holds is lost otherwise.
ProjectLoadResult loadProject(const QString& path);

/// Stores the project through a temporary file that replaces the old one
/// only when complete. False (with the reason in `error`) when nothing was
/// stored, also for more than kMaxImages pictures.
bool saveProject(const QString& path, const PlayerProject& project, QString* error = nullptr);

}  // namespace runtime
