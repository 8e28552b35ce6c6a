#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace imaging {

/// Reads little- and big-endian integers from a block of bytes. A read past
/// the end returns zero and sets a flag that stays set, so a parser can read
/// a whole record and check once.
class ByteReader {
public:
    explicit ByteReader(QByteArrayView data, qsizetype pos = 0);

    qsizetype pos() const { return m_pos; }
    qsizetype size() const { return m_data.size(); }
    qsizetype remaining() const { return m_data.size() - m_pos; }
    bool failed() const { return m_failed; }

    /// False, and the failure flag, when `pos` lies outside the data.
    bool seek(qsizetype pos);
    bool skip(qsizetype count);

    quint8 u8();
    quint16 u16le();
    quint16 u16be();
    quint32 u32le();
    quint32 u32be();
    qint16 s16le() { return static_cast<qint16>(u16le()); }
    qint32 s32le() { return static_cast<qint32>(u32le()); }
    /// Exactly `count` bytes, or an empty view and the failure flag.
    QByteArrayView bytes(qsizetype count);

private:
    bool take(qsizetype count);

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    bool m_failed = false;
};

}  // namespace imaging
