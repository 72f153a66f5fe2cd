// EncodeDataMatrix on arbitrary text, options and sizes; the rules checked are in
// harness/datamatrix_input.h.
#include "harness/datamatrix_input.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string broken = quillion::fuzz::RunDataMatrixInput(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "rule broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
