// One fuzz input for the linear encoders on the symbol model: a selector byte (UPC-A, UPC-E,
// EAN-13, EAN-8, Code 39, Code 39 Full ASCII; bit 3 the check character), then the text
// (arbitrary UTF-16, at most 256 units). The rules: an encoder refuses with a message or gives
// a symbol whose runs start and end with a bar, are 1 to 4 modules each, add up to the width
// the symbology has for the text, and whose reading is what a reader reports for it.
#pragma once

#include "byte_reader.h"
#include "symbols/code39_symbol.h"
#include "symbols/upc_symbol.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillion::fuzz {

inline std::string RunLinearInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const std::uint8_t selector = in.Byte();
    const std::u16string text = in.Text(256, u"590123412345");
    EncodeOptions options;
    options.checkDigit = (selector & 8) != 0;
    Encoded (*const encoders[])(std::u16string_view, const EncodeOptions&) = {
        EncodeUpcA, EncodeUpcE, EncodeEan13, EncodeEan8, EncodeCode39, EncodeCode39FullAscii};
    const std::size_t which = (selector & 7) % 6;
    const Encoded e = encoders[which](text, options);
    if (const auto* refusal = std::get_if<Refusal>(&e))
        return refusal->message.empty() ? "a refusal without a message" : "";
    const Symbol& s = std::get<Symbol>(e);
    if (s.runs.empty() || s.runs.size() % 2 == 0)
        return "the runs do not start and end with a bar";
    for (const std::uint8_t r : s.runs)
        if (r < 1 || r > 4)
            return "a run of " + std::to_string(r) + " modules";
    const int width = s.WidthModules();
    const std::size_t digits = s.reading.size();
    switch (which) {
    case 0:
        return width == 95 && digits == 12 ? "" : "UPC-A is not 95 modules of 12 digits";
    case 1:
        return width == 51 && digits == 8 ? "" : "UPC-E is not 51 modules of 8 digits";
    case 2:
        return width == 95 && digits == 13 ? "" : "EAN-13 is not 95 modules of 13 digits";
    case 3:
        return width == 67 && digits == 8 ? "" : "EAN-8 is not 67 modules of 8 digits";
    default: {
        // Code 39: 13 modules a character with its gap, start and stop included, less the
        // first gap; Full ASCII reads back as its text.
        if ((width + 1) % 13 != 0)
            return "Code 39 is " + std::to_string(width) + " modules";
        if (which == 5 && s.reading.size() != text.size())
            return "Code 39 Full ASCII does not read back as its text";
        return "";
    }
    }
}

} // namespace quillion::fuzz
