#include "platform/archive.h"

#include "platform/fileexception.h"

#include <QStringDecoder>

#include <array>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; the five unassigned
// positions keep their C1 code point, as Windows' own conversion does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

}  // namespace

QString decodeLegacyText(QByteArrayView bytes) {
    // A leading U+FEFF is part of the text, not a byte-order mark to drop.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    return decodeCp1252(bytes);
}

ArchiveReader::ArchiveReader(QByteArrayView data, QString path)
    : m_data(data), m_path(std::move(path)) {}

void ArchiveReader::require(qint64 count) const {
    if (count < 0 || count > remaining()) {
        throw FileException(FileException::Cause::EndOfFile, 0, m_path);
    }
}

void ArchiveReader::fail() const {
    throw FileException(FileException::Cause::BadFormat, 0, m_path);
}

quint8 ArchiveReader::readByte() {
    require(1);
    return static_cast<quint8>(m_data[m_pos++]);
}

quint16 ArchiveReader::readUInt16() {
    require(2);
    const auto* p = reinterpret_cast<const unsigned char*>(m_data.data() + m_pos);
    m_pos += 2;
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

quint32 ArchiveReader::readUInt32() {
    require(4);
    const auto* p = reinterpret_cast<const unsigned char*>(m_data.data() + m_pos);
    m_pos += 4;
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

qint32 ArchiveReader::readInt32() {
    return static_cast<qint32>(readUInt32());
}

QByteArray ArchiveReader::readBytes(qint64 count) {
    require(count);
    QByteArray bytes(m_data.data() + m_pos, count);
    m_pos += count;
    return bytes;
}

qint64 ArchiveReader::readStringLength(bool* utf16) {
    const quint8 small = readByte();
    if (small < 0xFF) {
        return small;
    }
    const quint16 medium = readUInt16();
    if (medium == 0xFFFE) {
        // The UTF-16 mark; the real length follows in the same three forms.
        *utf16 = true;
        return readStringLength(utf16);
    }
    if (medium < 0xFFFF) {
        return medium;
    }
    return readUInt32();
}

QString ArchiveReader::readString() {
    bool utf16 = false;
    const qint64 length = readStringLength(&utf16);
    if (utf16) {
        if (length > remaining() / 2) {
            require(remaining() + 1);
        }
        const QByteArray bytes = readBytes(length * 2);
        QString text(length, Qt::Uninitialized);
        for (qint64 i = 0; i < length; ++i) {
            const auto lo = static_cast<unsigned char>(bytes[2 * i]);
            const auto hi = static_cast<unsigned char>(bytes[2 * i + 1]);
            text[i] = QChar(static_cast<char16_t>(lo | (hi << 8)));
        }
        return text;
    }
    require(length);
    const QString text = decodeLegacyText(m_data.sliced(m_pos, length));
    m_pos += length;
    return text;
}

void ArchiveWriter::writeByte(quint8 value) {
    m_data.append(static_cast<char>(value));
}

void ArchiveWriter::writeUInt16(quint16 value) {
    writeByte(value & 0xFF);
    writeByte(value >> 8);
}

void ArchiveWriter::writeUInt32(quint32 value) {
    for (int shift = 0; shift < 32; shift += 8) {
        writeByte((value >> shift) & 0xFF);
    }
}

void ArchiveWriter::writeInt32(qint32 value) {
    writeUInt32(static_cast<quint32>(value));
}

void ArchiveWriter::writeBytes(QByteArrayView bytes) {
    m_data.append(bytes);
}

void ArchiveWriter::writeStringBytes(QByteArrayView bytes) {
    const qint64 length = bytes.size();
    if (length < 0xFF) {
        writeByte(static_cast<quint8>(length));
    } else if (length < 0xFFFE) {
        writeByte(0xFF);
        writeUInt16(static_cast<quint16>(length));
    } else {
        writeByte(0xFF);
        writeUInt16(0xFFFF);
        writeUInt32(static_cast<quint32>(length));
    }
    writeBytes(bytes);
}

void ArchiveWriter::writeString(const QString& text) {
    writeStringBytes(text.toUtf8());
}
