// Independent barcode reading for tests: ZXing-C++ over a raster image.
#pragma once

#include "draw/color.h"

#include <string>

namespace quillion::testing {

struct Decoded {
    bool ok = false;
    std::string format; // "Code128", "Code39", "UPC-A", "DataMatrix", ...
    std::string text;
    std::string bytes;      // the content as encoded (ISO 8859-1 for Code 128)
    std::string identifier; // the symbology identifier, "]C0", "]C1", ...
};

// Reads the first barcode of the image with ZXing-C++, after adding a white margin of
// `margin` pixels on every side (readers need a quiet zone the renderers do not paint).
Decoded DecodeImage(const Image& image, int margin = 20);

// The same for one format (ZXing-C++'s name: "Code128", "QRCode", ...), Code 39 read as Full
// ASCII and its check character checked and dropped when asked.
struct ReadAs {
    std::string format;
    bool fullAscii = false;
    bool checkCharacter = false;
};
Decoded DecodeImage(const Image& image, const ReadAs& how, int margin = 20);

} // namespace quillion::testing
