#include "symbols/upc_digits.h"

#include <string_view>

namespace quillion {
namespace {

// UPC-E parity patterns of number system 0, by check digit: 'E' even parity (number set B),
// 'O' odd parity (number set A). GS1 General Specifications, UPC-E encodation table.
constexpr std::array<std::string_view, 10> kUpcEParity = {
    "EEEOOO", // 0
    "EEOEOO", // 1
    "EEOOEO", // 2
    "EEOOOE", // 3
    "EOEEOO", // 4
    "EOOEEO", // 5
    "EOOOEE", // 6
    "EOEOEO", // 7
    "EOEOOE", // 8
    "EOOEOE", // 9
};

} // namespace

int Gs1CheckDigit(std::span<const int> digits) {
    int sum = 0;
    int weight = 3;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        sum += weight * *it;
        weight = 4 - weight;
    }
    return (10 - sum % 10) % 10;
}

std::array<int, 11> ExpandUpcE(const UpcEDigits& d) {
    switch (d[5]) {
    case 0:
    case 1:
    case 2: // manufacturer ddX00, product 00ddd
        return {0, d[0], d[1], d[5], 0, 0, 0, 0, d[2], d[3], d[4]};
    case 3: // manufacturer ddd00, product 000dd
        return {0, d[0], d[1], d[2], 0, 0, 0, 0, 0, d[3], d[4]};
    case 4: // manufacturer dddd0, product 0000d
        return {0, d[0], d[1], d[2], d[3], 0, 0, 0, 0, 0, d[4]};
    default: // manufacturer ddddd, product 0000X
        return {0, d[0], d[1], d[2], d[3], d[4], 0, 0, 0, 0, d[5]};
    }
}

int UpcECheckDigit(const UpcEDigits& digits) {
    return Gs1CheckDigit(ExpandUpcE(digits));
}

std::array<bool, 6> UpcEEvenParity(int checkDigit) {
    std::array<bool, 6> even{};
    const std::string_view pattern = kUpcEParity.at(static_cast<std::size_t>(checkDigit));
    for (std::size_t i = 0; i < even.size(); ++i)
        even[i] = pattern[i] == 'E';
    return even;
}

std::string UpcEReading(const UpcEDigits& digits) {
    std::string reading = "0";
    for (const int d : digits)
        reading += static_cast<char>('0' + d);
    reading += static_cast<char>('0' + UpcECheckDigit(digits));
    return reading;
}

} // namespace quillion
