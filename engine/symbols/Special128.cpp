#include "symbols/Special128.h"

#include "symbols/code128_errors.h"
#include "symbols/code128_painter.h"
#include "symbols/code128_text.h"

#include <utility>

namespace quillion {

std::int32_t DrawCode128(BarcodeRequest& request, DeviceContext& surface) {
    // The engine works on a private copy; the caller's record changes only after a complete
    // painting, and then all at once.
    BarcodeRequest copy = request;
    std::int32_t code = ValidateCode128Request(copy);
    // An illegal character wins over every field error.
    if (!copy.Text.empty() && !CheckCode128Text(copy.Text))
        code = kCode128IllegalCharacter;
    if (copy.Text.empty() || code != kCode128Ok)
        return code;

    Code128Sequence sequence;
    const Code128Extent extent = MeasureCode128(copy, surface, sequence);
    const Code128Painting painting = PaintCode128(copy, surface, sequence, extent);
    if (copy.Orientation != 0)
        return kCode128Ok; // another orientation: background only, record untouched
    copy.Width = painting.Width;
    copy.Height = painting.Height;
    request = std::move(copy);
    return kCode128Ok;
}

} // namespace quillion
