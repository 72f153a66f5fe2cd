// One painter for every symbol: the modules of a Symbol at a whole number of pixels each, its
// bars as high as asked (long bars reaching further), the quiet zones when asked and the
// human-readable text in the symbol's face at a size that grows with the module. Black on
// white; the label finish adds margin, colours and turn afterwards.
#pragma once

#include "draw/color.h"
#include "fonts/fonts.h"
#include "symbols/symbol.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillion {

struct PaintSpec {
    int module = 1;          // pixels per module, at least 1
    int barHeight = 0;       // pixels; 0: the symbol's usual height at this module
    bool quietZones = false; // the standard quiet zones on every side
    bool caption = true;     // the human-readable text, when the symbol has one
};

// Where everything goes, in pixels of the picture.
struct SymbolLayout {
    int width = 0, height = 0;
    int x0 = 0, y0 = 0; // the top-left corner of the symbol's first module
    int module = 1;
    int barHeight = 0;                // linear: the bars' height from y0
    int guardHeight = 0;              // linear: how much further the long bars reach
    int textTop = 0;                  // the text cells' top row
    std::shared_ptr<const Font> font; // null when no text is printed
    struct Placed {
        std::string ansi; // Windows-1252
        int x = 0;        // the cell's left column
    };
    std::vector<Placed> text;
};

// The layout of symbol painted as spec asks; the size only depends on symbol and spec, so
// fitting a width needs no painting. A layout whose picture would exceed maxPixels pixels has a
// zero width and height.
SymbolLayout LayOutSymbol(const Symbol& symbol, const PaintSpec& spec, std::int64_t maxPixels);

// Paints the laid-out symbol into out (resized to the layout; its buffer is reused).
void PaintSymbol(const Symbol& symbol, const SymbolLayout& layout, Image& out);

// The largest module from 1 to maxModule at which the symbol, laid out as spec asks with
// extraWidth more pixels (margins), is at most maxWidth pixels wide; 0 when not even 1 fits.
int FitSymbolModule(const Symbol& symbol, PaintSpec spec, int extraWidth, int maxWidth,
                    int maxModule);

} // namespace quillion
