// Barcode pictures for the core tests, painted with the engine the way the window paints them.
#pragma once

#include "draw/color.h"

#include <string>

namespace quillion::testing {

// Code 128 with the window's request (Courier New 10 pt caption below, bar height 40, module 1,
// check symbol) on a 427 x 73 pixel area, cut to the painted size.
Image PaintCode128(const std::u16string& text);
// Code 39 on a 427 x 56 pixel area at 10 points; the renderer sets the width.
Image PaintCode39(const std::u16string& text);
// UPC-A on a 515 x 109 pixel area in pixel units (the picture is the surface's whole image).
Image PaintUpcA(const std::u16string& digits);

} // namespace quillion::testing
