// The linear symbols the window does not make, and its Code 128 and Code 39 with the options
// it does not have, painted without the window: EAN-13, EAN-8, GS1-128, Code 39 Full ASCII,
// Code 128 with automatic code sets or characters beyond ASCII, Code 39 with its check
// character. Each is painted in the style of its window relative: Code 128 and GS1-128 as the
// window's Code 128 (caption font, bar height, module width 1), Code 39 as its Code 39, EAN on
// UPC's 2-pixel grid and height.
#pragma once

#include "draw/surface.h"
#include "symbols/code128_values.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quillion {

enum class LinearType { Code128, Code39, Ean13, Ean8, Gs1_128, Code39FullAscii };

struct LinearOptions {
    LinearType type = LinearType::Code128;
    Code128CodeSet codeSet = Code128CodeSet::B;
    bool checkDigit = false; // Code 39 and Code 39 Full ASCII: the modulo-43 character
    // As the window's controls: caption ticked, its position (0 bottom, 1 top) and font style
    // index (0 regular .. 4 underline); Code 128 and GS1-128 only.
    bool caption = true;
    int captionPositionIndex = 0;
    int fontStyleIndex = 0;
};

// A refusal: number 0 for input the type's rules refuse (the window's messages, GS1 element
// errors), or the Code 128 engine's code with its message.
struct LinearOutcome {
    std::int32_t number = 0;
    std::string message; // UTF-8; "" when the symbol was painted
    bool Painted() const { return message.empty(); }
};

// Whether the window's own renderer paints exactly this (Code 128 in set B on a text the
// window takes, Code 39 without check character): such symbols take the window's path.
bool WindowPaints(const LinearOptions& options, std::u16string_view text);

// Checks the text for the type and paints its symbol on the surface, which takes the size of
// the picture; the surface's picture is the symbol. RuntimeErrors of the painting pass
// through. On a refusal the surface is left as it was.
LinearOutcome PaintLinear(const LinearOptions& options, std::u16string_view text,
                          DrawingSurface& surface);

// For Code 128 and GS1-128: the symbol values of the text (start code, data, check value), or
// the refusal.
LinearOutcome LinearCode128Sequence(const LinearOptions& options, std::u16string_view text,
                                    Code128Sequence& sequence);

// What a reader reports for the symbol of a text PaintLinear takes, as bytes: ISO 8859-1 for
// Code 128, GS1 element strings with GS (29) between elements, the input for Full ASCII, the
// upper-cased text for Code 39 (a reader that checks the modulo-43 character drops it), all
// 13 or 8 digits for EAN.
std::string LinearReading(const LinearOptions& options, std::u16string_view text);

} // namespace quillion
