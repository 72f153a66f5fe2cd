// Reading painted geometry back from a raster: dark/light pixels and run lengths along a row.
#pragma once

#include "draw/color.h"

#include <string>
#include <vector>

namespace quillion::testing {

inline bool IsDark(Pixel p) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return r * 299 + g * 587 + b * 114 < 128 * 1000;
}

// One character per column of row y from x0 to x1 inclusive: '#' dark, '.' light.
inline std::string RowString(const Image& image, int y, int x0, int x1) {
    std::string s;
    for (int x = x0; x <= x1; ++x)
        s += IsDark(image.At(x, y)) ? '#' : '.';
    return s;
}
inline std::string RowString(const Image& image, int y) {
    return RowString(image, y, 0, image.width - 1);
}

// Lengths of the runs of equal darkness along row y, starting with the run at column 0.
inline std::vector<int> RowRuns(const Image& image, int y) {
    std::vector<int> runs;
    for (int x = 0; x < image.width; ++x) {
        if (x == 0 || IsDark(image.At(x, y)) != IsDark(image.At(x - 1, y)))
            runs.push_back(0);
        ++runs.back();
    }
    return runs;
}

// True when no pixel of the rectangle (inclusive bounds) is dark.
inline bool AllLight(const Image& image, int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (IsDark(image.At(x, y)))
                return false;
    return true;
}

} // namespace quillion::testing
