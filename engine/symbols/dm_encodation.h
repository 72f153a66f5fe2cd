// Data Matrix ECC 200 data encodation: the fewest codewords for a text over ASCII (digit pairs,
// upper shift), C40, Text, X12, EDIFACT and Base 256, by a shortest path over the positions of
// the text and the encodation in force there.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quillion::dm {

// A unit of the text: a byte 0-255, or kFnc1 (in GS1 data, as separator).
inline constexpr int kFnc1 = 256;

// Codewords that end in C40, Text, X12 or EDIFACT without the unlatch (possibly with the ASCII
// tail a reader takes there): they fit a symbol whose data codewords number from their count
// to their count + slack (EDIFACT: a reader returns to ASCII when at most two codewords are
// left; C40, Text and X12 when one is).
struct ClosedEnd {
    std::vector<std::uint8_t> codewords;
    int slack = 0;
};

struct DataCodewords {
    // Ends in ASCII: fits any symbol with at least as many data codewords (padding follows).
    std::vector<std::uint8_t> open;
    // Shorter ones valid only in a symbol of about their size.
    std::vector<ClosedEnd> closed;

    // The codewords for a symbol of `capacity` data codewords (the fewest that fit), or null.
    const std::vector<std::uint8_t>* For(int capacity) const;
    // The fewest codewords over all ends.
    int Fewest() const;
};

// The codewords of `prefix` (ASCII codewords: FNC1, ECI) followed by the units.
DataCodewords EncodeUnits(std::span<const int> units, std::span<const std::uint8_t> prefix);

// The pad codewords after `used` data codewords, up to `capacity`.
void AppendPadding(std::vector<std::uint8_t>& codewords, int capacity);

} // namespace quillion::dm
