// The libjpeg-turbo functions SaveAsJPG calls, through a table filled from the library's
// versioned soname on the first JPEG (QUILLION_LOAD_ON_DEMAND, shared builds), so that a run
// writing PNG or SVG never loads it; otherwise the table points at the linked functions.
#pragma once

#include <string>

#include <turbojpeg.h>

namespace quillion {

#define QUILLION_TURBOJPEG_FUNCTIONS(X)                                                            \
    X(tjInitCompress)                                                                              \
    X(tjBufSize)                                                                                   \
    X(tjCompress2)                                                                                 \
    X(tjGetErrorStr2)                                                                              \
    X(tjDestroy)

struct TurboJpegFunctions {
#define QUILLION_TURBOJPEG_MEMBER(name) decltype(&::name) name = nullptr;
    QUILLION_TURBOJPEG_FUNCTIONS(QUILLION_TURBOJPEG_MEMBER)
#undef QUILLION_TURBOJPEG_MEMBER
};

// The table, or problem saying why the library cannot be used ("" when it can). Loaded on the
// first call, once for the process; thread-safe.
struct LoadedTurboJpeg {
    TurboJpegFunctions call;
    std::string problem;
    bool Ready() const { return problem.empty(); }
};
const LoadedTurboJpeg& TurboJpeg();

} // namespace quillion
