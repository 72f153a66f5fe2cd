// Writing a picture as a baseline JFIF file through libjpeg-turbo.
#pragma once

#include "color.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillion {

// The "Cannot save the image. GDI+ Error:" failures carry these status numbers (the published
// GDI+ Status numbering).
namespace gdiplus_status {
inline constexpr int kGenericError = 1;
inline constexpr int kInvalidParameter = 2;
inline constexpr int kOutOfMemory = 3;
inline constexpr int kWin32Error = 7;
} // namespace gdiplus_status

// Encodes the picture's pixels at full size at the given quality (baseline JFIF, 4:4:4) into
// jpeg, with a resolution of dotsPerInch (a screen picture's 96 by default, as GDI+ records
// it). Returns 0, or the GDI+ status of the failure (invalid parameter for a picture without
// pixels, a quality above 100 or a resolution outside 1..65535, out of memory, generic error).
int EncodePictureAsJpeg(const Image& picture, std::uint8_t quality, std::vector<std::uint8_t>& jpeg,
                        int dotsPerInch = 96);

// Encodes the picture's pixels at full size at the given quality and writes them to fileName
// (used exactly as given, no extension added). The file is written to a temporary file in the
// same folder and renamed over the target only when complete: a failed save leaves no partial
// file and an existing file untouched. Any failure raises RuntimeError 5 with the description
// "Cannot save the image. GDI+ Error:" followed directly by the status number.
void SavePictureAsJpeg(const Image& picture, const std::u16string& fileName, std::uint8_t quality);

} // namespace quillion
