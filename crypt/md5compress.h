#pragma once

#include <cstdint>

/// The MD5 compression function (RFC 1321): one 64-step transform of one
/// 64-byte block, with the chaining value added back afterwards. No padding,
/// no length: a full MD5 is built on top of it where one is needed.
namespace cipher {

struct Md5State {
    std::uint32_t a, b, c, d;
};

inline constexpr Md5State kMd5InitialValue{0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};

/// Runs the transform over `block` (64 bytes, read as 16 little-endian
/// words) and adds the result into `state`.
void md5Compress(Md5State& state, const unsigned char* block);

/// The compression of a 64-byte block whose last 48 bytes (words 4-15) are
/// fixed, as in the cipher's round function where they are a key half: the
/// sums of those words with the round constants are made once per key.
struct Md5KeyedTail {
    std::uint32_t keyed[64];
};

/// Prepares the fixed tail from its 48 bytes.
void prepareKeyedTail(const unsigned char* tail, Md5KeyedTail* out);
/// The same result as md5Compress on the block of `head` (4 words) followed
/// by the tail.
void md5CompressKeyed(Md5State& state, const std::uint32_t* head, const Md5KeyedTail& tail);

}  // namespace cipher
