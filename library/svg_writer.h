// The picture as SVG: the white background, every filled rectangle the renderer painted at its
// pixel position, and every text run as a text element in the font family, size and style it
// was painted in, each character at its painted place. One user unit is one picture pixel; the
// drawing's size is the picture's times the scale, or its physical size at a resolution.
#pragma once

#include "draw/color.h"
#include "draw/paint_record.h"
#include "label_finish.h"

#include <string>
#include <vector>

namespace quillion::library {

// Writes the SVG of a picture of width x height pixels whose painting record is record into
// out, finished as look says (sides, colours with their opacity, turn), its size in
// millimetres at dpi when dpi is above 0. Returns "" or, for a record that does not describe
// its picture, the reason.
std::string EncodeSvg(const PaintRecord& record, int width, int height, int scale, std::string& out,
                      const LabelFinish& look = {}, double dpi = 0);

// The SVG of a symbol's picture of width x height pixels: the background, one path of every dark
// box (the bars, or a matrix symbol's runs of dark modules), the texts as text; finished and
// sized as EncodeSvg's.
std::string EncodeSymbolSvg(const std::vector<PixelBox>& dark,
                            const std::vector<PaintedText>& texts, int width, int height, int scale,
                            std::string& out, const LabelFinish& look = {}, double dpi = 0);

} // namespace quillion::library
