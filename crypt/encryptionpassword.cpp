#include "crypt/encryptionpassword.h"

#include "crypt/securewipe.h"

EncryptionPassword::EncryptionPassword() : m_keyText(kKeyTextLength, kFiller) {}

EncryptionPassword::~EncryptionPassword() {
    m_keyText.detach();
    cipher::secureWipe(m_keyText.data(), static_cast<size_t>(m_keyText.size()));
}

void EncryptionPassword::setPassword(const QString& password) {
    QByteArray bytes = password.toUtf8();
    m_keyText.detach();
    cipher::secureWipe(m_keyText.data(), static_cast<size_t>(m_keyText.size()));
    m_keyText = QByteArray(kKeyTextLength, kFiller);
    const qsizetype length = std::min<qsizetype>(bytes.size(), kKeyLength);
    std::copy_n(bytes.constData(), length, m_keyText.data());
    cipher::secureWipe(bytes.data(), static_cast<size_t>(bytes.size()));
    m_hasPassword = !password.isEmpty();
    m_set = true;
}
