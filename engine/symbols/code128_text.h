// Code 128 text handling in code set B: which characters a text may hold, and the symbol
// values (Start B, data, optional check symbol) a text encodes to.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quillion {

// Symbol values in painting order: Start B (104), the data values, then the check value when
// one was asked for. The stop pattern is implied at the end.
using Code128Sequence = std::vector<std::uint8_t>;

// True when every character of the text can be encoded. Stops at the first one that cannot.
bool CheckCode128Text(std::u16string_view text);

// The symbol sequence of a text that passed CheckCode128Text; the check symbol is appended only
// when checkCharacter is exactly 1. Weights and products are 16-bit and the weighted sum 32-bit,
// all overflow-trapping: a long enough text raises RuntimeError 6.
Code128Sequence EncodeCode128(std::u16string_view text, std::int32_t checkCharacter);

} // namespace quillion
