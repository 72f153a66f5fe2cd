// Independent barcode reading for tests: ZXing-C++ over a raster image.
#pragma once

#include "draw/color.h"

#include <string>

namespace quillion::testing {

struct Decoded {
    bool ok = false;
    std::string format; // "Code128", "Code39", "UPC-A", "DataMatrix", ...
    std::string text;
    std::string identifier; // "]d2" for GS1 Data Matrix, "]d1" for other Data Matrix, ...
    // The bytes the symbol carries, before any character set is applied (ZXing-C++ 1.4 gives an
    // empty text() for some Latin-1 Base 256 data, never wrong bytes).
    std::string bytes;
};

// Reads the first barcode of the image with ZXing-C++, after adding a white margin of
// `margin` pixels on every side (readers need a quiet zone the renderers do not paint).
Decoded DecodeImage(const Image& image, int margin = 20);

} // namespace quillion::testing
