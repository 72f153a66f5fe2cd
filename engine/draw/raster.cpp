#include "draw/raster.h"

#include <algorithm>

namespace quillion {

void FillBox(Image& image, const PixelBox& box, Pixel pixel) {
    const PixelBox c = ClipToImage(box, image);
    if (c.Empty())
        return;
    const auto width = static_cast<std::size_t>(image.width);
    const auto count = static_cast<std::size_t>(c.right - c.left);
    Pixel* p = image.pixels.data() + static_cast<std::size_t>(c.top) * width +
               static_cast<std::size_t>(c.left);
    if (count <= 4) {
        // A narrow column (a bar, the side of an outline): a few stores per row, as many as
        // the column is wide, decided once rather than on every row.
        const std::int64_t rows = c.bottom - c.top;
        const auto column = [&](auto stores) {
            std::int64_t y = 0;
            for (; y + 4 <= rows; y += 4, p += 4 * width) {
                stores(p);
                stores(p + width);
                stores(p + 2 * width);
                stores(p + 3 * width);
            }
            for (; y < rows; ++y, p += width)
                stores(p);
        };
        switch (count) {
        case 1:
            column([pixel](Pixel* q) { q[0] = pixel; });
            break;
        case 2:
            column([pixel](Pixel* q) { q[0] = q[1] = pixel; });
            break;
        case 3:
            column([pixel](Pixel* q) { q[0] = q[1] = q[2] = pixel; });
            break;
        default:
            column([pixel](Pixel* q) { q[0] = q[1] = q[2] = q[3] = pixel; });
            break;
        }
        return;
    }
    for (std::int64_t y = c.top; y < c.bottom; ++y, p += width)
        FillRun(p, count, pixel);
}

} // namespace quillion
