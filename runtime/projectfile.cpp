#include "runtime/projectfile.h"

#include "platform/archive.h"
#include "platform/atomicfile.h"
#include "platform/fileexception.h"

#include <QFile>

namespace runtime {

namespace {

// Every picture takes at least three empty strings of one byte each.
constexpr int kSmallestImageRecord = 3;

qint32 flag(bool on) {
    return on ? 1 : 0;
}

}  // namespace

void writeProject(ArchiveWriter& archive, const PlayerProject& project) {
    const PlayerOptions& options = project.options;
    archive.writeString(QString::fromLatin1(kProjectSignature));
    archive.writeInt32(options.soundMode + (options.fullScreen ? kFullScreenFlag : 0));
    archive.writeInt32(options.viewTime);
    archive.writeInt32(flag(options.autoPlay));
    archive.writeInt32(flag(options.loop));
    archive.writeInt32(flag(options.encrypt));
    archive.writeInt32(flag(options.synchronise));
    archive.writeInt32(flag(options.descriptions));
    archive.writeInt32(static_cast<qint32>(project.images.size()) +
                       (options.transitions ? kTransitionsFlag : 0));
    for (const PlayerImage& image : project.images) {
        archive.writeString(image.sourcePath);
        archive.writeString(image.soundPath);
        archive.writeString(image.description);
    }
}

std::optional<PlayerProject> readProject(ArchiveReader& archive, ProjectFields* fields) {
    // Whatever stands where the signature belongs, be it a string that runs
    // past the end, the file is not a project.
    QString signature;
    try {
        signature = archive.readString();
    } catch (const FileException&) {
        return std::nullopt;
    }
    if (signature != QLatin1String(kProjectSignature)) {
        return std::nullopt;
    }

    PlayerProject project;
    PlayerOptions& options = project.options;
    qint32 soundMode = archive.readInt32();
    const qint32 soundModeField = soundMode;
    options.viewTime = archive.readInt32();
    options.autoPlay = archive.readInt32() != 0;
    options.loop = archive.readInt32() != 0;
    options.encrypt = archive.readInt32() != 0;
    options.synchronise = archive.readInt32() != 0;
    options.descriptions = archive.readInt32() != 0;
    qint32 count = archive.readInt32();
    const qint32 countField = count;

    if (soundMode >= kFullScreenFlag) {
        soundMode -= kFullScreenFlag;
        options.fullScreen = true;
    }
    // A project of no pictures with transitions on holds exactly 10000.
    if (count >= kTransitionsFlag) {
        count -= kTransitionsFlag;
        options.transitions = true;
    }
    if (soundMode < 0 || soundMode > kMaxSoundMode || count < 0 || count > kMaxImages) {
        archive.fail();
    }
    options.soundMode = soundMode;
    if (options.viewTime < 0 || options.viewTime > kMaxViewTime) {
        options.viewTime = 0;
    }
    archive.require(static_cast<qint64>(count) * kSmallestImageRecord);

    project.images.reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        PlayerImage image;
        image.sourcePath = archive.readString();
        image.preparedPath = image.sourcePath;
        image.soundPath = archive.readString();
        image.description = archive.readString();
        project.images.append(std::move(image));
    }
    if (fields) {
        fields->soundModeField = soundModeField;
        fields->countField = countField;
    }
    return project;
}

QString invalidProjectMessage(const QString& path) {
    return QStringLiteral("Not a valid player project: %1").arg(path);
}

QString unableToSaveProjectMessage() {
    return QStringLiteral("Error: Unable to save file");
}

ProjectLoadResult loadProject(const QString& path) {
    ProjectLoadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const auto cause = QFile::exists(path) ? FileException::Cause::AccessDenied
                                               : FileException::Cause::FileNotFound;
        result.message = FileException(cause, 0, path).message();
        return result;
    }
    if (file.size() > kMaxProjectFileSize) {
        result.status = ProjectLoadResult::Status::Invalid;
        result.message = invalidProjectMessage(path);
        return result;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.message = FileException(FileException::Cause::HardIo, 0, path).message();
        return result;
    }

    result.status = ProjectLoadResult::Status::Invalid;
    try {
        ArchiveReader archive(data, path);
        std::optional<PlayerProject> project = readProject(archive, &result.fields);
        if (!project) {
            result.message = invalidProjectMessage(path);
            return result;
        }
        result.project = std::move(*project);
    } catch (const FileException& error) {
        // A file that ends early is reported as the archive's error, one
        // with impossible values as not a project.
        result.message = error.cause() == FileException::Cause::EndOfFile
                             ? error.message()
                             : invalidProjectMessage(path);
        return result;
    }
    result.status = ProjectLoadResult::Status::Loaded;
    return result;
}

bool saveProject(const QString& path, const PlayerProject& project, QString* error) {
    if (project.images.size() > kMaxImages) {
        if (error) {
            *error = QStringLiteral("A player holds at most %1 pictures.").arg(kMaxImages);
        }
        return false;
    }
    ArchiveWriter archive;
    writeProject(archive, project);
    return writeFileAtomically(path, archive.data(), error);
}

}  // namespace runtime
