#include "utf8_text.h"

#include "runtime/ansi.h"

#include <algorithm>
#include <iterator>

namespace quillion::library {

bool IsWellFormedUtf8(std::string_view bytes) {
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const auto inRange = [&](std::size_t k, unsigned lo, unsigned hi) {
        return k < n && at(k) >= lo && at(k) <= hi;
    };
    while (i < n) {
        const unsigned b = at(i);
        if (b < 0x80) {
            ++i;
        } else if (b >= 0xC2 && b <= 0xDF && inRange(i + 1, 0x80, 0xBF)) {
            i += 2;
        } else if (b >= 0xE0 && b <= 0xEF &&
                   inRange(i + 1, b == 0xE0 ? 0xA0 : 0x80, b == 0xED ? 0x9F : 0xBF) &&
                   inRange(i + 2, 0x80, 0xBF)) {
            i += 3;
        } else if (b >= 0xF0 && b <= 0xF4 &&
                   inRange(i + 1, b == 0xF0 ? 0x90 : 0x80, b == 0xF4 ? 0x8F : 0xBF) &&
                   inRange(i + 2, 0x80, 0xBF) && inRange(i + 3, 0x80, 0xBF)) {
            i += 4;
        } else {
            return false;
        }
    }
    return true;
}

namespace {
bool Ascii(std::string_view bytes) {
    bool ascii = true;
    for (const char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    return ascii;
}
} // namespace

std::optional<std::u16string> DecodeUtf8(std::string_view bytes) {
    if (Ascii(bytes)) // most texts: one unit per byte
        return std::u16string(bytes.begin(), bytes.end());
    if (!IsWellFormedUtf8(bytes))
        return std::nullopt;
    return Utf8ToUtf16(bytes);
}

std::optional<std::u16string_view> DecodeUtf8(std::string_view bytes, Utf16Storage& storage) {
    if (bytes.size() <= std::size(storage.shortText) && Ascii(bytes)) {
        std::copy(bytes.begin(), bytes.end(), storage.shortText);
        return std::u16string_view(storage.shortText, bytes.size());
    }
    std::optional<std::u16string> text = DecodeUtf8(bytes);
    if (!text)
        return std::nullopt;
    storage.longText = std::move(*text);
    return storage.longText;
}

} // namespace quillion::library
