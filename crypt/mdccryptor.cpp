#include "crypt/mdccryptor.h"

#include "crypt/md5compress.h"
#include "crypt/securewipe.h"

#include <cstring>

namespace {

constexpr int kHalf = 16;  // bytes in each half of a block
constexpr int kKeyHalf = COXMDCCryptor::kKeySize / 2;

void storeLittleEndian(std::uint32_t value, unsigned char* out) {
    out[0] = static_cast<unsigned char>(value);
    out[1] = static_cast<unsigned char>(value >> 8);
    out[2] = static_cast<unsigned char>(value >> 16);
    out[3] = static_cast<unsigned char>(value >> 24);
}

std::uint32_t loadLittleEndian(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

void loadHalf(const unsigned char* bytes, std::uint32_t* words) {
    for (int i = 0; i < 4; ++i) {
        words[i] = loadLittleEndian(bytes + 4 * i);
    }
}

void storeHalf(const std::uint32_t* words, unsigned char* bytes) {
    for (int i = 0; i < 4; ++i) {
        storeLittleEndian(words[i], bytes + 4 * i);
    }
}

}  // namespace

COXMDCCryptor::COXMDCCryptor() {
    // The built-in key is never used for data: every user sets its own first.
    std::array<unsigned char, kKeySize> builtIn;
    for (int i = 0; i < kKeySize; ++i) {
        builtIn[static_cast<size_t>(i)] = static_cast<unsigned char>(0x5A ^ (i * 37));
    }
    SetKey(builtIn.data());
}

COXMDCCryptor::~COXMDCCryptor() {
    cipher::secureWipe(m_key.data(), m_key.size());
    cipher::secureWipe(&m_half1, sizeof m_half1);
    cipher::secureWipe(&m_half2, sizeof m_half2);
}

void COXMDCCryptor::SetKey(const unsigned char* key) {
    std::memcpy(m_key.data(), key, kKeySize);
    cipher::prepareKeyedTail(m_key.data(), &m_half1);
    cipher::prepareKeyedTail(m_key.data() + kKeyHalf, &m_half2);
}

void COXMDCCryptor::xorRound(const std::uint32_t* h, const std::uint32_t* x,
                             const cipher::Md5KeyedTail& half, std::uint32_t* out) {
    cipher::Md5State state = cipher::kMd5InitialValue;
    cipher::md5CompressKeyed(state, x, half);
    out[0] = h[0] ^ state.a;
    out[1] = h[1] ^ state.b;
    out[2] = h[2] ^ state.c;
    out[3] = h[3] ^ state.d;
}

void COXMDCCryptor::roundFunction(const unsigned char* h, const unsigned char* k,
                                  unsigned char* out) {
    unsigned char block[64];
    std::memcpy(block, h, kHalf);
    std::memcpy(block + kHalf, k, kKeyHalf);
    cipher::Md5State state = cipher::kMd5InitialValue;
    cipher::md5Compress(state, block);
    storeLittleEndian(state.a, out);
    storeLittleEndian(state.b, out + 4);
    storeLittleEndian(state.c, out + 8);
    storeLittleEndian(state.d, out + 12);
    cipher::secureWipe(block, sizeof block);
}

void COXMDCCryptor::Encipher(const unsigned char* plain, unsigned char* stored) const {
    std::uint32_t left[4], right[4], x[4], y[4], z[4];
    loadHalf(plain, left);
    loadHalf(plain + kHalf, right);
    xorRound(left, right, m_half1, x);  // X = L xor F(R, K1)
    xorRound(right, x, m_half2, y);     // Y = R xor F(X, K2)
    xorRound(x, y, m_half1, z);         // Z = X xor F(Y, K1)
    storeHalf(y, stored);
    storeHalf(z, stored + kHalf);
}

void COXMDCCryptor::Decipher(const unsigned char* stored, unsigned char* plain) const {
    std::uint32_t a[4], b[4], x[4], left[4], right[4];
    loadHalf(stored, a);
    loadHalf(stored + kHalf, b);
    xorRound(b, a, m_half1, x);         // X = B xor F(A, K1)
    xorRound(a, x, m_half2, right);     // R = A xor F(X, K2)
    xorRound(x, right, m_half1, left);  // L = X xor F(R, K1)
    storeHalf(left, plain);
    storeHalf(right, plain + kHalf);
}
