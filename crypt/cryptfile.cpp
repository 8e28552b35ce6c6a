#include "crypt/cryptfile.h"

COXCryptFile::COXCryptFile() : COXConvertedFile(kBlockSize, true) {}

COXCryptFile::~COXCryptFile() = default;

void COXCryptFile::DecodeBlock(const unsigned char* stored, unsigned char* plain) {
    m_cryptor.Decipher(stored, plain);
}

void COXCryptFile::EncodeBlock(const unsigned char* plain, unsigned char* stored) {
    m_cryptor.Encipher(plain, stored);
}
