// Code 39 renderer: paints the framed symbol and its caption on the surface and sizes the
// surface's width to fit.
#pragma once

#include "draw/surface.h"

#include <string_view>

namespace quillion {

// The caption is the upper-cased text unless another one is given (Full ASCII shows its input).
void DrawCode39(std::u16string_view text, DrawingSurface& surface,
                std::u16string_view caption = {});

} // namespace quillion
