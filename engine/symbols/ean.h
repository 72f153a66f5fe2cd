// EAN-13 and EAN-8 on the UPC renderer's 2-pixel module grid, with their quiet zones in the
// picture: EAN-13 11 modules left (where its first digit is printed) and 7 right, EAN-8 7 on
// each side.
#pragma once

#include "draw/surface.h"

#include <array>
#include <string_view>

namespace quillion {

enum class EanVariant { Ean13, Ean8 };

// The picture's width in pixels.
int EanWidthPx(EanVariant variant);

// For each of EAN-13's six left-hand digits, whether it is painted in even parity (number set
// B): the pattern that carries the leading digit.
std::array<bool, 6> Ean13EvenParity(int leadingDigit);

// Paints the symbol of the 13 (EAN-13) or 8 (EAN-8) ASCII digits, check digit included, on a
// surface as high as the picture is to be, and makes the painting the surface's picture. The
// digits must have been checked: anything else raises RuntimeError 13.
void DrawEan(DrawingSurface& surface, std::u16string_view digits, EanVariant variant);

} // namespace quillion
