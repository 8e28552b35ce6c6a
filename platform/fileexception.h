#pragma once

#include <QString>

#include <exception>

/// A failed file or archive operation: what went wrong, the operating
/// system's error number when there is one, and the file concerned.
/// Commands catch it at their top and show one message (see reportFileErrors).
class FileException : public std::exception {
public:
    /// The framework's cause numbers, which callers may compare with.
    enum class Cause {
        None = 0,
        Generic = 1,
        FileNotFound = 2,
        BadPath = 3,
        TooManyOpenFiles = 4,
        AccessDenied = 5,
        InvalidFile = 6,
        RemoveCurrentDir = 7,
        DirectoryFull = 8,
        BadSeek = 9,
        HardIo = 10,
        SharingViolation = 11,
        LockViolation = 12,
        DiskFull = 13,
        EndOfFile = 14,  // a read ran past the end of the data
        BadFormat = 15,  // the data is not laid out as its format requires
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
