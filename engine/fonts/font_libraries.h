// The FreeType and fontconfig functions the fonts call, through one table per library. Built
// with QUILLION_LOAD_ON_DEMAND (shared builds), a table is filled from the library's versioned
// soname the first time it is asked for, so a run that paints no new glyph and finds every face
// in the kept answers never loads either library (nor what they load: libpng, brotli, expat).
// Otherwise (the static renderer) the table points straight at the linked functions.
#pragma once

#include <string>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

namespace quillion {

#define QUILLION_FREETYPE_FUNCTIONS(X)                                                             \
    X(FT_Init_FreeType)                                                                            \
    X(FT_Done_FreeType)                                                                            \
    X(FT_New_Memory_Face)                                                                          \
    X(FT_Done_Face)                                                                                \
    X(FT_Set_Pixel_Sizes)                                                                          \
    X(FT_Get_Sfnt_Table)                                                                           \
    X(FT_Get_Char_Index)                                                                           \
    X(FT_Load_Glyph)                                                                               \
    X(FT_GlyphSlot_Embolden)                                                                       \
    X(FT_Render_Glyph)                                                                             \
    X(FT_Outline_Get_CBox)                                                                         \
    X(FT_Outline_Render)

#define QUILLION_FONTCONFIG_FUNCTIONS(X)                                                           \
    X(FcPatternCreate)                                                                             \
    X(FcPatternDestroy)                                                                            \
    X(FcPatternAddString)                                                                          \
    X(FcPatternAddInteger)                                                                         \
    X(FcPatternAddBool)                                                                            \
    X(FcPatternGetString)                                                                          \
    X(FcPatternGetInteger)                                                                         \
    X(FcPatternGetBool)                                                                            \
    X(FcWeightFromOpenType)                                                                        \
    X(FcConfigSubstitute)                                                                          \
    X(FcDefaultSubstitute)                                                                         \
    X(FcFontMatch)                                                                                 \
    X(FcConfigGetCurrent)                                                                          \
    X(FcConfigGetConfigFiles)                                                                      \
    X(FcConfigGetConfigDirs)                                                                       \
    X(FcConfigGetFontDirs)                                                                         \
    X(FcStrListNext)                                                                               \
    X(FcStrListDone)

// A member per function, of the function's own pointer type (checked against the headers).
#define QUILLION_FUNCTION_MEMBER(name) decltype(&::name) name = nullptr;

struct FreeTypeFunctions {
    QUILLION_FREETYPE_FUNCTIONS(QUILLION_FUNCTION_MEMBER)
};
struct FontconfigFunctions {
    QUILLION_FONTCONFIG_FUNCTIONS(QUILLION_FUNCTION_MEMBER)
};

// A library's table once asked for: every member set, or problem saying why not (then the
// members must not be called).
template <class Functions> struct LoadedFunctions {
    Functions call;
    std::string problem;
    bool Ready() const { return problem.empty(); }
};

// The file FreeType is loaded from when it is loaded on demand (the soname in the folder it was
// found in at build time), whose state the kept glyphs depend on; null when it is linked (then
// it is among the loaded objects, or inside the program).
const char* FreeTypeFile();

// Loaded on the first call, once for the process; thread-safe.
const LoadedFunctions<FreeTypeFunctions>& FreeType();
const LoadedFunctions<FontconfigFunctions>& Fontconfig();

} // namespace quillion
