// Digit rules of UPC-A and UPC-E (GS1 General Specifications): the check digit, the UPC-A
// number a six-digit UPC-E stands for, and the parity pattern that carries the UPC-E check digit.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quillion {

using UpcEDigits = std::array<int, 6>;

// The decimal values of the text's characters when all of them are ASCII digits.
template <std::size_t N> std::optional<std::array<int, N>> AsciiDigits(std::u16string_view text) {
    if (text.size() != N)
        return std::nullopt;
    std::array<int, N> digits{};
    for (std::size_t i = 0; i < N; ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
        digits[i] = text[i] - u'0';
    }
    return digits;
}

// The GS1 check digit of the digits before it: weights 3, 1, 3, ... from the rightmost digit.
int Gs1CheckDigit(std::span<const int> digits);

// The eleven digits (number system 0 first, no check digit) of the UPC-A that the zero-suppressed
// UPC-E digits stand for; the last UPC-E digit says where the zeros go.
std::array<int, 11> ExpandUpcE(const UpcEDigits& digits);

// The check digit of a number-system-0 UPC-E: that of the UPC-A it expands to.
int UpcECheckDigit(const UpcEDigits& digits);

// For each of the six UPC-E digits, whether it is painted in even parity (number set B), for
// number system 0 and the given check digit.
std::array<bool, 6> UpcEEvenParity(int checkDigit);

// The eight digits a reader gives for a number-system-0 UPC-E: "0", the six digits, the check
// digit.
std::string UpcEReading(const UpcEDigits& digits);

} // namespace quillion
