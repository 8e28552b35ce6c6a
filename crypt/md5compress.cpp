#include "crypt/md5compress.h"

#include <cstring>

namespace cipher {

namespace {

inline std::uint32_t rotateLeft(std::uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

inline std::uint32_t loadLittleEndian(const unsigned char* p) {
    std::uint32_t value;
    std::memcpy(&value, p, 4);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    value = __builtin_bswap32(value);
#endif
    return value;
}

// The four auxiliary functions, in the forms that need the fewest operations.
inline std::uint32_t f(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return z ^ (x & (y ^ z));
}
inline std::uint32_t g(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return y ^ (z & (x ^ y));
}
inline std::uint32_t h(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return x ^ y ^ z;
}
inline std::uint32_t i(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return y ^ (x | ~z);
}

}  // namespace

#define PIXORIA_MD5_STEP(fn, a, b, c, d, word, constant, shift) \
    a = b + rotateLeft(a + fn(b, c, d) + (word) + (constant), shift)

void md5Compress(Md5State& state, const unsigned char* block) {
    std::uint32_t m[16];
    for (int k = 0; k < 16; ++k) {
        m[k] = loadLittleEndian(block + 4 * k);
    }
    std::uint32_t a = state.a, b = state.b, c = state.c, d = state.d;

    PIXORIA_MD5_STEP(f, a, b, c, d, m[0], 0xd76aa478u, 7);
    PIXORIA_MD5_STEP(f, d, a, b, c, m[1], 0xe8c7b756u, 12);
    PIXORIA_MD5_STEP(f, c, d, a, b, m[2], 0x242070dbu, 17);
    PIXORIA_MD5_STEP(f, b, c, d, a, m[3], 0xc1bdceeeu, 22);
    PIXORIA_MD5_STEP(f, a, b, c, d, m[4], 0xf57c0fafu, 7);
    PIXORIA_MD5_STEP(f, d, a, b, c, m[5], 0x4787c62au, 12);
    PIXORIA_MD5_STEP(f, c, d, a, b, m[6], 0xa8304613u, 17);
    PIXORIA_MD5_STEP(f, b, c, d, a, m[7], 0xfd469501u, 22);
    PIXORIA_MD5_STEP(f, a, b, c, d, m[8], 0x698098d8u, 7);
    PIXORIA_MD5_STEP(f, d, a, b, c, m[9], 0x8b44f7afu, 12);
    PIXORIA_MD5_STEP(f, c, d, a, b, m[10], 0xffff5bb1u, 17);
    PIXORIA_MD5_STEP(f, b, c, d, a, m[11], 0x895cd7beu, 22);
    PIXORIA_MD5_STEP(f, a, b, c, d, m[12], 0x6b901122u, 7);
    PIXORIA_MD5_STEP(f, d, a, b, c, m[13], 0xfd987193u, 12);
    PIXORIA_MD5_STEP(f, c, d, a, b, m[14], 0xa679438eu, 17);
    PIXORIA_MD5_STEP(f, b, c, d, a, m[15], 0x49b40821u, 22);

    PIXORIA_MD5_STEP(g, a, b, c, d, m[1], 0xf61e2562u, 5);
    PIXORIA_MD5_STEP(g, d, a, b, c, m[6], 0xc040b340u, 9);
    PIXORIA_MD5_STEP(g, c, d, a, b, m[11], 0x265e5a51u, 14);
    PIXORIA_MD5_STEP(g, b, c, d, a, m[0], 0xe9b6c7aau, 20);
    PIXORIA_MD5_STEP(g, a, b, c, d, m[5], 0xd62f105du, 5);
    PIXORIA_MD5_STEP(g, d, a, b, c, m[10], 0x02441453u, 9);
    PIXORIA_MD5_STEP(g, c, d, a, b, m[15], 0xd8a1e681u, 14);
    PIXORIA_MD5_STEP(g, b, c, d, a, m[4], 0xe7d3fbc8u, 20);
    PIXORIA_MD5_STEP(g, a, b, c, d, m[9], 0x21e1cde6u, 5);
    PIXORIA_MD5_STEP(g, d, a, b, c, m[14], 0xc33707d6u, 9);
    PIXORIA_MD5_STEP(g, c, d, a, b, m[3], 0xf4d50d87u, 14);
    PIXORIA_MD5_STEP(g, b, c, d, a, m[8], 0x455a14edu, 20);
    PIXORIA_MD5_STEP(g, a, b, c, d, m[13], 0xa9e3e905u, 5);
    PIXORIA_MD5_STEP(g, d, a, b, c, m[2], 0xfcefa3f8u, 9);
    PIXORIA_MD5_STEP(g, c, d, a, b, m[7], 0x676f02d9u, 14);
    PIXORIA_MD5_STEP(g, b, c, d, a, m[12], 0x8d2a4c8au, 20);

    PIXORIA_MD5_STEP(h, a, b, c, d, m[5], 0xfffa3942u, 4);
    PIXORIA_MD5_STEP(h, d, a, b, c, m[8], 0x8771f681u, 11);
    PIXORIA_MD5_STEP(h, c, d, a, b, m[11], 0x6d9d6122u, 16);
    PIXORIA_MD5_STEP(h, b, c, d, a, m[14], 0xfde5380cu, 23);
    PIXORIA_MD5_STEP(h, a, b, c, d, m[1], 0xa4beea44u, 4);
    PIXORIA_MD5_STEP(h, d, a, b, c, m[4], 0x4bdecfa9u, 11);
    PIXORIA_MD5_STEP(h, c, d, a, b, m[7], 0xf6bb4b60u, 16);
    PIXORIA_MD5_STEP(h, b, c, d, a, m[10], 0xbebfbc70u, 23);
    PIXORIA_MD5_STEP(h, a, b, c, d, m[13], 0x289b7ec6u, 4);
    PIXORIA_MD5_STEP(h, d, a, b, c, m[0], 0xeaa127fau, 11);
    PIXORIA_MD5_STEP(h, c, d, a, b, m[3], 0xd4ef3085u, 16);
    PIXORIA_MD5_STEP(h, b, c, d, a, m[6], 0x04881d05u, 23);
    PIXORIA_MD5_STEP(h, a, b, c, d, m[9], 0xd9d4d039u, 4);
    PIXORIA_MD5_STEP(h, d, a, b, c, m[12], 0xe6db99e5u, 11);
    PIXORIA_MD5_STEP(h, c, d, a, b, m[15], 0x1fa27cf8u, 16);
    PIXORIA_MD5_STEP(h, b, c, d, a, m[2], 0xc4ac5665u, 23);

    PIXORIA_MD5_STEP(i, a, b, c, d, m[0], 0xf4292244u, 6);
    PIXORIA_MD5_STEP(i, d, a, b, c, m[7], 0x432aff97u, 10);
    PIXORIA_MD5_STEP(i, c, d, a, b, m[14], 0xab9423a7u, 15);
    PIXORIA_MD5_STEP(i, b, c, d, a, m[5], 0xfc93a039u, 21);
    PIXORIA_MD5_STEP(i, a, b, c, d, m[12], 0x655b59c3u, 6);
    PIXORIA_MD5_STEP(i, d, a, b, c, m[3], 0x8f0ccc92u, 10);
    PIXORIA_MD5_STEP(i, c, d, a, b, m[10], 0xffeff47du, 15);
    PIXORIA_MD5_STEP(i, b, c, d, a, m[1], 0x85845dd1u, 21);
    PIXORIA_MD5_STEP(i, a, b, c, d, m[8], 0x6fa87e4fu, 6);
    PIXORIA_MD5_STEP(i, d, a, b, c, m[15], 0xfe2ce6e0u, 10);
    PIXORIA_MD5_STEP(i, c, d, a, b, m[6], 0xa3014314u, 15);
    PIXORIA_MD5_STEP(i, b, c, d, a, m[13], 0x4e0811a1u, 21);
    PIXORIA_MD5_STEP(i, a, b, c, d, m[4], 0xf7537e82u, 6);
    PIXORIA_MD5_STEP(i, d, a, b, c, m[11], 0xbd3af235u, 10);
    PIXORIA_MD5_STEP(i, c, d, a, b, m[2], 0x2ad7d2bbu, 15);
    PIXORIA_MD5_STEP(i, b, c, d, a, m[9], 0xeb86d391u, 21);

    state.a += a;
    state.b += b;
    state.c += c;
    state.d += d;
}

#undef PIXORIA_MD5_STEP

void prepareKeyedTail(const unsigned char* tail, Md5KeyedTail* out) {
    std::uint32_t key[12];
    for (int k = 0; k < 12; ++k) {
        key[k] = loadLittleEndian(tail + 4 * k);
    }
    std::uint32_t* keyed = out->keyed;
    for (int k = 0; k < 64; ++k) {
        keyed[k] = 0;
    }
    keyed[4] = key[0] + 0xf57c0fafu;
    keyed[5] = key[1] + 0x4787c62au;
    keyed[6] = key[2] + 0xa8304613u;
    keyed[7] = key[3] + 0xfd469501u;
    keyed[8] = key[4] + 0x698098d8u;
    keyed[9] = key[5] + 0x8b44f7afu;
    keyed[10] = key[6] + 0xffff5bb1u;
    keyed[11] = key[7] + 0x895cd7beu;
    keyed[12] = key[8] + 0x6b901122u;
    keyed[13] = key[9] + 0xfd987193u;
    keyed[14] = key[10] + 0xa679438eu;
    keyed[15] = key[11] + 0x49b40821u;
    keyed[17] = key[2] + 0xc040b340u;
    keyed[18] = key[7] + 0x265e5a51u;
    keyed[20] = key[1] + 0xd62f105du;
    keyed[21] = key[6] + 0x02441453u;
    keyed[22] = key[11] + 0xd8a1e681u;
    keyed[23] = key[0] + 0xe7d3fbc8u;
    keyed[24] = key[5] + 0x21e1cde6u;
    keyed[25] = key[10] + 0xc33707d6u;
    keyed[27] = key[4] + 0x455a14edu;
    keyed[28] = key[9] + 0xa9e3e905u;
    keyed[30] = key[3] + 0x676f02d9u;
    keyed[31] = key[8] + 0x8d2a4c8au;
    keyed[32] = key[1] + 0xfffa3942u;
    keyed[33] = key[4] + 0x8771f681u;
    keyed[34] = key[7] + 0x6d9d6122u;
    keyed[35] = key[10] + 0xfde5380cu;
    keyed[37] = key[0] + 0x4bdecfa9u;
    keyed[38] = key[3] + 0xf6bb4b60u;
    keyed[39] = key[6] + 0xbebfbc70u;
    keyed[40] = key[9] + 0x289b7ec6u;
    keyed[43] = key[2] + 0x04881d05u;
    keyed[44] = key[5] + 0xd9d4d039u;
    keyed[45] = key[8] + 0xe6db99e5u;
    keyed[46] = key[11] + 0x1fa27cf8u;
    keyed[49] = key[3] + 0x432aff97u;
    keyed[50] = key[10] + 0xab9423a7u;
    keyed[51] = key[1] + 0xfc93a039u;
    keyed[52] = key[8] + 0x655b59c3u;
    keyed[54] = key[6] + 0xffeff47du;
    keyed[56] = key[4] + 0x6fa87e4fu;
    keyed[57] = key[11] + 0xfe2ce6e0u;
    keyed[58] = key[2] + 0xa3014314u;
    keyed[59] = key[9] + 0x4e0811a1u;
    keyed[60] = key[0] + 0xf7537e82u;
    keyed[61] = key[7] + 0xbd3af235u;
    keyed[63] = key[5] + 0xeb86d391u;
}

// Steps whose message word is one of the first four add it to their round
// constant here; the others take the sum prepared with the key. F and G are
// written as sums of their two disjoint halves, which shortens the chain of
// operations that waits for the newest word.
#define PIXORIA_STEP_f(a, b, c, d, addend, shift) \
    a = b + rotateLeft(a + (addend) + (d & ~b) + (c & b), shift)
#define PIXORIA_STEP_g(a, b, c, d, addend, shift) \
    a = b + rotateLeft(a + (addend) + (c & ~d) + (b & d), shift)
#define PIXORIA_STEP_h(a, b, c, d, addend, shift) \
    a = b + rotateLeft(a + (addend) + (b ^ c ^ d), shift)
#define PIXORIA_STEP_i(a, b, c, d, addend, shift) \
    a = b + rotateLeft(a + (addend) + (c ^ (b | ~d)), shift)
#define PIXORIA_STEP(fn, a, b, c, d, addend, shift) PIXORIA_STEP_##fn(a, b, c, d, addend, shift)

void md5CompressKeyed(Md5State& state, const std::uint32_t* head, const Md5KeyedTail& tail) {
    const std::uint32_t* keyed = tail.keyed;
    std::uint32_t a = state.a, b = state.b, c = state.c, d = state.d;
    PIXORIA_STEP(f, a, b, c, d, head[0] + 0xd76aa478u, 7);
    PIXORIA_STEP(f, d, a, b, c, head[1] + 0xe8c7b756u, 12);
    PIXORIA_STEP(f, c, d, a, b, head[2] + 0x242070dbu, 17);
    PIXORIA_STEP(f, b, c, d, a, head[3] + 0xc1bdceeeu, 22);
    PIXORIA_STEP(f, a, b, c, d, keyed[4], 7);
    PIXORIA_STEP(f, d, a, b, c, keyed[5], 12);
    PIXORIA_STEP(f, c, d, a, b, keyed[6], 17);
    PIXORIA_STEP(f, b, c, d, a, keyed[7], 22);
    PIXORIA_STEP(f, a, b, c, d, keyed[8], 7);
    PIXORIA_STEP(f, d, a, b, c, keyed[9], 12);
    PIXORIA_STEP(f, c, d, a, b, keyed[10], 17);
    PIXORIA_STEP(f, b, c, d, a, keyed[11], 22);
    PIXORIA_STEP(f, a, b, c, d, keyed[12], 7);
    PIXORIA_STEP(f, d, a, b, c, keyed[13], 12);
    PIXORIA_STEP(f, c, d, a, b, keyed[14], 17);
    PIXORIA_STEP(f, b, c, d, a, keyed[15], 22);
    PIXORIA_STEP(g, a, b, c, d, head[1] + 0xf61e2562u, 5);
    PIXORIA_STEP(g, d, a, b, c, keyed[17], 9);
    PIXORIA_STEP(g, c, d, a, b, keyed[18], 14);
    PIXORIA_STEP(g, b, c, d, a, head[0] + 0xe9b6c7aau, 20);
    PIXORIA_STEP(g, a, b, c, d, keyed[20], 5);
    PIXORIA_STEP(g, d, a, b, c, keyed[21], 9);
    PIXORIA_STEP(g, c, d, a, b, keyed[22], 14);
    PIXORIA_STEP(g, b, c, d, a, keyed[23], 20);
    PIXORIA_STEP(g, a, b, c, d, keyed[24], 5);
    PIXORIA_STEP(g, d, a, b, c, keyed[25], 9);
    PIXORIA_STEP(g, c, d, a, b, head[3] + 0xf4d50d87u, 14);
    PIXORIA_STEP(g, b, c, d, a, keyed[27], 20);
    PIXORIA_STEP(g, a, b, c, d, keyed[28], 5);
    PIXORIA_STEP(g, d, a, b, c, head[2] + 0xfcefa3f8u, 9);
    PIXORIA_STEP(g, c, d, a, b, keyed[30], 14);
    PIXORIA_STEP(g, b, c, d, a, keyed[31], 20);
    PIXORIA_STEP(h, a, b, c, d, keyed[32], 4);
    PIXORIA_STEP(h, d, a, b, c, keyed[33], 11);
    PIXORIA_STEP(h, c, d, a, b, keyed[34], 16);
    PIXORIA_STEP(h, b, c, d, a, keyed[35], 23);
    PIXORIA_STEP(h, a, b, c, d, head[1] + 0xa4beea44u, 4);
    PIXORIA_STEP(h, d, a, b, c, keyed[37], 11);
    PIXORIA_STEP(h, c, d, a, b, keyed[38], 16);
    PIXORIA_STEP(h, b, c, d, a, keyed[39], 23);
    PIXORIA_STEP(h, a, b, c, d, keyed[40], 4);
    PIXORIA_STEP(h, d, a, b, c, head[0] + 0xeaa127fau, 11);
    PIXORIA_STEP(h, c, d, a, b, head[3] + 0xd4ef3085u, 16);
    PIXORIA_STEP(h, b, c, d, a, keyed[43], 23);
    PIXORIA_STEP(h, a, b, c, d, keyed[44], 4);
    PIXORIA_STEP(h, d, a, b, c, keyed[45], 11);
    PIXORIA_STEP(h, c, d, a, b, keyed[46], 16);
    PIXORIA_STEP(h, b, c, d, a, head[2] + 0xc4ac5665u, 23);
    PIXORIA_STEP(i, a, b, c, d, head[0] + 0xf4292244u, 6);
    PIXORIA_STEP(i, d, a, b, c, keyed[49], 10);
    PIXORIA_STEP(i, c, d, a, b, keyed[50], 15);
    PIXORIA_STEP(i, b, c, d, a, keyed[51], 21);
    PIXORIA_STEP(i, a, b, c, d, keyed[52], 6);
    PIXORIA_STEP(i, d, a, b, c, head[3] + 0x8f0ccc92u, 10);
    PIXORIA_STEP(i, c, d, a, b, keyed[54], 15);
    PIXORIA_STEP(i, b, c, d, a, head[1] + 0x85845dd1u, 21);
    PIXORIA_STEP(i, a, b, c, d, keyed[56], 6);
    PIXORIA_STEP(i, d, a, b, c, keyed[57], 10);
    PIXORIA_STEP(i, c, d, a, b, keyed[58], 15);
    PIXORIA_STEP(i, b, c, d, a, keyed[59], 21);
    PIXORIA_STEP(i, a, b, c, d, keyed[60], 6);
    PIXORIA_STEP(i, d, a, b, c, keyed[61], 10);
    PIXORIA_STEP(i, c, d, a, b, head[2] + 0x2ad7d2bbu, 15);
    PIXORIA_STEP(i, b, c, d, a, keyed[63], 21);
    state.a += a;
    state.b += b;
    state.c += c;
    state.d += d;
}

#undef PIXORIA_STEP
#undef PIXORIA_STEP_f
#undef PIXORIA_STEP_g
#undef PIXORIA_STEP_h
#undef PIXORIA_STEP_i

}  // namespace cipher
