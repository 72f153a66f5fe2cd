#include "app_title.h"

namespace quillion {

namespace {
constexpr std::size_t kMaxTitleLength = 40;
} // namespace

std::u16string AppTitleFromProductName(std::u16string_view productName) {
    std::u16string_view title = productName;
    do {
        const std::size_t blank = title.rfind(u' ');
        if (blank == std::u16string_view::npos)
            break; // nothing left to cut at
        title = title.substr(0, blank);
    } while (title.size() > kMaxTitleLength);
    return std::u16string(title);
}

} // namespace quillion
