// What the window's controls hold when a barcode is generated.
#pragma once

#include "seams.h"

namespace quillion::library {

struct ControlSettings {
    Symbology type = Symbology::Code128;
    bool caption = true;
    int captionPositionIndex = 0; // the window's list: 0 bottom, 1 top
    int fontStyleIndex = 0;       // 0 regular, 1 bold, 2 italic, 3 bold italic, 4 underline
    bool operator==(const ControlSettings&) const = default;
};

} // namespace quillion::library
