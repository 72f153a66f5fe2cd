// GS1 Digital Link URIs: "https://id.gs1.org/01/09501101530003/10/AB-123?17=250101" to element
// pairs (primary key, qualifiers in order, then the query's attributes), and back.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillion {

// Whether the text is an http or https URI (any domain).
bool LooksLikeGs1DigitalLink(std::u16string_view text);

// The URI's elements as (AI, data), percent-decoded; "" or the reason it is no Digital Link
// URI. The elements' data are checked afterwards like any element string.
std::string Gs1DigitalLinkElements(std::u16string_view uri,
                                   std::vector<std::pair<std::u16string, std::u16string>>& out);

} // namespace quillion
