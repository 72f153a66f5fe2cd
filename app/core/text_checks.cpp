#include "text_checks.h"

#include <algorithm>

namespace quillion {

static bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool IsAllDigits(std::u16string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

bool IsCode39Text(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) {
        return IsDigit(c) || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
               std::u16string_view(u" -.$/+%").find(c) != std::u16string_view::npos;
    });
}

} // namespace quillion
