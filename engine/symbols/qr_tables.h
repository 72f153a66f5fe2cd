// QR Code Model 2 tables: error correction per version and level, the symbol's codeword count,
// the alignment pattern centres and the character count indicator widths.
#pragma once

#include "symbols/encode_options.h"

#include <array>
#include <cstdint>

namespace quillion {

inline constexpr int kQrMinVersion = 1;
inline constexpr int kQrMaxVersion = 40;

// Rows x columns of a version.
constexpr int QrSize(int version) {
    return 17 + 4 * version;
}

// Error correction codewords per block, by level (L, M, Q, H) and version (index 0 unused).
inline constexpr std::array<std::array<std::int8_t, 41>, 4> kQrEccPerBlock = {{
    {0,  7,  10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28,
     28, 28, 30, 30, 26, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {0,  10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26,
     26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28},
    {0,  13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30,
     28, 30, 30, 30, 30, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {0,  17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28,
     30, 24, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
}};

// Error correction blocks, by level and version.
inline constexpr std::array<std::array<std::int8_t, 41>, 4> kQrBlocks = {{
    {0, 1, 1, 1,  1,  1,  2,  2,  2,  2,  4,  4,  4,  4,  4,  6,  6,  6,  6,  7, 8,
     8, 9, 9, 10, 12, 12, 12, 13, 14, 15, 16, 17, 18, 19, 19, 20, 21, 22, 24, 25},
    {0,  1,  1,  1,  2,  2,  4,  4,  4,  5,  5,  5,  8,  9,  9,  10, 10, 11, 13, 14, 16,
     17, 17, 18, 20, 21, 23, 25, 26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49},
    {0,  1,  1,  2,  2,  4,  4,  6,  6,  8,  8,  8,  10, 12, 16, 12, 17, 16, 18, 21, 20,
     23, 23, 25, 27, 29, 34, 34, 35, 38, 40, 43, 45, 48, 51, 53, 56, 59, 62, 65, 68},
    {0,  1,  1,  2,  4,  4,  4,  5,  6,  8,  8,  11, 11, 16, 16, 18, 16, 19, 21, 25, 25,
     25, 34, 30, 32, 35, 37, 40, 42, 45, 48, 51, 54, 57, 60, 63, 66, 70, 74, 77, 81},
}};

// Alignment patterns per row or column of the version (0 for version 1).
constexpr int QrAlignmentCount(int version) {
    return version == 1 ? 0 : version / 7 + 2;
}

// The alignment centres of a version, in rows (the same in columns); returns their count.
constexpr int QrAlignmentCentres(int version, std::array<int, 7>& centres) {
    const int n = QrAlignmentCount(version);
    if (n == 0)
        return 0;
    const int step = version == 32 ? 26 : (version * 4 + n * 2 + 1) / (n * 2 - 2) * 2;
    centres[0] = 6;
    int pos = QrSize(version) - 7;
    for (int i = n - 1; i >= 1; --i, pos -= step)
        centres[std::size_t(i)] = pos;
    return n;
}

// Modules that carry codewords (data and error correction, remainder bits included).
constexpr int QrDataModules(int version) {
    int result = (16 * version + 128) * version + 64;
    if (version >= 2) {
        const int n = QrAlignmentCount(version);
        result -= (25 * n - 10) * n - 55;
        if (version >= 7)
            result -= 36;
    }
    return result;
}

constexpr int QrTotalCodewords(int version) {
    return QrDataModules(version) / 8;
}

constexpr int QrDataCodewords(int version, QrEcc ecc) {
    const auto l = std::size_t(ecc);
    const auto v = std::size_t(version);
    return QrTotalCodewords(version) - kQrEccPerBlock[l][v] * kQrBlocks[l][v];
}

// The three version classes whose character count indicators differ: 1-9, 10-26, 27-40.
constexpr int QrVersionClass(int version) {
    return version <= 9 ? 0 : version <= 26 ? 1 : 2;
}

enum class QrMode : std::uint8_t { Numeric = 0, Alphanumeric = 1, Byte = 2, Kanji = 3 };
inline constexpr int kQrModes = 4;

// Character count indicator bits by mode and version class.
inline constexpr std::array<std::array<std::uint8_t, 3>, 4> kQrCountBits = {{
    {10, 12, 14},
    {9, 11, 13},
    {8, 16, 16},
    {8, 10, 12},
}};

// The 4-bit mode indicators.
inline constexpr std::array<std::uint8_t, 4> kQrModeIndicator = {0x1, 0x2, 0x4, 0x8};

} // namespace quillion
