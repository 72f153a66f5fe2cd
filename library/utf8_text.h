// Text from the command line and from batch files: UTF-8, checked before it is used.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillion::library {

// Whether the bytes are well-formed UTF-8: shortest forms only, no surrogates, nothing above
// U+10FFFF.
bool IsWellFormedUtf8(std::string_view bytes);

// The text as UTF-16, or nothing when it is not well-formed UTF-8 (a replacement character
// would otherwise stand for the bad bytes, and might even be encoded as "?").
std::optional<std::u16string> DecodeUtf8(std::string_view bytes);

// Room for a decoded text: one of up to 64 ASCII characters (most texts) stays in it, with no
// allocation.
struct Utf16Storage {
    char16_t shortText[64];
    std::u16string longText;
};
// The same, in storage; the view lives as long as storage does.
std::optional<std::u16string_view> DecodeUtf8(std::string_view bytes, Utf16Storage& storage);

} // namespace quillion::library
