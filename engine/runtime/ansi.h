// The host's ANSI code page: Windows-1252, with the best-fit mapping the host applies when it
// converts 16-bit text (fullwidth forms U+FF01..U+FF5E become their ASCII characters, and so do
// the other characters of its best-fit table, e.g. U+0100 "A", U+2080 "0", U+221E "8"; anything
// else without a Windows-1252 byte becomes "?").
#pragma once

#include <string>
#include <string_view>

namespace quillion {

// One UTF-16 code unit to its Windows-1252 byte (best fit; "?" when there is none). Surrogates,
// lone or paired, have no byte and become "?".
char ToAnsiChar(char16_t c);

// UTF-16 text to Windows-1252, one byte per code unit (a surrogate pair gives "??", as the
// host's conversion does without a best-fit character).
std::string ToAnsi(std::u16string_view text);

// A Windows-1252 byte to its Unicode code point (the five unassigned bytes map to themselves).
char32_t AnsiToUnicode(unsigned char byte);

// UTF-8 to UTF-16 and back, for the command line and files. Invalid UTF-8 sequences become
// U+FFFD; lone surrogates become U+FFFD in UTF-8.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Appends the UTF-8 bytes of one code point.
void AppendUtf8(std::string& out, char32_t c);

} // namespace quillion
