#include "paint_helpers.h"

#include "draw/surface.h"
#include "symbols/Special128.h"
#include "symbols/bar39.h"
#include "symbols/code128_caption.h"
#include "symbols/code128_window_request.h"
#include "symbols/mBarcode.h"

#include <stdexcept>

namespace quillion::testing {

Image PaintCode128(const std::u16string& text) {
    DrawingSurface surface(427, 73);
    BarcodeRequest request = WindowCode128Request(text, true, kCaptionBottom, 0);
    if (DrawCode128(request, surface.hDC()) != 0) {
        throw std::runtime_error("DrawCode128 failed");
    }
    surface.ResizePixels(request.Width, request.Height);
    return surface.GetImage();
}

Image PaintCode39(const std::u16string& text) {
    DrawingSurface surface(427, 56);
    surface.SetFontSize(10);
    surface.Cls();
    DrawCode39(text, surface);
    return surface.GetImage();
}

Image PaintUpcA(const std::u16string& digits) {
    DrawingSurface surface(515, 101);
    surface.SetScaleMode(ScaleMode::Pixels);
    surface.SetAutoRedraw(true);
    surface.SetContainerScaleMode(ScaleMode::Pixels);
    surface.SetOuterHeight(109);
    surface.Cls();
    DrawUpc(surface, digits, UpcVariant::UpcA);
    return surface.GetImage();
}

} // namespace quillion::testing
