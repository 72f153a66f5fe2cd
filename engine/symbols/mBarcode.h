// UPC-A and UPC-E renderer on a fixed 2-pixel module grid.
#pragma once

#include "draw/surface.h"
#include "symbols/symbol_look.h"

#include <string_view>

namespace quillion {

enum class UpcVariant { UpcA, UpcE };

// Paints the symbol of the first 12 (UPC-A) or 6 (UPC-E) characters of digits and makes the
// painting the surface's picture.
//
// UPC-A (200 x height pixels) encodes the twelve digits as given, the last one included, with
// the digits printed under the bars. UPC-E (124 x height) takes the six digits as a UPC-E of
// number system 0: the standard 51-module symbol, whose digit parities carry the check digit,
// with all eight digits printed: the number system and the check digit outside the guards.
//
// A character without a decimal value raises RuntimeError 13 ("Type mismatch"): for UPC-A at
// its position, what was painted before it staying; for UPC-E before any bar is painted (the
// parities need every digit). The picture is not set then.
//
// A look other than the usual one sets the module (look.moduleWidth pixels, the printed digits
// and the room for them growing with it), the height of the digit bars (look.barHeight, else the
// usual height grown with the module; the side guards reach 15 rows further at the usual
// module) and whether the digits are printed; the surface takes the symbol's height.
void DrawUpc(DrawingSurface& surface, std::u16string_view digits, UpcVariant variant,
             const SymbolLook& look = {});

} // namespace quillion
