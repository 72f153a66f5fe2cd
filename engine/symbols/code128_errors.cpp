#include "symbols/code128_errors.h"

#include "symbols/code128_caption.h"

#include <array>
#include <string_view>

namespace quillion {

std::int32_t ValidateCode128Request(const BarcodeRequest& r) {
    if (r.ModuleWidth <= 0)
        return kCode128InvalidWidth;
    if (r.BarHeight <= 0)
        return kCode128InvalidHeight;
    if (r.CaptionAlignment < kAlignLeft || r.CaptionAlignment > kAlignJustify)
        return kCode128InvalidAlignment;
    // Size, face, style and orientation all describe the caption font.
    if (r.FontSize <= 0 || r.FontName.empty() || r.FontStyle < 0 || r.FontStyle > kMaxFontStyle ||
        r.Orientation < 0 || r.Orientation > kMaxOrientation)
        return kCode128FontError;
    if (r.Symbology != kSymbologyCode128)
        return kCode128UnknownSymbology;
    if (r.CaptionPosition != kCaptionBottom && r.CaptionPosition != kCaptionTop)
        return kCode128InvalidPosition;
    return kCode128Ok;
}

std::string Code128ErrorText(std::int32_t code) {
    static constexpr std::array<std::string_view, 9> kMessages = {
        "Error(54540):Invalid Device Context specified.",
        "Error(54541):Invalid Width specified.",
        "Error(54542):Invalid Height specified.",
        "Error(54543):Unknown Symbology encountered.",
        "Error(54544):An Error occured while creating Font.",
        "Error(54545):Out Of Memory.",
        "Error(54546):Invalid Caption alignment specified",
        "Error(54547):Invalid Caption display position specified.",
        "Error(54548):Illegal character for this symbology specified.",
    };
    if (code < kCode128InvalidDeviceContext || code > kCode128IllegalCharacter)
        return {};
    return std::string(kMessages[static_cast<std::size_t>(code - kCode128InvalidDeviceContext)]);
}

} // namespace quillion
