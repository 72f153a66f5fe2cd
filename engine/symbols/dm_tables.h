// Data Matrix ECC 200 symbol sizes: the 24 square and 6 rectangular sizes of ISO/IEC 16022 and
// the 18 rectangular extension sizes (DMRE) of ISO/IEC 21471, with their data regions and
// Reed-Solomon blocks.
#pragma once

#include <array>

namespace quillion::dm {

struct SymbolSize {
    int rows, columns;             // the whole symbol, finder and clock patterns included
    int regionRows, regionColumns; // one data region with its finder border
    int dataCodewords;             // all blocks together
    int eccPerBlock;
    int blocks;
    int zintVersion; // zint's --vers number of the size
    bool extension;  // DMRE (ISO/IEC 21471)

    bool Square() const { return rows == columns; }
    int Area() const { return rows * columns; }
    // The mapping matrix: every data region without its border, side by side.
    int MappingRows() const { return rows / regionRows * (regionRows - 2); }
    int MappingColumns() const { return columns / regionColumns * (regionColumns - 2); }
};

inline constexpr std::array<SymbolSize, 48> kSizes = {{
    {10, 10, 10, 10, 3, 5, 1, 1, false},        {12, 12, 12, 12, 5, 7, 1, 2, false},
    {14, 14, 14, 14, 8, 10, 1, 3, false},       {16, 16, 16, 16, 12, 12, 1, 4, false},
    {18, 18, 18, 18, 18, 14, 1, 5, false},      {20, 20, 20, 20, 22, 18, 1, 6, false},
    {22, 22, 22, 22, 30, 20, 1, 7, false},      {24, 24, 24, 24, 36, 24, 1, 8, false},
    {26, 26, 26, 26, 44, 28, 1, 9, false},      {32, 32, 16, 16, 62, 36, 1, 10, false},
    {36, 36, 18, 18, 86, 42, 1, 11, false},     {40, 40, 20, 20, 114, 48, 1, 12, false},
    {44, 44, 22, 22, 144, 56, 1, 13, false},    {48, 48, 24, 24, 174, 68, 1, 14, false},
    {52, 52, 26, 26, 204, 42, 2, 15, false},    {64, 64, 16, 16, 280, 56, 2, 16, false},
    {72, 72, 18, 18, 368, 36, 4, 17, false},    {80, 80, 20, 20, 456, 48, 4, 18, false},
    {88, 88, 22, 22, 576, 56, 4, 19, false},    {96, 96, 24, 24, 696, 68, 4, 20, false},
    {104, 104, 26, 26, 816, 56, 6, 21, false},  {120, 120, 20, 20, 1050, 68, 6, 22, false},
    {132, 132, 22, 22, 1304, 62, 8, 23, false}, {144, 144, 24, 24, 1558, 62, 10, 24, false},
    {8, 18, 8, 18, 5, 7, 1, 25, false},         {8, 32, 8, 16, 10, 11, 1, 26, false},
    {12, 26, 12, 26, 16, 14, 1, 27, false},     {12, 36, 12, 18, 22, 18, 1, 28, false},
    {16, 36, 16, 18, 32, 24, 1, 29, false},     {16, 48, 16, 24, 49, 28, 1, 30, false},
    {8, 48, 8, 24, 18, 15, 1, 31, true},        {8, 64, 8, 16, 24, 18, 1, 32, true},
    {8, 80, 8, 20, 32, 22, 1, 33, true},        {8, 96, 8, 24, 38, 28, 1, 34, true},
    {8, 120, 8, 20, 49, 32, 1, 35, true},       {8, 144, 8, 24, 63, 36, 1, 36, true},
    {12, 64, 12, 16, 43, 27, 1, 37, true},      {12, 88, 12, 22, 64, 36, 1, 38, true},
    {16, 64, 16, 16, 62, 36, 1, 39, true},      {20, 36, 20, 18, 44, 28, 1, 40, true},
    {20, 44, 20, 22, 56, 34, 1, 41, true},      {20, 64, 20, 16, 84, 42, 1, 42, true},
    {22, 48, 22, 24, 72, 38, 1, 43, true},      {24, 48, 24, 24, 80, 41, 1, 44, true},
    {24, 64, 24, 16, 108, 46, 1, 45, true},     {26, 40, 26, 20, 70, 38, 1, 46, true},
    {26, 48, 26, 24, 90, 42, 1, 47, true},      {26, 64, 26, 16, 118, 50, 1, 48, true},
}};

inline constexpr int kMaxDataCodewords = 1558;

} // namespace quillion::dm
