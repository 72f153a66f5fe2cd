// Writing a raster image as an 8-bit RGB PNG file.
#pragma once

#include "color.h"

#include <string>

namespace quillion::cli {

// Writes the image to path; on failure returns false and sets error to a readable reason.
// Nothing is written for an image without pixels.
bool WritePng(const Image& image, const std::string& path, std::string& error);

} // namespace quillion::cli
