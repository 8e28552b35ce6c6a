#include "crypt/encryptedimage.h"
#include "crypt/encryptionpassword.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"
#include "platform/testing/scriptedprompt.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cipher;
using imaging::ImageHandle;

namespace {

ImageHandle picture(int width = 60, int height = 40) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(240, 240, 240));
    QPainter painter(&image);
    painter.fillRect(5, 5, 20, 15, QColor(200, 30, 30));
    painter.fillRect(30, 20, 25, 15, QColor(20, 60, 200));
    painter.end();
    ImageHandle handle;
    imaging::handleFromQImage(image, &handle);
    return handle;
}

QByteArray encoded(int format, const ImageHandle& handle = picture()) {
    QByteArray bytes;
    EXPECT_EQ(imaging::saveMemory(&bytes, handle, format, 0), imaging::kSuccess);
    return bytes;
}

/// Files left in the temporary folder by a PhotoCD load.
QStringList photoCdLeftovers() {
    QStringList found;
    QDirIterator it(QDir::tempPath(), {QLatin1String(kPhotoCdFileName)}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found << it.next();
    }
    return found;
}

class EncipheredImage : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ScriptedPrompt prompt;
    EncryptionPassword password;

    QString write(const char* name, const QByteArray& image, const char* secret,
                  EncryptedKind kind = EncryptedKind::File) {
        EncryptionPassword writer;
        writer.setPassword(QString::fromLatin1(secret));
        const QString path = dir.filePath(QLatin1String(name));
        EXPECT_EQ(writeEncipheredImage(path, image, writer, kind), imaging::kSuccess);
        return path;
    }

    /// A context whose password prompts answer from `answers` in turn; an
    /// empty answer is a cancelled dialog.
    DecipherContext context(QStringList answers, int* asked = nullptr) {
        DecipherContext c;
        c.prompt = &prompt;
        c.askPassword = [this, answers, asked]() mutable {
            if (asked) {
                ++*asked;
            }
            if (!answers.isEmpty()) {
                const QString answer = answers.takeFirst();
                if (!answer.isEmpty()) {
                    password.setPassword(answer);
                }
            }
        };
        return c;
    }
};

TEST_F(EncipheredImage, TheLayoutIsAPlainHeaderThenWholeEncipheredBlocks) {
    const QByteArray png = encoded(imaging::format::kPng);
    const QString path = write("a.enc", png, "opensesame");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.left(32), QByteArray("Zelvik Starbloom Encrypted File") + QByteArray(1, '\0'));
    EXPECT_EQ(bytes.size(), 32 + (png.size() + 31) / 32 * 32);
    EXPECT_EQ(bytes.indexOf(png.left(16)), -1) << "the body is not stored plain";
    EXPECT_EQ(encryptedHeader(path), EncryptedKind::File);

    QByteArray body;
    password.setPassword(QStringLiteral("opensesame"));
    ASSERT_EQ(readDecipheredBody(path, password.key(), &body), imaging::kSuccess);
    EXPECT_EQ(body.left(png.size()), png);
    EXPECT_EQ(body.mid(png.size()), QByteArray(body.size() - png.size(), '\0'));
}

TEST_F(EncipheredImage, JpegPngAndBmpOpenAsTheSamePixelsUnderTheirPassword) {
    for (int format : {imaging::format::kJpeg, imaging::format::kPng, imaging::format::kBmp}) {
        const QByteArray image = encoded(format);
        ImageHandle expected;
        ASSERT_EQ(imaging::loadMemory(image, &expected), imaging::kSuccess);
        const QString path = write("p.enc", image, "correct horse");
        password.setPassword(QStringLiteral("correct horse"));
        ImageHandle loaded;
        ASSERT_EQ(decipherAndLoad(path, &loaded, password, context({})), imaging::kSuccess)
            << format;
        EXPECT_EQ(loaded.image, expected.image) << format;
    }
    EXPECT_TRUE(prompt.records().isEmpty());
}

TEST_F(EncipheredImage, AWrongPasswordGetsOneMorePromptThenFailsCleanly) {
    const QString path = write("w.enc", encoded(imaging::format::kPng), "right one");
    password.setPassword(QStringLiteral("wrong one"));
    int asked = 0;
    ImageHandle handle;
    imaging::initHandle(&handle);
    EXPECT_LT(
        decipherAndLoad(path, &handle, password, context({QStringLiteral("still wrong")}, &asked)),
        0);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(handle.width(), 1) << "the handle is untouched";

    // The retry with the right password succeeds.
    asked = 0;
    password.setPassword(QStringLiteral("wrong one"));
    EXPECT_EQ(
        decipherAndLoad(path, &handle, password, context({QStringLiteral("right one")}, &asked)),
        imaging::kSuccess);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(handle.width(), 60);
}

TEST_F(EncipheredImage, WithoutAPasswordItAsksOnceWithoutConfirmationOrRefuses) {
    const QString path = write("n.enc", encoded(imaging::format::kPng), "the secret");
    // Cancelled: the message, and the flag is clear again.
    bool noPassword = false;
    ImageHandle handle;
    EXPECT_LT(decipherAndLoad(path, &handle, password, context({QString()}), &noPassword), 0);
    EXPECT_TRUE(noPassword);
    EXPECT_EQ(prompt.texts(),
              QStringList{"Error: File is encrypted, cannot load without a password"});
    EXPECT_FALSE(password.isSet());

    // Answered: loads, and a second picture asks nothing.
    prompt.clear();
    bool flagWhileAsking = false;
    DecipherContext c = context({});
    c.askPassword = [&] {
        flagWhileAsking = password.isSet();
        password.setPassword(QStringLiteral("the secret"));
    };
    ASSERT_EQ(decipherAndLoad(path, &handle, password, c), imaging::kSuccess);
    EXPECT_TRUE(flagWhileAsking) << "the command then asks no confirmation";
    int asked = 0;
    ASSERT_EQ(decipherAndLoad(path, &handle, password, context({}, &asked)), imaging::kSuccess);
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(prompt.records().isEmpty());
}

TEST_F(EncipheredImage, QuietLoadsNeverAskOrTell) {
    const QString path = write("q.enc", encoded(imaging::format::kPng), "quietly");
    int asked = 0;
    DecipherContext c = context({QStringLiteral("quietly")}, &asked);
    c.quiet = true;
    ImageHandle handle;
    EXPECT_LT(decipherAndLoad(path, &handle, password, c), 0);
    password.setPassword(QStringLiteral("wrong"));
    EXPECT_LT(decipherAndLoad(path, &handle, password, c), 0);
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(prompt.records().isEmpty());
    password.setPassword(QStringLiteral("quietly"));
    EXPECT_EQ(decipherAndLoad(path, &handle, password, c), imaging::kSuccess);
}

TEST_F(EncipheredImage, PlainBytesAfterTheHeaderOrABodyCutShortNeverLoad) {
    const QByteArray png = encoded(imaging::format::kPng);
    const QString plain = dir.filePath(QStringLiteral("plain.enc"));
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(kHeaderFile, 31) + QByteArray(1, '\0') + png);
    file.close();
    ASSERT_EQ(encryptedHeader(plain), EncryptedKind::File);
    ImageHandle handle;
    for (const char* guess : {"", "a", "correct", "opensesame"}) {
        password.setPassword(QLatin1String(guess));
        EXPECT_LT(decipherAndLoad(plain, &handle, password, context({QLatin1String(guess)})), 0)
            << guess;
    }

    const QString path = write("cut.enc", png, "cut short");
    QFile whole(path);
    ASSERT_TRUE(whole.open(QIODevice::ReadWrite));
    whole.resize(32 + 32 * 3 + 11);  // into the middle of a block
    whole.close();
    password.setPassword(QStringLiteral("cut short"));
    EXPECT_LT(decipherAndLoad(path, &handle, password, context({QStringLiteral("cut short")})), 0);
}

TEST_F(EncipheredImage, PhotoCdPicturesLoadThroughATemporaryFileThatDisappears) {
    const QStringList before = photoCdLeftovers();
    QByteArray pcd;
    ASSERT_EQ(imaging::saveMemory(&pcd, picture(768, 512), imaging::format::kPhotoCd, 24),
              imaging::kSuccess);
    const QString path = write("p.pcd.enc", pcd, "photocd", EncryptedKind::PhotoCd);
    EXPECT_EQ(encryptedHeader(path), EncryptedKind::PhotoCd);
    password.setPassword(QStringLiteral("photocd"));
    ImageHandle handle;
    ASSERT_EQ(decipherAndLoad(path, &handle, password, context({})), imaging::kSuccess);
    EXPECT_EQ(handle.image.size(), QSize(768, 512));
    EXPECT_EQ(photoCdLeftovers(), before);

    // Failing loads leave nothing behind either.
    password.setPassword(QStringLiteral("not it"));
    EXPECT_LT(decipherAndLoad(path, &handle, password, context({QStringLiteral("nor this")})), 0);
    EXPECT_EQ(photoCdLeftovers(), before);
}

TEST(EncryptionPasswordKey, ThePasswordLiesOverTheFiller) {
    EncryptionPassword password;
    EXPECT_FALSE(password.isSet());
    EXPECT_EQ(password.key(), QByteArray(96, EncryptionPassword::kFiller));
    password.setPassword(QStringLiteral("ab"));
    EXPECT_TRUE(password.isSet());
    EXPECT_EQ(password.key(), QByteArray("ab") + QByteArray(94, EncryptionPassword::kFiller));
    // 96 characters fill the whole key: the filler plays no part.
    const QString full(96, QLatin1Char('x'));
    password.setPassword(full);
    EXPECT_EQ(password.key(), full.toLatin1());
    password.setPassword(QStringLiteral("c"));
    EXPECT_EQ(password.key(), QByteArray("c") + QByteArray(95, EncryptionPassword::kFiller));
}

}  // namespace
