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

} // namespace quillion::library
