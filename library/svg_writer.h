// The picture as SVG: the white background, every filled rectangle the renderer painted at its
// pixel position, and every text run as a text element in the font family, size and style it
// was painted in, each character at its painted place. One user unit is one picture pixel; the
// drawing's size is the picture's times the scale.
#pragma once

#include "draw/color.h"
#include "draw/paint_record.h"

#include <string>

namespace quillion::cli {

// Writes the SVG of a picture of width x height pixels whose painting record is record into
// out. Returns "" or, for a record that does not describe its picture, the reason.
std::string EncodeSvg(const PaintRecord& record, int width, int height, int scale,
                      std::string& out);

} // namespace quillion::cli
