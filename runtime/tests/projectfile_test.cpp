#include "runtime/projectfile.h"
#include "runtime/tests/runtimetesting.h"

#include "platform/archive.h"
#include "platform/fileexception.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace runtime;
using namespace runtimetesting;

namespace {

QByteArray stringBytes(const QByteArray& text) {
    QByteArray bytes;
    bytes.append(static_cast<char>(text.size()));
    return bytes + text;
}

PlayerProject twoPictures() {
    PlayerProject project;
    project.options.soundMode = kOneSound;
    project.options.fullScreen = true;
    project.options.transitions = true;
    project.options.viewTime = 7;
    project.options.autoPlay = false;
    project.options.loop = true;
    project.options.encrypt = true;
    project.options.descriptions = true;
    project.images = {{"/pictures/a.jpg", "/pictures/a.jpg", "/sounds/a.wav", "Harbour"},
                      {"/pictures/b.png", "/pictures/b.png", "", QString(300, QLatin1Char('x'))}};
    return project;
}

TEST(ProjectFile, LayoutIsTheArchiveFieldsInOrder) {
    ArchiveWriter archive;
    writeProject(archive, twoPictures());

    QByteArray expected = stringBytes("starbloom runtime project");
    for (quint32 field : {130u, 7u, 0u, 1u, 1u, 0u, 1u, 10002u}) {
        putUInt32(expected, field);
    }
    expected +=
        stringBytes("/pictures/a.jpg") + stringBytes("/sounds/a.wav") + stringBytes("Harbour");
    expected += stringBytes("/pictures/b.png") + stringBytes("");
    // 300 characters take the 0xFF prefix and a 16-bit length.
    expected += QByteArray("\xFF\x2C\x01", 3) + QByteArray(300, 'x');
    EXPECT_EQ(archive.data(), expected);
}

TEST(ProjectFile, EmptyProjectHoldsSignatureAndEightIntegers) {
    PlayerProject project;
    ArchiveWriter plain;
    writeProject(plain, project);
    EXPECT_EQ(plain.data().size(), 26 + 8 * 4);
    EXPECT_EQ(uint32At(plain.data(), 26 + 28), 0u);

    // With transitions on the count reads 10000 and comes back as no
    // pictures, not as ten thousand of them.
    project.options.transitions = true;
    ArchiveWriter withTransitions;
    writeProject(withTransitions, project);
    EXPECT_EQ(uint32At(withTransitions.data(), 26 + 28), 10000u);
    ArchiveReader reader(withTransitions.data());
    const std::optional<PlayerProject> read = readProject(reader);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->images.isEmpty());
    EXPECT_TRUE(read->options.transitions);
}

TEST(ProjectFile, SavedProjectOpensAsItWas) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("show.rtp"));
    const PlayerProject project = twoPictures();
    ASSERT_TRUE(saveProject(path, project));

    const ProjectLoadResult loaded = loadProject(path);
    ASSERT_TRUE(loaded.loaded()) << loaded.message.toStdString();
    EXPECT_EQ(loaded.project, project);
    EXPECT_EQ(loaded.fields.soundModeField, 130);
    EXPECT_EQ(loaded.fields.countField, 10002);
    EXPECT_EQ(loaded.project.options.soundMode, kOneSound);
    EXPECT_TRUE(loaded.project.options.fullScreen);

    // Text outside ASCII goes out as UTF-8 and comes back whole.
    PlayerProject accented;
    accented.images = {{"/bilder/Grüße.jpg", "/bilder/Grüße.jpg", "", "Café – 東京"}};
    ASSERT_TRUE(saveProject(path, accented));
    EXPECT_EQ(loadProject(path).project, accented);
}

TEST(ProjectFile, OtherFilesAreNotProjects) {
    QTemporaryDir dir;
    const QByteArray slideShow = stringBytes("starbloom slide file") + QByteArray(40, '\0');
    const QByteArray jpeg = jpegLike(2000);
    for (const QByteArray& bytes : {slideShow, jpeg, QByteArray()}) {
        const QString path = writeBytes(dir.filePath(QStringLiteral("other")), bytes);
        const ProjectLoadResult loaded = loadProject(path);
        EXPECT_EQ(loaded.status, ProjectLoadResult::Status::Invalid);
        EXPECT_EQ(loaded.message, "Not a valid player project: " + path);
    }
    const ProjectLoadResult missing = loadProject(dir.filePath(QStringLiteral("absent.rtp")));
    EXPECT_EQ(missing.status, ProjectLoadResult::Status::NotOpened);
    EXPECT_FALSE(missing.message.isEmpty());
}

TEST(ProjectFile, EveryTruncationIsRefusedWithoutAProject) {
    QTemporaryDir dir;
    ArchiveWriter archive;
    writeProject(archive, twoPictures());
    const QByteArray whole = archive.data();
    const QString path = dir.filePath(QStringLiteral("cut.rtp"));
    for (qsizetype length = 0; length < whole.size(); ++length) {
        writeBytes(path, whole.first(length));
        const ProjectLoadResult loaded = loadProject(path);
        ASSERT_EQ(loaded.status, ProjectLoadResult::Status::Invalid) << length;
        EXPECT_TRUE(loaded.project.images.isEmpty()) << length;
        EXPECT_FALSE(loaded.message.isEmpty());
    }
}

TEST(ProjectFile, ImpossibleCountsAndModesAreRefused) {
    const auto withFields = [](quint32 mode, quint32 count) {
        QByteArray bytes = stringBytes("starbloom runtime project");
        for (quint32 field : {mode, 2u, 1u, 0u, 0u, 0u, 0u, count}) {
            putUInt32(bytes, field);
        }
        // Enough empty strings for any count that is accepted.
        return bytes + QByteArray(3 * 1000, '\0');
    };
    const auto read = [](const QByteArray& bytes) {
        ArchiveReader reader(bytes);
        return readProject(reader);
    };
    EXPECT_EQ(read(withFields(0, 1000))->images.size(), 1000);
    EXPECT_EQ(read(withFields(136, 11000))->images.size(), 1000);
    EXPECT_THROW(read(withFields(0, 1001)), FileException);
    EXPECT_THROW(read(withFields(0, 0xFFFFFFFF)), FileException);
    EXPECT_THROW(read(withFields(9, 1)), FileException);
    EXPECT_THROW(read(withFields(137, 1)), FileException);

    // A count within the limit whose strings are missing ends early.
    QByteArray short_ = withFields(0, 500).first(26 + 32 + 10);
    EXPECT_THROW(read(short_), FileException);

    // A view time out of range reads as the creator's edit takes it.
    QByteArray odd = stringBytes("starbloom runtime project");
    for (quint32 field : {0u, 150u, 1u, 0u, 0u, 0u, 0u, 0u}) {
        putUInt32(odd, field);
    }
    EXPECT_EQ(read(odd)->options.viewTime, 0);
}

TEST(ProjectFile, SaveFailsWithoutLeavingAFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no-such-folder/show.rtp"));
    QString error;
    EXPECT_FALSE(saveProject(path, twoPictures(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    PlayerProject tooMany;
    tooMany.images.resize(kMaxImages + 1);
    const QString existing = writeBytes(dir.filePath(QStringLiteral("kept.rtp")), "before");
    EXPECT_FALSE(saveProject(existing, tooMany, &error));
    EXPECT_EQ(readAll(existing), "before");
}

}  // namespace
