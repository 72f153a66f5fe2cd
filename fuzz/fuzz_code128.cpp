// DrawCode128 on every field of the request, texts as arbitrary UTF-16; the rules checked are in
// harness/code128_input.h.
#include "harness/code128_input.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string broken = quillion::fuzz::RunCode128Input(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "rule broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
