#include "app/settingsfile.h"
#include "platform/archive.h"
#include "platform/fileexception.h"

#include <QFile>
#include <QFontDatabase>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>
#include <csignal>

namespace {

TextStyle sampleStyle() {
    TextStyle style;
    style.font = {-24, 3, 900, 450, 700, 1, 1, 0, 0, 3, 2, 4, 0x22, QStringLiteral("Arial")};
    style.textColour = 0x0000FF;
    style.fillColour = 0x00FF00;
    style.backgroundColour = 0x123456;
    style.shadowColour = 0x010203;
    style.highlightColour = 0xFEDCBA;
    for (int i = 0; i < 16; ++i) {
        style.customColours[i] = static_cast<ColorRef>(0x10101 * i);
    }
    return style;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SettingsFile, FiveLetterFaceGivesTheExact118ByteLayout) {
    ArchiveWriter archive;
    writeSettingsFile(archive, sampleStyle());
    const QByteArray& data = archive.data();
    ASSERT_EQ(data.size(), 118);
    EXPECT_EQ(data.left(20), QByteArray::fromHex("e8ffffff0300000084030000c2010000bc020000"));
    EXPECT_EQ(data.mid(20, 8), QByteArray::fromHex("0101000003020422"));
    EXPECT_EQ(data.mid(28, 6), QByteArray("\x05"
                                          "Arial"));
    EXPECT_EQ(data.mid(34, 20), QByteArray::fromHex("ff00000000ff000056341200030201"
                                                    "00badcfe00"));
    EXPECT_EQ(data.mid(54, 8), QByteArray::fromHex("0000000001010100"));
    EXPECT_EQ(data.right(4), QByteArray::fromHex("0f0f0f00"));

    // 113 + n for other lengths too.
    for (int n : {0, 1, 31, 254}) {
        TextStyle style;
        style.font.faceName = QString(n, QLatin1Char('F'));
        ArchiveWriter other;
        writeSettingsFile(other, style);
        EXPECT_EQ(other.data().size(), 113 + n);
    }
}

TEST(SettingsFile, EveryFieldRoundTripsThroughTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QLatin1String(kSettingsFileName));
    const TextStyle style = sampleStyle();
    ASSERT_TRUE(storeSettingsFile(path, style));
    const std::optional<TextStyle> loaded = loadSettingsFile(path);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(*loaded, style);
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QLatin1String(kSettingsFileName)});
}

TEST(SettingsFile, DamagedFilesAreRefusedWithoutACrash) {
    ArchiveWriter archive;
    writeSettingsFile(archive, sampleStyle());
    const QByteArray good = archive.data();
    // Every truncation, including the empty file.
    for (int length = 0; length < good.size(); ++length) {
        ArchiveReader reader(QByteArrayView(good).first(length));
        EXPECT_THROW(readSettingsFile(reader), FileException) << length;
    }
    // A face name whose length runs past the end of the file.
    QByteArray longName = good;
    longName[28] = static_cast<char>(0xFF);
    longName.insert(29, QByteArray::fromHex("ffff00000010"));
    ArchiveReader longReader(longName);
    EXPECT_THROW(readSettingsFile(longReader), FileException);
    // Values no font or colour has: garbage that happens to be long enough.
    QByteArray garbage(300, '\xA5');
    garbage[28] = 5;
    ArchiveReader garbageReader(garbage);
    EXPECT_THROW(readSettingsFile(garbageReader), FileException);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pzset.pzs"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(good.left(60));
    file.close();
    EXPECT_FALSE(loadSettingsFile(path).has_value());
    EXPECT_FALSE(loadSettingsFile(dir.filePath(QStringLiteral("missing.pzs"))).has_value());
}

TEST(SettingsFile, AFailedStoreLeavesThePreviousFileIntact) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pzset.pzs"));
    ASSERT_TRUE(storeSettingsFile(path, sampleStyle()));
    const QByteArray before = readAll(path);

    TextStyle bigger = sampleStyle();
    bigger.font.faceName = QString(400, QLatin1Char('N'));

    // A write that stops part-way: the file-size limit ends it after 64 bytes
    // (this works for every user, also root, who may write to any folder).
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool stored = storeSettingsFile(path, bigger);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(stored);
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    // A folder the user may not write to.
    if (geteuid() != 0) {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_FALSE(storeSettingsFile(path, bigger));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(readAll(path), before);
    }
}

TEST(LogFont, FontsRoundTripThroughTheRecord) {
    QFont font(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    font.setPixelSize(27);
    font.setWeight(QFont::Bold);
    font.setItalic(true);
    font.setUnderline(true);
    font.setStrikeOut(true);
    const LogFont record = toLogFont(font);
    EXPECT_EQ(record.height, -27);
    EXPECT_EQ(record.weight, 700);
    const QFont back = toQFont(record);
    EXPECT_EQ(back.family(), font.family());
    EXPECT_EQ(back.pixelSize(), 27);
    EXPECT_EQ(back.weight(), QFont::Bold);
    EXPECT_TRUE(back.italic());
    EXPECT_TRUE(back.underline());
    EXPECT_TRUE(back.strikeOut());

    // Points become pixels at 96 dots per inch: 12 points are 16 pixels.
    QFont points(QStringLiteral("Serif"));
    points.setPointSize(12);
    EXPECT_EQ(toLogFont(points).height, -16);

    // Fields QFont has no notion of survive a change made through QFont.
    LogFont stored = sampleStyle().font;
    QFont chosen = toQFont(stored);
    chosen.setItalic(false);
    const LogFont changed = toLogFont(chosen, stored);
    EXPECT_EQ(changed.escapement, stored.escapement);
    EXPECT_EQ(changed.clipPrecision, stored.clipPrecision);
    EXPECT_EQ(changed.pitchAndFamily & 0xF0, 0x20);
    EXPECT_EQ(changed.italic, 0);
}

}  // namespace
