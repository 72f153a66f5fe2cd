// UPC-A and UPC-E renderer on a fixed 2-pixel module grid.
#pragma once

#include "surface.h"

#include <string_view>

namespace quillion {

enum class UpcVariant { UpcA, UpcE };

// Paints the symbol of the first 12 (UPC-A) or 6 (UPC-E) characters of digits and makes the
// painting the surface's picture. A character without a decimal value raises RuntimeError 13
// ("Type mismatch") at its position; what was painted before it stays, the picture is not set.
void DrawUpc(DrawingSurface& surface, std::u16string_view digits, UpcVariant variant);

} // namespace quillion
