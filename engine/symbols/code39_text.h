// Code 39 beyond its 43 characters: the modulo-43 check character and Full ASCII, which
// writes every ASCII character as one of the 43 or as a shift pair ($, %, / or + and a letter).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillion {

// The check character of a text of Code 39 characters (digits, upper-case letters, space and
// - . $ / + %): the character whose value is the sum of the values modulo 43.
char16_t Code39CheckCharacter(std::u16string_view text);

// The Code 39 characters that encode an ASCII text in Full ASCII; empty when a character is
// beyond ASCII (above U+007F).
std::optional<std::u16string> Code39FullAscii(std::u16string_view text);

} // namespace quillion
