// Fonts: face lookup through fontconfig ("Courier New" -> Liberation Mono, "Arial" -> Liberation
// Sans), GDI-compatible metrics from the OS/2 table, hinted whole-pixel advances, and 1-bit
// glyph rendering through FreeType with a per-font glyph cache.
#pragma once

#include "color.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillion {

struct FontKey {
    std::string face;      // requested family name, as in the font record
    int pixelHeight = 13;  // em height in pixels (ppem), from -lfHeight or points * 96 / 72
    int weight = 400;      // 700 and above is bold
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool operator==(const FontKey&) const = default;
};

struct FontMetrics {
    int ascent = 0;          // round(usWinAscent * ppem / unitsPerEm)
    int descent = 0;         // round(usWinDescent * ppem / unitsPerEm)
    int height = 0;          // ascent + descent
    int internalLeading = 0; // height - ppem
    int aveCharWidth = 0;    // round(xAvgCharWidth * ppem / unitsPerEm)
    int maxCharWidth = 0;
    int weight = 400;
};

// A realised font. Thread-compatible: a Font is immutable after Get() returns it.
class Font {
public:
    virtual ~Font() = default;
    virtual const FontMetrics& Metrics() const = 0;
    // Advance of one Windows-1252 byte in whole pixels.
    virtual int Advance(unsigned char byte) const = 0;
    // Width of a run of Windows-1252 text: sum of advances plus extra after each character.
    int TextWidth(std::string_view ansi, int charExtra = 0) const;
    // Draw a run of Windows-1252 text with its cell's top-left corner at (x, y) in color,
    // background untouched, extra pixels after each character, underline and strikeout as the
    // key asks; clipped to the image.
    virtual void Draw(Image& image, int x, int y, std::string_view ansi, COLORREF color,
                      int charExtra = 0) const = 0;
};

// Fonts are cached for the life of the process; the same key gives the same object. Thread-safe.
std::shared_ptr<const Font> GetFont(const FontKey& key);

} // namespace quillion
