// Input checks of the generate handler.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillion {

// UPC input: ASCII digits 0-9 only, at least one.
bool IsAllDigits(std::u16string_view text);

// UPC-A input: for twelve ASCII digits whose last one is not the GS1 check digit of the first
// eleven, the digit it must be; nothing otherwise (a right check digit, or any other text).
std::optional<char16_t> WrongUpcACheckDigit(std::u16string_view text);

// UPC-A input of eleven ASCII digits with its GS1 check digit appended; any other text as it is.
std::u16string WithUpcACheckDigit(std::u16string_view text);

// Code 39 input: every character has a Code 39 pattern (0-9, A-Z, a-z, which the renderer
// upper-cases, space and - . $ / + %). The empty text passes.
bool IsCode39Text(std::u16string_view text);

} // namespace quillion
