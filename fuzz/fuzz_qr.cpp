// EncodeQr on arbitrary text and options; the rules checked are in harness/qr_input.h.
#include "harness/qr_input.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string broken = quillion::fuzz::RunQrInput(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "rule broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
