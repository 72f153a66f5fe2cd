// The application title as the window and its message boxes show it.
#pragma once

#include <string>
#include <string_view>

namespace quillion {

// The application title: the product name cut at its last blank, again while longer than 40
// characters. A name without a blank is the title as it stands.
std::u16string AppTitleFromProductName(std::u16string_view productName);

} // namespace quillion
