#include "runtime/packagewriter.h"

#include "crypt/cryptfile.h"
#include "crypt/securewipe.h"
#include "platform/fileexception.h"
#include "runtime/playerkey.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <limits>

namespace runtime {

namespace {

// Enciphered data goes to the file in pieces of at most this many bytes.
constexpr qint64 kWritePiece = 64 * 1024 * 1024;

void putInt32(QByteArray& out, quint32 value) {
    const char bytes[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                           static_cast<char>((value >> 16) & 0xFF),
                           static_cast<char>((value >> 24) & 0xFF)};
    out.append(bytes, 4);
}

/// The whole of a file of at most `limit` bytes, or the reason it could
/// not be had.
bool readWhole(const QString& path, qint64 limit, QByteArray* data, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = FileException(QFileInfo::exists(path) ? FileException::Cause::AccessDenied
                                                           : FileException::Cause::FileNotFound,
                                   0, path)
                         .message();
        }
        return false;
    }
    if (file.size() > limit) {
        if (error) {
            *error = QStringLiteral("%1 is too large.").arg(QDir::toNativeSeparators(path));
        }
        return false;
    }
    *data = file.readAll();
    if (file.error() != QFileDevice::NoError || data->size() != file.size()) {
        if (error) {
            *error = FileException(FileException::Cause::HardIo, 0, path).message();
        }
        return false;
    }
    return true;
}

void writeAll(COXCryptFile& file, const QByteArray& data) {
    for (qint64 done = 0; done < data.size(); done += kWritePiece) {
        const qint64 piece = std::min(kWritePiece, data.size() - done);
        file.write(data.constData() + done, static_cast<std::uint32_t>(piece));
    }
}

/// The package's bytes before they go to the file.
struct Assembled {
    QByteArray plain;   // stub, header and tables
    QByteArray cipher;  // pictures, sounds, texts and filler, in plain form
};

PackageWriteResult failure(const QString& message) {
    PackageWriteResult result;
    result.message = message;
    return result;
}

/// Writes the package through a temporary file beside `outputPath`.
QString writeFile(const QString& outputPath, const Assembled& package, const QByteArray& keyText,
                  qint32 stubLength) {
    const QFileInfo target(outputPath);
    QTemporaryFile temporary(target.absoluteFilePath() + QStringLiteral(".XXXXXX"));
    temporary.setAutoRemove(false);
    if (!temporary.open()) {
        const auto cause = QFileInfo(target.absolutePath()).isDir()
                               ? FileException::Cause::AccessDenied
                               : FileException::Cause::BadPath;
        return FileException(cause, 0, outputPath).message();
    }
    const QString temporaryPath = temporary.fileName();
    temporary.close();
    try {
        COXCryptFile file;
        file.SetConversion(false);
        FileException error(FileException::Cause::None, 0, outputPath);
        if (!file.open(temporaryPath,
                       CFile::kModeCreate | CFile::kModeWrite | CFile::kShareDenyNone, &error)) {
            throw error;
        }
        writeAll(file, package.plain);
        file.SetKey(reinterpret_cast<const unsigned char*>(keyText.constData()));
        // Zeros up to the block boundary, then the rest enciphered; the
        // switch back completes the last block with enciphered zeros.
        file.SetConversionAligned(true);
        writeAll(file, package.cipher);
        file.SetConversionAligned(false);
        file.seek(0, CFile::kEnd);
        QByteArray trailer;
        for (int i = 0; i < kTrailerCopies; ++i) {
            putInt32(trailer, static_cast<quint32>(stubLength));
        }
        file.write(trailer.constData(), kTrailerSize);
        file.sync();  // the package is on the disk before it replaces anything
        file.close();
    } catch (const FileException& error) {
        QFile::remove(temporaryPath);
        return FileException(error.cause(), error.osError(), outputPath).message();
    }
    QFile::setPermissions(temporaryPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                             QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                             QFileDevice::ExeOther);
    if (std::rename(QFile::encodeName(temporaryPath).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        const FileException error = FileException::fromErrno(errno, outputPath);
        QFile::remove(temporaryPath);
        return error.message();
    }
    return {};
}

}  // namespace

QString defaultStubPath() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString beside = QDir(programFolder).filePath(QLatin1String(kStubFileName));
    if (QFileInfo::exists(beside)) {
        return beside;
    }
    const QString installed =
        QDir(programFolder)
            .filePath(QStringLiteral("../share/pixoria/") + QLatin1String(kStubFileName));
    if (QFileInfo::exists(installed)) {
        return QDir::cleanPath(installed);
    }
    return beside;
}

PackageWriteResult writePackage(const QString& outputPath, const PlayerProject& project,
                                const PackageWriteOptions& options,
                                const std::function<void(int step)>& progress) {
    const auto step = [&](int number) {
        if (progress) {
            progress(number);
        }
    };
    const int count = static_cast<int>(project.images.size());
    const PlayerOptions& settings = project.options;
    if (count == 0) {
        return failure(QStringLiteral("A runtime player needs at least one picture."));
    }
    if (count > kMaxImages) {
        return failure(
            QStringLiteral("A runtime player holds at most %1 pictures.").arg(kMaxImages));
    }
    if (settings.encrypt && options.password.size() < 2) {
        return failure(QStringLiteral("Passwords must be a minimum of 2 characters"));
    }

    QString error;
    Assembled package;
    if (!readWhole(options.stubPath, kMaxStubLength, &package.plain, &error)) {
        return failure(error);
    }
    const qint64 stubLength = package.plain.size();
    if (stubLength < kMinUsualStubLength || stubLength > kMaxUsualStubLength) {
        // A reader takes such a stub's length for another and would read
        // the package at the wrong place.
        return failure(QStringLiteral("%1 is not a player stub: it has %2 bytes, a stub has "
                                      "%3 to %4.")
                           .arg(QDir::toNativeSeparators(options.stubPath))
                           .arg(stubLength)
                           .arg(kMinUsualStubLength)
                           .arg(kMaxUsualStubLength));
    }
    step(1);

    PackageWriteResult result;
    PackageHeader& header = result.header;
    header.trailerStubLength = static_cast<qint32>(stubLength);
    header.stubLength = stubLength;
    header.imageCount = count;
    header.transitions = settings.transitions;
    header.countField = count + (settings.transitions ? kTransitionsFlag : 0);
    header.viewTime = settings.viewTime;
    header.loop = settings.loop;
    header.soundMode = packageSoundMode(settings);
    header.fullScreen = settings.fullScreen;
    header.soundModeField = header.soundMode + (settings.fullScreen ? kFullScreenFlag : 0);
    header.manual = !settings.autoPlay;
    header.descriptions = settings.descriptions;
    header.encrypt = settings.encrypt;
    header.keyBlocksCarryKey = settings.encrypt && options.sendPassword;

    QByteArray images;
    QByteArray sounds;
    QByteArray texts;
    for (int number = 1; number <= count; ++number) {
        const PlayerImage& image = project.images[number - 1];
        QByteArray picture;
        if (!readWhole(image.preparedPath, std::numeric_limits<qint32>::max(), &picture, &error)) {
            return failure(error);
        }
        header.imageLengths.append(static_cast<qint32>(picture.size()));
        images.append(picture);

        quint32 soundEntry = 0;
        if (mayCarrySound(header.soundMode, number) && !image.soundPath.isEmpty()) {
            int earlier = 0;
            for (int j = 1; j < number && earlier == 0; ++j) {
                if (project.images[j - 1].soundPath == image.soundPath) {
                    earlier = j;
                }
            }
            QByteArray sound;
            if (earlier != 0) {
                // The same sound is stored once; one that could not be read
                // the first time is no sound here either.
                if (header.soundEntries[earlier - 1] != 0) {
                    soundEntry = kSoundReferenceBase + static_cast<quint32>(earlier);
                }
            } else if (readWhole(image.soundPath, kMaxSoundLength, &sound, nullptr)) {
                soundEntry = static_cast<quint32>(sound.size());
                sounds.append(sound);
            }
        }
        header.soundEntries.append(soundEntry);

        const QByteArray text = settings.descriptions ? image.description.toUtf8() : QByteArray();
        header.textLengths.append(static_cast<qint32>(text.size()));
        texts.append(text);
        step(1 + number);
    }

    // Header and tables.
    QByteArray keyText =
        settings.encrypt ? playerKeyText(options.password) : defaultPlayerKeyText();
    const QByteArray keyBlocks = packageKeyBlocks(keyText, header.keyBlocksCarryKey);
    QByteArray& plain = package.plain;
    for (qint32 field :
         {header.countField, static_cast<qint32>(header.viewTime), qint32(header.loop ? 1 : 0),
          header.soundModeField, qint32(header.manual ? 1 : 0), qint32(header.descriptions ? 1 : 0),
          qint32(header.encrypt ? 1 : 0)}) {
        putInt32(plain, static_cast<quint32>(field));
    }
    plain.append(keyBlocks.first(kKeyBlockSize));
    for (qint32 length : header.imageLengths) {
        putInt32(plain, static_cast<quint32>(length));
    }
    plain.append(keyBlocks.sliced(kKeyBlockSize, kKeyBlockSize));
    for (quint32 entry : header.soundEntries) {
        putInt32(plain, entry);
    }
    plain.append(keyBlocks.sliced(2 * kKeyBlockSize, kKeyBlockSize));
    for (qint32 length : header.textLengths) {
        putInt32(plain, static_cast<quint32>(length));
    }

    // The enciphered part in plain form, with its filler.
    const PackageLayout layout = header.layout();
    const qint64 payload = images.size() + sounds.size() + texts.size();
    QByteArray& enciphered = package.cipher;
    enciphered.reserve(payload + fillerLength(layout, payload));
    enciphered.append(images);
    enciphered.append(sounds);
    enciphered.append(texts);
    enciphered.append(QByteArray(fillerLength(layout, payload), '\0'));
    images.clear();
    sounds.clear();
    texts.clear();
    step(count + 2);

    error = writeFile(outputPath, package, keyText, header.trailerStubLength);
    cipher::secureWipe(keyText.data(), static_cast<size_t>(keyText.size()));
    step(count + 3);
    if (!error.isEmpty()) {
        return failure(error);
    }
    header.fileLength = packageLength(layout, payload);
    result.ok = true;
    step(count + 4);
    return result;
}

}  // namespace runtime
