// Arbitrary bytes read through the cipher file layer, in pieces and with
// seeks, and as an enciphered image: never a crash, never a hang.
#include "crypt/cryptfile.h"
#include "crypt/encryptedimage.h"
#include "crypt/encryptionpassword.h"
#include "imaging/imagefile.h"
#include "platform/fileexception.h"

#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One file for the whole run, removed when the fuzzer ends.
    static QTemporaryFile input;
    if (!input.isOpen() && !input.open()) {
        return 0;
    }
    input.resize(0);
    input.seek(0);
    input.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    input.flush();
    const QString path = input.fileName();
    EncryptionPassword password;
    password.setPassword(QStringLiteral("fuzzing"));
    const QByteArray key = password.key();
    try {
        COXCryptFile file;
        file.SetKey(reinterpret_cast<const unsigned char*>(key.constData()));
        if (file.open(path, CFile::kModeRead)) {
            // The first bytes steer the reads: piece sizes and seeks.
            char buffer[97];
            for (std::size_t i = 0; i < std::min<std::size_t>(size, 16); ++i) {
                if (data[i] & 1) {
                    file.seek(static_cast<std::int64_t>(data[i]) - 128, data[i] % 3);
                }
                file.read(buffer, data[i] % sizeof buffer);
            }
            file.close();
        }
    } catch (const FileException&) {
    }
    imaging::ImageHandle handle;
    cipher::DecipherContext quiet;
    quiet.quiet = true;
    cipher::decipherAndLoad(path, &handle, password, quiet);
    return 0;
}
