// Code 128 and GS1-128 as symbol values: the bars and spaces of the shortest (or set-B) symbol
// with the stop pattern, quiet zones of ten modules, the text centred under the bars in the
// proportions of the window's caption (Courier New, 40-module bars, a 4-module gap), and what a
// reader reports.
#pragma once

#include "symbols/code128_values.h"
#include "symbols/encode_options.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillion {

// The most characters a Code 128 symbol takes (the most letters "A" the window's engine holds).
// In code set B with the window's stand-ins the window's own limit applies instead: its 16-bit
// weights overflow where a symbol's position times its value passes 32767.
inline constexpr std::size_t kCode128MaxCharacters = 992;
// The most data characters of a GS1-128 symbol (application identifiers included, FNC1 not).
inline constexpr std::size_t kGs1_128MaxDataCharacters = 48;

// options.autoCodeSet: the shortest symbol over code sets A, B and C (else set B alone);
// options.windowStandIns: the window's reading of the text (stand-ins for the function
// characters, fullwidth digits and letters; else ISO 8859-1 text as it is).
Encoded EncodeCode128(std::u16string_view text, const EncodeOptions& options);

// The bracketed GS1 element string, "(01)09501101530003(10)AB-123", in the shortest symbol.
Encoded EncodeGs1_128(std::u16string_view text, const EncodeOptions& options);

// The bar and space widths in modules of the sequence and the stop pattern, a bar first.
std::vector<std::uint8_t> Code128Runs(const Code128Sequence& sequence);

} // namespace quillion
