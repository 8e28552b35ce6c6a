#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

/// Reads the program's own files in the framework archive encoding:
/// little-endian integers, and strings behind a one-, three- or seven-byte
/// length prefix. Every read first checks the bytes that are left and throws
/// FileException (EndOfFile) instead of reading or allocating past the end.
/// Not shared between threads; each reader works on its own data.
class ArchiveReader {
public:
    /// `path` only names the file in error messages.
    explicit ArchiveReader(QByteArrayView data, QString path = {});

    qint32 readInt32();
    quint32 readUInt32();
    quint16 readUInt16();
    quint8 readByte();
    /// Exactly `count` bytes, or FileException when fewer are left.
    QByteArray readBytes(qint64 count);
    /// A length-prefixed string. Bytes that are valid UTF-8 are decoded as
    /// UTF-8, others as Windows-1252, so files of the Windows program open;
    /// the 0xFF 0xFFFE mark introduces UTF-16LE text.
    QString readString();

    qint64 position() const { return m_pos; }
    qint64 remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return remaining() == 0; }
    const QString& path() const { return m_path; }

    /// Throws the end-of-data exception unless `count` more bytes are there.
    void require(qint64 count) const;
    /// Throws FileException (BadFormat) naming this archive's file.
    [[noreturn]] void fail() const;

private:
    qint64 readStringLength(bool* utf16);

    QByteArrayView m_data;
    qint64 m_pos = 0;
    QString m_path;
};

/// Writes the same encoding. Strings go out as UTF-8 and their prefix counts
/// bytes.
class ArchiveWriter {
public:
    void writeInt32(qint32 value);
    void writeUInt32(quint32 value);
    void writeUInt16(quint16 value);
    void writeByte(quint8 value);
    void writeBytes(QByteArrayView bytes);
    void writeString(const QString& text);
    /// Writes raw bytes behind the length prefix (used where a caller has
    /// already encoded the text).
    void writeStringBytes(QByteArrayView bytes);

    const QByteArray& data() const { return m_data; }
    QByteArray take() { return std::move(m_data); }

private:
    QByteArray m_data;
};

/// Decodes text of the Windows program: UTF-8 when the bytes are valid
/// UTF-8, else Windows-1252.
QString decodeLegacyText(QByteArrayView bytes);
