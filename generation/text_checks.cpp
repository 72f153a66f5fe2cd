#include "text_checks.h"

#include "symbols/upc_digits.h"

#include <algorithm>
#include <span>

namespace quillion {

static bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool IsAllDigits(std::u16string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

std::optional<char16_t> WrongUpcACheckDigit(std::u16string_view text) {
    const auto digits = AsciiDigits<12>(text);
    if (!digits)
        return std::nullopt;
    const int right = Gs1CheckDigit(std::span(*digits).first(11));
    if (right == (*digits)[11])
        return std::nullopt;
    return static_cast<char16_t>(u'0' + right);
}

std::u16string WithUpcACheckDigit(std::u16string_view text) {
    std::u16string result(text);
    if (const auto digits = AsciiDigits<11>(text))
        result += static_cast<char16_t>(u'0' + Gs1CheckDigit(*digits));
    return result;
}

bool IsCode39Text(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) {
        return IsDigit(c) || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
               std::u16string_view(u" -.$/+%").find(c) != std::u16string_view::npos;
    });
}

} // namespace quillion
