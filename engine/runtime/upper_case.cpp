#include "runtime/upper_case.h"

#include <clocale>
#include <cwctype>
#include <locale.h>

namespace quillion {

namespace {

// The C.UTF-8 locale's character classes, opened once and kept for the life of the process;
// null when the C library does not provide it.
locale_t Utf8CType() {
    static const locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return loc;
}

// Used only when the locale is missing: ASCII and Latin-1 letters.
char16_t UpperLatin1(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF)
        return 0x178;
    if (c == 0xB5)
        return 0x39C;
    return c;
}

} // namespace

std::u16string ToUpperCase(std::u16string_view text) {
    std::u16string out(text);
    const locale_t loc = Utf8CType();
    for (char16_t& c : out) {
        if (c < 0x80) {
            if (c >= u'a' && c <= u'z')
                c = static_cast<char16_t>(c - 0x20);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            // half of a surrogate pair: no case of its own
        } else if (loc != static_cast<locale_t>(0)) {
            const wint_t u = towupper_l(static_cast<wint_t>(c), loc);
            if (u <= 0xFFFF && !(u >= 0xD800 && u <= 0xDFFF))
                c = static_cast<char16_t>(u);
        } else {
            c = UpperLatin1(c);
        }
    }
    return out;
}

} // namespace quillion
