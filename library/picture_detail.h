// What a Picture holds: the finished pixels (before its scale), the scale and the resolution, and
// what SVG is drawn from: the symbol and its layout, or, for the window's own look, what to
// generate again with the painting recorded. Shared, never changed after Render.
#pragma once

#include "draw/bilevel.h"
#include "draw/color.h"
#include "draw/paint_record.h"
#include "label_finish.h"
#include "quillion/quillion.hpp"
#include "symbol_painter.h"
#include "symbols/symbol.h"
#include "window_controls.h"

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace quillion::api {

// The window's generation of a text, as the window's look is painted.
struct WindowRecipe {
    library::ControlSettings settings;
    std::u16string text;
};

struct Picture::Detail {
    // The finished pixels, one per module pixel: image, or for a black-and-white picture kept
    // at one bit per pixel, bilevel (image then empty; Pixels() makes them).
    Image image;
    Bilevel bilevel;
    int paintedWidth = 0, paintedHeight = 0;        // the picture before the finish
    LabelFinish finish;                             // what turned the painted picture into image
    int scale = 1;                                  // every pixel of image becomes scale x scale
    double dpi = 96;                                // of the scaled picture
    std::shared_ptr<const quillion::Symbol> symbol; // the symbol painted, or null
    SymbolLayout layout;                            // where it was painted
    std::optional<WindowRecipe> window;             // the window's look: generated again for SVG

    int Width() const { return bilevel.width > 0 ? bilevel.width : image.width; }
    int Height() const { return bilevel.width > 0 ? bilevel.height : image.height; }
    // The finished pixels at 32 bits, made from bilevel on first use. (Defined here: the
    // library's own, not exported with the API.)
    const Image& Pixels() const {
        if (bilevel.width == 0)
            return image;
        std::call_once(expandOnce, [&] { expanded = ToImage(bilevel); });
        return expanded;
    }

    mutable std::once_flag expandOnce;
    mutable Image expanded;
    // Rgba(), made on first use.
    mutable std::once_flag rgbaOnce;
    mutable std::vector<std::uint8_t> rgba;
};

// The window's painting of a recipe, generated again with every fill and text recorded (for
// SVG); null when the generation no longer paints.
std::shared_ptr<const PaintRecord> RecordWindowLook(const WindowRecipe& recipe);

// For the library's own files: a Picture's detail.
struct PictureAccess {
    static const Picture::Detail& Of(const Picture& p) { return p.Internal(); }
    static Picture Make(std::shared_ptr<const Picture::Detail> d) { return Picture(std::move(d)); }
};

} // namespace quillion::api
