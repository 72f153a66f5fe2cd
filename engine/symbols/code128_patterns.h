// Code 128 symbol patterns after ISO/IEC 15417 (the Code 128 bar code symbology standard),
// symbol character table: every symbol is three bars and three spaces, bar first, eleven
// modules in all; the stop pattern adds a final two-module bar (thirteen modules).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quillion::code128 {

// Bar and space widths in modules: b1 s1 b2 s2 b3 s3.
using SymbolPattern = std::array<std::uint8_t, 6>;

inline constexpr int kStartB = 104;      // the leading symbol of every sequence
inline constexpr int kDataSymbols = 103; // values 0..102
inline constexpr int kSymbolModules = 11;
inline constexpr int kStopModules = 13;

// Values 0..102 in order.
inline constexpr std::array<SymbolPattern, kDataSymbols> kDataPatterns = {{
    {{2, 1, 2, 2, 2, 2}}, // 0
    {{2, 2, 2, 1, 2, 2}}, {{2, 2, 2, 2, 2, 1}}, {{1, 2, 1, 2, 2, 3}},
    {{1, 2, 1, 3, 2, 2}}, {{1, 3, 1, 2, 2, 2}}, // 5
    {{1, 2, 2, 2, 1, 3}}, {{1, 2, 2, 3, 1, 2}}, {{1, 3, 2, 2, 1, 2}},
    {{2, 2, 1, 2, 1, 3}}, {{2, 2, 1, 3, 1, 2}}, // 10
    {{2, 3, 1, 2, 1, 2}}, {{1, 1, 2, 2, 3, 2}}, {{1, 2, 2, 1, 3, 2}},
    {{1, 2, 2, 2, 3, 1}}, {{1, 1, 3, 2, 2, 2}}, // 15
    {{1, 2, 3, 1, 2, 2}}, {{1, 2, 3, 2, 2, 1}}, {{2, 2, 3, 2, 1, 1}},
    {{2, 2, 1, 1, 3, 2}}, {{2, 2, 1, 2, 3, 1}}, // 20
    {{2, 1, 3, 2, 1, 2}}, {{2, 2, 3, 1, 1, 2}}, {{3, 1, 2, 1, 3, 1}},
    {{3, 1, 1, 2, 2, 2}}, {{3, 2, 1, 1, 2, 2}}, // 25
    {{3, 2, 1, 2, 2, 1}}, {{3, 1, 2, 2, 1, 2}}, {{3, 2, 2, 1, 1, 2}},
    {{3, 2, 2, 2, 1, 1}}, {{2, 1, 2, 1, 2, 3}}, // 30
    {{2, 1, 2, 3, 2, 1}}, {{2, 3, 2, 1, 2, 1}}, {{1, 1, 1, 3, 2, 3}},
    {{1, 3, 1, 1, 2, 3}}, {{1, 3, 1, 3, 2, 1}}, // 35
    {{1, 1, 2, 3, 1, 3}}, {{1, 3, 2, 1, 1, 3}}, {{1, 3, 2, 3, 1, 1}},
    {{2, 1, 1, 3, 1, 3}}, {{2, 3, 1, 1, 1, 3}}, // 40
    {{2, 3, 1, 3, 1, 1}}, {{1, 1, 2, 1, 3, 3}}, {{1, 1, 2, 3, 3, 1}},
    {{1, 3, 2, 1, 3, 1}}, {{1, 1, 3, 1, 2, 3}}, // 45
    {{1, 1, 3, 3, 2, 1}}, {{1, 3, 3, 1, 2, 1}}, {{3, 1, 3, 1, 2, 1}},
    {{2, 1, 1, 3, 3, 1}}, {{2, 3, 1, 1, 3, 1}}, // 50
    {{2, 1, 3, 1, 1, 3}}, {{2, 1, 3, 3, 1, 1}}, {{2, 1, 3, 1, 3, 1}},
    {{3, 1, 1, 1, 2, 3}}, {{3, 1, 1, 3, 2, 1}}, // 55
    {{3, 3, 1, 1, 2, 1}}, {{3, 1, 2, 1, 1, 3}}, {{3, 1, 2, 3, 1, 1}},
    {{3, 3, 2, 1, 1, 1}}, {{3, 1, 4, 1, 1, 1}}, // 60
    {{2, 2, 1, 4, 1, 1}}, {{4, 3, 1, 1, 1, 1}}, {{1, 1, 1, 2, 2, 4}},
    {{1, 1, 1, 4, 2, 2}}, {{1, 2, 1, 1, 2, 4}}, // 65
    {{1, 2, 1, 4, 2, 1}}, {{1, 4, 1, 1, 2, 2}}, {{1, 4, 1, 2, 2, 1}},
    {{1, 1, 2, 2, 1, 4}}, {{1, 1, 2, 4, 1, 2}}, // 70
    {{1, 2, 2, 1, 1, 4}}, {{1, 2, 2, 4, 1, 1}}, {{1, 4, 2, 1, 1, 2}},
    {{1, 4, 2, 2, 1, 1}}, {{2, 4, 1, 2, 1, 1}}, // 75
    {{2, 2, 1, 1, 1, 4}}, {{4, 1, 3, 1, 1, 1}}, {{2, 4, 1, 1, 1, 2}},
    {{1, 3, 4, 1, 1, 1}}, {{1, 1, 1, 2, 4, 2}}, // 80
    {{1, 2, 1, 1, 4, 2}}, {{1, 2, 1, 2, 4, 1}}, {{1, 1, 4, 2, 1, 2}},
    {{1, 2, 4, 1, 1, 2}}, {{1, 2, 4, 2, 1, 1}}, // 85
    {{4, 1, 1, 2, 1, 2}}, {{4, 2, 1, 1, 1, 2}}, {{4, 2, 1, 2, 1, 1}},
    {{2, 1, 2, 1, 4, 1}}, {{2, 1, 4, 1, 2, 1}}, // 90
    {{4, 1, 2, 1, 2, 1}}, {{1, 1, 1, 1, 4, 3}}, {{1, 1, 1, 3, 4, 1}},
    {{1, 3, 1, 1, 4, 1}}, {{1, 1, 4, 1, 1, 3}}, // 95
    {{1, 1, 4, 3, 1, 1}}, {{4, 1, 1, 1, 1, 3}}, {{4, 1, 1, 3, 1, 1}},
    {{1, 1, 3, 1, 4, 1}}, {{1, 1, 4, 1, 3, 1}}, // 100
    {{3, 1, 1, 1, 4, 1}}, {{4, 1, 1, 1, 3, 1}},
}};

inline constexpr SymbolPattern kStartAPattern = {2, 1, 1, 4, 1, 2}; // 103
inline constexpr SymbolPattern kStartBPattern = {2, 1, 1, 2, 1, 4}; // 104
inline constexpr SymbolPattern kStartCPattern = {2, 1, 1, 2, 3, 2}; // 105

// The stop pattern: bar, space, bar, space, bar, space, bar.
inline constexpr std::array<std::uint8_t, 7> kStopPattern = {2, 3, 3, 1, 1, 1, 2};

// The pattern of a value 0..102 or a start code (103 A, 104 B, 105 C); nullptr for any other.
constexpr const SymbolPattern* PatternOf(int value) {
    if (value >= 0 && value < kDataSymbols)
        return &kDataPatterns[static_cast<std::size_t>(value)];
    switch (value) {
    case kStartB - 1:
        return &kStartAPattern;
    case kStartB:
        return &kStartBPattern;
    case kStartB + 1:
        return &kStartCPattern;
    default:
        return nullptr;
    }
}

namespace detail {
constexpr bool IsWellFormed(const SymbolPattern& p) {
    int modules = 0;
    for (auto w : p) {
        if (w < 1 || w > 4)
            return false;
        modules += w;
    }
    // The bars of a Code 128 symbol always add up to an even number of modules.
    return modules == kSymbolModules && (p[0] + p[2] + p[4]) % 2 == 0;
}
constexpr bool AllWellFormed() {
    for (const auto& p : kDataPatterns)
        if (!IsWellFormed(p))
            return false;
    return IsWellFormed(kStartAPattern) && IsWellFormed(kStartBPattern) &&
           IsWellFormed(kStartCPattern);
}
} // namespace detail
static_assert(detail::AllWellFormed(), "every symbol is 11 modules with an even bar sum");

} // namespace quillion::code128
