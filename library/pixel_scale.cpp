#include "pixel_scale.h"

#include <algorithm>

namespace quillion::library {

std::string ScalePicture(const Image& picture, int factor, Image& out) {
    const std::int64_t w = std::int64_t{picture.width} * factor;
    const std::int64_t h = std::int64_t{picture.height} * factor;
    if (w * h > kMaxScaledPixels)
        return "the picture at scale " + std::to_string(factor) + " would have " +
               std::to_string(w) + " x " + std::to_string(h) + " pixels, more than " +
               std::to_string(kMaxScaledPixels);
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    out.pixels.resize(std::size_t(w) * std::size_t(h));
    Pixel* dst = out.pixels.data();
    for (int y = 0; y < picture.height; ++y) {
        const Pixel* src = picture.pixels.data() + std::size_t(y) * std::size_t(picture.width);
        Pixel* const firstRow = dst;
        for (int x = 0; x < picture.width; ++x)
            dst = std::fill_n(dst, factor, src[x]);
        for (int k = 1; k < factor; ++k)
            dst = std::copy(firstRow, firstRow + w, dst);
    }
    return {};
}

} // namespace quillion::library
