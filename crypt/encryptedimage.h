#pragma once

#include "imaging/imagehandle.h"

#include <QByteArray>
#include <QString>

#include <functional>

class EncryptionPassword;
class PromptService;

/// Enciphered image files: a 32-byte plain header, then an image file's
/// bytes enciphered through COXCryptFile. The program reads them; the
/// command-line tool writes them. Interface thread only (it may ask for the
/// password).
namespace cipher {

inline constexpr char kHeaderFile[] = "Zelvik Starbloom Encrypted File";
inline constexpr char kHeaderPhotoCd[] = "Zelvik Starbloom Encrypted Fpcd";
inline constexpr int kHeaderSize = 32;
/// The name the deciphered PhotoCD picture is loaded from, in a folder of
/// its own inside the temporary folder.
inline constexpr char kPhotoCdFileName[] = "temporary.pcd";

enum class EncryptedKind { None, File, PhotoCd };

/// Reads the first 32 bytes as plain bytes and compares them with both
/// headers, as zero-terminated text.
EncryptedKind encryptedHeader(const QString& path);
EncryptedKind encryptedHeader(QByteArrayView head);

/// The body of an enciphered file deciphered with `key` (96 bytes): the
/// file's length less 32 bytes, padding included. An imaging result code.
int readDecipheredBody(const QString& path, const QByteArray& key, QByteArray* body);

/// How the opening procedure talks to the user.
struct DecipherContext {
    PromptService* prompt = nullptr;
    /// Runs the set-password command; the password object holds the answer.
    std::function<void()> askPassword;
    /// A quiet load (slide show): no dialogs, no messages.
    bool quiet = false;
};

/// Deciphers an enciphered image and loads it into `handle`: an imaging
/// result code. `noPassword` is set when the load could not start for want
/// of a password ("Error: File is encrypted, cannot load without a password"
/// has then been shown, unless quiet).
int decipherAndLoad(const QString& path, imaging::ImageHandle* handle, EncryptionPassword& password,
                    const DecipherContext& context, bool* noPassword = nullptr);

/// Writes `image` (an image file's bytes) enciphered under `password` to
/// `path`, through a temporary file renamed over it when complete.
int writeEncipheredImage(const QString& path, const QByteArray& image,
                         const EncryptionPassword& password, EncryptedKind kind);

}  // namespace cipher
