// The messages with which the linear encoders refuse a text: the window shows the same ones.
#pragma once

#include "symbols/symbol.h"

#include <cstddef>
#include <string>

namespace quillion {

// "1,000".
inline std::string Grouped(std::size_t n) {
    std::string digits = std::to_string(n);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, ',');
    return digits;
}

// "too long for Code 39: 1,200 characters, at most 1,000".
inline Refusal TooLong(const char* what, std::size_t count, std::size_t most, const char* unit) {
    return {kErrorTooLong, std::string("too long for ") + what + ": " + Grouped(count) + " " +
                               unit + ", at most " + Grouped(most)};
}

inline constexpr char16_t kMsgNotNumeric[] = u"Barcode must be all numeric";
inline constexpr char16_t kMsgUpcALength[] = u"Barcode me be 12 digit";
inline constexpr char16_t kMsgUpcELength[] = u"Barcode me be 6 digit";
// Followed by the right check digit.
inline constexpr char16_t kMsgUpcACheckDigit[] = u"Barcode check digit must be ";
inline constexpr char16_t kMsgCode39Characters[] =
    u"Barcode must use only 0-9, A-Z, space and - . $ / + %";
inline constexpr char16_t kMsgAsciiOnly[] = u"Barcode must use only ASCII characters";
inline constexpr char16_t kMsgEan13Length[] = u"Barcode must be 12 or 13 digits";
inline constexpr char16_t kMsgEan8Length[] = u"Barcode must be 7 or 8 digits";
inline constexpr char kMsgEmpty[] = "nothing was painted (the text is empty)";

} // namespace quillion
