#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

class FileException;

/// A file in the framework's style: open with a mode, read, write, seek from
/// one of three origins, length, flush, close, abort, lock ranges; failures
/// of the operating system's calls arrive as FileException. Sequential reads
/// and writes are gathered in a buffer of the object's own, so callers that
/// work in small pieces cost few system calls; every other operation first
/// settles the buffer, so the file always reads as written.
/// One thread uses an object at a time.
class CFile {
public:
    // Open modes, as the framework numbers them.
    static constexpr unsigned kModeRead = 0x0000;
    static constexpr unsigned kModeWrite = 0x0001;
    static constexpr unsigned kModeReadWrite = 0x0002;
    static constexpr unsigned kShareExclusive = 0x0010;
    static constexpr unsigned kShareDenyWrite = 0x0020;
    static constexpr unsigned kShareDenyRead = 0x0030;
    static constexpr unsigned kShareDenyNone = 0x0040;
    static constexpr unsigned kModeCreate = 0x1000;
    static constexpr unsigned kModeNoTruncate = 0x2000;

    enum SeekOrigin { kBegin = 0, kCurrent = 1, kEnd = 2 };

    CFile() = default;
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    /// Opens `path`; on failure returns false and, when given, fills
    /// `error` (nothing is thrown).
    virtual bool open(const QString& path, unsigned mode, FileException* error = nullptr);
    virtual std::uint32_t read(void* buffer, std::uint32_t count);
    virtual void write(const void* buffer, std::uint32_t count);
    /// The new position.
    virtual std::uint64_t seek(std::int64_t offset, unsigned origin);
    virtual std::uint64_t getPosition() const;
    virtual void setLength(std::uint64_t length);
    virtual std::uint64_t getLength() const;
    /// Hands everything written to the operating system.
    virtual void flush();
    /// Flushes and waits until the data is on the disk.
    void sync();
    virtual void close();
    /// Closes without flushing and without throwing.
    virtual void abort();
    virtual void lockRange(std::uint64_t position, std::uint64_t count);
    virtual void unlockRange(std::uint64_t position, std::uint64_t count);

    bool isOpen() const { return m_fd >= 0; }
    const QString& filePath() const { return m_path; }

private:
    [[noreturn]] void fail(int osError) const;
    /// Writes out what the write buffer holds and forgets what was read ahead,
    /// so the OS file's position is the object's position.
    void settle() const;

    int m_fd = -1;
    QString m_path;
    // The object's position, which the OS file's position may run ahead of
    // (read-ahead) or behind (gathered writes).
    mutable std::uint64_t m_position = 0;
    mutable std::vector<char> m_writeBuffer;  // bytes gathered, ending at m_position
    mutable QByteArray m_readBuffer;          // bytes read ahead, starting at m_readStart
    mutable std::uint64_t m_readStart = 0;
};
