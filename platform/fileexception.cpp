#include "platform/fileexception.h"

#include <QDir>

#include <cerrno>
#include <cstring>

FileException::FileException(Cause cause, int osError, QString path)
    : m_cause(cause), m_osError(osError), m_path(std::move(path)) {
    m_what = message().toUtf8();
}

FileException FileException::fromErrno(int osError, const QString& path) {
    Cause cause = Cause::Generic;
    switch (osError) {
        case ENOENT:
            cause = Cause::FileNotFound;
            break;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            cause = Cause::BadPath;
            break;
        case EMFILE:
        case ENFILE:
            cause = Cause::TooManyOpenFiles;
            break;
        case EACCES:
        case EPERM:
        case EROFS:
            cause = Cause::AccessDenied;
            break;
        case EISDIR:
            cause = Cause::InvalidFile;
            break;
        case ESPIPE:
        case EINVAL:
            cause = Cause::BadSeek;
            break;
        case EIO:
            cause = Cause::HardIo;
            break;
        case EAGAIN:
            cause = Cause::LockViolation;
            break;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            cause = Cause::DiskFull;
            break;
        default:
            break;
    }
    return FileException(cause, osError, path);
}

QString FileException::message() const {
    const QString name =
        m_path.isEmpty() ? QStringLiteral("the file") : QDir::toNativeSeparators(m_path);
    QString text;
    switch (m_cause) {
        case Cause::FileNotFound:
            text = QStringLiteral("%1 was not found.");
            break;
        case Cause::BadPath:
            text = QStringLiteral("%1 contains an incorrect path.");
            break;
        case Cause::TooManyOpenFiles:
            text = QStringLiteral("%1 could not be opened because there are too many open files.");
            break;
        case Cause::AccessDenied:
            text = QStringLiteral("Access to %1 was denied.");
            break;
        case Cause::InvalidFile:
            text = QStringLiteral("%1 is not a file that can be used here.");
            break;
        case Cause::DirectoryFull:
            text = QStringLiteral("%1 could not be created because the folder is full.");
            break;
        case Cause::BadSeek:
            text = QStringLiteral("An error occurred while moving within %1.");
            break;
        case Cause::HardIo:
            text = QStringLiteral("A hardware input/output error was reported while accessing %1.");
            break;
        case Cause::SharingViolation:
        case Cause::LockViolation:
            text = QStringLiteral("%1 is locked by another program.");
            break;
        case Cause::DiskFull:
            text = QStringLiteral("The disk is full while writing %1.");
            break;
        case Cause::EndOfFile:
            text = QStringLiteral("An attempt was made to read past the end of %1.");
            break;
        case Cause::BadFormat:
            text = QStringLiteral("%1 has an unexpected format.");
            break;
        case Cause::RemoveCurrentDir:
            text = QStringLiteral("%1 cannot be removed while it is the current folder.");
            break;
        case Cause::None:
        case Cause::Generic:
            text = QStringLiteral("An unexpected error occurred while accessing %1.");
            break;
    }
    text = text.arg(name);
    if (m_osError > 0) {
        text += QStringLiteral("\n(%1)").arg(QString::fromLocal8Bit(std::strerror(m_osError)));
    }
    return text;
}

const char* FileException::what() const noexcept {
    return m_what.constData();
}
