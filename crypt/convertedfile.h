#pragma once

#include "crypt/watchbuffer.h"
#include "platform/cfile.h"

#include <vector>

/// A file in fixed blocks, each passed through DecodeBlock on reading and
/// EncodeBlock on writing while conversion is on. Conversion can be switched
/// at block boundaries, so a file can hold a plain part followed by a
/// converted one. The OS file sees whole blocks only, at block boundaries;
/// a partly written block is merged with what is on disk. One thread uses an
/// object at a time.
class COXConvertedFile : public CFile {
public:
    COXConvertedFile(int blockSize, bool conversion);
    ~COXConvertedFile() override;

    bool open(const QString& path, unsigned mode, FileException* error = nullptr) override;
    /// Delivers whole blocks: the zero padding of the last one reads as data.
    std::uint32_t read(void* buffer, std::uint32_t count) override;
    void write(const void* buffer, std::uint32_t count) override;
    std::uint64_t seek(std::int64_t offset, unsigned origin) override;
    std::uint64_t getPosition() const override;
    /// Rounds up to a whole number of blocks.
    void setLength(std::uint64_t length) override;
    void flush() override;
    void close() override;
    void abort() override;
    void lockRange(std::uint64_t position, std::uint64_t count) override;
    void unlockRange(std::uint64_t position, std::uint64_t count) override;

    /// 1 when conversion now is as asked; 0 (and nothing changes) in the
    /// middle of a block.
    int SetConversion(bool on);
    /// Pads to the next block boundary first (zeros when writing, bytes read
    /// and dropped when reading), passed through the conversion in force
    /// before the switch; then SetConversion. Returns the padding's length.
    int SetConversionAligned(bool on);
    bool conversion() const { return m_conversion; }
    int blockSize() const { return m_blockSize; }

protected:
    virtual void DecodeBlock(const unsigned char* stored, unsigned char* plain) = 0;
    virtual void EncodeBlock(const unsigned char* plain, unsigned char* stored) = 0;

    // The state of the pending block, for tests of the block algorithms.
    int offsetInBlock() const { return m_offsetInBlock; }
    std::uint64_t blockPosition() const { return m_blockPosition; }
    bool loaded() const { return m_loaded; }

private:
    /// Reads the block at the block position (after flushing and, when the
    /// pending block is full, moving on); true at the end of the file.
    bool readBlock();
    /// Writes the pending block if any byte of it was written, merged with
    /// the block on disk when only part of it was.
    void flushPending();
    void advance();
    void clearState();
    /// Reads up to a block at the block position into `stored`; the count.
    int readStored(unsigned char* stored);
    void convertIn(const unsigned char* stored, unsigned char* plain);

    bool m_conversion;
    const int m_blockSize;
    std::vector<unsigned char> m_stored;
    COXWatchBuffer m_pending;
    int m_offsetInBlock = 0;
    std::uint64_t m_blockPosition = 0;
    bool m_loaded = false;
    bool m_open = false;
    bool m_writable = false;
};
