// Measuring and painting a Code 128 symbol sequence: bars as filled rectangles whose edges are
// whole multiples of the module width, the painted area with its background, and the caption.
#pragma once

#include "draw/gdi.h"
#include "symbols/Special128.h"
#include "symbols/code128_text.h"

#include <cstdint>

namespace quillion {

struct Code128Extent {
    std::int32_t Height = 0;
    std::int32_t Width = 0;
    bool operator==(const Code128Extent&) const = default;
};

// The extent of the request's symbol with the null brush and pen selected (nothing shows);
// leaves the white brush and black pen selected. A zero extent when Orientation is not 0 or the
// text is "". `sequence` receives the encoded symbols (empty in those two cases).
Code128Extent MeasureCode128(const BarcodeRequest& request, DeviceContext& dc,
                             Code128Sequence& sequence);
Code128Extent MeasureCode128(const BarcodeRequest& request, DeviceContext& dc);

// The extent of a sequence encoded elsewhere (any start code) at the request's place and
// module width; RuntimeError 6 when its edges overflow.
Code128Extent MeasureCode128Sequence(const BarcodeRequest& request,
                                     const Code128Sequence& sequence);

struct Code128Painting {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

// The painting pass: caption font, painted area and background, then, for Orientation 0, the
// bars of `sequence` and the caption (with the painted size; zero for another orientation). Every
// drawing object it creates is released before it returns, also when a RuntimeError leaves it
// midway.
Code128Painting PaintCode128(const BarcodeRequest& request, DeviceContext& dc,
                             const Code128Sequence& sequence, Code128Extent measured);

} // namespace quillion
