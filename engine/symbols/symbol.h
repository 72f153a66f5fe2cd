// The symbol: what an encoder makes of a text, before anything is painted. A linear symbol is
// its bar and space widths in modules; a matrix symbol (QR Code, Data Matrix) its dark and light
// modules row by row. Both carry the quiet zones the standard asks for, the human-readable text
// at module positions and what a reader reports when it scans the symbol.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillion {

// Light modules the standard asks for on each side of the symbol.
struct QuietModules {
    int left = 0, right = 0, top = 0, bottom = 0;
    bool operator==(const QuietModules&) const = default;
};

// One run of human-readable text. Positions are in modules from the symbol's first bar (the
// quiet zone is left of 0), so a painter places it at any module width.
struct SymbolText {
    enum class Anchor { Left, Centre, Right };
    std::string text; // UTF-8
    double x = 0;     // the anchor's module position
    Anchor anchor = Anchor::Centre;
    // Left and right limits the text is spread or kept within (modules); equal when none.
    double spreadLeft = 0, spreadRight = 0;
    bool operator==(const SymbolText&) const = default;
};

// How a symbol's text is printed: the face, its size in modules at the usual module and
// whether it sits below or above the bars. Guards of UPC and EAN reach into the text's band.
struct SymbolTextStyle {
    std::string face = "Courier New";
    double emModules = 13; // em height, in modules
    bool bold = false, italic = false, underline = false;
    bool above = false;
    double gapModules = 0; // between the bars' bottom (or top) and the text cell
    bool operator==(const SymbolTextStyle&) const = default;
};

struct Symbol {
    // Linear symbols: widths in modules, a bar first, then bar and space in turn (a symbol
    // ends with a bar). Empty for a matrix symbol.
    std::vector<std::uint8_t> runs;
    // For each bar (runs[0], runs[2], ...): whether it reaches guardModules below the others
    // (the guard bars of UPC and EAN); bars beyond its end do not.
    std::vector<bool> longBars;
    double barModules = 0;   // the usual bar height, in modules
    double guardModules = 0; // how much further the long bars reach, in modules

    // Matrix symbols: rows x columns modules, 1 dark, row by row, top row first.
    int rows = 0, columns = 0;
    std::vector<std::uint8_t> matrix;

    QuietModules quiet;
    std::vector<SymbolText> text;
    SymbolTextStyle textStyle;

    // What a reader reports (bytes; ISO 8859-1 or UTF-8 as encoded, GS for FNC1 separators),
    // and the symbology identifier it prefixes when asked ("]C1" for GS1-128, "" when the
    // usual one).
    std::string reading;
    std::string identifier;

    bool IsMatrix() const { return rows > 0; }
    // The symbol's width in modules, without quiet zones.
    int WidthModules() const {
        if (IsMatrix())
            return columns;
        int w = 0;
        for (const std::uint8_t r : runs)
            w += r;
        return w;
    }
    // The height of a matrix symbol in modules; 0 for a linear one (its height is painted).
    int HeightModules() const { return rows; }
    bool Dark(int row, int column) const {
        return matrix[std::size_t(row) * std::size_t(columns) + std::size_t(column)] != 0;
    }
};

// The numbers of failures, the same in every layer and in the library's C and C++ interfaces
// (the Code 128 engine's own 54541-54548 pass through as they are).
inline constexpr std::int32_t kErrorArgument = 1;    // no text, bad UTF-8, a value out of range
inline constexpr std::int32_t kErrorUnsupported = 2; // an option the symbology has not
inline constexpr std::int32_t kErrorRejected = 3;    // the symbology refuses the text
inline constexpr std::int32_t kErrorFailed = 4;      // painting failed
inline constexpr std::int32_t kErrorTooLarge = 5;    // the picture would be too large
inline constexpr std::int32_t kErrorEncode = 6;      // the file format cannot hold the picture
inline constexpr std::int32_t kErrorTooLong = 7;     // more text than the symbol holds
inline constexpr std::int32_t kErrorWrite = 8;       // the file could not be written

// Why an encoder made no symbol: a number (above) and the message a user reads.
struct Refusal {
    std::int32_t number = kErrorRejected;
    std::string message; // UTF-8
};

} // namespace quillion
