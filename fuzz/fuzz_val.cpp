// Val-style number parsing of arbitrary UTF-16 text.
#include "runtime/runtime.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    std::memcpy(text.data(), data, text.size() * 2);
    const double v = quillion::Val(text);
    if (std::isnan(v))
        __builtin_trap(); // Val always yields a number
    return 0;
}
