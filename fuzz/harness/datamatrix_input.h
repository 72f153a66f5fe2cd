// One fuzz input for EncodeDataMatrix: a flags byte (GS1, square sizes only, the rectangular
// extensions, ECI), a size byte (0: the smallest that fits; else the size table's entry, or
// with bit 7 a rows x columns pair read from the next two bytes, mostly no size at all), then
// the text (arbitrary UTF-16, at most 3200 units). The answer must be a refusal with one of
// the encoder's numbers and a message, or a symbol of a table size (the one asked for) with
// its finder pattern, 0/1 modules and the text's reading.
#pragma once

#include "byte_reader.h"
#include "symbols/datamatrix.h"
#include "symbols/dm_tables.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

namespace quillion::fuzz {

inline constexpr std::size_t kMaxDataMatrixTextUnits = 3200;

inline std::string RunDataMatrixInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const std::uint8_t flags = in.Byte();
    const std::uint8_t pick = in.Byte();
    EncodeOptions options;
    options.dmSquare = (flags & 2) != 0;
    options.dmRectExtensions = (flags & 4) != 0;
    options.eci = (flags & 8) == 0;
    if ((pick & 0x80) != 0) {
        options.dmRows = in.Byte();
        options.dmColumns = in.Byte();
    } else if (pick != 0) {
        const dm::SymbolSize& s = dm::kSizes[(pick - 1u) % dm::kSizes.size()];
        options.dmRows = s.rows;
        options.dmColumns = s.columns;
    }
    const bool gs1 = (flags & 1) != 0;
    const std::u16string text =
        in.Text(kMaxDataMatrixTextUnits, gs1 ? u"(01)09501101530003(10)AB-1" : u"Quillion 2D");

    const Encoded e = EncodeDataMatrix(text, options, gs1);
    if (const auto* r = std::get_if<Refusal>(&e)) {
        if (r->message.empty())
            return "refusal without a message";
        if (r->number != kErrorArgument && r->number != kErrorRejected &&
            r->number != kErrorTooLong)
            return "refusal number " + std::to_string(r->number);
        return {};
    }
    const Symbol& s = std::get<Symbol>(e);
    const bool known = std::any_of(dm::kSizes.begin(), dm::kSizes.end(), [&](const auto& z) {
        return z.rows == s.rows && z.columns == s.columns &&
               (!z.extension || options.dmRectExtensions) && (z.Square() || !options.dmSquare);
    });
    if (!known)
        return "not a size of the table";
    if (options.dmRows != 0 && (s.rows != options.dmRows || s.columns != options.dmColumns))
        return "not the size asked for";
    if (s.matrix.size() != std::size_t(s.rows) * std::size_t(s.columns))
        return "matrix size";
    if (std::any_of(s.matrix.begin(), s.matrix.end(), [](std::uint8_t m) { return m > 1; }))
        return "module neither 0 nor 1";
    for (int c = 0; c < s.columns; ++c)
        if (!s.Dark(s.rows - 1, c) || s.Dark(0, c) != (c % 2 == 0))
            return "bottom finder or top clock row";
    for (int r = 0; r < s.rows; ++r)
        if (!s.Dark(r, 0))
            return "left finder column";
    if (s.reading.empty())
        return "empty reading";
    if (gs1 != (s.identifier == "]d2"))
        return "identifier";
    if (!gs1 && std::all_of(text.begin(), text.end(), [](char16_t u) { return u <= 0xFF; }) &&
        (s.reading.size() != text.size() ||
         !std::equal(text.begin(), text.end(), s.reading.begin(),
                     [](char16_t u, char b) { return u == static_cast<unsigned char>(b); })))
        return "Latin-1 reading differs from the text";
    return {};
}

} // namespace quillion::fuzz
