// GS1 element strings: "(01)09501101530003(17)250101(10)AB-123", "[01]09501101530003[10]AB-123"
// or a GS1 Digital Link URI "https://id.gs1.org/01/09501101530003/10/AB-123?17=250101", checked
// against the GS1 Barcode Syntax Dictionary (gs1_ai_table.h): every element's components and
// content checks, then the message's mandatory associations, invalid pairs and repeated AIs.
// The result carries the Code 128 units of the data (no leading FNC1: the symbology adds its
// own), what a reader reports, the human-readable interpretation and the GS1 Digital Link URI.
#pragma once

#include "symbols/code128_values.h"

#include <cstddef>
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
    // The data as Code 128 units: AIs and data, kUnitFnc1 after every element whose length is
    // not predefined unless it is the last. No leading FNC1.
    std::vector<Code128Unit> units;
    std::string reading;            // what a reader reports: AIs and data, GS between elements
    std::string hri;                // "(01)09501101530003(10)AB-123", whatever the input form
    std::size_t dataCharacters = 0; // AIs and data, without FNC1 (GS1-128 holds at most 48)
    std::string error;              // UTF-8, naming the element and the rule; "" when valid
};

Gs1Parse ParseGs1(std::u16string_view text);

// The GS1-128 bound: "" when the data characters fit in 48, else the message.
std::string Gs1_128LengthProblem(const Gs1Parse& parse);

// The GS1 Digital Link URI of a valid parse: the primary key and its qualifiers in the path,
// every other element as a query attribute. "" when the elements have no primary key that
// Digital Link carries (or an element that it cannot carry); *why then says which.
std::string Gs1DigitalLinkUri(const Gs1Parse& parse, std::string_view domain = "https://id.gs1.org",
                              std::string* why = nullptr);

// All three forms of an element string, bracketed string or Digital Link URI.
struct Gs1Forms {
    std::string elementString; // AIs and data with GS (0x1D) between elements, as read
    std::string hri;
    std::string digitalLink;     // "" when Digital Link cannot carry the elements
    std::string digitalLinkNote; // why digitalLink is "" (the elements are valid all the same)
    std::string error;           // the text is not valid GS1 data; the rest is ""
};
Gs1Forms DescribeGs1(std::u16string_view text);

// At most `limit` characters of text for a message, non-printable characters escaped (\x1B,
// \u{2028}), "..." after a cut.
std::string QuoteForMessage(std::u16string_view text, std::size_t limit = 40);

} // namespace quillion
