// What a drawing surface painted, kept as drawing operations in the order they were done:
// pixel rectangles filled with one colour, and runs of text drawn in a realised font. Vector
// writers turn it into shapes and text; replaying it onto a blank raster gives the surface's
// image again.
#pragma once

#include "draw/color.h"
#include "draw/raster.h"
#include "fonts/fonts.h"

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace quillion {

struct PaintedFill {
    PixelBox box; // as asked, before clipping to the image
    Pixel pixel;
};

struct PaintedText {
    std::int64_t x = 0, y = 0; // the text cell's top-left corner
    std::string ansi;          // Windows-1252
    std::shared_ptr<const Font> font;
    COLORREF color = 0;
    int charExtra = 0; // pixels after each character
    TextClip clip;
};

using PaintOperation = std::variant<PaintedFill, PaintedText>;

struct PaintRecord {
    std::vector<PaintOperation> operations;
    // False once the image took pixels the operations do not describe (a copy from a surface
    // that was not recorded).
    bool complete = true;
};

// Paints the record's operations onto image, as the surface painted them.
void ReplayPaintRecord(const PaintRecord& record, Image& image);

} // namespace quillion
