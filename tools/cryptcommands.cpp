#include "crypt/encryptedimage.h"
#include "crypt/encryptionpassword.h"
#include "image/formats.h"
#include "imaging/errors.h"
#include "imaging/imagefile.h"
#include "tools/commands.h"

namespace tool {

namespace {

/// "--password P" (and "--photocd" when allowed) among `options`.
bool parseOptions(const QStringList& options, bool allowPhotoCd, QString* password, bool* photoCd,
                  std::FILE* err) {
    for (int i = 0; i < options.size(); ++i) {
        if (options[i] == QLatin1String("--password") && i + 1 < options.size()) {
            *password = options[++i];
        } else if (allowPhotoCd && options[i] == QLatin1String("--photocd")) {
            *photoCd = true;
        } else {
            print(err, QStringLiteral("pixoria-tool: bad option %1\n").arg(options[i]));
            return false;
        }
    }
    if (password->size() < EncryptionPassword::kMinimumLength ||
        password->size() > EncryptionPassword::kMaximumLength) {
        print(err, QStringLiteral("pixoria-tool: --password needs 2 to 96 characters\n"));
        return false;
    }
    return true;
}

}  // namespace

int encipherCommand(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    QString secret;
    bool photoCd = false;
    if (arguments.size() < 2 || !parseOptions(arguments.mid(2), true, &secret, &photoCd, err)) {
        print(err,
              QStringLiteral("Usage: pixoria-tool encipher IN OUT --password P [--photocd]\n"));
        return 2;
    }
    QByteArray image;
    if (!readInputFile(arguments[0], &image, err)) {
        return 1;
    }
    imaging::FileInfo info;
    if (imaging::fileInfoMemory(image, &info) != imaging::kSuccess) {
        print(err,
              QStringLiteral("pixoria-tool: note: %1 is not a picture the imaging library knows\n")
                  .arg(arguments[0]));
    }
    EncryptionPassword password;
    password.setPassword(secret);
    const int status = cipher::writeEncipheredImage(
        arguments[1], image, password,
        photoCd ? cipher::EncryptedKind::PhotoCd : cipher::EncryptedKind::File);
    if (status != imaging::kSuccess) {
        print(err, QStringLiteral("pixoria-tool: %1: %2\n")
                       .arg(arguments[1], image::errorMessage(status)));
        return 1;
    }
    print(out, QStringLiteral("%1: enciphered image (%2), %3 bytes of picture\n")
                   .arg(arguments[1], photoCd ? QStringLiteral("Fpcd") : QStringLiteral("File"))
                   .arg(image.size()));
    return 0;
}

int encryptedInfoCommand(const QString& path, const QStringList& options, std::FILE* out,
                         std::FILE* err) {
    QString secret;
    bool photoCd = false;
    if (!parseOptions(options, false, &secret, &photoCd, err)) {
        return 2;
    }
    const cipher::EncryptedKind kind = cipher::encryptedHeader(path);
    if (kind == cipher::EncryptedKind::None) {
        print(err, QStringLiteral("pixoria-tool: %1 is not an enciphered image\n").arg(path));
        return 1;
    }
    EncryptionPassword password;
    password.setPassword(secret);
    QByteArray body;
    int status = cipher::readDecipheredBody(path, password.key(), &body);
    imaging::FileInfo info;
    if (status == imaging::kSuccess) {
        status = imaging::fileInfoMemory(body, &info);
    }
    if (status != imaging::kSuccess) {
        print(err, QStringLiteral("pixoria-tool: %1: %2 (a wrong password gives this too)\n")
                       .arg(path, image::errorMessage(status)));
        return 1;
    }
    print(out, QStringLiteral("File: %1\n"
                              "Enciphered: %2\n"
                              "Format: %3 %4\n"
                              "Width: %5\n"
                              "Height: %6\n"
                              "Bits per pixel: %7\n")
                   .arg(path, kind == cipher::EncryptedKind::File ? QStringLiteral("File")
                                                                  : QStringLiteral("Fpcd"))
                   .arg(info.format)
                   .arg(image::formatName(info.format))
                   .arg(info.width)
                   .arg(info.height)
                   .arg(info.bitsPerPixel));
    return 0;
}

}  // namespace tool
