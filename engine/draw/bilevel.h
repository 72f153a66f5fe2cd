// A black-and-white raster at one bit per pixel, and the painting of a paint record onto one:
// a barcode without grey is kept, compared and written at a thirty-second of its 32-bit size.
#pragma once

#include "draw/color.h"
#include "draw/paint_record.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillion {

// Rows of whole bytes, top row first, the first pixel of a row in the highest bit, 1 white and
// 0 black, the bits past the width 0: the scanlines of a 1-bit greyscale PNG.
struct Bilevel {
    int width = 0;
    int height = 0;
    std::size_t stride = 0; // bytes per row
    std::vector<std::uint8_t> bits;

    const std::uint8_t* Row(int y) const { return bits.data() + std::size_t(y) * stride; }
    bool White(int x, int y) const { return (Row(y)[x / 8] >> (7 - x % 8)) & 1; }
    bool operator==(const Bilevel&) const = default;
};

// Paints the record onto a white raster of width x height, pixel for pixel as ReplayPaintRecord
// paints it onto a white Image. False when the painting holds a colour other than black and
// white (out is then unspecified).
bool ReplayBilevel(const PaintRecord& record, int width, int height, Bilevel& out);

// Sets the pixels of box that lie inside the raster to white or black.
void FillBilevel(Bilevel& raster, const PixelBox& box, bool white);

// The raster as 32-bit pixels.
Image ToImage(const Bilevel& bilevel);

// Packs a row of width pixels into bits as a Bilevel row holds them (the last byte's spare bits
// 0). False when a pixel is neither pure black nor pure white (alpha is not looked at).
bool PackBilevelRow(const Pixel* row, int width, std::uint8_t* bits);
// Unpacks the first width pixels of a Bilevel row.
void UnpackBilevelRow(const std::uint8_t* bits, int width, Pixel* row);

} // namespace quillion
