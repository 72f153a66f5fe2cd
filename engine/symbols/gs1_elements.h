// GS1 element strings in the bracketed form "(01)09501101530003(17)250101(10)AB-123": the
// application identifiers known here, their lengths, character sets and check digits, and the
// Code 128 units of a GS1-128 symbol (FNC1 first, FNC1 after every element of a length that is
// not predefined, unless it is the last).
#pragma once

#include "symbols/code128_values.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillion {

struct Gs1Element {
    std::string ai;   // "01"
    std::string data; // "09501101530003"
};

struct Gs1Parse {
    std::vector<Gs1Element> elements;
    std::vector<Code128Unit> units; // for the symbol
    std::string reading;            // what a reader reports: AIs and data, GS between elements
    std::string error;              // UTF-8, naming the element; "" when the text is valid
};

Gs1Parse ParseGs1(std::u16string_view text);

} // namespace quillion
