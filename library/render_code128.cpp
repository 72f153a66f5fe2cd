#include "render_code128.h"

#include "draw/surface.h"
#include "form_core.h"
#include "symbols/code128_sequence.h"

#include <algorithm>

namespace quillion::api {

Code128Picture PaintCode128Picture(BarcodeRequest request, bool keepRecord,
                                   const Code128Sequence* sequence) {
    const auto draw = [&](BarcodeRequest& r, DeviceContext& dc) {
        return sequence != nullptr ? DrawCode128Sequence(r, *sequence, dc) : DrawCode128(r, dc);
    };
    Code128Picture out;
    DrawingSurface surface(FormCore::kCode128AreaWidth / kTwipsPerPixel,
                           FormCore::kCode128AreaHeight / kTwipsPerPixel);
    surface.SetAutoRedraw(true);
    surface.SetBackColor(request.BackColor);
    if (keepRecord)
        surface.SetPaintRecord(&out.record);
    surface.Cls();
    const BarcodeRequest asked = request;
    out.code = draw(request, surface.hDC());
    if (out.code != 0)
        return out;
    if (request.Width > surface.WidthPx() || request.Height > surface.HeightPx()) {
        const int width = request.Width, height = request.Height;
        request = asked;
        surface.ResizePixels(std::max(width, surface.WidthPx()),
                             std::max(height, surface.HeightPx()));
        surface.Cls();
        out.code = draw(request, surface.hDC());
        if (out.code != 0)
            return out;
    }
    surface.ResizePixels(request.Width, request.Height);
    surface.SetPaintRecord(nullptr);
    out.picture = surface.GetImage();
    return out;
}

} // namespace quillion::api
