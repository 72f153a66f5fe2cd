// Fonts: face lookup through fontconfig, its answers kept between runs ("Courier New" ->
// Liberation Mono, "Arial" -> Liberation Sans), GDI-compatible metrics from the OS/2 table, hinted
// whole-pixel advances, and 1-bit glyph rendering through FreeType with a per-font glyph cache.
#pragma once

#include "draw/color.h"
#include "draw/raster.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillion {

struct Bilevel;

struct FontKey {
    std::string face;     // requested family name, as in the font record
    int pixelHeight = 13; // em height in pixels (ppem), from -lfHeight or points * 96 / 72
    int weight = 400;     // 700 and above is bold
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool operator==(const FontKey&) const = default;
};

// A clip rectangle for text, right and bottom exclusive.
struct TextClip {
    std::int64_t left = INT64_MIN / 4, top = INT64_MIN / 4;
    std::int64_t right = INT64_MAX / 4, bottom = INT64_MAX / 4;
};

// Em heights are kept within what the rasteriser accepts; larger requests get this size.
inline constexpr int kMaxPixelHeight = 16384;

struct FontMetrics {
    int ascent = 0;          // round(usWinAscent * ppem / unitsPerEm)
    int descent = 0;         // round(usWinDescent * ppem / unitsPerEm)
    int height = 0;          // ascent + descent
    int internalLeading = 0; // height - ppem
    int aveCharWidth = 0;    // round(xAvgCharWidth * ppem / unitsPerEm)
    int maxCharWidth = 0;
    int weight = 400;
    int externalLeading = 0; // hhea line gap beyond the Windows ascent and descent
    bool fixedPitch = false;
};

// A realised font. Thread-safe: metrics are fixed when Get() returns it; glyphs are rendered
// on first use under the font's own lock and cached for the font's life.
class Font {
public:
    virtual ~Font() = default;
    virtual const FontMetrics& Metrics() const = 0;
    virtual const FontKey& Key() const = 0;
    // The family name of the font file the face name resolved to ("Liberation Mono" for
    // "Courier New"); "" when no file was found.
    virtual std::string FamilyName() const = 0;
    // Why this font has no face to paint with ("" when it has one): no font file matched its
    // family, or the file is no regular file or no font FreeType can read.
    virtual std::string Problem() const = 0;
    // Advance of one Windows-1252 byte in whole pixels.
    virtual int Advance(unsigned char byte) const = 0;
    // Width of a run of Windows-1252 text: sum of advances plus extra after each character,
    // saturated to the 32-bit range.
    int TextWidth(std::string_view ansi, int charExtra = 0) const;
    // Draw a run of Windows-1252 text with its cell's top-left corner at (x, y) in color,
    // background untouched, extra pixels after each character, underline and strikeout as the
    // key asks; clipped to the image.
    void Draw(Image& image, int x, int y, std::string_view ansi, COLORREF color,
              int charExtra = 0) const;
    // The same, clipped to clip (right and bottom exclusive) as well as to the image.
    virtual void Draw(Image& image, std::int64_t x, std::int64_t y, std::string_view ansi,
                      COLORREF color, int charExtra, const TextClip& clip) const = 0;
    // The same on a 1-bit raster, in white or black: false, having drawn nothing, when the font
    // cannot (its glyphs come from outlines, at large sizes).
    virtual bool DrawBilevel(Bilevel& raster, std::int64_t x, std::int64_t y, std::string_view ansi,
                             bool white, int charExtra, const TextClip& clip) const;
    // The pixels that Draw at (x, y) may paint, at most (unclipped); every pixel when that is
    // not known.
    virtual PixelBox InkBox(std::int64_t x, std::int64_t y, std::string_view ansi,
                            int charExtra) const;
};

// Fonts are cached for the life of the process; the same key gives the same object. Thread-safe.
// pixelHeight is clamped to 1..kMaxPixelHeight; a face name fontconfig does not know gives its
// default sans-serif face.
std::shared_ptr<const Font> GetFont(const FontKey& key);

// Lets this program keep its font lookups and rendered glyphs between runs, in the user's cache
// folder ($XDG_CACHE_HOME/quillion, else ~/.cache/quillion): a short-lived program then paints
// known text without loading fontconfig's configuration or opening a font file. Off unless
// called before the first font is made: a program that has fontconfig loaded anyway (the
// window, through Qt) asks it directly.
void KeepFontsBetweenRuns();

// When KeepFontsBetweenRuns was called: keeps the metrics and glyphs rendered so far in this
// program's file in the cache folder, for its next run. Writes nothing when nothing new was
// rendered; a file that cannot be written is no failure.
void KeepRenderedGlyphs();

// The em height (ppem) whose cell height (Windows ascent + descent) is closest to cellHeight,
// for a font record with a positive height; at least 1.
int EmHeightForCellHeight(const FontKey& key, std::int64_t cellHeight);

} // namespace quillion
