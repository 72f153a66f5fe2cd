// What a label adds to a painted picture after the renderer: background around it (quiet zones
// and margin), the foreground and background colours in place of black and white, and a turn
// by a quarter, half or three quarters, in that order.
#pragma once

#include "draw/color.h"
#include "draw/paint_record.h"
#include "seams.h"

#include <optional>
#include <string>
#include <utility>

namespace quillion {

// 0xAARRGGBB, as the picture's pixels (alpha in the top byte, 0 transparent).
inline constexpr Pixel kOpaqueBlack = 0xFF000000u;
inline constexpr Pixel kOpaqueWhite = 0xFFFFFFFFu;

struct LabelFinish {
    int left = 0, top = 0, right = 0, bottom = 0; // background added on each side, in pixels
    Pixel foreground = kOpaqueBlack;
    Pixel background = kOpaqueWhite;
    int rotation = 0; // 0, 90, 180 or 270 degrees clockwise

    bool Recolours() const { return foreground != kOpaqueBlack || background != kOpaqueWhite; }
    bool HasAlpha() const { return (foreground >> 24) != 0xFF || (background >> 24) != 0xFF; }
    bool Turns() const { return rotation != 0; }
    bool Pads() const { return left != 0 || top != 0 || right != 0 || bottom != 0; }
    bool IsNone() const { return !Recolours() && !Turns() && !Pads(); }
};

// The finished picture's width and height for a painted one of width x height.
std::pair<std::int64_t, std::int64_t> FinishedSize(int width, int height, const LabelFinish& f);

// The columns the bars cover in the picture, from the first to one past the last, read on the
// row where the record's first dark fill (a bar: the renderers paint bars as black boxes)
// begins; nothing without one.
std::optional<std::pair<int, int>> BarColumns(const PaintRecord& record, const Image& picture);

// Widens the finish's sides by what the picture lacks of the symbology's quiet zones at this
// module width (pixels): the white modules from the bars outwards, of which the picture may
// already hold some (the UPC margins with their printed digits).
void AddQuietZones(LabelFinish& finish, Symbology symbology, int moduleWidth,
                   const PaintRecord& record, const Image& picture);

// The colour a painted pixel takes: black becomes the foreground, white the background and a
// grey (a glyph's edge) the mix in between, alpha included.
Pixel Recolour(Pixel painted, Pixel foreground, Pixel background);

// Makes out the finished picture. Returns "" or why not (more than maxPixels pixels).
std::string FinishPicture(const Image& picture, const LabelFinish& finish, std::int64_t maxPixels,
                          Image& out);

} // namespace quillion
