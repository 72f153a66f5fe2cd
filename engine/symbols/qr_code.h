// QR Code Model 2 (ISO/IEC 18004): versions 1-40, levels L, M, Q and H, numeric, alphanumeric,
// byte and Kanji segments mixed for the fewest bits, the mask by the penalty rules, GS1 (FNC1
// in first position).
#pragma once

#include "symbols/encode_options.h"

#include <string_view>

namespace quillion {

// The symbol of a text: the smallest version that holds it (or options.qrVersion), at
// options.ecc raised to the highest level the version holds at no cost (unless
// options.keepEcc), with options.mask or the mask of the lowest penalty. Text in ISO 8859-1 is
// encoded as such, without ECI unless its bytes would pass for UTF-8 or Shift JIS with a reader
// that guesses (then ECI 3, when options.eci); text of ASCII and the characters of Shift JIS's
// double-byte set as Shift JIS, those characters in Kanji mode; other text as UTF-8, after the
// ECI designator 26 when options.eci. With gs1, the text is a GS1 element string in brackets,
// "(01)09501101530003(10)AB-123"; a literal % goes in byte mode (ZXing-C++ 1.4 misreads "%%").
//
// The symbol's reading is the data's bytes as encoded (ISO 8859-1, Shift JIS or UTF-8; for GS1
// the element string with GS between elements), its identifier "]Q3" for GS1, and its quiet
// zones 4 modules on every side. Refusals: kErrorArgument (no text, a lone surrogate, an
// option out of range), kErrorRejected (GS1 data that is not valid) and kErrorTooLong (more data
// than version 40 or the version asked for holds).
Encoded EncodeQr(std::u16string_view text, const EncodeOptions& options, bool gs1);

} // namespace quillion
