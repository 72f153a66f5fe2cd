// Painting a Code 128 symbol whose values were encoded beforehand (any start code, FNC4,
// FNC1 for GS1-128), with the caption and layout of the window's set-B symbols.
#pragma once

#include "draw/gdi.h"
#include "symbols/Special128.h"
#include "symbols/code128_text.h"

#include <cstdint>

namespace quillion {

// As DrawCode128, with sequence (start code, data values, check value) in place of the
// encoding of request.Text; request.Text only has to be non-empty. Returns 0 or an error code
// of the request's fields.
std::int32_t DrawCode128Sequence(BarcodeRequest& request, const Code128Sequence& sequence,
                                 DeviceContext& surface);

} // namespace quillion
