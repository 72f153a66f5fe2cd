// Locale-aware upper-casing of 16-bit text, one code unit at a time.
#pragma once

#include <string>
#include <string_view>

namespace quillion {

// Each code unit of the Basic Multilingual Plane is mapped to its simple (one-to-one) Unicode
// upper-case form, as the C.UTF-8 locale defines it: "a" -> "A", U+00E9 -> U+00C9,
// U+00FF -> U+0178, fullwidth "a" -> fullwidth "A". Mappings that would change the length
// (U+00DF stays U+00DF) are not applied, and surrogate code units are left as they are, so
// the result always has the length of the input.
std::u16string ToUpperCase(std::u16string_view text);

} // namespace quillion
