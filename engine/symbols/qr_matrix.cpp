#include "symbols/qr_matrix.h"

#include "symbols/qr_tables.h"

#include <array>
#include <cstdlib>

namespace quillion {
namespace {

struct Grid {
    int size;
    std::vector<std::uint8_t>& dark;
    std::vector<std::uint8_t> function;

    Grid(int s, std::vector<std::uint8_t>& modules)
        : size(s), dark(modules), function(std::size_t(s) * std::size_t(s), 0) {
        dark.assign(std::size_t(s) * std::size_t(s), 0);
    }
    std::size_t At(int row, int column) const {
        return std::size_t(row) * std::size_t(size) + std::size_t(column);
    }
    void Set(int row, int column, bool isDark) {
        dark[At(row, column)] = isDark ? 1 : 0;
        function[At(row, column)] = 1;
    }
};

void DrawFinder(Grid& g, int centreRow, int centreColumn) {
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx) {
            const int r = centreRow + dy, c = centreColumn + dx;
            if (r < 0 || c < 0 || r >= g.size || c >= g.size)
                continue;
            const int d = std::max(std::abs(dx), std::abs(dy));
            g.Set(r, c, d != 2 && d != 4);
        }
}

// The 15 format bits: level and mask with their BCH code, XOR 0x5412.
unsigned FormatBits(QrEcc ecc, int mask) {
    static constexpr std::array<unsigned, 4> kLevelBits = {1, 0, 3, 2};
    const unsigned data = (kLevelBits[std::size_t(ecc)] << 3) | unsigned(mask);
    unsigned rem = data;
    for (int i = 0; i < 10; ++i)
        rem = (rem << 1) ^ ((rem >> 9) * 0x537u);
    return ((data << 10) | (rem & 0x3FFu)) ^ 0x5412u;
}

void DrawFormat(Grid& g, QrEcc ecc, int mask) {
    const unsigned bits = FormatBits(ecc, mask);
    auto bit = [bits](int i) { return ((bits >> i) & 1u) != 0; };
    const int s = g.size;
    for (int i = 0; i <= 5; ++i)
        g.Set(i, 8, bit(i));
    g.Set(7, 8, bit(6));
    g.Set(8, 8, bit(7));
    g.Set(8, 7, bit(8));
    for (int i = 9; i < 15; ++i)
        g.Set(8, 14 - i, bit(i));
    for (int i = 0; i < 8; ++i)
        g.Set(8, s - 1 - i, bit(i));
    for (int i = 8; i < 15; ++i)
        g.Set(s - 15 + i, 8, bit(i));
    g.Set(s - 8, 8, true); // the dark module
}

void DrawFunctionPatterns(Grid& g, int version) {
    const int s = g.size;
    for (int i = 8; i < s - 8; ++i) {
        g.Set(6, i, i % 2 == 0);
        g.Set(i, 6, i % 2 == 0);
    }
    DrawFinder(g, 3, 3);
    DrawFinder(g, 3, s - 4);
    DrawFinder(g, s - 4, 3);
    std::array<int, 7> centres{};
    const int n = QrAlignmentCentres(version, centres);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            if ((i == 0 && j == 0) || (i == 0 && j == n - 1) || (i == n - 1 && j == 0))
                continue;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    g.Set(centres[std::size_t(i)] + dy, centres[std::size_t(j)] + dx,
                          std::max(std::abs(dx), std::abs(dy)) != 1);
        }
    DrawFormat(g, QrEcc::M, 0); // reserves the areas; drawn again with the mask chosen
    if (version >= 7) {
        unsigned rem = unsigned(version);
        for (int i = 0; i < 12; ++i)
            rem = (rem << 1) ^ ((rem >> 11) * 0x1F25u);
        const unsigned bits = (unsigned(version) << 12) | (rem & 0xFFFu);
        for (int i = 0; i < 18; ++i) {
            const bool b = ((bits >> i) & 1u) != 0;
            const int a = s - 11 + i % 3, c = i / 3;
            g.Set(c, a, b);
            g.Set(a, c, b);
        }
    }
}

void PlaceCodewords(Grid& g, std::span<const std::uint8_t> codewords) {
    const std::size_t totalBits = codewords.size() * 8;
    std::size_t i = 0;
    const int s = g.size;
    for (int right = s - 1; right >= 1; right -= 2) {
        if (right == 6)
            right = 5;
        const bool upward = ((right + 1) & 2) == 0;
        for (int vert = 0; vert < s; ++vert)
            for (int j = 0; j < 2; ++j) {
                const int x = right - j;
                const int y = upward ? s - 1 - vert : vert;
                const std::size_t at = g.At(y, x);
                if (g.function[at])
                    continue;
                if (i < totalBits)
                    g.dark[at] = std::uint8_t((codewords[i >> 3] >> (7 - (i & 7))) & 1u);
                ++i; // remainder bits stay light
            }
    }
}

bool MaskHits(int mask, int y, int x) {
    switch (mask) {
    case 0:
        return (x + y) % 2 == 0;
    case 1:
        return y % 2 == 0;
    case 2:
        return x % 3 == 0;
    case 3:
        return (x + y) % 3 == 0;
    case 4:
        return (x / 3 + y / 2) % 2 == 0;
    case 5:
        return x * y % 2 + x * y % 3 == 0;
    case 6:
        return (x * y % 2 + x * y % 3) % 2 == 0;
    default:
        return ((x + y) % 2 + x * y % 3) % 2 == 0;
    }
}

void ApplyMask(Grid& g, int mask) {
    for (int y = 0; y < g.size; ++y)
        for (int x = 0; x < g.size; ++x) {
            const std::size_t at = g.At(y, x);
            if (!g.function[at] && MaskHits(mask, y, x))
                g.dark[at] ^= 1u;
        }
}

// Rules 1 and 3 along one line of modules (a row, or a column with stride size).
int LinePenalty(const std::uint8_t* line, std::size_t stride, int size) {
    int penalty = 0;
    int run = 1;
    for (int i = 1; i < size; ++i) {
        if (line[std::size_t(i) * stride] == line[std::size_t(i - 1) * stride]) {
            ++run;
        } else {
            if (run >= 5)
                penalty += run - 2;
            run = 1;
        }
    }
    if (run >= 5)
        penalty += run - 2;
    // 1:1:3:1:1 with four light modules before or after (outside the symbol is light): a
    // window over modules i-4 .. i+10, module i-4 in bit 14.
    auto module = [&](int i) -> unsigned {
        return i >= 0 && i < size ? line[std::size_t(i) * stride] : 0u;
    };
    unsigned w = 0;
    for (int i = -4; i <= 10; ++i)
        w = (w << 1) | module(i);
    for (int i = 0; i + 7 <= size; ++i) {
        if (((w >> 4) & 0x7Fu) == 0x5Du && (((w >> 11) & 0xFu) == 0 || (w & 0xFu) == 0))
            penalty += 40;
        w = ((w << 1) | module(i + 11)) & 0x7FFFu;
    }
    return penalty;
}

} // namespace

int QrPenalty(const std::uint8_t* m, int size) {
    const auto s = std::size_t(size);
    int penalty = 0;
    for (std::size_t i = 0; i < s; ++i) {
        penalty += LinePenalty(m + i * s, 1, size);
        penalty += LinePenalty(m + i, s, size);
    }
    int dark = 0;
    for (std::size_t y = 0; y < s; ++y) {
        const std::uint8_t* row = m + y * s;
        for (std::size_t x = 0; x < s; ++x)
            dark += row[x];
        if (y + 1 == s)
            break;
        const std::uint8_t* below = row + s;
        for (std::size_t x = 0; x + 1 < s; ++x) {
            const unsigned v = row[x];
            if (row[x + 1] == v && below[x] == v && below[x + 1] == v)
                penalty += 3;
        }
    }
    const int total = size * size;
    penalty += std::abs(dark * 2 - total) * 10 / total * 10;
    return penalty;
}

int BuildQrMatrix(int version, QrEcc ecc, std::span<const std::uint8_t> codewords, int mask,
                  std::vector<std::uint8_t>& modules) {
    Grid g(QrSize(version), modules);
    DrawFunctionPatterns(g, version);
    PlaceCodewords(g, codewords);
    if (mask < 0) {
        const std::vector<std::uint8_t> unmasked = g.dark;
        int bestPenalty = 0;
        for (int m = 0; m < 8; ++m) {
            if (m > 0)
                g.dark = unmasked;
            ApplyMask(g, m);
            DrawFormat(g, ecc, m);
            const int p = QrPenalty(g.dark.data(), g.size);
            if (m == 0 || p < bestPenalty) {
                bestPenalty = p;
                mask = m;
            }
        }
        g.dark = unmasked;
    }
    ApplyMask(g, mask);
    DrawFormat(g, ecc, mask);
    return mask;
}

} // namespace quillion
