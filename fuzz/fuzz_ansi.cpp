// UTF-16 to Windows-1252 and the UTF-8 round trip on arbitrary input.
#include "runtime/ansi.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    std::memcpy(text.data(), data, text.size() * 2);
    const std::string ansi = quillion::ToAnsi(text);
    if (ansi.size() != text.size())
        __builtin_trap(); // one byte per code unit
    const std::string utf8 = quillion::Utf16ToUtf8(text);
    const std::u16string back = quillion::Utf8ToUtf16(utf8);
    // Valid text survives the round trip; lone surrogates come back as U+FFFD.
    const std::string again = quillion::Utf16ToUtf8(back);
    if (again != utf8)
        __builtin_trap();
    const std::string raw(reinterpret_cast<const char*>(data), size);
    (void)quillion::Utf8ToUtf16(raw);
    return 0;
}
