// The linear encoders of the symbol model (UPC, EAN, Code 39, Full ASCII) on arbitrary text;
// the rules checked are in harness/linear_input.h.
#include "harness/linear_input.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string broken = quillion::fuzz::RunLinearInput(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "rule broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
