// Code 128 with options the window does not offer (module width, bar height, colours): the
// window's request with those fields changed, painted on a surface of its own.
#pragma once

#include "draw/color.h"
#include "draw/paint_record.h"
#include "symbols/Special128.h"
#include "symbols/code128_text.h"

#include <cstdint>
#include <string>

namespace quillion::api {

struct Code128Picture {
    std::int32_t code = 0; // the engine's result; the picture is valid only for 0
    Image picture;         // the request's Width x Height
    PaintRecord record;
};

// Paints request on a surface of the window's Code 128 area, enlarged to the painted size
// when the symbol needs more, as the window does. The record is kept when keepRecord is set.
// With a sequence, its values are painted in place of request.Text's set-B encoding.
Code128Picture PaintCode128Picture(BarcodeRequest request, bool keepRecord,
                                   const Code128Sequence* sequence = nullptr);

} // namespace quillion::api
