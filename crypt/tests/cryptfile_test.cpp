#include "crypt/cryptfile.h"
#include "crypt/mdccryptor.h"
#include "platform/fileexception.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray testKey() {
    QByteArray key(96, '\0');
    for (int i = 0; i < 96; ++i) {
        key[i] = static_cast<char>(i * 7 + 3);
    }
    return key;
}

/// A cipher file with the test key and its block state in view.
class TestCryptFile : public COXCryptFile {
public:
    TestCryptFile() { SetKey(reinterpret_cast<const unsigned char*>(testKey().constData())); }
    using COXConvertedFile::blockPosition;
    using COXConvertedFile::loaded;
    using COXConvertedFile::offsetInBlock;
};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray encipherBlock(const QByteArray& plain) {
    COXMDCCryptor cryptor;
    cryptor.SetKey(reinterpret_cast<const unsigned char*>(testKey().constData()));
    QByteArray stored(32, '\0');
    cryptor.Encipher(reinterpret_cast<const unsigned char*>(plain.constData()),
                     reinterpret_cast<unsigned char*>(stored.data()));
    return stored;
}

QByteArray decipherBlock(const QByteArray& stored) {
    COXMDCCryptor cryptor;
    cryptor.SetKey(reinterpret_cast<const unsigned char*>(testKey().constData()));
    QByteArray plain(32, '\0');
    cryptor.Decipher(reinterpret_cast<const unsigned char*>(stored.constData()),
                     reinterpret_cast<unsigned char*>(plain.data()));
    return plain;
}

class CipherFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name = "file.bin") const { return dir.filePath(QLatin1String(name)); }
};

TEST_F(CipherFile, FiveBytesBecomeOneBlockThatReadsBackWithItsPadding) {
    {
        TestCryptFile file;
        ASSERT_TRUE(file.open(path(), CFile::kModeCreate | CFile::kModeWrite));
        file.write("hello", 5);
        file.close();
    }
    const QByteArray stored = readAll(path());
    ASSERT_EQ(stored.size(), 32);
    EXPECT_EQ(decipherBlock(stored), QByteArray("hello") + QByteArray(27, '\0'));

    TestCryptFile file;
    ASSERT_TRUE(file.open(path(), CFile::kModeRead));
    char buffer[64] = {};
    EXPECT_EQ(file.read(buffer, 64), 32u);
    EXPECT_EQ(QByteArray(buffer, 32), QByteArray("hello") + QByteArray(27, '\0'));
    EXPECT_EQ(file.read(buffer, 64), 0u);
}

TEST_F(CipherFile, APlainPartThenAnAlignedSwitch) {
    const QByteArray plain(100, 'p');
    {
        TestCryptFile file;
        file.SetConversion(false);
        ASSERT_TRUE(file.open(path(), CFile::kModeCreate | CFile::kModeWrite));
        file.write(plain.constData(), 100);
        EXPECT_EQ(file.SetConversionAligned(true), 28);
        EXPECT_TRUE(file.conversion());
        file.write("0123456789", 10);
        file.close();
    }
    const QByteArray stored = readAll(path());
    ASSERT_EQ(stored.size(), 160);
    EXPECT_EQ(stored.left(100), plain);
    EXPECT_EQ(stored.mid(100, 28), QByteArray(28, '\0'));
    EXPECT_EQ(decipherBlock(stored.mid(128)), QByteArray("0123456789") + QByteArray(22, '\0'));

    // Read back the same way: plain, aligned switch (28 bytes read and
    // dropped), then the enciphered part.
    TestCryptFile file;
    file.SetConversion(false);
    ASSERT_TRUE(file.open(path(), CFile::kModeRead));
    QByteArray head(100, '\0');
    ASSERT_EQ(file.read(head.data(), 100), 100u);
    EXPECT_EQ(head, plain);
    EXPECT_EQ(file.SetConversionAligned(true), 28);
    char tail[10];
    ASSERT_EQ(file.read(tail, 10), 10u);
    EXPECT_EQ(QByteArray(tail, 10), QByteArray("0123456789"));
    EXPECT_EQ(file.SetConversionAligned(true), 22) << "the rest of the block is read and dropped";
    EXPECT_EQ(file.getPosition(), 160u);
}

TEST_F(CipherFile, EqualPlainBlocksGiveEqualStoredBlocks) {
    const QByteArray block("The same thirty-two bytes again.");
    ASSERT_EQ(block.size(), 32);
    {
        TestCryptFile file;
        ASSERT_TRUE(file.open(path(), CFile::kModeCreate | CFile::kModeWrite));
        file.write(block.constData(), 32);
        file.write(block.constData(), 32);
        file.close();
    }
    const QByteArray stored = readAll(path());
    ASSERT_EQ(stored.size(), 64);
    EXPECT_EQ(stored.left(32), stored.mid(32));
    EXPECT_EQ(stored.left(32), encipherBlock(block));
    EXPECT_NE(stored.left(32), block);
}

TEST_F(CipherFile, AnotherKeyReadsNoiseAndNoError) {
    const QByteArray text("a message in one block");
    {
        TestCryptFile file;
        ASSERT_TRUE(file.open(path(), CFile::kModeCreate | CFile::kModeWrite));
        file.write(text.constData(), static_cast<std::uint32_t>(text.size()));
        file.close();
    }
    COXCryptFile other;
    QByteArray key = testKey();
    key[0] = static_cast<char>(key[0] ^ 1);
    other.SetKey(reinterpret_cast<const unsigned char*>(key.constData()));
    ASSERT_TRUE(other.open(path(), CFile::kModeRead));
    char buffer[32];
    EXPECT_EQ(other.read(buffer, 32), 32u);
    EXPECT_NE(QByteArray(buffer, text.size()), text);
}

TEST_F(CipherFile, ConversionSwitchesOnlyAtBlockBoundaries) {
    TestCryptFile file;
    ASSERT_TRUE(file.open(path(), CFile::kModeCreate | CFile::kModeReadWrite));
    file.write("1234567", 7);
    EXPECT_EQ(file.SetConversion(false), 0);
    EXPECT_TRUE(file.conversion());
    EXPECT_EQ(file.SetConversion(true), 1) << "already as asked";
    file.write(QByteArray(25, 'x').constData(), 25);
    EXPECT_EQ(file.SetConversion(false), 1);
    EXPECT_FALSE(file.conversion());
    file.close();
}

TEST_F(CipherFile, SeekingFromTheEndLandsInTheLastBlock) {
    {
        TestCryptFile file;
        ASSERT_TRUE(file.open(path(), CFile::kModeCreate | CFile::kModeWrite));
        const QByteArray data(4096, 'z');
        file.write(data.constData(), 4096);
        file.close();
    }
    TestCryptFile file;
    ASSERT_TRUE(file.open(path(), CFile::kModeRead));
    EXPECT_EQ(file.getLength(), 4096u);
    EXPECT_EQ(file.seek(-4, CFile::kEnd), 4092u);
    EXPECT_EQ(file.blockPosition(), 4064u);
    EXPECT_EQ(file.offsetInBlock(), 28);
    EXPECT_EQ(file.getPosition(), 4092u);
    char tail[16];
    EXPECT_EQ(file.read(tail, 16), 4u);
    EXPECT_EQ(QByteArray(tail, 4), QByteArray("zzzz"));
    EXPECT_EQ(file.seek(5, CFile::kCurrent), 4101u) << "past the end is allowed, as for any file";
    EXPECT_EQ(file.seek(33, CFile::kBegin), 33u);
    EXPECT_EQ(file.blockPosition(), 32u);
    EXPECT_THROW(file.seek(-1, CFile::kBegin), FileException);
}

TEST_F(CipherFile, APartlyRewrittenBlockKeepsTheRestFromTheDisk) {
    const QByteArray original = QByteArray(32, 'A') + QByteArray(32, 'B');
    {
        TestCryptFile file;
        ASSERT_TRUE(file.open(path(), CFile::kModeCreate | CFile::kModeWrite));
        file.write(original.constData(), 64);
        file.close();
    }
    const QByteArray before = readAll(path());
    {
        TestCryptFile file;
        ASSERT_TRUE(file.open(path(), CFile::kModeReadWrite));
        const QByteArray update(40, 'n');
        file.write(update.constData(), 40);
        file.close();
    }
    const QByteArray after = readAll(path());
    ASSERT_EQ(after.size(), 64);
    EXPECT_EQ(decipherBlock(after.left(32)), QByteArray(32, 'n'));
    EXPECT_EQ(decipherBlock(after.mid(32)), QByteArray(8, 'n') + QByteArray(24, 'B'));
    EXPECT_NE(after.mid(32), before.mid(32));
}

TEST_F(CipherFile, ReadingClosedAndWritingReadOnlyFilesIsRefused) {
    TestCryptFile closed;
    char buffer[4];
    try {
        closed.read(buffer, 4);
        ADD_FAILURE() << "read from a closed file";
    } catch (const FileException& error) {
        EXPECT_EQ(error.cause(), FileException::Cause::AccessDenied);
        EXPECT_EQ(static_cast<int>(error.cause()), 5);
        EXPECT_EQ(error.osError(), -1);
    }
    EXPECT_EQ(closed.read(buffer, 0), 0u);

    {
        QFile plain(path());
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
        plain.write(QByteArray(64, 'q'));
    }
    TestCryptFile readOnly;
    ASSERT_TRUE(readOnly.open(path(), CFile::kModeRead));
    EXPECT_THROW(readOnly.write("x", 1), FileException);
    readOnly.write("", 0);

    TestCryptFile missing;
    FileException error(FileException::Cause::None, 0, QString());
    EXPECT_FALSE(missing.open(path("none/at/all"), CFile::kModeRead, &error));
    EXPECT_EQ(error.cause(), FileException::Cause::FileNotFound);
}

TEST_F(CipherFile, LengthsAreWholeBlocks) {
    TestCryptFile file;
    ASSERT_TRUE(file.open(path(), CFile::kModeCreate | CFile::kModeReadWrite));
    file.setLength(33);
    EXPECT_EQ(file.getLength(), 64u);
    file.setLength(0);
    EXPECT_EQ(file.getLength(), 0u);
    file.lockRange(5, 3);
    file.unlockRange(5, 3);
    file.close();
}

TEST_F(CipherFile, LargeStreamsRoundTripInAnyPieces) {
    // Random data written and read in pieces of random sizes, across many
    // blocks; what comes back is the data and then the last block's padding.
    QRandomGenerator random(7);
    QByteArray data(100000 + 13, '\0');
    for (char& c : data) {
        c = static_cast<char>(random.bounded(256));
    }
    {
        TestCryptFile file;
        ASSERT_TRUE(file.open(path(), CFile::kModeCreate | CFile::kModeWrite));
        for (qsizetype at = 0; at < data.size();) {
            const qsizetype n = std::min<qsizetype>(random.bounded(1, 200), data.size() - at);
            file.write(data.constData() + at, static_cast<std::uint32_t>(n));
            at += n;
        }
        file.close();
    }
    EXPECT_EQ(QFileInfo(path()).size(), (data.size() + 31) / 32 * 32);
    TestCryptFile file;
    ASSERT_TRUE(file.open(path(), CFile::kModeRead));
    QByteArray back;
    char buffer[300];
    for (std::uint32_t got;
         (got = file.read(buffer, static_cast<std::uint32_t>(random.bounded(1, 300)))) > 0;) {
        back.append(buffer, got);
    }
    EXPECT_EQ(back.size(), (data.size() + 31) / 32 * 32);
    EXPECT_EQ(back.left(data.size()), data);
    EXPECT_EQ(back.mid(data.size()), QByteArray(back.size() - data.size(), '\0'));
}

}  // namespace
