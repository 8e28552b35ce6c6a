#include "runtime/packagereader.h"
#include "runtime/packagewriter.h"
#include "runtime/playerkey.h"
#include "runtime/tests/runtimetesting.h"

#include "crypt/mdccryptor.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace runtime;
using namespace runtimetesting;

namespace {

constexpr qint64 kStub = kAssumedStubLength;

class Package : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString output = dir.filePath(QStringLiteral("player.exe"));

    QString file(const QString& name, const QByteArray& bytes) {
        return writeBytes(dir.filePath(name), bytes);
    }
    QString stub(qint64 length = kStub) {
        return file(QStringLiteral("zs1-%1.dll").arg(length), pattern(length, 99));
    }
    /// A project of `count` prepared pictures of the given lengths.
    PlayerProject pictures(QList<qint64> lengths) {
        PlayerProject project;
        for (int i = 0; i < lengths.size(); ++i) {
            PlayerImage image;
            image.sourcePath = QStringLiteral("/photos/%1.jpg").arg(i + 1);
            image.preparedPath = file(QString::number(i + 1), jpegLike(lengths[i], i + 1));
            project.images.append(image);
        }
        return project;
    }
    PackageWriteResult write(const PlayerProject& project, PackageWriteOptions options = {}) {
        if (options.stubPath.isEmpty()) {
            options.stubPath = stub();
        }
        return writePackage(output, project, options);
    }
    /// Overwrites 4 bytes of the package.
    void patch(qint64 offset, quint32 value) {
        QByteArray bytes = readAll(output);
        QByteArray field;
        putUInt32(field, value);
        bytes.replace(offset, 4, field);
        writeBytes(output, bytes);
    }
    /// Files in the test folder other than the inputs written by `file`.
    QStringList outputs() const {
        QStringList names = QDir(dir.path()).entryList(QDir::Files);
        names.removeIf([](const QString& name) {
            return name.startsWith(QLatin1String("zs1-")) ||
                   name.startsWith(QLatin1String("in-")) || name.toInt() > 0;
        });
        return names;
    }
};

/// Deciphers whole blocks of `bytes` under `keyText`, by the cipher alone.
QByteArray decipher(QByteArrayView bytes, const QByteArray& keyText) {
    COXMDCCryptor cryptor;
    cryptor.SetKey(reinterpret_cast<const unsigned char*>(keyText.constData()));
    QByteArray plain(bytes.size(), '\0');
    for (qsizetype at = 0; at + 32 <= bytes.size(); at += 32) {
        cryptor.Decipher(reinterpret_cast<const unsigned char*>(bytes.data() + at),
                         reinterpret_cast<unsigned char*>(plain.data() + at));
    }
    return plain;
}

TEST_F(Package, OneImageLaidOutToTheByte) {
    const PlayerProject project = pictures({10000});
    const PackageWriteResult written = write(project);
    ASSERT_TRUE(written.ok) << written.message.toStdString();
    const QByteArray bytes = readAll(output);

    // The stub, whole.
    EXPECT_EQ(bytes.first(kStub), pattern(kStub, 99));
    // Header and tables as laid out by hand: count 1, view time 2, loop 0,
    // mode 0, manual 0 (auto play), descriptions 0, encrypt 0, then each
    // key block as 32 "0" around the one-entry tables.
    QByteArray tables;
    for (quint32 field : {1u, 2u, 0u, 0u, 0u, 0u, 0u}) {
        putUInt32(tables, field);
    }
    const QByteArray zeros(32, '0');
    tables += zeros;
    putUInt32(tables, 10000);
    tables += zeros;
    putUInt32(tables, 0);
    tables += zeros;
    putUInt32(tables, 0);
    ASSERT_EQ(tables.size(), 136);
    EXPECT_EQ(bytes.sliced(kStub, 136), tables);
    // The plain part ends at 312,456; zero bytes up to 312,480.
    EXPECT_EQ(bytes.sliced(312456, 24), QByteArray(24, '\0'));

    // From 312,480: the picture and 64 + 24 filler bytes, enciphered, padded
    // to 10,112; then the trailer.
    const qint64 cipherStart = 312480;
    const qint64 cipherLength = 10112;
    ASSERT_EQ(bytes.size(), cipherStart + cipherLength + 32);
    const QByteArray plain =
        decipher(bytes.sliced(cipherStart, cipherLength), defaultPlayerKeyText());
    EXPECT_EQ(plain.first(10000), jpegLike(10000, 1));
    EXPECT_EQ(plain.sliced(10000), QByteArray(cipherLength - 10000, '\0'));
    QByteArray trailer;
    for (int i = 0; i < 8; ++i) {
        putUInt32(trailer, static_cast<quint32>(kStub));
    }
    EXPECT_EQ(bytes.last(32), trailer);
    // Not encrypted, yet the picture is nowhere in plain form.
    EXPECT_EQ(bytes.indexOf(jpegLike(10000, 1).first(48)), -1);

    EXPECT_EQ(written.header.fileLength, bytes.size());
    EXPECT_EQ(written.header.layout().plainEnd(), 312456);
    EXPECT_EQ(written.header.layout().cipherStart(), cipherStart);
    EXPECT_TRUE(QFileInfo(output).isExecutable());

    const PackageReadResult read = readPackage(output);
    ASSERT_TRUE(read.ok()) << read.message.toStdString();
    EXPECT_EQ(read.content.header.stubLength, kStub);
    EXPECT_EQ(read.content.header.imageCount, 1);
    EXPECT_EQ(read.content.images, QList<QByteArray>{jpegLike(10000, 1)});
    EXPECT_FALSE(read.content.header.keyBlocksCarryKey);
}

TEST_F(Package, HeaderFieldsCarryTheOptions) {
    PlayerProject project = pictures({100, 200, 300});
    project.options.transitions = true;
    project.options.fullScreen = true;
    project.options.autoPlay = false;
    project.options.loop = true;
    project.options.viewTime = 45;
    project.options.descriptions = true;
    project.options.soundMode = kSameSound;
    project.options.synchronise = true;
    ASSERT_TRUE(write(project).ok);
    const QByteArray bytes = readAll(output);
    // 10003 for transitions; mode 4 synchronised is 8, plus 128 for full
    // screen; the manual flag is the inverse of auto play.
    const QList<quint32> expected = {10003, 45, 1, 136, 1, 1, 0};
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(uint32At(bytes, kStub + 4 * i), expected[i]) << i;
    }
    const PackageReadResult read = readPackageHeader(output);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.content.header.soundMode, kSameSoundSynchronised);
    EXPECT_EQ(read.content.header.options(), project.options);
}

TEST_F(Package, SharedSoundIsStoredOnceInVariousSoundsMode) {
    PlayerProject project = pictures({500, 600, 700, 800, 900, 1000});
    const QString shared = file(QStringLiteral("in-shared.wav"), pattern(1234, 5));
    const QString own = file(QStringLiteral("in-own.wav"), pattern(777, 6));
    const QString absent = dir.filePath(QStringLiteral("in-absent.wav"));
    project.images[0].soundPath = shared;
    project.images[1].soundPath = shared;
    project.images[2].soundPath = own;
    // Picture 4 has no sound; 5 and 6 share one that cannot be read.
    project.images[4].soundPath = absent;
    project.images[5].soundPath = absent;
    project.options.soundMode = kVariousSounds;
    const PackageWriteResult written = write(project);
    ASSERT_TRUE(written.ok);
    const QList<quint32> entries = {1234, 4000000001u, 777, 0, 0, 0};
    EXPECT_EQ(written.header.soundEntries, entries);

    const PackageReadResult read = readPackage(output);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.content.header.soundEntries, entries);
    // Pictures, then the two stored sounds, nothing more.
    EXPECT_EQ(read.content.header.payloadLength(), 4500 + 1234 + 777);
    EXPECT_EQ(read.content.sounds[0], pattern(1234, 5));
    EXPECT_EQ(read.content.sounds[1], pattern(1234, 5));
    EXPECT_EQ(read.content.sounds[2], pattern(777, 6));
    EXPECT_TRUE(read.content.sounds[3].isEmpty());
    EXPECT_EQ(read.content.soundOrigins, (QList<int>{1, 1, 3, 0, 0, 0}));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(read.content.images[i], jpegLike(500 + 100 * i, i + 1));
    }
}

TEST_F(Package, SingleSoundModesKeepOnlyTheFirstPicturesSound) {
    PlayerProject project = pictures({100, 100, 100});
    const QString first = file(QStringLiteral("in-1.wav"), pattern(50, 1));
    const QString other = file(QStringLiteral("in-2.wav"), pattern(60, 2));
    project.images[0].soundPath = first;
    project.images[1].soundPath = other;
    project.images[2].soundPath = first;
    for (int mode : {kOneSoundLooped, kOneSound, kSameSound, kMidi, kMidiLooped}) {
        project.options.soundMode = mode;
        const PackageWriteResult written = write(project);
        ASSERT_TRUE(written.ok);
        EXPECT_EQ(written.header.soundEntries, (QList<quint32>{50, 0, 0})) << mode;
    }
    project.options.soundMode = kNoSound;
    EXPECT_EQ(write(project).header.soundEntries, (QList<quint32>{0, 0, 0}));
}

TEST_F(Package, KeyBlocksCarryTheKeyOnlyWhenEncryptedAndSent) {
    PlayerProject project = pictures({300});
    const QByteArray zeros(96, '0');
    const auto keyBlocks = [&] {
        const QByteArray bytes = readAll(output);
        return bytes.sliced(kStub + 28, 32) + bytes.sliced(kStub + 64, 32) +
               bytes.sliced(kStub + 100, 32);
    };
    ASSERT_TRUE(write(project).ok);
    EXPECT_EQ(keyBlocks(), zeros);

    project.options.encrypt = true;
    PackageWriteOptions options;
    options.password = QStringLiteral("secret words");
    ASSERT_TRUE(write(project, options).ok);
    // Compared without printing: key material never goes to a log.
    EXPECT_TRUE(keyTextFromKeyBlocks(keyBlocks()) == playerKeyText(options.password));
    EXPECT_EQ(uint32At(readAll(output), kStub + 24), 1u);

    options.sendPassword = false;
    ASSERT_TRUE(write(project, options).ok);
    EXPECT_EQ(keyBlocks(), zeros);

    const PackageReadResult right = readPackage(output, options.password);
    ASSERT_TRUE(right.ok());
    EXPECT_EQ(right.content.images[0], jpegLike(300, 1));
    for (const QString& wrong : {QStringLiteral("secret word"), QString()}) {
        const PackageReadResult refused = readPackage(output, wrong);
        EXPECT_EQ(refused.status, PackageReadResult::Status::IncorrectPassword);
        EXPECT_EQ(refused.message, "Aborting: Incorrect Password");
        EXPECT_TRUE(refused.content.images.isEmpty());
    }
}

TEST_F(Package, PlayerKeyTextIsThePasswordOverTheBaseKey) {
    const QByteArray two = playerKeyText(QStringLiteral("ab"));
    const QByteArray other = playerKeyText(QStringLiteral("cd"));
    ASSERT_EQ(two.size(), 96);
    EXPECT_TRUE(two.startsWith("ab"));
    EXPECT_TRUE(two.sliced(2) == other.sliced(2));
    const QString full(96, QLatin1Char('z'));
    EXPECT_TRUE(playerKeyText(full) == full.toLatin1());
    EXPECT_TRUE(playerKeyText(full + QStringLiteral("more")) == full.toLatin1());
    EXPECT_TRUE(defaultPlayerKeyText() != playerKeyText(QString()));
    for (char c : defaultPlayerKeyText()) {
        EXPECT_TRUE(c > ' ' && c < 127);
    }
}

TEST_F(Package, StubLengthComesFromTheTrailer) {
    ASSERT_TRUE(write(pictures({400})).ok);
    const qint64 end = QFileInfo(output).size();

    // 150,000 is in the accepted range but not a usual one: 312,320.
    patch(end - 4, 150000);
    PackageReadResult read = readPackage(output);
    ASSERT_TRUE(read.ok()) << read.message.toStdString();
    EXPECT_EQ(read.content.header.trailerStubLength, 150000);
    EXPECT_EQ(read.content.header.stubLength, kStub);

    for (quint32 refused : {50000u, 99999u, 10000001u, 0xFFFFFFFFu}) {
        patch(end - 4, refused);
        read = readPackageHeader(output);
        EXPECT_EQ(read.status, PackageReadResult::Status::NotRuntime) << refused;
        EXPECT_EQ(read.message, "Aborting: Not a valid Runtime File");
    }

    // A stub of a usual length other than 312,320 is taken at its word.
    PackageWriteOptions options;
    options.stubPath = stub(200000);
    ASSERT_TRUE(write(pictures({400}), options).ok);
    read = readPackage(output);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.content.header.stubLength, 200000);
    EXPECT_EQ(read.content.images[0], jpegLike(400, 1));
}

TEST_F(Package, DamagedTablesAndTruncationsAreRefused) {
    PlayerProject project = pictures({600, 700});
    project.options.soundMode = kVariousSounds;
    const QString sound = file(QStringLiteral("in-s.wav"), pattern(90, 3));
    project.images[0].soundPath = sound;
    project.images[1].soundPath = sound;
    ASSERT_TRUE(write(project).ok);
    const QByteArray good = readAll(output);
    const qint64 images = kStub + 60;
    const qint64 sounds = kStub + 92 + 8;
    const qint64 texts = kStub + 124 + 16;

    struct Damage {
        qint64 offset;
        quint32 value;
    };
    const QList<Damage> damages = {
        {kStub, 1001},              // more pictures than a player holds
        {kStub, 11001},             // the same, with transitions
        {kStub, 0xFFFFFFFF},        // a negative count
        {kStub + 12, 9},            // no such sound mode
        {images, 0xFFFFFFFF},       // a negative picture length
        {texts, 0x80000000},        // a negative text length
        {images + 4, 0x7FFFFFFF},   // more bytes than the file holds
        {sounds, 3999999999u},      // the same through a sound
        {sounds + 4, 4000000002u},  // a sound of its own picture
        {sounds + 4, 4000000003u},  // a sound of a later picture
        {sounds, 4000000001u},      // the first picture refers to itself
        {sounds + 4, 4000000000u},  // a reference to picture 0
    };
    for (const Damage& damage : damages) {
        writeBytes(output, good);
        patch(damage.offset, damage.value);
        const PackageReadResult read = readPackage(output);
        EXPECT_EQ(read.status, PackageReadResult::Status::NotRuntime)
            << damage.offset << " " << damage.value;
        EXPECT_EQ(read.message, "Aborting: Not a valid Runtime File");
    }

    // Cut inside the tables or the data they announce, the trailer kept:
    // the tables ask for more than the file holds.
    const qint64 cipherStart = kStub + 160;
    for (qint64 length : {kStub + 100, cipherStart, cipherStart + 1000}) {
        writeBytes(output, good.first(length) + good.last(32));
        EXPECT_EQ(readPackage(output).status, PackageReadResult::Status::NotRuntime) << length;
    }
    // Cut with the trailer gone: the last bytes are no stub length.
    for (qint64 length : {qint64(100), kStub + 10, good.size() - 1}) {
        writeBytes(output, good.first(length));
        EXPECT_EQ(readPackage(output).status, PackageReadResult::Status::NotRuntime) << length;
    }
    writeBytes(output, good);
    EXPECT_TRUE(readPackage(output).ok());
}

TEST_F(Package, DescriptionsGoInOnlyWithTheirOption) {
    PlayerProject project = pictures({100, 100, 100});
    project.images[0].description = QStringLiteral("Harbour at dawn");
    project.images[2].description = QStringLiteral("Grüße aus Köln");
    PackageWriteResult written = write(project);
    EXPECT_EQ(written.header.textLengths, (QList<qint32>{0, 0, 0}));

    project.options.descriptions = true;
    written = write(project);
    EXPECT_EQ(written.header.textLengths, (QList<qint32>{15, 0, 17}));
    const PackageReadResult read = readPackage(output);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.content.descriptions,
              (QStringList{"Harbour at dawn", QString(), "Grüße aus Köln"}));
}

TEST_F(Package, RefusedBuildsLeaveNothingBehind) {
    const QString before = file(QStringLiteral("kept.exe"), "an older player");
    output = before;
    const PlayerProject project = pictures({100});
    const auto refused = [&](const PlayerProject& what, PackageWriteOptions options) {
        const PackageWriteResult result = write(what, options);
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.message.isEmpty());
        EXPECT_EQ(readAll(before), "an older player");
        EXPECT_EQ(outputs(), QStringList{"kept.exe"});
        return result.message;
    };
    PackageWriteOptions options;
    options.stubPath = stub(199999);
    refused(project, options);
    options.stubPath = stub(330001);
    refused(project, options);
    options.stubPath = dir.filePath(QStringLiteral("zs1-none.dll"));
    EXPECT_TRUE(refused(project, options).contains(QLatin1String("zs1-none.dll")));

    refused(PlayerProject{}, {});
    PlayerProject missing = project;
    missing.images[0].preparedPath = dir.filePath(QStringLiteral("77"));
    refused(missing, {});
    PlayerProject encrypted = project;
    encrypted.options.encrypt = true;
    options = {};
    options.password = QStringLiteral("x");
    EXPECT_EQ(refused(encrypted, options), "Passwords must be a minimum of 2 characters");

    // An output folder that does not exist.
    output = dir.filePath(QStringLiteral("no-folder/player.exe"));
    EXPECT_FALSE(write(project).ok);
}

TEST_F(Package, ExtractedFilesHaveTheImportersNames) {
    PlayerProject project = pictures({100, 200, 300});
    const QString a = file(QStringLiteral("in-a.wav"), pattern(40, 1));
    const QString b = file(QStringLiteral("in-b.wav"), pattern(50, 2));
    project.images[0].soundPath = a;
    project.images[1].soundPath = a;
    project.images[2].soundPath = b;
    project.images[1].description = QStringLiteral("second");
    project.options.descriptions = true;
    project.options.soundMode = kVariousSounds;
    ASSERT_TRUE(write(project).ok);
    const PackageReadResult read = readPackage(output);
    ASSERT_TRUE(read.ok());

    QTemporaryDir target;
    const ExtractedPackage extracted = extractPackage(read.content, target.path());
    ASSERT_TRUE(extracted.ok) << extracted.message.toStdString();
    const QDir folder(target.path());
    EXPECT_EQ(extracted.images,
              (QStringList{folder.filePath("1"), folder.filePath("2"), folder.filePath("3")}));
    EXPECT_EQ(extracted.sounds,
              (QStringList{folder.filePath("zss1.wav"), folder.filePath("zss2.wav"),
                           folder.filePath("zss3.wav")}));
    EXPECT_EQ(readAll(folder.filePath("zss2.wav")), pattern(40, 1));
    EXPECT_EQ(readAll(folder.filePath("3")), jpegLike(300, 3));
    EXPECT_EQ(extracted.descriptions, (QStringList{QString(), "second", QString()}));

    // Mode 1 takes the first picture's sound only.
    project.options.soundMode = kOneSoundLooped;
    ASSERT_TRUE(write(project).ok);
    QTemporaryDir single;
    const ExtractedPackage one = extractPackage(readPackage(output).content, single.path());
    EXPECT_EQ(one.sounds,
              (QStringList{QDir(single.path()).filePath("zss1.wav"), QString(), QString()}));
}

}  // namespace
