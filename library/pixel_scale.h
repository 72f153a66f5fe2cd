// Enlarging a picture by a whole factor: every pixel becomes a factor x factor square of its
// colour (nearest neighbour, nothing smoothed).
#pragma once

#include "draw/color.h"

#include <cstdint>
#include <string>

namespace quillion::library {

// The largest scaled picture written, in pixels (a gigabyte of raster).
inline constexpr std::int64_t kMaxScaledPixels = std::int64_t(1) << 28;

// Makes out the picture enlarged factor times. Returns "" or why not (the result would exceed
// kMaxScaledPixels).
std::string ScalePicture(const Image& picture, int factor, Image& out);

} // namespace quillion::library
