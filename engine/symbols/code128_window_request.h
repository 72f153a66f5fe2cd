// The Code 128 request the window sends: Courier New 10 pt, 40-pixel bars of one-pixel modules,
// a 4-pixel caption gap, black on white, check character on. The window, its tests, the
// benchmarks and the library all start from this one.
#pragma once

#include "symbols/Special128.h"

#include <cstdint>
#include <string>

namespace quillion {

// position: kCaptionBottom or kCaptionTop; style: the window's style list index (0 regular ..
// 4 underline). caption: whether the text is printed as the caption.
BarcodeRequest WindowCode128Request(const std::u16string& text, bool caption, std::int32_t position,
                                    std::int32_t style);

} // namespace quillion
