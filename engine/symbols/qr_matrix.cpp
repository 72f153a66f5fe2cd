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

template <int Mask> bool MaskHits(int y, int x) {
    if constexpr (Mask == 0)
        return (x + y) % 2 == 0;
    else if constexpr (Mask == 1)
        return y % 2 == 0;
    else if constexpr (Mask == 2)
        return x % 3 == 0;
    else if constexpr (Mask == 3)
        return (x + y) % 3 == 0;
    else if constexpr (Mask == 4)
        return (x / 3 + y / 2) % 2 == 0;
    else if constexpr (Mask == 5)
        return x * y % 2 + x * y % 3 == 0;
    else if constexpr (Mask == 6)
        return (x * y % 2 + x * y % 3) % 2 == 0;
    else
        return ((x + y) % 2 + x * y % 3) % 2 == 0;
}

template <int Mask> void ApplyMaskOf(Grid& g) {
    for (int y = 0; y < g.size; ++y) {
        std::uint8_t* row = g.dark.data() + g.At(y, 0);
        const std::uint8_t* function = g.function.data() + g.At(y, 0);
        for (int x = 0; x < g.size; ++x)
            row[x] = std::uint8_t(row[x] ^ ((function[x] == 0 && MaskHits<Mask>(y, x)) ? 1 : 0));
    }
}

void ApplyMask(Grid& g, int mask) {
    switch (mask) {
    case 0:
        return ApplyMaskOf<0>(g);
    case 1:
        return ApplyMaskOf<1>(g);
    case 2:
        return ApplyMaskOf<2>(g);
    case 3:
        return ApplyMaskOf<3>(g);
    case 4:
        return ApplyMaskOf<4>(g);
    case 5:
        return ApplyMaskOf<5>(g);
    case 6:
        return ApplyMaskOf<6>(g);
    default:
        return ApplyMaskOf<7>(g);
    }
}

// Rules 1 and 3 along one line (a row or a column), a module at a time: the run of equal
// modules and the last 15 modules (the newest in bit 0; outside the symbol is light).
struct LineState {
    unsigned window = 0;
    int run = 0;
    unsigned last = 2;
};

// A 1:1:3:1:1 dark-light-dark-light-dark core with four light modules before it (window ends at
// the core) or after it (window ends four modules later), counted once when both.
inline int FinderLikePenalty(unsigned w) {
    const bool before = (w & 0x7FFu) == 0x05Du;
    const bool after = (w & 0x7FFu) == 0x5D0u;
    const bool both = (w & 0x7FFFu) == 0x05D0u;
    return (int(before) + int(after) - int(both)) * 40;
}

inline int Step(LineState& s, unsigned v) {
    int penalty = 0;
    if (v == s.last) {
        ++s.run;
    } else {
        if (s.run >= 5)
            penalty += s.run - 2;
        s.run = 1;
        s.last = v;
    }
    s.window = ((s.window << 1) | v) & 0x7FFFu;
    return penalty + FinderLikePenalty(s.window);
}

// The end of a line: its last run, and four light modules beyond it for rule 3.
inline int Finish(LineState& s) {
    int penalty = s.run >= 5 ? s.run - 2 : 0;
    for (int i = 0; i < 4; ++i) {
        s.window = (s.window << 1) & 0x7FFFu;
        penalty += FinderLikePenalty(s.window);
    }
    return penalty;
}

} // namespace

int QrPenalty(const std::uint8_t* m, int size) {
    const auto s = std::size_t(size);
    std::array<LineState, QrSize(kQrMaxVersion)> columns{};
    int penalty = 0, dark = 0;
    for (std::size_t y = 0; y < s; ++y) {
        const std::uint8_t* row = m + y * s;
        const std::uint8_t* above = y > 0 ? row - s : nullptr;
        LineState across;
        for (std::size_t x = 0; x < s; ++x) {
            const unsigned v = row[x];
            dark += int(v);
            penalty += Step(across, v) + Step(columns[x], v);
            if (above != nullptr && x > 0 && row[x - 1] == v && above[x] == v && above[x - 1] == v)
                penalty += 3;
        }
        penalty += Finish(across);
    }
    for (std::size_t x = 0; x < s; ++x)
        penalty += Finish(columns[x]);
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
