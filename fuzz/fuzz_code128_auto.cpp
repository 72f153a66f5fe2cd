// The shortest Code 128 symbol of arbitrary units, decoded back by a reader's rules; the rules
// checked are in harness/code128_auto_input.h.
#include "harness/code128_auto_input.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string broken = quillion::fuzz::RunCode128AutoInput(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "rule broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
