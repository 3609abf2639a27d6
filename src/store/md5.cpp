// MD5 (RFC 1321): four rounds of sixteen steps over 64-byte blocks, little-endian throughout.
#include "store/md5.h"

#include <cstring>

namespace wbh::store {
namespace {

// Per-step shift amounts, four for each round.
constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

// T[i] = floor(2^32 * abs(sin(i + 1))), the RFC's sine table.
constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

std::uint32_t RotateLeft(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

void Transform(std::uint32_t (&state)[4], const std::uint8_t* block) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i) {
        x[i] = static_cast<std::uint32_t>(block[4 * i]) |
               static_cast<std::uint32_t>(block[4 * i + 1]) << 8 |
               static_cast<std::uint32_t>(block[4 * i + 2]) << 16 |
               static_cast<std::uint32_t>(block[4 * i + 3]) << 24;
    }
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int step = 0; step < 64; ++step) {
        const int round = step / 16;
        std::uint32_t f;
        int word;
        switch (round) {
            case 0:
                f = (b & c) | (~b & d);
                word = step;
                break;
            case 1:
                f = (b & d) | (c & ~d);
                word = (5 * step + 1) % 16;
                break;
            case 2:
                f = b ^ c ^ d;
                word = (3 * step + 5) % 16;
                break;
            default:
                f = c ^ (b | ~d);
                word = (7 * step) % 16;
                break;
        }
        const std::uint32_t rotated =
            b + RotateLeft(a + f + x[word] + kSine[step], kShift[round][step % 4]);
        a = d;
        d = c;
        c = b;
        b = rotated;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

}  // namespace

void Md5Init(Md5Context& context) {
    context.state[0] = 0x67452301;
    context.state[1] = 0xefcdab89;
    context.state[2] = 0x98badcfe;
    context.state[3] = 0x10325476;
    context.bit_count = 0;
    std::memset(context.block, 0, sizeof context.block);
}

void Md5Update(Md5Context& context, const std::uint8_t* bytes, std::size_t count) {
    std::size_t used = static_cast<std::size_t>((context.bit_count / 8) % 64);
    context.bit_count += static_cast<std::uint64_t>(count) * 8;
    while (count > 0) {
        const std::size_t take = count < 64 - used ? count : 64 - used;
        std::memcpy(context.block + used, bytes, take);
        used += take;
        bytes += take;
        count -= take;
        if (used == 64) {
            Transform(context.state, context.block);
            used = 0;
        }
    }
}

void Md5Final(std::uint8_t (&digest)[16], Md5Context& context) {
    // Pad with 0x80 and zeros to 56 bytes mod 64, then the length in bits, little-endian.
    std::uint8_t length[8];
    for (int i = 0; i < 8; ++i) length[i] = static_cast<std::uint8_t>(context.bit_count >> (8 * i));
    static const std::uint8_t kPadding[64] = {0x80};
    const std::size_t used = static_cast<std::size_t>((context.bit_count / 8) % 64);
    Md5Update(context, kPadding, used < 56 ? 56 - used : 120 - used);
    Md5Update(context, length, sizeof length);
    for (int i = 0; i < 16; ++i) {
        digest[i] = static_cast<std::uint8_t>(context.state[i / 4] >> (8 * (i % 4)));
    }
    std::memset(&context, 0, sizeof context);
}

}  // namespace wbh::store
