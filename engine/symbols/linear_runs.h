// Building the runs of a linear symbol: bars and spaces appended in modules, neighbours of one
// colour merged, a space before the first bar left out.
#pragma once

#include "symbols/symbol.h"

namespace quillion {

class RunBuilder {
public:
    explicit RunBuilder(Symbol& symbol) : symbol_(symbol) {}

    // Appends modules of bar (dark) or space; a long bar reaches the symbol's guard depth.
    void Add(bool bar, int modules, bool longBar = false) {
        std::vector<std::uint8_t>& runs = symbol_.runs;
        if (modules <= 0 || (runs.empty() && !bar))
            return;
        if (!runs.empty() && (runs.size() % 2 == 1) == bar) {
            runs.back() = std::uint8_t(runs.back() + modules);
            return;
        }
        runs.push_back(std::uint8_t(modules));
        if (bar && longBar) {
            const std::size_t index = (runs.size() - 1) / 2;
            if (symbol_.longBars.size() <= index)
                symbol_.longBars.resize(index + 1, false);
            symbol_.longBars[index] = true;
        }
    }

    // Widths in turn, bar and space, the first a bar when firstBar.
    template <typename Range>
    void Alternate(const Range& modules, bool firstBar, bool longBars = false) {
        bool bar = firstBar;
        for (const int m : modules) {
            Add(bar, m, longBars && bar);
            bar = !bar;
        }
    }

private:
    Symbol& symbol_;
};

} // namespace quillion
