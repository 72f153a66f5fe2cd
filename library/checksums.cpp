#include "checksums.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
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
#if defined(__SSE2__)
    // Sixteen bytes at a time: their sum goes to a; to b goes a sixteen times for every chunk
    // before it in the block, and the bytes weighted 16 down to 1.
    static_assert(kAdlerBlock % 16 == 0);
    const __m128i zero = _mm_setzero_si128();
    const __m128i weightsHigh = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
    const __m128i weightsLow = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
    const auto sum32 = [](__m128i v) {
        v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2)));
        v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 3, 0, 1)));
        return std::uint64_t(std::uint32_t(_mm_cvtsi128_si32(v)));
    };
    while (size >= 16) {
        const std::size_t n = std::min(size & ~std::size_t{15}, kAdlerBlock);
        __m128i sums = zero, earlier = zero, weighted = zero;
        for (std::size_t i = 0; i < n; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
            earlier = _mm_add_epi32(earlier, sums);
            sums = _mm_add_epi32(sums, _mm_sad_epu8(v, zero));
            weighted =
                _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(v, zero), weightsHigh));
            weighted =
                _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), weightsLow));
        }
        const std::uint64_t b64 = b + std::uint64_t(a) * n + 16 * sum32(earlier) + sum32(weighted);
        a = std::uint32_t((a + sum32(sums)) % kAdlerModulus);
        b = std::uint32_t(b64 % kAdlerModulus);
        bytes += n;
        size -= n;
    }
#endif
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
