// Code 39 renderer: paints the framed symbol and its caption on the surface and sizes the
// surface's width to fit.
#pragma once

#include "draw/surface.h"

#include <string_view>

namespace quillion {

void DrawCode39(std::u16string_view text, DrawingSurface& surface);

} // namespace quillion
