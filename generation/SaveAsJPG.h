// Writing a picture as a baseline JFIF file through libjpeg-turbo.
#pragma once

#include "draw/color.h"

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

// Encodes the picture's pixels at full size at the given quality and writes them to fileName
// (used exactly as given, no extension added) through WriteFileContents: a regular file is
// written to a temporary file in the same folder and renamed over the target only when
// complete, so a failed save leaves no partial file and an existing file untouched; a device or
// FIFO is written into; a read-only file is refused. Any failure raises RuntimeError 5 with the
// description "Cannot save the image. GDI+ Error:" followed directly by the status number.
void SavePictureAsJpeg(const Image& picture, const std::u16string& fileName, std::uint8_t quality);

// The resolution a saved picture records, a screen picture's, as GDI+ writes it.
inline constexpr int kScreenDotsPerInch = 96;

// Encodes the picture as SavePictureAsJpeg does into jpeg (its capacity is kept between
// calls), without writing it anywhere, with a resolution of dotsPerInch (1 to 65535). Raises
// the same error for a picture or resolution it cannot encode.
void EncodePictureAsJpeg(const Image& picture, std::uint8_t quality,
                         std::vector<std::uint8_t>& jpeg, int dotsPerInch = kScreenDotsPerInch);

} // namespace quillion
