#include "crypt/md5compress.h"
#include "crypt/mdccryptor.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <cstring>

namespace {

/// A whole MD5 built on our compression function: padding and length here,
/// so RFC 1321's test values check the transform.
QByteArray md5(const QByteArray& message) {
    QByteArray data = message;
    const quint64 bits = quint64(message.size()) * 8;
    data.append('\x80');
    while (data.size() % 64 != 56) {
        data.append('\0');
    }
    for (int i = 0; i < 8; ++i) {
        data.append(static_cast<char>((bits >> (8 * i)) & 0xFF));
    }
    cipher::Md5State state = cipher::kMd5InitialValue;
    for (qsizetype offset = 0; offset < data.size(); offset += 64) {
        cipher::md5Compress(state,
                            reinterpret_cast<const unsigned char*>(data.constData() + offset));
    }
    QByteArray digest;
    for (quint32 word : {state.a, state.b, state.c, state.d}) {
        for (int i = 0; i < 4; ++i) {
            digest.append(static_cast<char>((word >> (8 * i)) & 0xFF));
        }
    }
    return digest.toHex();
}

TEST(Md5Compression, GivesRfc1321sTestValues) {
    EXPECT_EQ(md5(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(md5("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(md5("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(md5("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(md5("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(md5("1234567890123456789012345678901234567890123456789012345678901234567890123456"
                  "7890"),
              "57edf4a22be3c955ac49da2e2107b67a");
    // And on lengths around the block size, against Qt's MD5.
    for (int length : {55, 56, 63, 64, 65, 127, 128, 1000}) {
        const QByteArray text(length, 'x');
        EXPECT_EQ(md5(text), QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex())
            << length;
    }
}

QByteArray encipher(const QByteArray& key, const QByteArray& plain) {
    COXMDCCryptor cryptor;
    cryptor.SetKey(reinterpret_cast<const unsigned char*>(key.constData()));
    QByteArray stored(32, '\0');
    cryptor.Encipher(reinterpret_cast<const unsigned char*>(plain.constData()),
                     reinterpret_cast<unsigned char*>(stored.data()));
    return stored;
}

QByteArray decipher(const QByteArray& key, const QByteArray& stored) {
    COXMDCCryptor cryptor;
    cryptor.SetKey(reinterpret_cast<const unsigned char*>(key.constData()));
    QByteArray plain(32, '\0');
    cryptor.Decipher(reinterpret_cast<const unsigned char*>(stored.constData()),
                     reinterpret_cast<unsigned char*>(plain.data()));
    return plain;
}

QByteArray counting(int length) {
    QByteArray bytes(length, '\0');
    for (int i = 0; i < length; ++i) {
        bytes[i] = static_cast<char>(i);
    }
    return bytes;
}

// The expected values were computed by crypt/tests/knownanswers.py, which
// implements the MD5 compression from RFC 1321 and the three Feistel rounds
// independently of this code (its MD5 is checked against Python's hashlib).
TEST(Cryptor, MatchesTheKnownAnswers) {
    unsigned char f[16];
    const QByteArray input = counting(64);
    COXMDCCryptor::roundFunction(reinterpret_cast<const unsigned char*>(input.constData()),
                                 reinterpret_cast<const unsigned char*>(input.constData()) + 16, f);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(f), 16).toHex(),
              "cad94491c9e401d9385bfc721ef55f62");

    const struct {
        QByteArray key;
        QByteArray plain;
        QByteArray stored;
    } cases[] = {
        {counting(96), counting(32),
         "3b4c77ee41f2c60fe27467f081e13f0ff06cce65e8b9e07730b09ecc6089bd43"},
        {QByteArray(96, '\0'), QByteArray(32, '\0'),
         "d85b25d31090fa2fb34475086902748b452acc3a076ef6fd75da6abbfc31a513"},
        {QByteArray("secret") + QByteArray(90, '#'), "Zelvik Starbloom plain block 32!",
         "fcab6f12b36d6ad53a2c17dea2491eafcabb192fbd84840275ec7b4702f0af32"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encipher(c.key, c.plain).toHex(), c.stored);
        EXPECT_EQ(decipher(c.key, QByteArray::fromHex(c.stored)), c.plain);
    }
}

TEST(Cryptor, BlocksStandAloneAndWrongKeysGiveNoiseWithoutError) {
    const QByteArray key = counting(96);
    const QByteArray block("0123456789abcdef0123456789abcdef");
    EXPECT_EQ(encipher(key, block), encipher(key, block));
    QByteArray otherKey = key;
    otherKey[95] = 1;
    const QByteArray stored = encipher(key, block);
    EXPECT_NE(encipher(otherKey, block), stored);
    const QByteArray wrong = decipher(otherKey, stored);
    EXPECT_NE(wrong, block);
    EXPECT_EQ(wrong.size(), 32);
    // Changing one plain byte changes the whole stored block.
    QByteArray changed = block;
    changed[0] = 'X';
    const QByteArray changedStored = encipher(key, changed);
    int differing = 0;
    for (int i = 0; i < 32; ++i) {
        differing += changedStored[i] != stored[i] ? 1 : 0;
    }
    EXPECT_GT(differing, 24);
}

}  // namespace
