#include "runtime/packagereader.h"

#include "crypt/cryptfile.h"
#include "crypt/securewipe.h"
#include "platform/archive.h"
#include "platform/atomicfile.h"
#include "platform/fileexception.h"
#include "runtime/playerkey.h"

#include <QDir>

namespace runtime {

namespace {

// The enciphered part is read in pieces of at most this many bytes.
constexpr qint64 kReadPiece = 64 * 1024 * 1024;

quint32 uint32At(const char* bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

qint32 int32At(const char* bytes) {
    return static_cast<qint32>(uint32At(bytes));
}

/// Reads exactly `count` bytes, or reports that the file ended first.
bool readExactly(COXCryptFile& file, char* buffer, qint64 count) {
    for (qint64 done = 0; done < count;) {
        const qint64 piece = std::min(kReadPiece, count - done);
        const std::uint32_t got = file.read(buffer + done, static_cast<std::uint32_t>(piece));
        if (got == 0) {
            return false;
        }
        done += got;
    }
    return true;
}

/// The header fields at the stub's end; false when they hold values no
/// writer produces.
bool decodeHeader(const char* fields, PackageHeader* header) {
    header->countField = int32At(fields);
    header->viewTime = int32At(fields + 4);
    header->loop = int32At(fields + 8) != 0;
    header->soundModeField = int32At(fields + 12);
    header->manual = int32At(fields + 16) != 0;
    header->descriptions = int32At(fields + 20) != 0;
    header->encrypt = int32At(fields + 24) != 0;

    qint32 count = header->countField;
    // A player of no pictures with transitions on stores exactly 10000.
    if (count >= kTransitionsFlag) {
        count -= kTransitionsFlag;
        header->transitions = true;
    }
    qint32 mode = header->soundModeField;
    if (mode >= kFullScreenFlag) {
        mode -= kFullScreenFlag;
        header->fullScreen = true;
    }
    if (count < 0 || count > kMaxImages || mode < 0 || mode > kMaxSoundMode) {
        return false;
    }
    header->imageCount = count;
    header->soundMode = mode;
    if (header->viewTime < 0 || header->viewTime > kMaxViewTime) {
        header->viewTime = 0;
    }
    return true;
}

/// The key blocks and the three tables; false when a length is negative or
/// a sound refers to the picture itself or a later one.
bool decodeTables(const QByteArray& tables, PackageHeader* header) {
    const int count = header->imageCount;
    const char* p = tables.constData();
    QByteArray keyBlocks = QByteArray(p, kKeyBlockSize);
    p += kKeyBlockSize;
    for (int i = 0; i < count; ++i, p += 4) {
        header->imageLengths.append(int32At(p));
    }
    keyBlocks.append(p, kKeyBlockSize);
    p += kKeyBlockSize;
    for (int i = 0; i < count; ++i, p += 4) {
        header->soundEntries.append(uint32At(p));
    }
    keyBlocks.append(p, kKeyBlockSize);
    p += kKeyBlockSize;
    for (int i = 0; i < count; ++i, p += 4) {
        header->textLengths.append(int32At(p));
    }
    header->keyBlocksCarryKey = !keyBlocksAreFiller(keyBlocks);

    for (int number = 1; number <= count; ++number) {
        const quint32 entry = header->soundEntries[number - 1];
        if (header->imageLengths[number - 1] < 0 || header->textLengths[number - 1] < 0) {
            return false;
        }
        if (isSoundReference(entry)) {
            const quint32 earlier = entry - kSoundReferenceBase;
            if (earlier < 1 || earlier >= static_cast<quint32>(number)) {
                return false;
            }
        }
    }
    return true;
}

/// Splits the enciphered part, in plain form, as the tables say.
void splitPayload(const QByteArray& data, PackageContent* content) {
    const PackageHeader& header = content->header;
    const int count = header.imageCount;
    qint64 offset = 0;
    for (int i = 0; i < count; ++i) {
        const qint64 length = header.imageLengths[i];
        content->images.append(data.sliced(offset, length));
        offset += length;
    }
    for (int i = 0; i < count; ++i) {
        const quint32 entry = header.soundEntries[i];
        if (isSoundReference(entry)) {
            // Checked to be earlier, so already resolved.
            const int earlier = static_cast<int>(entry - kSoundReferenceBase);
            content->sounds.append(content->sounds[earlier - 1]);
            content->soundOrigins.append(content->soundOrigins[earlier - 1]);
        } else if (entry != 0) {
            content->sounds.append(data.sliced(offset, entry));
            content->soundOrigins.append(i + 1);
            offset += entry;
        } else {
            content->sounds.append(QByteArray());
            content->soundOrigins.append(0);
        }
    }
    for (int i = 0; i < count; ++i) {
        const qint64 length = header.textLengths[i];
        content->descriptions.append(length == 0 ? QString()
                                                 : decodeLegacyText(data.sliced(offset, length)));
        offset += length;
    }
}

bool startsAsJpeg(const QByteArray& image) {
    return image.size() >= 2 && static_cast<unsigned char>(image[0]) == 0xFF &&
           static_cast<unsigned char>(image[1]) == 0xD8;
}

/// The header and tables, and with `password` also the enciphered part.
PackageReadResult read(const QString& path, const QString* password) {
    PackageReadResult result;
    PackageHeader& header = result.content.header;
    try {
        COXCryptFile file;
        file.SetConversion(false);
        FileException error(FileException::Cause::None, 0, path);
        if (!file.open(path, CFile::kModeRead | CFile::kShareDenyNone, &error)) {
            result.message = error.message();
            return result;
        }
        result.status = PackageReadResult::Status::NotRuntime;
        result.message = notRuntimeMessage();

        const qint64 length = static_cast<qint64>(file.getLength());
        header.fileLength = length;
        if (length < kTrailerSize) {
            return result;
        }
        char field[4];
        file.seek(length - 4, CFile::kBegin);
        if (!readExactly(file, field, 4)) {
            return result;
        }
        header.trailerStubLength = int32At(field);
        if (header.trailerStubLength < kMinStubLength ||
            header.trailerStubLength > kMaxStubLength) {
            return result;
        }
        header.stubLength = header.trailerStubLength;
        if (header.stubLength < kMinUsualStubLength || header.stubLength > kMaxUsualStubLength) {
            header.stubLength = kAssumedStubLength;
        }

        // Everything up to the trailer; nothing may run into it.
        const qint64 end = length - kTrailerSize;
        char fields[kHeaderSize];
        if (header.stubLength + kHeaderSize > end) {
            return result;
        }
        file.seek(header.stubLength, CFile::kBegin);
        if (!readExactly(file, fields, kHeaderSize) || !decodeHeader(fields, &header)) {
            return result;
        }
        const PackageLayout layout = header.layout();
        if (layout.plainEnd() > end) {
            return result;
        }
        QByteArray tables(layout.tablesSize(), Qt::Uninitialized);
        if (!readExactly(file, tables.data(), tables.size()) || !decodeTables(tables, &header)) {
            return result;
        }
        const qint64 payload = header.payloadLength();
        if (layout.cipherStart() + payload > end) {
            return result;
        }
        if (!password) {
            result.status = PackageReadResult::Status::Read;
            result.message.clear();
            return result;
        }

        QByteArray keyText = header.encrypt ? playerKeyText(*password) : defaultPlayerKeyText();
        file.SetKey(reinterpret_cast<const unsigned char*>(keyText.constData()));
        cipher::secureWipe(keyText.data(), static_cast<size_t>(keyText.size()));
        file.SetConversionAligned(true);
        QByteArray data(payload, Qt::Uninitialized);
        if (!readExactly(file, data.data(), payload)) {
            return result;
        }
        file.close();
        splitPayload(data, &result.content);
        if (header.encrypt && header.imageCount > 0 && !startsAsJpeg(result.content.images[0])) {
            result.content = PackageContent{header, {}, {}, {}, {}};
            result.status = PackageReadResult::Status::IncorrectPassword;
            result.message = incorrectPasswordMessage();
            return result;
        }
    } catch (const FileException& error) {
        result.status = PackageReadResult::Status::NotOpened;
        result.message = error.message();
        return result;
    }
    result.status = PackageReadResult::Status::Read;
    result.message.clear();
    return result;
}

}  // namespace

PackageReadResult readPackageHeader(const QString& path) {
    return read(path, nullptr);
}

PackageReadResult readPackage(const QString& path, const QString& password) {
    return read(path, &password);
}

ExtractedPackage extractPackage(const PackageContent& content, const QString& folder) {
    ExtractedPackage result;
    const PackageHeader& header = content.header;
    const QDir dir(folder);
    const int count = static_cast<int>(content.images.size());
    const bool everyPicture =
        header.soundMode == kVariousSounds || header.soundMode == kVariousSoundsSynchronised;
    bool soundTaken = false;
    QString error;
    for (int number = 1; number <= count; ++number) {
        const QString imagePath = dir.filePath(QString::number(number));
        if (!writeFileAtomically(imagePath, content.images[number - 1], &error)) {
            result.message =
                QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(imagePath), error);
            return result;
        }
        result.images.append(imagePath);

        QString soundPath;
        const bool hasEntry = header.soundEntries.value(number - 1) != 0;
        if (header.soundMode != kNoSound && hasEntry && (everyPicture || !soundTaken)) {
            soundTaken = true;
            const QByteArray& sound = content.sounds[number - 1];
            if (!sound.isEmpty()) {
                soundPath = dir.filePath(QStringLiteral("zss%1.wav").arg(number));
                if (!writeFileAtomically(soundPath, sound, &error)) {
                    result.message =
                        QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(soundPath), error);
                    return result;
                }
            }
        }
        result.sounds.append(soundPath);
        result.descriptions.append(header.descriptions ? content.descriptions.value(number - 1)
                                                       : QString());
    }
    result.ok = true;
    return result;
}

}  // namespace runtime
