// Code 128 symbol values for any ISO 8859-1 text: code set B alone (with SHIFT for control
// characters), or the shortest sequence over code sets A, B and C; characters 128-255 through
// FNC4. The values are painted by the same painter as the window's set-B symbols.
#pragma once

#include "symbols/code128_text.h"

#include <optional>
#include <string_view>
#include <vector>

namespace quillion {

// One input unit: an ISO 8859-1 byte 0..255, or one of the function characters below.
using Code128Unit = int;
inline constexpr Code128Unit kUnitFnc1 = 256;
inline constexpr Code128Unit kUnitFnc2 = 257;
inline constexpr Code128Unit kUnitFnc3 = 258;
inline constexpr Code128Unit kUnitFnc4 = 259; // a bare FNC4, as the window's U+00BC gives it

enum class Code128CodeSet { B, Auto };

// The units of a text: every character is itself when it is ISO 8859-1; the ANSI digits and
// letters beyond it (fullwidth forms) stand for the ANSI character, as in the window's set B.
// With windowSetB, the text is read as the window's set B reads it, widened to ISO 8859-1
// 128-255: the stand-ins for the function characters (U+00B9 FNC1, U+00B2 FNC2, U+00B3 FNC3,
// U+00BC FNC4) become them, and control characters other than DLE have no unit. Empty when a
// character has no unit.
std::optional<std::vector<Code128Unit>> Code128Units(std::u16string_view text, bool windowSetB);

// The values in painting order (start, data, check symbol), the stop pattern implied.
Code128Sequence EncodeCode128Units(const std::vector<Code128Unit>& units, Code128CodeSet set);

// The modules of a sequence painted with its stop pattern.
inline std::size_t Code128Modules(const Code128Sequence& sequence) {
    return sequence.size() * 11 + 13;
}

} // namespace quillion
