// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Md5Digest.h"

#include <cstring>

namespace {

inline std::uint32_t rotl(std::uint32_t x, int s)
{
    return (x << s) | (x >> (32 - s));
}

inline std::uint32_t load32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// The steps are written so that the compiler can overlap the independent operations:
// message word and constant are added before the round function (off the chain through
// a), G is a sum of disjoint terms, and I has the xor last.
#define MD5_F(x, y, z) ((((y) ^ (z)) & (x)) ^ (z))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))

#define MD5_STEP(f, a, b, c, d, w, k, s)                                                           \
    a += (w) + (k);                                                                                \
    a += f(b, c, d);                                                                               \
    a = rotl(a, s) + b;

#define MD5_STEP_G(a, b, c, d, w, k, s)                                                            \
    a += (w) + (k) + ((d) & (b));                                                                  \
    a += (~(d)) & (c);                                                                             \
    a = rotl(a, s) + b;

} // namespace

Md5Digest::Md5Digest()
    : buffer{}, bitCount{0, 0}, state{0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u}
{
}

void Md5Digest::transform(const unsigned char* block)
{
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = load32(block + 4 * i);

    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];

    MD5_STEP(MD5_F, a, b, c, d, x[0], 0xd76aa478u, 7)
    MD5_STEP(MD5_F, d, a, b, c, x[1], 0xe8c7b756u, 12)
    MD5_STEP(MD5_F, c, d, a, b, x[2], 0x242070dbu, 17)
    MD5_STEP(MD5_F, b, c, d, a, x[3], 0xc1bdceeeu, 22)
    MD5_STEP(MD5_F, a, b, c, d, x[4], 0xf57c0fafu, 7)
    MD5_STEP(MD5_F, d, a, b, c, x[5], 0x4787c62au, 12)
    MD5_STEP(MD5_F, c, d, a, b, x[6], 0xa8304613u, 17)
    MD5_STEP(MD5_F, b, c, d, a, x[7], 0xfd469501u, 22)
    MD5_STEP(MD5_F, a, b, c, d, x[8], 0x698098d8u, 7)
    MD5_STEP(MD5_F, d, a, b, c, x[9], 0x8b44f7afu, 12)
    MD5_STEP(MD5_F, c, d, a, b, x[10], 0xffff5bb1u, 17)
    MD5_STEP(MD5_F, b, c, d, a, x[11], 0x895cd7beu, 22)
    MD5_STEP(MD5_F, a, b, c, d, x[12], 0x6b901122u, 7)
    MD5_STEP(MD5_F, d, a, b, c, x[13], 0xfd987193u, 12)
    MD5_STEP(MD5_F, c, d, a, b, x[14], 0xa679438eu, 17)
    MD5_STEP(MD5_F, b, c, d, a, x[15], 0x49b40821u, 22)

    MD5_STEP_G(a, b, c, d, x[1], 0xf61e2562u, 5)
    MD5_STEP_G(d, a, b, c, x[6], 0xc040b340u, 9)
    MD5_STEP_G(c, d, a, b, x[11], 0x265e5a51u, 14)
    MD5_STEP_G(b, c, d, a, x[0], 0xe9b6c7aau, 20)
    MD5_STEP_G(a, b, c, d, x[5], 0xd62f105du, 5)
    MD5_STEP_G(d, a, b, c, x[10], 0x02441453u, 9)
    MD5_STEP_G(c, d, a, b, x[15], 0xd8a1e681u, 14)
    MD5_STEP_G(b, c, d, a, x[4], 0xe7d3fbc8u, 20)
    MD5_STEP_G(a, b, c, d, x[9], 0x21e1cde6u, 5)
    MD5_STEP_G(d, a, b, c, x[14], 0xc33707d6u, 9)
    MD5_STEP_G(c, d, a, b, x[3], 0xf4d50d87u, 14)
    MD5_STEP_G(b, c, d, a, x[8], 0x455a14edu, 20)
    MD5_STEP_G(a, b, c, d, x[13], 0xa9e3e905u, 5)
    MD5_STEP_G(d, a, b, c, x[2], 0xfcefa3f8u, 9)
    MD5_STEP_G(c, d, a, b, x[7], 0x676f02d9u, 14)
    MD5_STEP_G(b, c, d, a, x[12], 0x8d2a4c8au, 20)

    MD5_STEP(MD5_H, a, b, c, d, x[5], 0xfffa3942u, 4)
    MD5_STEP(MD5_H, d, a, b, c, x[8], 0x8771f681u, 11)
    MD5_STEP(MD5_H, c, d, a, b, x[11], 0x6d9d6122u, 16)
    MD5_STEP(MD5_H, b, c, d, a, x[14], 0xfde5380cu, 23)
    MD5_STEP(MD5_H, a, b, c, d, x[1], 0xa4beea44u, 4)
    MD5_STEP(MD5_H, d, a, b, c, x[4], 0x4bdecfa9u, 11)
    MD5_STEP(MD5_H, c, d, a, b, x[7], 0xf6bb4b60u, 16)
    MD5_STEP(MD5_H, b, c, d, a, x[10], 0xbebfbc70u, 23)
    MD5_STEP(MD5_H, a, b, c, d, x[13], 0x289b7ec6u, 4)
    MD5_STEP(MD5_H, d, a, b, c, x[0], 0xeaa127fau, 11)
    MD5_STEP(MD5_H, c, d, a, b, x[3], 0xd4ef3085u, 16)
    MD5_STEP(MD5_H, b, c, d, a, x[6], 0x04881d05u, 23)
    MD5_STEP(MD5_H, a, b, c, d, x[9], 0xd9d4d039u, 4)
    MD5_STEP(MD5_H, d, a, b, c, x[12], 0xe6db99e5u, 11)
    MD5_STEP(MD5_H, c, d, a, b, x[15], 0x1fa27cf8u, 16)
    MD5_STEP(MD5_H, b, c, d, a, x[2], 0xc4ac5665u, 23)

    MD5_STEP(MD5_I, a, b, c, d, x[0], 0xf4292244u, 6)
    MD5_STEP(MD5_I, d, a, b, c, x[7], 0x432aff97u, 10)
    MD5_STEP(MD5_I, c, d, a, b, x[14], 0xab9423a7u, 15)
    MD5_STEP(MD5_I, b, c, d, a, x[5], 0xfc93a039u, 21)
    MD5_STEP(MD5_I, a, b, c, d, x[12], 0x655b59c3u, 6)
    MD5_STEP(MD5_I, d, a, b, c, x[3], 0x8f0ccc92u, 10)
    MD5_STEP(MD5_I, c, d, a, b, x[10], 0xffeff47du, 15)
    MD5_STEP(MD5_I, b, c, d, a, x[1], 0x85845dd1u, 21)
    MD5_STEP(MD5_I, a, b, c, d, x[8], 0x6fa87e4fu, 6)
    MD5_STEP(MD5_I, d, a, b, c, x[15], 0xfe2ce6e0u, 10)
    MD5_STEP(MD5_I, c, d, a, b, x[6], 0xa3014314u, 15)
    MD5_STEP(MD5_I, b, c, d, a, x[13], 0x4e0811a1u, 21)
    MD5_STEP(MD5_I, a, b, c, d, x[4], 0xf7537e82u, 6)
    MD5_STEP(MD5_I, d, a, b, c, x[11], 0xbd3af235u, 10)
    MD5_STEP(MD5_I, c, d, a, b, x[2], 0x2ad7d2bbu, 15)
    MD5_STEP(MD5_I, b, c, d, a, x[9], 0xeb86d391u, 21)

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void Md5Digest::Update(const unsigned char* data, std::size_t count)
{
    std::size_t index = (bitCount[0] >> 3) & 0x3f;

    // 64-bit bit counter kept as two words, as RFC 1321 does.
    const std::uint64_t bits =
        (std::uint64_t(bitCount[1]) << 32 | bitCount[0]) + (std::uint64_t(count) << 3);
    bitCount[0] = std::uint32_t(bits);
    bitCount[1] = std::uint32_t(bits >> 32);

    if (index != 0) {
        const std::size_t room = 64 - index;
        if (count < room) {
            std::memcpy(buffer + index, data, count);
            return;
        }
        std::memcpy(buffer + index, data, room);
        transform(buffer);
        data += room;
        count -= room;
    }
    for (; count >= 64; data += 64, count -= 64)
        transform(data);
    if (count != 0)
        std::memcpy(buffer, data, count);
}

void Md5Digest::Update(std::string_view bytes)
{
    Update(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::string Md5Digest::FinalHex()
{
    unsigned char lengthBytes[8];
    for (int i = 0; i < 4; ++i) {
        lengthBytes[i] = static_cast<unsigned char>(bitCount[0] >> (8 * i));
        lengthBytes[4 + i] = static_cast<unsigned char>(bitCount[1] >> (8 * i));
    }
    static const unsigned char padding[64] = {0x80};
    const std::size_t index = (bitCount[0] >> 3) & 0x3f;
    const std::size_t padLength = index < 56 ? 56 - index : 120 - index;
    Update(padding, padLength);
    Update(lengthBytes, 8);

    static const char hexDigits[] = "0123456789abcdef";
    std::string hex(32, '0');
    for (int w = 0; w < 4; ++w) {
        for (int i = 0; i < 4; ++i) {
            const unsigned byte = (state[w] >> (8 * i)) & 0xff;
            hex[std::size_t(8 * w + 2 * i)] = hexDigits[byte >> 4];
            hex[std::size_t(8 * w + 2 * i + 1)] = hexDigits[byte & 0xf];
        }
    }
    return hex;
}

std::string Md5Hex(const unsigned char* data, std::size_t length)
{
    Md5Digest digest;
    digest.Update(data, length);
    return digest.FinalHex();
}

std::string Md5Hex(std::string_view bytes)
{
    Md5Digest digest;
    digest.Update(bytes);
    return digest.FinalHex();
}
