#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace imaging {

/// PackBits, the run-length scheme of MacPaint and of IFF's ByteRun1: a
/// control byte n of 0..127 copies n+1 literal bytes, -1..-127 repeats the
/// next byte 1-n times, and -128 does nothing.
///
/// Appends the encoding of `row`. Runs never reach past the row, as the
/// formats ask of their writers.
void packBitsEncode(QByteArrayView row, QByteArray* out);

/// Decodes a PackBits stream piece by piece. A run may span two calls, since
/// some writers let runs cross row ends.
class PackBitsReader {
public:
    explicit PackBitsReader(QByteArrayView data) : m_data(data) {}

    /// Fills `count` bytes; false when the data ends first.
    bool read(char* dst, qsizetype count);
    qsizetype consumed() const { return m_pos; }

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
    int m_literal = 0;
    int m_repeat = 0;
    char m_value = 0;
};

}  // namespace imaging
