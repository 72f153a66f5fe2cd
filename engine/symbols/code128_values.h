// Code 128 symbol values for any ISO 8859-1 text: code set B alone (with SHIFT for control
// characters), or the shortest sequence over code sets A, B and C, SHIFT and FNC4 (once for one
// character beyond 127, twice to latch the extended mode for a run of them). The values are
// painted by the same painter as the window's set-B symbols.
#pragma once

#include "symbols/code128_text.h"

#include <string>
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

// How a text becomes units.
enum class Code128Reading {
    // Every ISO 8859-1 character is itself; any other character is refused.
    Latin1,
    // As Latin1, but the window's stand-ins are function characters: U+00B9 FNC1, U+00B2 FNC2,
    // U+00B3 FNC3, U+00BC FNC4.
    Latin1StandIns,
    // The window's set-B reading widened to ISO 8859-1 128-255: the stand-ins, the ANSI digits
    // and letters beyond ISO 8859-1 (fullwidth forms) as the ANSI character they stand for, and
    // no control character but DLE.
    WindowSetB,
};

// The units of a text, or why it has none.
struct Code128UnitText {
    std::vector<Code128Unit> units;
    std::string refusal; // UTF-8, naming the character and its position; "" when none
    bool Ok() const { return refusal.empty(); }
};

Code128UnitText Code128Units(std::u16string_view text, Code128Reading reading);
// The same into result, whose storage is kept (for a caller that encodes many texts).
void Code128Units(std::u16string_view text, Code128Reading reading, Code128UnitText& result);

// The values in painting order (start, data, check symbol), the stop pattern implied. With
// Auto: the fewest symbols, found in time linear in the number of units; an FNC1 after a single
// letter is encoded in code set A or B, after two digits in code set C, so that readers take it
// for the application indicator the reading has (ISO/IEC 15417 Annex B). Beside a bare FNC4 unit
// the symbol keeps to code sets A and B without the latch, so every FNC4 reads as the units say.
// Values outside 0..kUnitFnc4 are no units and are left out.
Code128Sequence EncodeCode128Units(const std::vector<Code128Unit>& units, Code128CodeSet set);
// The same into sequence, whose storage is kept.
void EncodeCode128Units(const std::vector<Code128Unit>& units, Code128CodeSet set,
                        Code128Sequence& sequence);

// What a reader reports for the symbol of the units, as ISO 8859-1 bytes, after ISO/IEC 15417:
// FNC1 first, after a single letter, or after two digits in set C (the shortest symbol without
// a bare FNC4) carries no byte (GS1 and application indicators), elsewhere it is GS; FNC2 and
// FNC3 carry none; FNC4 adds 128 to the next character, two in a row to every character up to
// the next pair, and a single one within such a run leaves the next character as it is.
std::string Code128UnitsReading(const std::vector<Code128Unit>& units, Code128CodeSet set);

// The symbology identifier readers prefix when asked: "]C1" for FNC1 first (GS1-128), "]C2"
// with an application indicator, "" for the usual "]C0".
std::string Code128Identifier(const std::vector<Code128Unit>& units, Code128CodeSet set);

// The reading and the identifier above, in one pass over the units.
struct Code128Read {
    std::string reading;
    std::string identifier;
};
Code128Read ReadCode128Units(const std::vector<Code128Unit>& units, Code128CodeSet set);

// How many leading units the window's engine holds in set B: its 16-bit arithmetic overflows
// where a symbol's weight (its position after the start code) times its value passes 32767.
std::size_t WindowSetBCapacity(const std::vector<Code128Unit>& units);

// The modules of a sequence painted with its stop pattern.
inline std::size_t Code128Modules(const Code128Sequence& sequence) {
    return sequence.size() * 11 + 13;
}

} // namespace quillion
