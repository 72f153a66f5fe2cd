#include "symbols/code128_sequence.h"

#include "symbols/code128_errors.h"
#include "symbols/code128_painter.h"

#include <utility>

namespace quillion {

std::int32_t DrawCode128Sequence(BarcodeRequest& request, const Code128Sequence& sequence,
                                 DeviceContext& surface) {
    BarcodeRequest copy = request;
    const std::int32_t code = ValidateCode128Request(copy);
    if (copy.Text.empty() || sequence.empty() || code != kCode128Ok)
        return code;
    // The state MeasureCode128 leaves: white brush and black pen.
    surface.SelectObject(surface.GetStockObject(WHITE_BRUSH));
    surface.SelectObject(surface.GetStockObject(BLACK_PEN));
    const Code128Extent extent =
        copy.Orientation == 0 ? MeasureCode128Sequence(copy, sequence) : Code128Extent{};
    const Code128Painting painting = PaintCode128(copy, surface, sequence, extent);
    if (copy.Orientation != 0) // nothing was painted: the request keeps its sizes
        return kCode128Ok;
    copy.Width = painting.Width;
    copy.Height = painting.Height;
    request = std::move(copy);
    return kCode128Ok;
}

} // namespace quillion
