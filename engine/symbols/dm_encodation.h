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

struct DataCodewords {
    // Ends in ASCII: fits any symbol with at least as many data codewords (padding follows).
    std::vector<std::uint8_t> open;
    // Shorter ones that end in another encodation without unlatching (or with the ASCII tail
    // the standard lets follow it): each fits only a symbol with exactly as many data
    // codewords. Longest first; none as long as `open`.
    std::vector<std::vector<std::uint8_t>> exact;
};

// The codewords of `prefix` (ASCII codewords: FNC1, ECI) followed by the units.
DataCodewords EncodeUnits(std::span<const int> units, std::span<const std::uint8_t> prefix);

// The pad codewords after `used` data codewords, up to `capacity`.
void AppendPadding(std::vector<std::uint8_t>& codewords, int capacity);

} // namespace quillion::dm
