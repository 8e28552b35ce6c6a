#pragma once

#include <QByteArray>
#include <QString>

/// The encryption password of the run: never written anywhere, wiped when
/// replaced or released. The key is the first 96 bytes of a 100-byte key
/// text: a built-in filler with the password laid over its start.
/// Interface thread only.
class EncryptionPassword {
public:
    static constexpr int kMinimumLength = 2;
    static constexpr int kMaximumLength = 96;
    static constexpr int kKeyTextLength = 100;
    static constexpr int kKeyLength = 96;
    static constexpr char kFiller = '#';

    EncryptionPassword();
    ~EncryptionPassword();
    EncryptionPassword(const EncryptionPassword&) = delete;
    EncryptionPassword& operator=(const EncryptionPassword&) = delete;

    /// Whether a password was set in this run (also set for a moment while
    /// the opening procedure asks for one, so that it asks no confirmation).
    bool isSet() const { return m_set; }
    void setFlag(bool set) { m_set = set; }
    /// Whether a password was ever given (the key is then more than filler).
    bool hasPassword() const { return m_hasPassword; }

    /// Lays `password` (its UTF-8 bytes, at most 96 used) over a fresh filler
    /// and sets the flag.
    void setPassword(const QString& password);
    /// The 96 key bytes.
    QByteArray key() const { return m_keyText.left(kKeyLength); }

private:
    QByteArray m_keyText;
    bool m_set = false;
    bool m_hasPassword = false;
};
