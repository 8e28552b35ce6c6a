#include "crypt/watchbuffer.h"

#include "crypt/securewipe.h"

#include <algorithm>
#include <cstring>

void COXWatchBuffer::create(int size) {
    destroy();
    m_data.assign(static_cast<size_t>(size), 0);
    m_marks.assign(static_cast<size_t>(size), 0);
}

void COXWatchBuffer::write(int position, const unsigned char* bytes, int count) {
    if (count <= 0) {
        return;
    }
    std::copy_n(bytes, count, m_data.begin() + position);
    std::fill_n(m_marks.begin() + position, count, 1);
}

bool COXWatchBuffer::isModified() const {
    return !m_marks.empty() && std::memchr(m_marks.data(), 1, m_marks.size()) != nullptr;
}

int COXWatchBuffer::firstUnmarked() const {
    if (m_marks.empty()) {
        return -1;
    }
    const void* found = std::memchr(m_marks.data(), 0, m_marks.size());
    return found ? static_cast<int>(static_cast<const unsigned char*>(found) - m_marks.data()) : -1;
}

void COXWatchBuffer::markAll(bool value) {
    std::fill(m_marks.begin(), m_marks.end(), value ? 1 : 0);
}

void COXWatchBuffer::clear(int start, int count) {
    const int end = count < 0 ? size() : std::min(size(), start + count);
    if (start >= end) {
        return;
    }
    std::fill(m_data.begin() + start, m_data.begin() + end, 0);
    std::fill(m_marks.begin() + start, m_marks.begin() + end, 0);
}

void COXWatchBuffer::destroy() {
    cipher::secureWipe(m_data.data(), m_data.size());
    m_data.clear();
    m_data.shrink_to_fit();
    m_marks.clear();
    m_marks.shrink_to_fit();
}
