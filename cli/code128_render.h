// Painting a Code 128 barcode as the window does: its request values, a 427 x 73 pixel surface
// cleared white, then the picture cut to the painted size.
#pragma once

#include "Special128.h"
#include "color.h"

#include <cstdint>
#include <string>

namespace quillion::cli {

inline constexpr int kPictureWidth = 427; // the picture area: 6405 x 1095 twips
inline constexpr int kPictureHeight = 73;

// The request as the window fills it from its controls.
BarcodeRequest WindowCode128Request(const std::u16string& text, bool withCaption,
                                    std::int32_t captionPosition, std::int32_t fontStyle);

struct Code128Render {
    std::int32_t code = 0; // DrawCode128's answer
    Image image;           // Width x Height of the painted area; empty on an error code
};

// Paints the request; a RuntimeError from the engine passes through.
Code128Render RenderCode128(BarcodeRequest request);

} // namespace quillion::cli
