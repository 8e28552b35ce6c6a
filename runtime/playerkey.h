#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

/// The key material of runtime player packages. The player key text is the
/// player base key with a password laid over its start; a package whose
/// user chose no password is enciphered under the key text of the default
/// player password, so its pictures are never stored plainly. The built-in
/// values never change: the player stub and the importer read packages only
/// with the same ones, and they are never shown or logged. Any thread.
namespace runtime {

inline constexpr int kKeyTextLength = 96;
inline constexpr int kKeyBlockSize = 32;
inline constexpr int kKeyBlockCount = 3;

/// The player base key with the bytes of `password` (UTF-8, at most 96 of
/// them) over its start.
QByteArray playerKeyText(const QString& password);
/// The player key text of the default player password.
QByteArray defaultPlayerKeyText();

/// The three key blocks of a package, 96 bytes in all: `keyText` enciphered
/// under the transport key when `carryKey`, else 96 "0" characters.
QByteArray packageKeyBlocks(const QByteArray& keyText, bool carryKey);
/// The key text that key blocks carry; nothing when they are the "0"
/// filler or not 96 bytes.
std::optional<QByteArray> keyTextFromKeyBlocks(QByteArrayView blocks);
/// Whether key blocks are the "0" filler.
bool keyBlocksAreFiller(QByteArrayView blocks);

}  // namespace runtime
