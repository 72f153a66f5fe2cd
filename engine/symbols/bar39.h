// Code 39 renderer: paints the framed symbol and its caption on the surface and sizes the
// surface's width to fit.
#pragma once

#include "draw/surface.h"
#include "symbols/symbol_look.h"

#include <string_view>

namespace quillion {

// With a look other than the usual one, the narrow width is look.moduleWidth (else a fortieth
// of the surface's height), the bars are look.barHeight high (else the usual height times the
// narrow width) and the surface's height becomes the bars' and the caption's, if printed.
// The caption is the upper-cased text unless another one is given (Full ASCII shows its input).
void DrawCode39(std::u16string_view text, DrawingSurface& surface, const SymbolLook& look = {},
                std::u16string_view caption = {});

} // namespace quillion
