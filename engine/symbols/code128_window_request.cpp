#include "symbols/code128_window_request.h"

#include "symbols/code128_caption.h"
#include "symbols/code128_errors.h"

namespace quillion {

BarcodeRequest WindowCode128Request(const std::u16string& text, bool caption, std::int32_t position,
                                    std::int32_t style) {
    BarcodeRequest r;
    r.Text = text;
    r.Caption = caption ? text : std::u16string();
    r.FontName = u"Courier New";
    r.Symbology = kSymbologyCode128;
    r.CaptionAlignment = 1;
    r.CaptionPosition = position;
    r.FontSize = 10;
    r.FontStyle = style;
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

} // namespace quillion
