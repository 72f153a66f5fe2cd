// One fuzz input for the Code 128 encoder: a flags byte, then units (ISO 8859-1 bytes; with flag
// 1, byte 0 escapes the next, which picks FNC1..FNC4 or a NUL), encoded in the shortest symbol
// (or set B alone with flag 2). The sequence must be well formed (a start code, values below
// 103, the right check value), no longer than set B's when that reads the same, and must decode, by
// the reader's rules of ISO/IEC 15417 written out here on their own, to Code128UnitsReading and
// Code128Identifier.
#pragma once

#include "byte_reader.h"
#include "symbols/code128_values.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillion::fuzz {

inline constexpr std::size_t kMaxCode128AutoUnits = 4000;

struct Code128Decoding {
    std::string bytes;
    char modifier = '0';
    std::string error; // "" when the values are a well-formed symbol
};

// A reader's decoding of the values (start code, data, check value).
inline Code128Decoding DecodeCode128Values(const Code128Sequence& values) {
    Code128Decoding d;
    if (values.size() < 2 || values.front() < 103 || values.front() > 105)
        return {{}, '0', "no start code"};
    std::int64_t sum = values.front();
    for (std::size_t k = 1; k + 1 < values.size(); ++k)
        sum += static_cast<std::int64_t>(k) * values[k];
    if (values.back() != sum % 103)
        return {{}, '0', "wrong check value"};
    char set = static_cast<char>('A' + (values.front() - 103));
    bool shifted = false, fnc4All = false, fnc4Next = false;
    for (std::size_t k = 1; k + 1 < values.size(); ++k) {
        const int v = values[k];
        if (v > 102)
            return {{}, '0', "a start code or worse within the data"};
        const char here = shifted ? (set == 'A' ? 'B' : 'A') : set;
        shifted = false;
        if (v == 102) { // FNC1
            const std::string& t = d.bytes;
            const auto letter = [](char c) {
                return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            };
            const auto digit = [](char c) { return c >= '0' && c <= '9'; };
            if (t.empty())
                d.modifier = '1';
            else if ((here == 'C' && t.size() == 2 && digit(t[0]) && digit(t[1])) ||
                     (here != 'C' && t.size() == 1 && letter(t[0])))
                d.modifier = '2';
            else
                d.bytes += '\x1D';
        } else if (here == 'C') {
            if (v < 100) {
                d.bytes += static_cast<char>('0' + v / 10);
                d.bytes += static_cast<char>('0' + v % 10);
            } else {
                set = v == 100 ? 'B' : 'A';
            }
        } else if (v == 96 || v == 97) { // FNC3, FNC2
        } else if (v == 98) {
            shifted = true;
        } else if (v == 99) {
            set = 'C';
        } else if ((v == 101 && here == 'A') || (v == 100 && here == 'B')) { // FNC4
            if (fnc4Next)
                fnc4All = !fnc4All;
            fnc4Next = !fnc4Next;
        } else if (v == 100 || v == 101) {
            set = v == 100 ? 'B' : 'A';
        } else {
            const int ascii = here == 'A' && v >= 64 ? v - 64 : v + 32;
            d.bytes += static_cast<char>(ascii + (fnc4All != fnc4Next ? 128 : 0));
            fnc4Next = false;
        }
    }
    return d;
}

inline std::vector<Code128Unit> ReadCode128Units(ByteReader& in, bool functions) {
    std::vector<Code128Unit> units;
    while (!in.AtEnd() && units.size() < kMaxCode128AutoUnits) {
        const std::uint8_t b = in.Byte();
        if (b == 0 && functions) {
            const int pick = in.Byte() % 5;
            units.push_back(pick == 4 ? 0 : kUnitFnc1 + pick);
        } else {
            units.push_back(b);
        }
    }
    return units;
}

// Runs the input; "" when every rule held, else the rule that broke.
inline std::string RunCode128AutoInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const std::uint8_t flags = in.Byte();
    const std::vector<Code128Unit> units = ReadCode128Units(in, (flags & 1) != 0);
    const Code128CodeSet set = (flags & 2) != 0 ? Code128CodeSet::B : Code128CodeSet::Auto;
    const Code128Sequence values = EncodeCode128Units(units, set);
    const Code128Decoding d = DecodeCode128Values(values);
    if (!d.error.empty())
        return d.error;
    // Set B's symbol is one of those the shortest search weighs, unless it reads otherwise (FNC1
    // after two digits is an application indicator only in set C).
    const Code128Sequence setB = EncodeCode128Units(units, Code128CodeSet::B);
    if (set == Code128CodeSet::Auto && values.size() > setB.size() &&
        Code128UnitsReading(units, Code128CodeSet::B) == d.bytes)
        return "the shortest symbol is longer than set B's";
    if (d.bytes != Code128UnitsReading(units, set))
        return "the symbol does not read as Code128UnitsReading says";
    const std::string identifier = Code128Identifier(units, set);
    if (identifier != (d.modifier == '0' ? std::string() : std::string("]C") + d.modifier))
        return "the symbology identifier is not Code128Identifier's";
    return {};
}

} // namespace quillion::fuzz
