// What a Picture holds: the pixels as painted (before its scale), the painting that SVG draws
// from, the scale and the resolution. Shared, never changed after Render.
#pragma once

#include "draw/color.h"
#include "draw/paint_record.h"
#include "quillion/quillion.hpp"

#include <memory>
#include <mutex>
#include <vector>

namespace quillion::api {

struct Picture::Detail {
    Image image;                               // the painted pixels, one per module pixel
    std::shared_ptr<const PaintRecord> record; // null when the painting is not described whole
    int scale = 1;                             // every pixel of image becomes scale x scale
    double dpi = 96;                           // of the scaled picture

    // Rgba(), made on first use.
    mutable std::once_flag rgbaOnce;
    mutable std::vector<std::uint8_t> rgba;
};

} // namespace quillion::api
