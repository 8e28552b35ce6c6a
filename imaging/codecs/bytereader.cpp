#include "imaging/codecs/bytereader.h"

namespace imaging {

ByteReader::ByteReader(QByteArrayView data, qsizetype pos) : m_data(data) {
    seek(pos);
}

bool ByteReader::seek(qsizetype pos) {
    if (pos < 0 || pos > m_data.size()) {
        m_failed = true;
        return false;
    }
    m_pos = pos;
    return true;
}

bool ByteReader::skip(qsizetype count) {
    return take(count);
}

bool ByteReader::take(qsizetype count) {
    if (count < 0 || count > remaining()) {
        m_failed = true;
        m_pos = m_data.size();
        return false;
    }
    m_pos += count;
    return true;
}

quint8 ByteReader::u8() {
    if (!take(1)) {
        return 0;
    }
    return static_cast<quint8>(m_data[m_pos - 1]);
}

quint16 ByteReader::u16le() {
    if (!take(2)) {
        return 0;
    }
    const auto* p = reinterpret_cast<const quint8*>(m_data.data() + m_pos - 2);
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

quint16 ByteReader::u16be() {
    if (!take(2)) {
        return 0;
    }
    const auto* p = reinterpret_cast<const quint8*>(m_data.data() + m_pos - 2);
    return static_cast<quint16>((p[0] << 8) | p[1]);
}

quint32 ByteReader::u32le() {
    const quint32 low = u16le();
    const quint32 high = u16le();
    return m_failed ? 0 : low | (high << 16);
}

quint32 ByteReader::u32be() {
    const quint32 high = u16be();
    const quint32 low = u16be();
    return m_failed ? 0 : low | (high << 16);
}

QByteArrayView ByteReader::bytes(qsizetype count) {
    const qsizetype start = m_pos;
    if (!take(count)) {
        return {};
    }
    return m_data.sliced(start, count);
}

}  // namespace imaging
