// ParseGs1 (element strings and GS1 Digital Link URIs) and Gs1DigitalLinkUri on arbitrary
// text; the rules checked are in harness/gs1_input.h.
#include "harness/gs1_input.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string broken = quillion::fuzz::RunGs1Input(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "rule broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
