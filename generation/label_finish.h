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

// The colour a painted pixel takes: black becomes the foreground, white the background and a
// grey (a glyph's edge) the mix in between, alpha included.
Pixel Recolour(Pixel painted, Pixel foreground, Pixel background);

// The least symbol contrast (ISO/IEC 15416: the difference of the background's and the bars'
// reflectance) painted bars may have: grade C, which GS1 asks of retail symbols.
inline constexpr double kMinSymbolContrast = 0.40;

// The symbol contrast of bars in foreground on background, as a reader sees them printed or
// shown on white: each colour laid over white by its alpha, its reflectance its luminance (CIE
// Y, as image-based readers see it). Negative when the bars are the lighter. (Laser scanners
// read by red light, under which red bars vanish: the contrast of a red ink is no promise for
// them.)
double SymbolContrast(Pixel foreground, Pixel background);

// Why a scanner could not read bars in these colours ("" when it can): a contrast below
// kMinSymbolContrast, or bars lighter than their background.
std::string ContrastProblem(Pixel foreground, Pixel background);

// Makes out the finished picture. Returns "" or why not (more than maxPixels pixels).
std::string FinishPicture(const Image& picture, const LabelFinish& finish, std::int64_t maxPixels,
                          Image& out);

} // namespace quillion
