#pragma once

#include "crypt/md5compress.h"

#include <array>
#include <cstdint>

/// The block cipher of the cipher file layer: 32-byte blocks, a 96-byte key
/// in two halves, three Feistel rounds whose round function is the MD5
/// compression function. Each block stands alone: no chaining, no initial
/// vector. One thread uses an object at a time.
class COXMDCCryptor {
public:
    static constexpr int kBlockSize = 32;
    static constexpr int kKeySize = 96;

    COXMDCCryptor();
    ~COXMDCCryptor();
    COXMDCCryptor(const COXMDCCryptor&) = delete;
    COXMDCCryptor& operator=(const COXMDCCryptor&) = delete;

    /// Copies exactly 96 bytes.
    void SetKey(const unsigned char* key);
    /// One block; input and output are different buffers.
    void Encipher(const unsigned char* plain, unsigned char* stored) const;
    void Decipher(const unsigned char* stored, unsigned char* plain) const;

    /// The round function: MD5's compression of `h` (16 bytes) followed by
    /// `k` (48 bytes) from MD5's initial value, the result as 16 bytes.
    static void roundFunction(const unsigned char* h, const unsigned char* k, unsigned char* out);

private:
    /// h xor F(x, key half), on 4-word halves.
    static void xorRound(const std::uint32_t* h, const std::uint32_t* x,
                         const cipher::Md5KeyedTail& half, std::uint32_t* out);

    std::array<unsigned char, kKeySize> m_key;
    // The two key halves prepared for the round function.
    cipher::Md5KeyedTail m_half1;
    cipher::Md5KeyedTail m_half2;
};
