// Encoding a raster image as PNG, in the smallest of three lossless forms: 1-bit greyscale when
// every pixel is pure black or white (a barcode without grey), 8-bit greyscale when every pixel
// is grey, 8-bit RGB otherwise. Each decodes to exactly the image's pixels.
#pragma once

#include "draw/color.h"

#include <cstdint>
#include <vector>

namespace quillion::cli {

class PngEncoder {
public:
    PngEncoder();
    ~PngEncoder();
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;

    // Encodes the image into out (replacing its content), with a pHYs chunk giving the
    // resolution when pixelsPerMetre is above 0. Returns false for an image without pixels.
    // The encoder keeps its buffers for the next image.
    bool Encode(const Image& image, std::vector<std::uint8_t>& out,
                std::uint32_t pixelsPerMetre = 0);

private:
    std::vector<std::uint8_t> raw_;        // filtered scanlines
    std::vector<std::uint8_t> compressed_; // their zlib stream
};

} // namespace quillion::cli
