#include "checksums.h"

#include <array>
#include <cstring>

namespace quillion::library {

namespace {

// The tables of the reflected polynomial 0xEDB88320 for eight bytes at a time: table[0] is the
// byte-wise one, table[k][n] the CRC of n followed by k zero bytes.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;
constexpr CrcTables kCrcTables = [] {
    CrcTables t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (std::size_t k = 1; k < 8; ++k)
        for (std::uint32_t n = 0; n < 256; ++n)
            t[k][n] = t[0][t[k - 1][n] & 0xFFu] ^ (t[k - 1][n] >> 8);
    return t;
}();

constexpr std::uint32_t kAdlerModulus = 65521;
// The most bytes whose sums cannot overflow 32 bits before they are reduced (zlib's NMAX).
constexpr std::size_t kAdlerBlock = 5552;

} // namespace

std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t size, std::uint32_t crc) {
    const auto& t = kCrcTables;
    crc = ~crc;
    for (; size >= 8; size -= 8, bytes += 8) {
        const std::uint32_t lo =
            crc ^ (std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                   std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24);
        crc = t[7][lo & 0xFFu] ^ t[6][(lo >> 8) & 0xFFu] ^ t[5][(lo >> 16) & 0xFFu] ^
              t[4][lo >> 24] ^ t[3][bytes[4]] ^ t[2][bytes[5]] ^ t[1][bytes[6]] ^ t[0][bytes[7]];
    }
    for (std::size_t i = 0; i < size; ++i)
        crc = t[0][(crc ^ bytes[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t Adler32(const std::uint8_t* bytes, std::size_t size, std::uint32_t adler) {
    std::uint32_t a = adler & 0xFFFFu, b = adler >> 16;
    while (size > 0) {
        const std::size_t n = size < kAdlerBlock ? size : kAdlerBlock;
        std::size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            // Eight zero bytes leave a as it is and add it eight times to b (a PNG of bars is
            // mostly the zeros of rows filtered "Up").
            std::uint64_t word;
            std::memcpy(&word, bytes + i, 8);
            if (word == 0) {
                b += 8 * a;
                continue;
            }
            for (std::size_t k = i; k < i + 8; ++k) {
                a += bytes[k];
                b += a;
            }
        }
        for (; i < n; ++i) {
            a += bytes[i];
            b += a;
        }
        a %= kAdlerModulus;
        b %= kAdlerModulus;
        bytes += n;
        size -= n;
    }
    return (b << 16) | a;
}

} // namespace quillion::library
