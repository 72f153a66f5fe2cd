// Code 39 (ISO/IEC 16388) as a symbol: narrow elements one module, wide ones two, the gap
// between characters one; 10 modules of quiet zone each side.
#pragma once

#include "symbols/encode_options.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace quillion {

// The bars and spaces in modules, a bar first, of the start character, the characters of
// `codes` (indices into code39_patterns.h; a code without a pattern adds nothing) and the stop
// character: the runs of every Code 39 symbol, also of the window's.
std::vector<std::uint8_t> Code39Runs(std::u16string_view codes);

// 0-9, A-Z (lower case is raised), space and - . $ / + %; options.checkDigit adds the
// modulo-43 character.
Encoded EncodeCode39(std::u16string_view text, const EncodeOptions& options);

// Every ASCII character, through the shift pairs of Full ASCII; the caption is the text.
Encoded EncodeCode39FullAscii(std::u16string_view text, const EncodeOptions& options);

} // namespace quillion
