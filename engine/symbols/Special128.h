// Code 128 (code set B) engine: the request record, validation and error codes, the text
// check and encoder, measuring, painting of background and bars, and the caption.
#pragma once

#include "draw/color.h"
#include "draw/gdi.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillion {

// The 24-field request, in the host's field order.
struct BarcodeRequest {
    std::u16string Text;
    std::u16string Reserved1;
    std::u16string Reserved2;
    std::u16string Caption;
    std::u16string FontName;
    std::int32_t Symbology = 0;
    std::int32_t CaptionAlignment = 0;
    std::int32_t CaptionPosition = 0;
    std::int32_t FontSize = 0;
    std::int32_t FontStyle = 0;
    std::int32_t BarHeight = 0;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t ModuleWidth = 0;
    std::int32_t CaptionGap = 0;
    std::int32_t Reserved3 = 0;
    std::int32_t Reserved4 = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t Orientation = 0;
    COLORREF BarColor = 0;
    COLORREF BackColor = 0;
    COLORREF CaptionColor = 0;
    std::int32_t CheckCharacter = 0;
    bool operator==(const BarcodeRequest&) const = default;
};

// Paints the request on the device context and returns 0 or one of the error codes below.
// Arithmetic overflow raises RuntimeError 6, a face name too long for the font record
// RuntimeError 9; in both cases the request is left unchanged.
std::int32_t DrawCode128(BarcodeRequest& request, DeviceContext& surface);

// The message for an error code; "" for 0 and for any code outside 54540..54548.
std::string Code128ErrorText(std::int32_t code);

} // namespace quillion
