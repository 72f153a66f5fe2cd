// Rendered fonts kept between runs of one program: a font's metrics and the 1-bit glyphs it
// has rendered, so that the next run paints the same text without opening the font file.
// The file belongs to one program file: a rebuilt program, other shared libraries or a
// changed face file make its entries void.
#pragma once

#include "fonts/fonts.h"

#include <compare>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quillion {

// A rendered glyph: its advance and, for small sizes, its 1-bit bitmap (rows of pitch bytes,
// top row first, most significant bit leftmost).
struct Glyph {
    int advance = 0;
    int left = 0; // bitmap origin relative to the pen position and the baseline
    int top = 0;
    int width = 0;
    int rows = 0;
    int pitch = 0;
    std::vector<std::uint8_t> bits;
    bool operator==(const Glyph&) const = default;
};

// Everything a font computed from its face for one size.
struct RenderedFont {
    FontMetrics metrics;
    int underlineTop = 0, underlineSize = 1, strikeTop = 0, strikeSize = 1;
    std::map<unsigned char, Glyph> glyphs;
    bool operator==(const RenderedFont&) const;
};

// Which face at which size and weight class: what a RenderedFont depends on besides the face
// file's contents.
struct RenderedFontKey {
    std::string path;
    int index = 0;
    bool embolden = false;
    int pixelHeight = 0;
    int weight = 400; // 400 or 700
    auto operator<=>(const RenderedFontKey&) const = default;
};

struct KeptFont {
    std::string faceState; // the face file's state when the font was rendered
    RenderedFont font;
    bool operator==(const KeptFont&) const = default;
};

using KeptFonts = std::map<RenderedFontKey, KeptFont>;

class GlyphCache {
public:
    // file: where the fonts are kept; program: the state of the program's files (see
    // ProgramState). Either empty keeps nothing.
    GlyphCache(std::string file, std::string program)
        : file_(std::move(file)), program_(std::move(program)) {}

    // The kept fonts when the file is whole and was written by this very program; nothing
    // otherwise. Never fails.
    KeptFonts Load() const;
    // Replaces the file in one step with the fonts. False when nothing could be written.
    bool Save(const KeptFonts& fonts) const;

private:
    std::string file_;
    std::string program_;
};

// The state of the running program's file, of every shared library loaded with it and of the
// FreeType it would load on demand (FreeTypeFile); "" when the program file cannot be found.
std::string ProgramState();

// The cache folder's file for this program: glyphs-<hash of the program's path>; "" when
// there is no cache folder or no program path.
std::string DefaultGlyphCacheFile();

} // namespace quillion
