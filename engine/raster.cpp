#include "raster.h"

#include <algorithm>

namespace quillion {

PixelBox Intersect(const PixelBox& a, const PixelBox& b) {
    return PixelBox{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
}

PixelBox ClipToImage(const PixelBox& box, const Image& image) {
    return Intersect(box, PixelBox{0, 0, image.width, image.height});
}

void FillBox(Image& image, const PixelBox& box, Pixel pixel) {
    const PixelBox c = ClipToImage(box, image);
    if (c.Empty())
        return;
    const auto width = static_cast<std::size_t>(image.width);
    for (std::int64_t y = c.top; y < c.bottom; ++y) {
        Pixel* row = image.pixels.data() + static_cast<std::size_t>(y) * width;
        std::fill(row + c.left, row + c.right, pixel);
    }
}

} // namespace quillion
