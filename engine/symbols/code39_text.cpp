#include "symbols/code39_text.h"

#include <array>

namespace quillion {
namespace {

constexpr std::u16string_view kValues = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";

// The Full ASCII form of each ASCII character (ISO/IEC 16388, Full ASCII table).
constexpr std::array<std::string_view, 128> kFullAscii = {
    "%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J", "$K", "$L", "$M", "$N", "$O",
    "$P", "$Q", "$R", "$S", "$T", "$U", "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E",
    " ",  "/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H", "/I", "/J", "/K", "/L", "-",  ".",  "/O",
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "/Z", "%F", "%G", "%H", "%I", "%J",
    "%V", "A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "I",  "J",  "K",  "L",  "M",  "N",  "O",
    "P",  "Q",  "R",  "S",  "T",  "U",  "V",  "W",  "X",  "Y",  "Z",  "%K", "%L", "%M", "%N", "%O",
    "%W", "+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I", "+J", "+K", "+L", "+M", "+N", "+O",
    "+P", "+Q", "+R", "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z", "%P", "%Q", "%R", "%S", "%T",
};

} // namespace

char16_t Code39CheckCharacter(std::u16string_view text) {
    std::size_t sum = 0;
    for (const char16_t c : text) {
        const std::size_t value = kValues.find(c);
        sum += value == std::u16string_view::npos ? 0 : value;
    }
    return kValues[sum % kValues.size()];
}

std::optional<std::u16string> Code39FullAscii(std::u16string_view text) {
    std::u16string encoded;
    encoded.reserve(text.size() * 2);
    for (const char16_t c : text) {
        if (c >= kFullAscii.size())
            return std::nullopt;
        for (const char e : kFullAscii[c])
            encoded.push_back(static_cast<char16_t>(e));
    }
    return encoded;
}

} // namespace quillion
