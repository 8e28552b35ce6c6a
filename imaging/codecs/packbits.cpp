#include "imaging/codecs/packbits.h"

#include <algorithm>
#include <cstring>

namespace imaging {

void packBitsEncode(QByteArrayView row, QByteArray* out) {
    const qsizetype n = row.size();
    const char* src = row.data();
    qsizetype i = 0;
    while (i < n) {
        qsizetype run = 1;
        while (i + run < n && run < 128 && src[i + run] == src[i]) {
            ++run;
        }
        // Two equal bytes cost as much as a literal pair, so only runs of
        // three or more are worth a repeat code.
        if (run >= 3) {
            out->append(static_cast<char>(1 - run));
            out->append(src[i]);
            i += run;
            continue;
        }
        const qsizetype start = i;
        while (i < n && i - start < 128) {
            if (i + 2 < n && src[i] == src[i + 1] && src[i] == src[i + 2]) {
                break;
            }
            ++i;
        }
        out->append(static_cast<char>(i - start - 1));
        out->append(src + start, i - start);
    }
}

bool PackBitsReader::read(char* dst, qsizetype count) {
    while (count > 0) {
        if (m_literal > 0) {
            const qsizetype take =
                std::min({static_cast<qsizetype>(m_literal), count, m_data.size() - m_pos});
            if (take == 0) {
                return false;
            }
            std::memcpy(dst, m_data.data() + m_pos, static_cast<size_t>(take));
            m_pos += take;
            m_literal -= static_cast<int>(take);
            dst += take;
            count -= take;
        } else if (m_repeat > 0) {
            const qsizetype take = std::min(static_cast<qsizetype>(m_repeat), count);
            std::memset(dst, m_value, static_cast<size_t>(take));
            m_repeat -= static_cast<int>(take);
            dst += take;
            count -= take;
        } else {
            if (m_pos >= m_data.size()) {
                return false;
            }
            const int control = static_cast<signed char>(m_data[m_pos++]);
            if (control >= 0) {
                m_literal = control + 1;
            } else if (control != -128) {
                if (m_pos >= m_data.size()) {
                    return false;
                }
                m_value = m_data[m_pos++];
                m_repeat = 1 - control;
            }
        }
    }
    return true;
}

}  // namespace imaging
