// Clipped pixel filling shared by the device context, the surface members and the glyph painter.
#pragma once

#include "draw/color.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quillion {

// A pixel rectangle, right and bottom exclusive, in 64-bit so that edges computed from any
// 32-bit inputs never overflow.
struct PixelBox {
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
};

// The part of box that lies inside both clip and the image.
inline PixelBox Intersect(const PixelBox& a, const PixelBox& b) {
    return PixelBox{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
}
inline PixelBox ClipToImage(const PixelBox& box, const Image& image) {
    return Intersect(box, PixelBox{0, 0, image.width, image.height});
}

// Sets every pixel of box that lies inside the image.
void FillBox(Image& image, const PixelBox& box, Pixel pixel);

// Sets count pixels from p on; a pixel of four equal bytes (white) as bytes, with the C
// library's widest stores.
inline void FillRun(Pixel* p, std::size_t count, Pixel pixel) {
    if (pixel == (pixel & 0xFFu) * 0x01010101u)
        std::memset(p, int(pixel & 0xFFu), count * sizeof(Pixel));
    else
        std::fill_n(p, count, pixel);
}

} // namespace quillion
