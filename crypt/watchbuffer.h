#pragma once

#include <cstdint>
#include <vector>

/// One block of bytes with a write mark for every byte: which bytes were
/// written since the marks were last cleared.
class COXWatchBuffer {
public:
    COXWatchBuffer() = default;
    ~COXWatchBuffer() { destroy(); }
    COXWatchBuffer(const COXWatchBuffer&) = delete;
    COXWatchBuffer& operator=(const COXWatchBuffer&) = delete;

    /// Allocates `size` bytes and marks, all zero.
    void create(int size);
    /// Copies `count` bytes in at `position` and marks them.
    void write(int position, const unsigned char* bytes, int count);
    unsigned char* data(int position = 0) { return m_data.data() + position; }
    const unsigned char* data(int position = 0) const { return m_data.data() + position; }
    bool isModified() const;
    /// The index of the first byte not marked, or -1 when all are.
    int firstUnmarked() const;
    void markAll(bool value);
    /// Zeroes data and marks from `start` for `count` bytes; -1 means to the end.
    void clear(int start = 0, int count = -1);
    /// Frees both arrays (their contents are wiped first: blocks hold plain text).
    void destroy();
    int size() const { return static_cast<int>(m_data.size()); }

private:
    std::vector<unsigned char> m_data;
    std::vector<unsigned char> m_marks;
};
