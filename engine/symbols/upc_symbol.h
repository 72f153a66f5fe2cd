// UPC-A, UPC-E, EAN-13 and EAN-8 (ISO/IEC 15420, GS1 General Specifications) as symbols, on
// one table of digit patterns: bars 69.24 modules high for UPC and EAN-13 (22.85 mm at the
// nominal 0.33 mm) and 55.24 for EAN-8 (18.23 mm), guard bars 5 modules longer, the digits
// under the bars and in the light margins.
#pragma once

#include "symbols/encode_options.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quillion {

// The bars and spaces in modules, a bar first, of UPC-A's twelve digits (0-9) as they are, the
// last one taken for the check digit without verifying it: what EncodeUpcA makes of them.
std::vector<std::uint8_t> UpcARuns(std::span<const int, 12> digits);

// 11 digits (the check digit appended) or 12 (verified).
Encoded EncodeUpcA(std::u16string_view text, const EncodeOptions& options);
// 6 digits, number system 0; the check digit is carried by the parity pattern.
Encoded EncodeUpcE(std::u16string_view text, const EncodeOptions& options);
// 12 digits (the check digit appended) or 13 (verified).
Encoded EncodeEan13(std::u16string_view text, const EncodeOptions& options);
// 7 digits or 8.
Encoded EncodeEan8(std::u16string_view text, const EncodeOptions& options);

} // namespace quillion
