// Quillion's table of GS1 application identifiers, generated from the GS1 Barcode Syntax
// Dictionary (data/gs1/gs1-syntax-dictionary.txt) by scripts/gs1_table.py: every AI with its
// components (character set, lengths, content checks), whether an FNC1 must follow it, its
// mandatory associations (req), invalid pairs (ex) and GS1 Digital Link role.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace quillion {

enum class Gs1Lint : std::uint8_t;

struct Gs1Component {
    char cset; // 'N' digits, 'X' CSET 82, 'Y' CSET 39, 'Z' CSET 64
    std::uint8_t minLength, maxLength;
    bool optional;
    std::array<Gs1Lint, 3> lints;
};

struct Gs1AiEntry {
    std::string_view ai;
    bool predefinedLength; // no FNC1 after it
    bool dlAttribute;      // may be a GS1 Digital Link query attribute
    std::uint8_t componentCount;
    std::array<Gs1Component, 5> components;
    std::string_view req;    // groups: space between req= keys, ',' alternatives, '+' together
    std::string_view ex;     // ',' between AIs or patterns ('n' any digit)
    std::string_view dlpkey; // "" none, "*" a primary key without qualifiers, else "22,10,21|235"
    std::string_view title;
};

#include "symbols/gs1_ai_table.inc"

// The entry of an AI given as digits, nullptr when the dictionary has none.
const Gs1AiEntry* FindGs1Ai(std::string_view ai);

} // namespace quillion
