// Data Matrix ECC 200 (ISO/IEC 16022), with the rectangular extension sizes of ISO/IEC 21471:
// the text in the fewest codewords over the six encodations, the smallest size that holds
// them (or the one asked for), Reed-Solomon error correction and the module placement.
#pragma once

#include "symbols/encode_options.h"

#include <string_view>

namespace quillion {

// The symbol of `text`: ISO 8859-1 text as such, other text as UTF-8 (after ECI 26 when
// options.eci). With gs1, the text is a bracketed GS1 element string ("(01)...(10)...") and
// the symbol starts with FNC1. A matrix Symbol with a one-module quiet zone, or a Refusal:
// kErrorArgument (no text, bad UTF-16, no such size), kErrorRejected (GS1 data),
// kErrorTooLong (more data than the symbol holds; the message says how much fits).
Encoded EncodeDataMatrix(std::u16string_view text, const EncodeOptions& options, bool gs1);

} // namespace quillion
