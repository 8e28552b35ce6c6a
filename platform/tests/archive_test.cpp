#include "platform/archive.h"
#include "platform/fileexception.h"

#include <QList>

#include <gtest/gtest.h>

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) {
        out.append(static_cast<char>(v));
    }
    return out;
}

struct PrefixCase {
    int length;
    QByteArray prefix;
};

class ArchiveStringLength : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(ArchiveStringLength, WritesTheShortestPrefixFormAndReadsItBack) {
    const PrefixCase& c = GetParam();
    const QString text(c.length, QLatin1Char('x'));
    ArchiveWriter writer;
    writer.writeString(text);
    const QByteArray& data = writer.data();
    ASSERT_EQ(data.size(), c.prefix.size() + c.length);
    EXPECT_EQ(data.left(c.prefix.size()), c.prefix);

    ArchiveReader reader(data);
    EXPECT_EQ(reader.readString(), text);
    EXPECT_TRUE(reader.atEnd());
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, ArchiveStringLength,
    ::testing::Values(PrefixCase{0, bytes({0x00})}, PrefixCase{254, bytes({0xFE})},
                      PrefixCase{255, bytes({0xFF, 0xFF, 0x00})},
                      PrefixCase{65533, bytes({0xFF, 0xFD, 0xFF})},
                      PrefixCase{65534, bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
                      PrefixCase{70000, bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})}));

TEST(ArchiveReader, RefusesLengthsThatRunPastTheEnd) {
    const QList<QByteArray> cases = {
        bytes({0x05, 'a', 'b'}),                                 // one-byte form
        bytes({0xFF, 0x00, 0x01, 'a'}),                          // 16-bit form
        bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}),  // 32-bit form, 2 GB
        bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),       // 4 GB
        bytes({0xFF, 0xFE, 0xFF, 0x10, 'a', 0}),                 // UTF-16, 16 characters
        bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
        bytes({0xFF, 0x01}),  // prefix itself cut short
    };
    for (const QByteArray& data : cases) {
        ArchiveReader reader(data, QStringLiteral("/tmp/show.sld"));
        try {
            reader.readString();
            ADD_FAILURE() << "accepted " << data.toHex().constData();
        } catch (const FileException& e) {
            EXPECT_EQ(e.cause(), FileException::Cause::EndOfFile);
            EXPECT_EQ(e.path(), QStringLiteral("/tmp/show.sld"));
            EXPECT_TRUE(e.message().contains(QStringLiteral("show.sld")));
        }
    }
}

TEST(ArchiveReader, IntegersAreLittleEndianAndCheckedAgainstTheEnd) {
    ArchiveWriter writer;
    writer.writeInt32(-2);
    writer.writeUInt32(0x11223344);
    writer.writeUInt16(0xBEEF);
    EXPECT_EQ(writer.data(), bytes({0xFE, 0xFF, 0xFF, 0xFF, 0x44, 0x33, 0x22, 0x11, 0xEF, 0xBE}));

    ArchiveReader reader(writer.data());
    EXPECT_EQ(reader.readInt32(), -2);
    EXPECT_EQ(reader.readUInt32(), 0x11223344u);
    EXPECT_EQ(reader.readByte(), 0xEF);
    EXPECT_THROW(reader.readInt32(), FileException);
    // A failed read consumes nothing.
    EXPECT_EQ(reader.remaining(), 1);
    EXPECT_THROW(reader.readBytes(-1), FileException);
}

TEST(ArchiveReader, DecodesUtf8Windows1252AndUtf16) {
    // UTF-8 as this program writes it.
    ArchiveWriter writer;
    writer.writeString(QStringLiteral("Grüße €"));
    EXPECT_EQ(writer.data().at(0), 11);  // the prefix counts bytes
    EXPECT_EQ(ArchiveReader(writer.data()).readString(), QStringLiteral("Grüße €"));
    // A text that starts with U+FEFF keeps it.
    const QString marked = QChar(0xFEFF) + QStringLiteral("name");
    ArchiveWriter markedWriter;
    markedWriter.writeString(marked);
    EXPECT_EQ(ArchiveReader(markedWriter.data()).readString(), marked);

    // Windows-1252 bytes of the Windows program: "Café €5 “x”".
    const QByteArray legacy =
        bytes({11, 'C', 'a', 'f', 0xE9, ' ', 0x80, '5', ' ', 0x93, 'x', 0x94});
    EXPECT_EQ(ArchiveReader(legacy).readString(), QStringLiteral("Café €5 “x”"));

    // UTF-16LE behind the 0xFF 0xFFFE mark, length in characters.
    const QByteArray wide = bytes({0xFF, 0xFE, 0xFF, 0x02, 0xAC, 0x20, 'A', 0x00, 0x07});
    ArchiveReader reader(wide);
    EXPECT_EQ(reader.readString(), QStringLiteral("€A"));
    EXPECT_EQ(reader.readByte(), 0x07);
}

}  // namespace
