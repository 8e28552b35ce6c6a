#include "runtime/playerkey.h"

#include "crypt/mdccryptor.h"
#include "crypt/securewipe.h"

#include <algorithm>

namespace runtime {

namespace {

// These three must never change: every package written with them is read
// back only with the same values. Never print or log them.
constexpr char kPlayerBaseKey[] =
    R"(zE`3[|%sgp.k_^z]rJ^+NW%2z}g9+8>6$a&AuwyZO'd!z|G'{Fz2k<[@<r']rF6w9;[cxNo]]UIG=-{xyl(yJ:o4XtWY!vx])";
constexpr char kTransportKey[] =
    R"(-W!y1)5wHzVS*V=iIlL8NO^|`F7zrtkv~tpRZ9oH%fX;j+qAsBLe.}YevQ.VR=:R{V?v{X;>BslDAy$glJ:rTrIEBl<!GgUc)";
constexpr char kDefaultPlayerPassword[] = "cqrogj";

static_assert(sizeof kPlayerBaseKey - 1 == kKeyTextLength);
static_assert(sizeof kTransportKey - 1 == kKeyTextLength);
static_assert(sizeof kDefaultPlayerPassword - 1 == 6);

constexpr char kFillerCharacter = '0';

QByteArray keyTextOver(QByteArrayView password) {
    QByteArray keyText(kPlayerBaseKey, kKeyTextLength);
    std::copy_n(password.data(), std::min<qsizetype>(password.size(), kKeyTextLength),
                keyText.data());
    return keyText;
}

COXMDCCryptor& transportCryptor(COXMDCCryptor& cryptor) {
    cryptor.SetKey(reinterpret_cast<const unsigned char*>(kTransportKey));
    return cryptor;
}

}  // namespace

QByteArray playerKeyText(const QString& password) {
    QByteArray bytes = password.toUtf8();
    QByteArray keyText = keyTextOver(bytes);
    cipher::secureWipe(bytes.data(), static_cast<size_t>(bytes.size()));
    return keyText;
}

QByteArray defaultPlayerKeyText() {
    return keyTextOver(QByteArrayView(kDefaultPlayerPassword));
}

QByteArray packageKeyBlocks(const QByteArray& keyText, bool carryKey) {
    if (!carryKey || keyText.size() != kKeyTextLength) {
        return QByteArray(kKeyTextLength, kFillerCharacter);
    }
    COXMDCCryptor cryptor;
    transportCryptor(cryptor);
    QByteArray blocks(kKeyTextLength, Qt::Uninitialized);
    for (int i = 0; i < kKeyBlockCount; ++i) {
        cryptor.Encipher(
            reinterpret_cast<const unsigned char*>(keyText.constData()) + i * kKeyBlockSize,
            reinterpret_cast<unsigned char*>(blocks.data()) + i * kKeyBlockSize);
    }
    return blocks;
}

bool keyBlocksAreFiller(QByteArrayView blocks) {
    return blocks.size() == kKeyTextLength &&
           std::all_of(blocks.begin(), blocks.end(), [](char c) { return c == kFillerCharacter; });
}

std::optional<QByteArray> keyTextFromKeyBlocks(QByteArrayView blocks) {
    if (blocks.size() != kKeyTextLength || keyBlocksAreFiller(blocks)) {
        return std::nullopt;
    }
    COXMDCCryptor cryptor;
    transportCryptor(cryptor);
    QByteArray keyText(kKeyTextLength, Qt::Uninitialized);
    for (int i = 0; i < kKeyBlockCount; ++i) {
        cryptor.Decipher(reinterpret_cast<const unsigned char*>(blocks.data()) + i * kKeyBlockSize,
                         reinterpret_cast<unsigned char*>(keyText.data()) + i * kKeyBlockSize);
    }
    return keyText;
}

}  // namespace runtime
