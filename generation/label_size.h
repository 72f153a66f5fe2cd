// Sizes of a label: whole pixels or lengths (mm, in, mil) at a resolution, the largest module
// that fits a width, and the quiet zones the symbologies ask for.
#pragma once

#include "seams.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillion {

enum class LengthUnit { Pixel, Millimetre, Inch, Mil };

struct Length {
    double value = 0;
    LengthUnit unit = LengthUnit::Pixel;
    bool operator==(const Length&) const = default;
};

// The largest module, bar height and other size in pixels: a Code 128 symbol of 21 characters
// at the largest module and height is painted in a quarter of a gigabyte.
inline constexpr int kMaxModulePixels = 50;
inline constexpr int kMaxBarHeightPixels = 4000;
inline constexpr int kMaxLengthPixels = 10000;

// "3" or "3px" (whole pixels), "0.33mm", "0.5in", "13mil" (a thousandth of an inch); unit in
// any case. Nothing for any other text, a negative or non-finite value, or part of a pixel.
std::optional<Length> ParseLength(std::string_view text);

// A colour RRGGBB or RRGGBBAA (a "#" in front allowed; any case), or "transparent" where allowed
// (transparent white), as a pixel 0xAARRGGBB; nothing for any other text.
std::optional<std::uint32_t> ParseColour(std::string_view text, bool transparentAllowed);

// "0.33mm", "3px": the length as the user wrote it, for messages.
std::string LengthText(const Length& length);

// A length as whole pixels at dpi: the nearest number (with down, the largest not beyond it), at
// least minimum. off is set when the nearest differs from the exact figure by more than a tenth
// of it.
struct PixelLength {
    int pixels = 0;
    double exact = 0;
    bool off = false;
};
PixelLength ToPixels(const Length& length, double dpi, int minimum, bool down = false);

double PixelsToMillimetres(double pixels, double dpi);

} // namespace quillion
