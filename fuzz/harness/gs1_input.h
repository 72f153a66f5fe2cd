// One fuzz input for the GS1 parser and the GS1 Digital Link converter: a mode byte, then the
// text. Mode 0 reads every byte as one character (ISO 8859-1), mode 1 the bytes as UTF-16LE,
// mode 2 puts "https://id.gs1.org/" before the bytes and mode 3 "(01)09501101530003" (so most
// inputs reach the URI converter and the message-wide rules). The rules: a parse either fails
// with a message or has elements; a message is short and holds no raw control character; the
// units, reading, HRI and character count agree; the escaped bracketed form and the Digital Link
// URI of an accepted text, and its element string as a reader reports it, parse back to the
// same elements.
#pragma once

#include "symbols/gs1_elements.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillion::fuzz {

inline constexpr std::size_t kMaxGs1Bytes = 4096;

inline std::vector<std::pair<std::string, std::string>> SortedElements(const Gs1Parse& p) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const Gs1Element& e : p.elements)
        out.emplace_back(e.ai, e.data);
    std::sort(out.begin(), out.end());
    return out;
}

inline std::string RunGs1Input(const std::uint8_t* data, std::size_t size) {
    size = std::min(size, kMaxGs1Bytes);
    const std::uint8_t mode = size > 0 ? data[0] % 4 : 0;
    std::u16string text = mode == 2   ? u"https://id.gs1.org/"
                          : mode == 3 ? u"(01)09501101530003"
                                      : u"";
    if (mode == 1) {
        for (std::size_t i = 1; i + 1 < size; i += 2)
            text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    } else {
        for (std::size_t i = 1; i < size; ++i)
            text += static_cast<char16_t>(data[i]);
    }
    const Gs1Parse parse = ParseGs1(text);
    if (!parse.error.empty()) {
        if (!parse.elements.empty() || !parse.units.empty())
            return "a refused text kept elements";
        if (parse.error.size() > 600)
            return "message longer than 600 bytes";
        for (const char c : parse.error)
            if ((static_cast<unsigned char>(c) < 0x20) || c == 0x7F)
                return "raw control character in the message";
        return {};
    }
    if (parse.elements.empty())
        return "an accepted text without elements";
    std::string fromUnits, hri, bracketed;
    std::size_t count = 0;
    for (const Code128Unit u : parse.units) {
        if (u != kUnitFnc1 && (u < 0 || u > 127))
            return "unit beyond ASCII";
        fromUnits += u == kUnitFnc1 ? '\x1D' : static_cast<char>(u);
    }
    for (const Gs1Element& e : parse.elements) {
        hri += "(" + e.ai + ")" + e.data;
        bracketed += "(" + e.ai + ")";
        for (const char c : e.data) {
            if (c == '(' || c == '[' || c == '\\')
                bracketed += '\\';
            bracketed += c;
        }
        count += e.ai.size() + e.data.size();
    }
    if (fromUnits != parse.reading || hri != parse.hri || count != parse.dataCharacters)
        return "units, reading, HRI and count disagree";
    const Gs1Parse again = ParseGs1(std::u16string(bracketed.begin(), bracketed.end()));
    if (!again.error.empty() || again.reading != parse.reading)
        return "the escaped bracketed form does not parse back";
    const Gs1Parse read = ParseGs1(std::u16string(parse.reading.begin(), parse.reading.end()));
    if (!read.error.empty() || read.reading != parse.reading)
        return "the element string as read does not parse back";
    const std::string uri = Gs1DigitalLinkUri(parse);
    if (!uri.empty()) {
        const Gs1Parse fromUri = ParseGs1(std::u16string(uri.begin(), uri.end()));
        if (!fromUri.error.empty() || SortedElements(fromUri) != SortedElements(parse))
            return "the Digital Link URI does not parse back: " + uri;
    }
    return {};
}

} // namespace quillion::fuzz
