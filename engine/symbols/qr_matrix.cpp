#include "symbols/qr_matrix.h"

#include "symbols/qr_tables.h"

#include <algorithm>
#include <array>
#include <bit>
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

// The 30 modules of the two copies of the format information: f(row, column, bit).
template <typename F> void ForEachFormatModule(int s, F&& f) {
    for (int i = 0; i <= 5; ++i)
        f(i, 8, i);
    f(7, 8, 6);
    f(8, 8, 7);
    f(8, 7, 8);
    for (int i = 9; i < 15; ++i)
        f(8, 14 - i, i);
    for (int i = 0; i < 8; ++i)
        f(8, s - 1 - i, i);
    for (int i = 8; i < 15; ++i)
        f(s - 15 + i, 8, i);
}

void DrawFormat(Grid& g, QrEcc ecc, int mask) {
    const unsigned bits = FormatBits(ecc, mask);
    ForEachFormatModule(g.size, [&g, bits](int row, int column, int i) {
        g.Set(row, column, ((bits >> i) & 1u) != 0);
    });
    g.Set(g.size - 8, 8, true); // the dark module
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
    DrawFormat(g, QrEcc::M,
               0); // reserves the areas; drawn again with the mask chosen
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

// Whether a mask flips the module at row y, column x (when it holds data, not a pattern).
constexpr bool MaskHit(int mask, int y, int x) {
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

template <int Mask> bool MaskHits(int y, int x) {
    return MaskHit(Mask, y, x);
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

// The penalty rules on packed lines: 64 modules a word, W words a line (module j of a line is
// bit j % 64 of word j / 64, 1 dark), with kLead light lines before line 0 and kTrail after the
// last, for rule 3's light modules outside the symbol. The rows are one such set, the columns
// (the rows of the transposed symbol) another; both are scored down their lines, a word of 64
// lines side by side at a time.
constexpr int kMaxSize = QrSize(kQrMaxVersion);
constexpr int kMaxWords = (kMaxSize + 63) / 64;

template <int W> struct Lines {
    static constexpr int kLead = 4, kTrail = 10;
    std::array<std::uint64_t, std::size_t(kLead + kMaxSize + kTrail) * W> words{};

    std::uint64_t* Line(int i) { return words.data() + std::size_t(kLead + i) * W; }
    const std::uint64_t* Line(int i) const { return words.data() + std::size_t(kLead + i) * W; }
    void Set(int line, int j, bool isDark) {
        std::uint64_t& word = Line(line)[j >> 6];
        const std::uint64_t bit = std::uint64_t(1) << (j & 63);
        word = isDark ? word | bit : word & ~bit;
    }
};

template <int W> using Word = std::array<std::uint64_t, W>;

// Bits 0 to n - 1.
template <int W> Word<W> LowBits(int n) {
    Word<W> bits{};
    for (int k = 0; k < W; ++k) {
        const int here = std::clamp(n - 64 * k, 0, 64);
        bits[std::size_t(k)] = here == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << here) - 1;
    }
    return bits;
}

// Rules 1 and 3 across n lines, for every position along them at once. A run of L >= 5 equal
// modules holds L - 4 windows of five and starts one: L - 4 + 2 points. A 1:1:3:1:1 core counts 40
// once when the four modules before it or the four after it are light.
template <int W> int AcrossLines(const Lines<W>& lines, int n, const Word<W>& valid) {
    int windows = 0, runs = 0, finders = 0;
    Word<W> lastDark{}, lastLight{};
    for (int y = 0; y + 4 < n; ++y) {
        const std::uint64_t* d = lines.Line(y);
        for (int k = 0; k < W; ++k) {
            const auto at = [d, k](int i) { return d[i * W + k]; };
            const std::size_t K = std::size_t(k);
            const std::uint64_t dark = at(0) & at(1) & at(2) & at(3) & at(4);
            const std::uint64_t light = ~(at(0) | at(1) | at(2) | at(3) | at(4)) & valid[K];
            windows += std::popcount(dark) + std::popcount(light);
            runs += std::popcount(dark & ~lastDark[K]) + std::popcount(light & ~lastLight[K]);
            lastDark[K] = dark;
            lastLight[K] = light;
            if (y + 6 < n) {
                const std::uint64_t core = at(0) & ~at(1) & at(2) & at(3) & at(4) & ~at(5) & at(6);
                const std::uint64_t darkBefore = at(-1) | at(-2) | at(-3) | at(-4);
                const std::uint64_t darkAfter = at(7) | at(8) | at(9) | at(10);
                finders += std::popcount(core & ~(darkBefore & darkAfter));
            }
        }
    }
    return windows + 2 * runs + 40 * finders;
}

// All four rules, from the rows and the columns of the same symbol.
template <int W> int Score(const Lines<W>& rows, const Lines<W>& columns, int n) {
    const Word<W> valid = LowBits<W>(n), pairs = LowBits<W>(n - 1);
    int blocks = 0, dark = 0;
    for (int y = 0; y < n; ++y) {
        const std::uint64_t* a = rows.Line(y);
        const std::uint64_t* b = rows.Line(y + 1);
        for (int k = 0; k < W; ++k)
            dark += std::popcount(a[k]);
        if (y + 1 == n)
            break;
        for (int k = 0; k < W; ++k) {
            const std::uint64_t aNext = (a[k] >> 1) | (k + 1 < W ? a[k + 1] << 63 : 0);
            const std::uint64_t bNext = (b[k] >> 1) | (k + 1 < W ? b[k + 1] << 63 : 0);
            blocks += std::popcount(~(a[k] ^ b[k]) & ~(aNext ^ bNext) & ~(a[k] ^ aNext) &
                                    pairs[std::size_t(k)]);
        }
    }
    const int total = n * n;
    return AcrossLines<W>(rows, n, valid) + AcrossLines<W>(columns, n, valid) + 3 * blocks +
           std::abs(dark * 2 - total) * 10 / total * 10;
}

// Which modules each mask flips, by row y % 12 (bits by column) and by column x % 12 (bits by row):
// every mask repeats every 12 modules both ways.
constexpr int kPeriod = 12;
using MaskTable = std::array<std::array<std::array<std::uint64_t, kMaxWords>, kPeriod>, 8>;

constexpr MaskTable MakeMaskTable(bool byColumn) {
    MaskTable table{};
    for (int m = 0; m < 8; ++m)
        for (int r = 0; r < kPeriod; ++r)
            for (int i = 0; i < kMaxWords * 64; ++i)
                if (byColumn ? MaskHit(m, i, r) : MaskHit(m, r, i))
                    table[std::size_t(m)][std::size_t(r)][std::size_t(i / 64)] |= std::uint64_t(1)
                                                                                  << (i % 64);
    return table;
}

constexpr MaskTable kMaskRows = MakeMaskTable(false);
constexpr MaskTable kMaskColumns = MakeMaskTable(true);

template <int W> int PackedPenalty(const std::uint8_t* m, int n) {
    Lines<W> rows, columns;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            if (m[std::size_t(y) * std::size_t(n) + std::size_t(x)] != 0) {
                rows.Set(y, x, true);
                columns.Set(x, y, true);
            }
    return Score(rows, columns, n);
}

// The mask of the lowest penalty (the first of equals), each mask applied to the packed rows and
// columns of the unmasked symbol with its format information.
template <int W> int ChooseMask(const Grid& g, QrEcc ecc) {
    const int n = g.size;
    Lines<W> plain, plainColumns, data, dataColumns, rows, columns;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const std::size_t at = g.At(y, x);
            if (g.dark[at] != 0) {
                plain.Set(y, x, true);
                plainColumns.Set(x, y, true);
            }
            if (g.function[at] == 0) {
                data.Set(y, x, true);
                dataColumns.Set(x, y, true);
            }
        }
    int best = 0, bestPenalty = 0;
    for (int m = 0; m < 8; ++m) {
        for (int i = 0; i < n; ++i) {
            const auto& rowFlips = kMaskRows[std::size_t(m)][std::size_t(i % kPeriod)];
            const auto& columnFlips = kMaskColumns[std::size_t(m)][std::size_t(i % kPeriod)];
            for (int k = 0; k < W; ++k) {
                rows.Line(i)[k] = plain.Line(i)[k] ^ (rowFlips[std::size_t(k)] & data.Line(i)[k]);
                columns.Line(i)[k] = plainColumns.Line(i)[k] ^
                                     (columnFlips[std::size_t(k)] & dataColumns.Line(i)[k]);
            }
        }
        const unsigned bits = FormatBits(ecc, m);
        ForEachFormatModule(n, [&rows, &columns, bits](int row, int column, int i) {
            const bool isDark = ((bits >> i) & 1u) != 0;
            rows.Set(row, column, isDark);
            columns.Set(column, row, isDark);
        });
        const int p = Score(rows, columns, n);
        if (m == 0 || p < bestPenalty) {
            bestPenalty = p;
            best = m;
        }
    }
    return best;
}

} // namespace

int QrPenalty(const std::uint8_t* m, int size) {
    if (size <= 64)
        return PackedPenalty<1>(m, size);
    if (size <= 128)
        return PackedPenalty<2>(m, size);
    return PackedPenalty<3>(m, size);
}

int BuildQrMatrix(int version, QrEcc ecc, std::span<const std::uint8_t> codewords, int mask,
                  std::vector<std::uint8_t>& modules) {
    Grid g(QrSize(version), modules);
    DrawFunctionPatterns(g, version);
    PlaceCodewords(g, codewords);
    if (mask < 0)
        mask = g.size <= 64    ? ChooseMask<1>(g, ecc)
               : g.size <= 128 ? ChooseMask<2>(g, ecc)
                               : ChooseMask<3>(g, ecc);
    ApplyMask(g, mask);
    DrawFormat(g, ecc, mask);
    return mask;
}

} // namespace quillion
