#include "code128_render.h"

#include "surface.h"

namespace quillion::cli {

BarcodeRequest WindowCode128Request(const std::u16string& text, bool withCaption,
                                    std::int32_t captionPosition, std::int32_t fontStyle) {
    BarcodeRequest r;
    r.Text = text;
    r.Caption = withCaption ? text : std::u16string();
    r.FontName = u"Courier New";
    r.Symbology = 16;
    r.CaptionAlignment = 1;
    r.CaptionPosition = captionPosition;
    r.FontSize = 10;
    r.FontStyle = fontStyle;
    r.BarHeight = 40;
    r.Left = 0;
    r.Top = 0;
    r.ModuleWidth = 1;
    r.CaptionGap = 4;
    r.Reserved3 = 1;
    r.Reserved4 = 1;
    r.Width = 0;
    r.Height = 0;
    r.Orientation = 0;
    r.BarColor = kBlack;
    r.BackColor = kWhite;
    r.CaptionColor = kBlack;
    r.CheckCharacter = 1;
    return r;
}

Code128Render RenderCode128(BarcodeRequest request) {
    DrawingSurface surface(kPictureWidth, kPictureHeight);
    Code128Render result;
    result.code = DrawCode128(request, surface.hDC());
    if (result.code != 0)
        return result;
    // The picture then takes the painted size: pixels inside stay, new ones are background.
    surface.ResizePixels(request.Width, request.Height);
    result.image = surface.GetImage();
    return result;
}

} // namespace quillion::cli
