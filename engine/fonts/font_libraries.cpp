#include "fonts/font_libraries.h"

#ifdef QUILLION_LOAD_ON_DEMAND
#include "runtime/shared_library.h"
#endif

namespace quillion {

namespace {

#ifdef QUILLION_LOAD_ON_DEMAND
#define QUILLION_FIND_FUNCTION(name) library.Find(#name, out.call.name);
#else
#define QUILLION_FIND_FUNCTION(name) out.call.name = &::name;
#endif

LoadedFunctions<FreeTypeFunctions> LoadFreeType() {
    LoadedFunctions<FreeTypeFunctions> out;
#ifdef QUILLION_LOAD_ON_DEMAND
    SharedLibrary library(QUILLION_FREETYPE_SONAME);
#endif
    QUILLION_FREETYPE_FUNCTIONS(QUILLION_FIND_FUNCTION)
#ifdef QUILLION_LOAD_ON_DEMAND
    out.problem = library.Problem();
#endif
    return out;
}

LoadedFunctions<FontconfigFunctions> LoadFontconfig() {
    LoadedFunctions<FontconfigFunctions> out;
#ifdef QUILLION_LOAD_ON_DEMAND
    SharedLibrary library(QUILLION_FONTCONFIG_SONAME);
#endif
    QUILLION_FONTCONFIG_FUNCTIONS(QUILLION_FIND_FUNCTION)
#ifdef QUILLION_LOAD_ON_DEMAND
    out.problem = library.Problem();
#endif
    return out;
}

} // namespace

const char* FreeTypeFile() {
#ifdef QUILLION_LOAD_ON_DEMAND
    return QUILLION_FREETYPE_FILE;
#else
    return nullptr;
#endif
}

const LoadedFunctions<FreeTypeFunctions>& FreeType() {
    static const LoadedFunctions<FreeTypeFunctions> loaded = LoadFreeType();
    return loaded;
}

const LoadedFunctions<FontconfigFunctions>& Fontconfig() {
    static const LoadedFunctions<FontconfigFunctions> loaded = LoadFontconfig();
    return loaded;
}

} // namespace quillion
