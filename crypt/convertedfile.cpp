#include "crypt/convertedfile.h"

#include "crypt/securewipe.h"
#include "platform/fileexception.h"

#include <algorithm>
#include <cstring>

namespace {

[[noreturn]] void throwAccessDenied(const QString& path) {
    throw FileException(FileException::Cause::AccessDenied, -1, path);
}

}  // namespace

COXConvertedFile::COXConvertedFile(int blockSize, bool conversion)
    : m_conversion(conversion),
      m_blockSize(blockSize),
      m_stored(static_cast<size_t>(blockSize), 0) {
    m_pending.create(blockSize);
}

COXConvertedFile::~COXConvertedFile() {
    // The pending block is not written: writers close explicitly first.
    cipher::secureWipe(m_stored.data(), m_stored.size());
}

void COXConvertedFile::clearState() {
    m_open = false;
    m_writable = false;
    m_offsetInBlock = 0;
    m_blockPosition = 0;
    m_loaded = false;
}

bool COXConvertedFile::open(const QString& path, unsigned mode, FileException* error) {
    m_writable = (mode & (kModeWrite | kModeReadWrite)) != 0;
    m_open = true;
    m_offsetInBlock = 0;
    m_blockPosition = 0;
    m_loaded = false;
    m_pending.clear();
    // A partly written block is merged with what is on disk, so a file opened
    // for writing alone is still opened so that it can be read.
    if ((mode & 3) == kModeWrite) {
        mode = (mode & ~3u) | kModeReadWrite;
    }
    if (!CFile::open(path, mode, error)) {
        clearState();
        return false;
    }
    return true;
}

int COXConvertedFile::readStored(unsigned char* stored) {
    std::fill_n(stored, m_blockSize, 0);
    CFile::seek(static_cast<std::int64_t>(m_blockPosition), kBegin);
    int total = 0;
    while (total < m_blockSize) {
        const std::uint32_t got =
            CFile::read(stored + total, static_cast<std::uint32_t>(m_blockSize - total));
        if (got == 0) {
            break;
        }
        total += static_cast<int>(got);
    }
    return total;
}

void COXConvertedFile::convertIn(const unsigned char* stored, unsigned char* plain) {
    if (m_conversion) {
        DecodeBlock(stored, plain);
    } else {
        std::copy_n(stored, m_blockSize, plain);
    }
}

void COXConvertedFile::advance() {
    if (m_offsetInBlock == m_blockSize) {
        m_blockPosition += static_cast<std::uint64_t>(m_blockSize);
        m_offsetInBlock = 0;
        m_pending.clear();
        m_loaded = false;
    }
}

bool COXConvertedFile::readBlock() {
    flushPending();
    advance();
    const int got = readStored(m_stored.data());
    convertIn(m_stored.data(), m_pending.data());
    m_loaded = got != 0;
    return got == 0;
}

void COXConvertedFile::flushPending() {
    if (!m_pending.isModified()) {
        return;
    }
    if (!m_loaded && m_pending.firstUnmarked() != -1) {
        // Only part of the block was written: take the rest from the disk.
        std::vector<unsigned char> stored(static_cast<size_t>(m_blockSize));
        std::vector<unsigned char> plain(static_cast<size_t>(m_blockSize));
        const int got = readStored(stored.data());
        convertIn(stored.data(), plain.data());
        for (int p = m_pending.firstUnmarked(); p != -1 && p < got; p = m_pending.firstUnmarked()) {
            m_pending.write(p, plain.data() + p, 1);
        }
        m_pending.markAll(true);
        cipher::secureWipe(plain.data(), plain.size());
    }
    CFile::seek(static_cast<std::int64_t>(m_blockPosition), kBegin);
    if (m_conversion) {
        EncodeBlock(m_pending.data(), m_stored.data());
    } else {
        std::copy_n(m_pending.data(), m_blockSize, m_stored.data());
    }
    CFile::write(m_stored.data(), static_cast<std::uint32_t>(m_blockSize));
    m_pending.markAll(false);
    m_loaded = true;
}

std::uint32_t COXConvertedFile::read(void* buffer, std::uint32_t count) {
    if (count == 0) {
        return 0;
    }
    if (!m_open) {
        throwAccessDenied(filePath());
    }
    if (!m_loaded && readBlock()) {
        return 0;
    }
    auto* out = static_cast<unsigned char*>(buffer);
    std::uint32_t delivered = 0;
    while (true) {
        const int n = static_cast<int>(std::min<std::uint32_t>(
            count - delivered, static_cast<std::uint32_t>(m_blockSize - m_offsetInBlock)));
        std::copy_n(m_pending.data(m_offsetInBlock), n, out + delivered);
        m_offsetInBlock += n;
        delivered += static_cast<std::uint32_t>(n);
        if (delivered == count || readBlock()) {
            break;
        }
    }
    return delivered;
}

void COXConvertedFile::write(const void* buffer, std::uint32_t count) {
    if (count == 0) {
        return;
    }
    if (!m_writable) {
        throwAccessDenied(filePath());
    }
    const auto* in = static_cast<const unsigned char*>(buffer);
    std::uint32_t written = 0;
    while (true) {
        const int n = static_cast<int>(std::min<std::uint32_t>(
            count - written, static_cast<std::uint32_t>(m_blockSize - m_offsetInBlock)));
        m_pending.write(m_offsetInBlock, in + written, n);
        m_offsetInBlock += n;
        written += static_cast<std::uint32_t>(n);
        if (written == count) {
            break;  // the last block stays pending, even when full
        }
        flushPending();
        advance();
    }
}

std::uint64_t COXConvertedFile::seek(std::int64_t offset, unsigned origin) {
    std::int64_t target = 0;
    switch (origin) {
        case kBegin:
            target = offset;
            break;
        case kCurrent:
            target = static_cast<std::int64_t>(getPosition()) + offset;
            break;
        case kEnd:
            target = static_cast<std::int64_t>(getLength()) + offset;
            break;
        default:
            target = 0;
            break;
    }
    if (target < 0) {
        throw FileException(FileException::Cause::BadSeek, -1, filePath());
    }
    const std::uint64_t blockStart = static_cast<std::uint64_t>(target) /
                                     static_cast<std::uint64_t>(m_blockSize) *
                                     static_cast<std::uint64_t>(m_blockSize);
    if (blockStart != m_blockPosition) {
        flush();
        m_blockPosition = blockStart;
        m_loaded = false;
    }
    m_offsetInBlock = static_cast<int>(static_cast<std::uint64_t>(target) - m_blockPosition);
    return CFile::seek(static_cast<std::int64_t>(m_blockPosition), kBegin) +
           static_cast<std::uint64_t>(m_offsetInBlock);
}

std::uint64_t COXConvertedFile::getPosition() const {
    return m_blockPosition + static_cast<std::uint64_t>(m_offsetInBlock);
}

void COXConvertedFile::setLength(std::uint64_t length) {
    const auto block = static_cast<std::uint64_t>(m_blockSize);
    CFile::setLength((length + block - 1) / block * block);
}

void COXConvertedFile::flush() {
    if (m_writable) {
        flushPending();
        CFile::flush();
    }
    m_loaded = false;
}

void COXConvertedFile::close() {
    if (isOpen()) {
        flush();
        CFile::close();
    }
    clearState();
}

void COXConvertedFile::abort() {
    CFile::abort();
    clearState();
}

void COXConvertedFile::lockRange(std::uint64_t position, std::uint64_t count) {
    const auto block = static_cast<std::uint64_t>(m_blockSize);
    const std::uint64_t start = position / block * block;
    CFile::lockRange(start, (position + count - start + block - 1) / block * block);
}

void COXConvertedFile::unlockRange(std::uint64_t position, std::uint64_t count) {
    const auto block = static_cast<std::uint64_t>(m_blockSize);
    const std::uint64_t start = position / block * block;
    CFile::unlockRange(start, (position + count - start + block - 1) / block * block);
}

int COXConvertedFile::SetConversion(bool on) {
    if (m_conversion == on) {
        return 1;
    }
    if (m_offsetInBlock != 0 && m_offsetInBlock != m_blockSize) {
        return 0;
    }
    flush();
    m_conversion = on;
    return 1;
}

int COXConvertedFile::SetConversionAligned(bool on) {
    int padding = 0;
    if (isOpen() && m_offsetInBlock != 0 && m_offsetInBlock != m_blockSize) {
        padding = m_blockSize - m_offsetInBlock;
        std::vector<unsigned char> bytes(static_cast<size_t>(padding), 0);
        if (m_writable) {
            write(bytes.data(), static_cast<std::uint32_t>(padding));
        } else {
            read(bytes.data(), static_cast<std::uint32_t>(padding));
        }
    }
    SetConversion(on);
    return padding & 0xFFFF;
}
