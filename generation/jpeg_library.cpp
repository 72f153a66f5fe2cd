#include "jpeg_library.h"

#ifdef QUILLION_LOAD_ON_DEMAND
#include "runtime/shared_library.h"
#endif

namespace quillion {

namespace {

LoadedTurboJpeg Load() {
    LoadedTurboJpeg out;
#ifdef QUILLION_LOAD_ON_DEMAND
    SharedLibrary library(QUILLION_TURBOJPEG_SONAME);
#define QUILLION_FIND_FUNCTION(name) library.Find(#name, out.call.name);
    QUILLION_TURBOJPEG_FUNCTIONS(QUILLION_FIND_FUNCTION)
    out.problem = library.Problem();
#else
#define QUILLION_FIND_FUNCTION(name) out.call.name = &::name;
    QUILLION_TURBOJPEG_FUNCTIONS(QUILLION_FIND_FUNCTION)
#endif
    return out;
}

} // namespace

const LoadedTurboJpeg& TurboJpeg() {
    static const LoadedTurboJpeg loaded = Load();
    return loaded;
}

} // namespace quillion
