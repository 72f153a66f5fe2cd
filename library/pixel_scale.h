// Enlarging a picture by a whole factor: every pixel becomes a factor x factor square of its
// colour (nearest neighbour, nothing smoothed).
#pragma once

#include "draw/color.h"

#include <cstdint>
#include <string>

namespace quillion::cli {

// The largest scaled picture written, in pixels (a gigabyte of raster).
inline constexpr std::int64_t kMaxScaledPixels = std::int64_t(1) << 28;

// Makes out the picture enlarged factor times. Returns "" or why not (the result would exceed
// kMaxScaledPixels).
std::string ScalePicture(const Image& picture, int factor, Image& out);

// The resolution a picture at this scale is written with, so that it prints at the window's
// size: 96 pixels per inch times the scale.
inline int DotsPerInch(int scale) {
    return 96 * scale;
}
inline std::uint32_t PixelsPerMetre(int scale) {
    return static_cast<std::uint32_t>(DotsPerInch(scale) / 0.0254 + 0.5);
}

} // namespace quillion::cli
