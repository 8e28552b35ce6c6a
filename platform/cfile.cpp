#include "platform/cfile.h"

#include "platform/fileexception.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype kBufferSize = 64 * 1024;

/// write() until everything is out, or the error number.
int writeAll(int fd, const char* data, qsizetype count) {
    while (count > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(count));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        data += written;
        count -= written;
    }
    return 0;
}

}  // namespace

CFile::~CFile() {
    if (m_fd >= 0) {
        // Destruction does not throw; a caller that wants errors closes first.
        try {
            settle();
        } catch (const FileException&) {
        }
        ::close(m_fd);
    }
}

void CFile::fail(int osError) const {
    throw FileException::fromErrno(osError, m_path);
}

bool CFile::open(const QString& path, unsigned mode, FileException* error) {
    if (m_fd >= 0) {
        close();
    }
    int flags = O_CLOEXEC;
    switch (mode & 3) {
        case kModeWrite:
            flags |= O_WRONLY;
            break;
        case kModeReadWrite:
            flags |= O_RDWR;
            break;
        default:
            flags |= O_RDONLY;
            break;
    }
    if (mode & kModeCreate) {
        flags |= O_CREAT;
        if (!(mode & kModeNoTruncate)) {
            flags |= O_TRUNC;
        }
    }
    const QByteArray name = path.toLocal8Bit();
    const int fd = ::open(name.constData(), flags, 0666);
    if (fd < 0) {
        if (error) {
            *error = FileException::fromErrno(errno, path);
        }
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        if (error) {
            *error = FileException(FileException::Cause::AccessDenied, EISDIR, path);
        }
        return false;
    }
    m_fd = fd;
    m_path = path;
    m_position = 0;
    m_writeBuffer.clear();
    m_readBuffer.clear();
    m_readStart = 0;
    return true;
}

void CFile::settle() const {
    if (!m_writeBuffer.empty()) {
        const int error =
            writeAll(m_fd, m_writeBuffer.data(), static_cast<qsizetype>(m_writeBuffer.size()));
        m_writeBuffer.clear();
        if (error != 0) {
            fail(error);
        }
    }
    if (!m_readBuffer.isEmpty()) {
        m_readBuffer.clear();
        if (::lseek(m_fd, static_cast<off_t>(m_position), SEEK_SET) < 0) {
            fail(errno);
        }
    }
}

std::uint32_t CFile::read(void* buffer, std::uint32_t count) {
    if (m_fd < 0) {
        fail(EBADF);
    }
    if (count == 0) {
        return 0;
    }
    if (!m_writeBuffer.empty()) {
        settle();
    }
    auto* out = static_cast<char*>(buffer);
    std::uint32_t delivered = 0;
    while (delivered < count) {
        const std::uint64_t bufferEnd =
            m_readStart + static_cast<std::uint64_t>(m_readBuffer.size());
        if (m_position >= m_readStart && m_position < bufferEnd) {
            const qsizetype offset = static_cast<qsizetype>(m_position - m_readStart);
            const qsizetype n =
                std::min<qsizetype>(count - delivered, m_readBuffer.size() - offset);
            std::copy_n(m_readBuffer.constData() + offset, n, out + delivered);
            delivered += static_cast<std::uint32_t>(n);
            m_position += static_cast<std::uint64_t>(n);
            continue;
        }
        // Large reads go straight to the caller; small ones fill the buffer.
        const std::uint32_t wanted = count - delivered;
        if (::lseek(m_fd, static_cast<off_t>(m_position), SEEK_SET) < 0) {
            fail(errno);
        }
        if (wanted >= kBufferSize) {
            const ssize_t got = ::read(m_fd, out + delivered, wanted);
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                fail(errno);
            }
            m_readBuffer.clear();
            if (got == 0) {
                break;
            }
            delivered += static_cast<std::uint32_t>(got);
            m_position += static_cast<std::uint64_t>(got);
            continue;
        }
        m_readBuffer.resize(kBufferSize);
        ssize_t got = 0;
        do {
            got = ::read(m_fd, m_readBuffer.data(), kBufferSize);
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            m_readBuffer.clear();
            fail(errno);
        }
        m_readBuffer.resize(got);
        m_readStart = m_position;
        if (got == 0) {
            break;
        }
    }
    return delivered;
}

void CFile::write(const void* buffer, std::uint32_t count) {
    if (m_fd < 0) {
        fail(EBADF);
    }
    if (count == 0) {
        return;
    }
    if (!m_readBuffer.isEmpty()) {
        settle();
    }
    if (qsizetype(m_writeBuffer.size()) + qsizetype(count) > kBufferSize) {
        settle();
    }
    if (qsizetype(count) >= kBufferSize) {
        if (::lseek(m_fd, static_cast<off_t>(m_position), SEEK_SET) < 0) {
            fail(errno);
        }
        if (const int error = writeAll(m_fd, static_cast<const char*>(buffer), count); error != 0) {
            fail(error);
        }
    } else {
        if (m_writeBuffer.empty()) {
            if (::lseek(m_fd, static_cast<off_t>(m_position), SEEK_SET) < 0) {
                fail(errno);
            }
            m_writeBuffer.reserve(kBufferSize);
        }
        const auto* bytes = static_cast<const char*>(buffer);
        m_writeBuffer.insert(m_writeBuffer.end(), bytes, bytes + count);
    }
    m_position += count;
}

std::uint64_t CFile::seek(std::int64_t offset, unsigned origin) {
    if (m_fd < 0) {
        fail(EBADF);
    }
    std::int64_t base = 0;
    if (origin == kCurrent) {
        base = static_cast<std::int64_t>(m_position);
    } else if (origin == kEnd) {
        base = static_cast<std::int64_t>(getLength());
    } else if (origin != kBegin) {
        fail(EINVAL);
    }
    const std::int64_t target = base + offset;
    if (target < 0) {
        throw FileException(FileException::Cause::BadSeek, EINVAL, m_path);
    }
    if (static_cast<std::uint64_t>(target) != m_position) {
        // Gathered writes belong where they were made; read-ahead may serve
        // the new place.
        if (!m_writeBuffer.empty()) {
            settle();
        }
        m_position = static_cast<std::uint64_t>(target);
    }
    return m_position;
}

std::uint64_t CFile::getPosition() const {
    if (m_fd < 0) {
        fail(EBADF);
    }
    return m_position;
}

void CFile::setLength(std::uint64_t length) {
    if (m_fd < 0) {
        fail(EBADF);
    }
    settle();
    if (::ftruncate(m_fd, static_cast<off_t>(length)) != 0) {
        fail(errno);
    }
}

std::uint64_t CFile::getLength() const {
    if (m_fd < 0) {
        fail(EBADF);
    }
    settle();
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) {
        fail(errno);
    }
    return static_cast<std::uint64_t>(info.st_size);
}

void CFile::flush() {
    if (m_fd >= 0) {
        settle();
    }
}

void CFile::sync() {
    flush();
    if (m_fd >= 0 && ::fdatasync(m_fd) != 0 && errno != EINVAL && errno != EROFS) {
        fail(errno);
    }
}

void CFile::close() {
    if (m_fd < 0) {
        return;
    }
    const int fd = m_fd;
    try {
        settle();
    } catch (const FileException&) {
        ::close(fd);
        m_fd = -1;
        throw;
    }
    m_fd = -1;
    if (::close(fd) != 0) {
        fail(errno);
    }
}

void CFile::abort() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_writeBuffer.clear();
    m_readBuffer.clear();
}

void CFile::lockRange(std::uint64_t position, std::uint64_t count) {
    if (m_fd < 0) {
        fail(EBADF);
    }
    settle();
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(position);
    lock.l_len = static_cast<off_t>(count);
    if (::fcntl(m_fd, F_SETLK, &lock) != 0) {
        fail(errno == EACCES ? EAGAIN : errno);
    }
}

void CFile::unlockRange(std::uint64_t position, std::uint64_t count) {
    if (m_fd < 0) {
        fail(EBADF);
    }
    settle();
    struct flock lock {};
    lock.l_type = F_UNLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(position);
    lock.l_len = static_cast<off_t>(count);
    if (::fcntl(m_fd, F_SETLK, &lock) != 0) {
        fail(errno);
    }
}
