#pragma once

#include "crypt/convertedfile.h"
#include "crypt/mdccryptor.h"

/// The cipher file: 32-byte blocks, conversion on from the start, each block
/// enciphered by itself with a 96-byte key. Every enciphered byte the program
/// reads or writes goes through it. One thread uses an object at a time.
class COXCryptFile : public COXConvertedFile {
public:
    static constexpr int kBlockSize = COXMDCCryptor::kBlockSize;
    static constexpr int kKeySize = COXMDCCryptor::kKeySize;

    COXCryptFile();
    ~COXCryptFile() override;

    /// 96 bytes; blocks written later are enciphered with it.
    void SetKey(const unsigned char* key) { m_cryptor.SetKey(key); }

protected:
    void DecodeBlock(const unsigned char* stored, unsigned char* plain) override;
    void EncodeBlock(const unsigned char* plain, unsigned char* stored) override;

private:
    COXMDCCryptor m_cryptor;
};
