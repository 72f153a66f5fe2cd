// Encoding a raster image as PNG, in the smallest of three lossless forms: 1-bit greyscale when
// every pixel is pure black or white (a barcode without grey), 8-bit greyscale when every pixel
// is grey, 8-bit RGB otherwise; or, asked for, 8-bit RGBA. Each decodes to exactly the image's
// pixels.
#pragma once

#include "draw/color.h"

#include <cstdint>
#include <vector>

namespace quillion::library {

class PngEncoder {
public:
    PngEncoder();
    ~PngEncoder();
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;

    // Encodes the image into out (replacing its content), with a pHYs chunk giving the
    // resolution when pixelsPerMetre is above 0; with alpha, as 8-bit RGBA with the pixels'
    // alpha (the top byte). Returns false for an image without pixels.
    // The encoder keeps its buffers for the next image.
    bool Encode(const Image& image, std::vector<std::uint8_t>& out,
                std::uint32_t pixelsPerMetre = 0, bool alpha = false);

private:
    std::vector<std::uint8_t> raw_;        // filtered scanlines
    std::vector<std::uint8_t> compressed_; // their zlib stream
};

} // namespace quillion::library
