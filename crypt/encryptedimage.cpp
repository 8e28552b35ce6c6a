#include "crypt/encryptedimage.h"

#include "crypt/cryptfile.h"
#include "crypt/encryptionpassword.h"
#include "crypt/securewipe.h"
#include "imaging/errors.h"
#include "imaging/imagefile.h"
#include "imaging/secondlibrary.h"
#include "platform/fileexception.h"
#include "platform/prompt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <cstdio>
#include <cstring>

namespace cipher {

namespace {

// Bodies larger than this are not pictures anyone enciphered; refuse them
// before allocating.
constexpr qint64 kMaxBody = qint64(1) << 30;

const QString kNoPasswordMessage =
    QStringLiteral("Error: File is encrypted, cannot load without a password");

/// Loads the deciphered bytes as the header says: from memory, or from a
/// private temporary file for PhotoCD pictures, which leaves nothing behind.
int loadBody(const QByteArray& body, EncryptedKind kind, imaging::ImageHandle* handle) {
    if (kind == EncryptedKind::File) {
        int status = imaging::loadMemory(body, handle);
        if (status != imaging::kSuccess && imaging::second::loadMemory(body, handle) == 0) {
            status = imaging::kSuccess;
        }
        return status;
    }
    // A folder of our own (mode 0700) keeps the fixed name safe from other
    // users of the shared temporary folder.
    QTemporaryDir folder(QDir(QDir::tempPath()).filePath(QStringLiteral("pixoria-XXXXXX")));
    if (!folder.isValid()) {
        return imaging::kErrorFileWrite;
    }
    const QString path = folder.filePath(QLatin1String(kPhotoCdFileName));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size()) {
        return imaging::kErrorFileWrite;
    }
    file.close();
    const int status = imaging::loadFile(path, handle);
    QFile::remove(path);  // the folder goes with `folder`, also after a failure
    return status;
}

}  // namespace

EncryptedKind encryptedHeader(QByteArrayView head) {
    if (head.size() < kHeaderSize) {
        return EncryptedKind::None;
    }
    // Zero-terminated text: the 31 characters and their terminator.
    const QByteArrayView text = head.first(kHeaderSize);
    if (std::memcmp(text.data(), kHeaderFile, sizeof kHeaderFile) == 0) {
        return EncryptedKind::File;
    }
    if (std::memcmp(text.data(), kHeaderPhotoCd, sizeof kHeaderPhotoCd) == 0) {
        return EncryptedKind::PhotoCd;
    }
    return EncryptedKind::None;
}

EncryptedKind encryptedHeader(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return EncryptedKind::None;
    }
    const QByteArray head = file.read(kHeaderSize);
    return encryptedHeader(QByteArrayView(head));
}

int readDecipheredBody(const QString& path, const QByteArray& key, QByteArray* body) {
    try {
        COXCryptFile file;
        FileException error(FileException::Cause::None, 0, path);
        if (!file.open(path, CFile::kModeRead, &error)) {
            return error.cause() == FileException::Cause::FileNotFound ? imaging::kErrorFileNotFound
                                                                       : imaging::kErrorFileOpen;
        }
        file.SetConversionAligned(true);
        file.SetKey(reinterpret_cast<const unsigned char*>(key.constData()));
        const qint64 length = static_cast<qint64>(file.getLength());
        if (length < kHeaderSize) {
            return imaging::kErrorInvalidFormat;
        }
        if (length - kHeaderSize > kMaxBody) {
            return imaging::kErrorNoMemory;
        }
        file.seek(kHeaderSize, CFile::kBegin);
        QByteArray bytes(length - kHeaderSize, Qt::Uninitialized);
        const std::uint32_t got = file.read(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        bytes.resize(got);
        file.close();
        *body = std::move(bytes);
        return imaging::kSuccess;
    } catch (const FileException&) {
        return imaging::kErrorFileRead;
    }
}

int decipherAndLoad(const QString& path, imaging::ImageHandle* handle, EncryptionPassword& password,
                    const DecipherContext& context, bool* noPassword) {
    if (noPassword) {
        *noPassword = false;
    }
    const EncryptedKind kind = encryptedHeader(path);
    if (kind == EncryptedKind::None) {
        return imaging::kErrorInvalidFormat;
    }
    if (!password.hasPassword() && !context.quiet && context.askPassword) {
        // With the flag set for the moment, the dialog asks no confirmation.
        password.setFlag(true);
        context.askPassword();
        if (!password.hasPassword()) {
            password.setFlag(false);
        }
    }
    if (!password.hasPassword()) {
        if (!context.quiet && context.prompt) {
            context.prompt->message(kNoPasswordMessage);
        }
        if (noPassword) {
            *noPassword = true;
        }
        return imaging::kErrorInvalidFormat;
    }

    QByteArray body;
    int status = readDecipheredBody(path, password.key(), &body);
    if (status == imaging::kSuccess) {
        status = loadBody(body, kind, handle);
    }
    if (status != imaging::kSuccess && !context.quiet && context.askPassword) {
        // One more try under a password typed again.
        context.askPassword();
        secureWipe(body.data(), static_cast<size_t>(body.size()));
        status = readDecipheredBody(path, password.key(), &body);
        if (status == imaging::kSuccess) {
            status = loadBody(body, kind, handle);
        }
    }
    secureWipe(body.data(), static_cast<size_t>(body.size()));
    return status;
}

int writeEncipheredImage(const QString& path, const QByteArray& image,
                         const EncryptionPassword& password, EncryptedKind kind) {
    if (kind == EncryptedKind::None) {
        return imaging::kErrorInvalidParameter;
    }
    QTemporaryFile temporary(QFileInfo(path).absoluteFilePath() + QStringLiteral(".XXXXXX"));
    temporary.setAutoRemove(false);
    if (!temporary.open()) {
        return imaging::kErrorFileWrite;
    }
    const QString temporaryPath = temporary.fileName();
    temporary.close();
    try {
        COXCryptFile file;
        file.SetConversion(false);
        if (!file.open(temporaryPath, CFile::kModeCreate | CFile::kModeWrite)) {
            QFile::remove(temporaryPath);
            return imaging::kErrorFileWrite;
        }
        QByteArray header(kHeaderSize, '\0');
        std::memcpy(header.data(), kind == EncryptedKind::File ? kHeaderFile : kHeaderPhotoCd,
                    sizeof kHeaderFile);
        file.write(header.constData(), kHeaderSize);
        file.SetConversionAligned(true);
        const QByteArray key = password.key();
        file.SetKey(reinterpret_cast<const unsigned char*>(key.constData()));
        file.write(image.constData(), static_cast<std::uint32_t>(image.size()));
        file.sync();  // the picture is on the disk before it replaces anything
        file.close();
    } catch (const FileException&) {
        QFile::remove(temporaryPath);
        return imaging::kErrorFileWrite;
    }
    if (std::rename(QFile::encodeName(temporaryPath).constData(),
                    QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temporaryPath);
        return imaging::kErrorFileWrite;
    }
    return imaging::kSuccess;
}

}  // namespace cipher
