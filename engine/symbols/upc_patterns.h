// UPC digit patterns: number set A (odd parity) of ISO/IEC 15420. For each digit the module
// counts of its left-hand form in the order space, bar, space, bar; the right-hand form uses the
// same counts with the colours exchanged (bar, space, bar, space). Each row adds up to 7.
#pragma once

#include <array>

namespace quillion {

inline constexpr std::array<std::array<int, 4>, 10> UpcDigitPatterns = {{
    {3, 2, 1, 1}, // 0
    {2, 2, 2, 1}, // 1
    {2, 1, 2, 2}, // 2
    {1, 4, 1, 1}, // 3
    {1, 1, 3, 2}, // 4
    {1, 2, 3, 1}, // 5
    {1, 1, 1, 4}, // 6
    {1, 3, 1, 2}, // 7
    {1, 2, 1, 3}, // 8
    {3, 1, 1, 2}, // 9
}};

} // namespace quillion
