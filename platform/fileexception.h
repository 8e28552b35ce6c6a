#pragma once

#include <QString>

#include <exception>

/// A failed file or archive operation: what went wrong, the operating
/// system's error number when there is one, and the file concerned.
/// Commands catch it at their top and show one message (see reportFileErrors).
class FileException : public std::exception {
public:
    enum class Cause {
        Generic,
        FileNotFound,
        BadPath,
        TooManyOpenFiles,
        AccessDenied,
        InvalidFile,
        DirectoryFull,
        BadSeek,
        HardIo,
        SharingViolation,
        LockViolation,
        DiskFull,
        EndOfFile,  // a read ran past the end of the data
        BadFormat,  // the data is not laid out as its format requires
    };

    FileException(Cause cause, int osError, QString path);

    /// Builds the exception from errno-style error numbers of the file calls.
    static FileException fromErrno(int osError, const QString& path);

    Cause cause() const { return m_cause; }
    int osError() const { return m_osError; }
    const QString& path() const { return m_path; }

    /// The sentence shown to the user.
    QString message() const;
    const char* what() const noexcept override;

private:
    Cause m_cause;
    int m_osError;
    QString m_path;
    QByteArray m_what;
};
