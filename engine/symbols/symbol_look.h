// What a renderer may be asked beyond the window's fixed look: the module width, the bar height
// and whether the human-readable text is printed. The default is the window's look.
#pragma once

namespace quillion {

struct SymbolLook {
    int moduleWidth = 0; // pixels per narrow module; 0: the renderer's usual width
    int barHeight = 0;   // pixels; 0: the usual height, grown with the module
    bool caption = true; // print the text under (or over) the bars

    bool IsUsual() const { return moduleWidth == 0 && barHeight == 0 && caption; }
};

} // namespace quillion
