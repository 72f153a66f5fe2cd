// Encoding a raster image as PNG, in the smallest of three lossless forms: 1-bit greyscale when
// every pixel is pure black or white (a barcode without grey), 8-bit greyscale when every pixel
// is grey, 8-bit RGB otherwise; or, asked for, 8-bit RGBA. Each decodes to exactly the image's
// pixels.
#pragma once

#include "draw/bilevel.h"
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
    // The same for a 1-bit raster: the file Encode writes for its pixels, byte for byte.
    bool Encode(const Bilevel& image, std::vector<std::uint8_t>& out,
                std::uint32_t pixelsPerMetre = 0);

private:
    // Writes the file around the filtered scanlines in raw_.
    void WriteFile(int width, int height, std::uint8_t depth, std::uint8_t colour,
                   std::uint32_t pixelsPerMetre, std::vector<std::uint8_t>& out);
    std::vector<std::uint8_t> raw_;        // filtered scanlines
    std::vector<std::uint8_t> compressed_; // their zlib stream
};

} // namespace quillion::library
