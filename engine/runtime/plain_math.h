// Decimal numbers and rounding without the maths library: quillion-render then loads no libm
// at start-up (each one-shot run pays for every library it loads). Results are those of
// std::from_chars and std::lround.
#pragma once

#include <charconv>

namespace quillion {

// Reads a decimal number at first as std::from_chars(first, last, value, format) does with
// chars_format::general (exponent) or chars_format::fixed (no exponent): an optional '-',
// digits with an optional '.', then for general an optional exponent ('e' or 'E', a sign,
// digits); correctly rounded. ptr is where the number ends; ec is invalid_argument when there is
// none (ptr is then first; "inf" and "nan" are none here), result_out_of_range when it is too
// large for a double or rounds to zero though not zero (value is then left as it was).
std::from_chars_result ReadDecimal(const char* first, const char* last, double& value,
                                   bool exponent = true);

// v rounded to the nearest whole number, halves away from zero (std::lround). Beyond the range
// of long (and NaN): the nearest end of it.
long RoundToLong(double v);

} // namespace quillion
