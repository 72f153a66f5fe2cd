#include "runtime/ansi.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

namespace quillion {

namespace {

// Windows-1252 bytes 0x80..0x9F; the unassigned ones (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to
// the C1 control of the same value, as the host's table does.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98
};

// The host's best fit for Windows-1252 (its published WCTABLE for code page 1252) beyond the
// fullwidth forms: the characters it writes as an ASCII character they resemble (letters with
// marks as the bare letter, sub- and superscript digits as the digit, typographic spaces and
// dashes, box drawing, a few Greek letters and symbols). Sorted by code unit.
struct BestFit {
    char16_t from;
    char to;
};
constexpr BestFit kBestFit[] = {
    {0x0100, 'A'},  {0x0101, 'a'},  {0x0102, 'A'}, {0x0103, 'a'},  {0x0104, 'A'}, {0x0105, 'a'},
    {0x0106, 'C'},  {0x0107, 'c'},  {0x0108, 'C'}, {0x0109, 'c'},  {0x010A, 'C'}, {0x010B, 'c'},
    {0x010C, 'C'},  {0x010D, 'c'},  {0x010E, 'D'}, {0x010F, 'd'},  {0x0111, 'd'}, {0x0112, 'E'},
    {0x0113, 'e'},  {0x0114, 'E'},  {0x0115, 'e'}, {0x0116, 'E'},  {0x0117, 'e'}, {0x0118, 'E'},
    {0x0119, 'e'},  {0x011A, 'E'},  {0x011B, 'e'}, {0x011C, 'G'},  {0x011D, 'g'}, {0x011E, 'G'},
    {0x011F, 'g'},  {0x0120, 'G'},  {0x0121, 'g'}, {0x0122, 'G'},  {0x0123, 'g'}, {0x0124, 'H'},
    {0x0125, 'h'},  {0x0126, 'H'},  {0x0127, 'h'}, {0x0128, 'I'},  {0x0129, 'i'}, {0x012A, 'I'},
    {0x012B, 'i'},  {0x012C, 'I'},  {0x012D, 'i'}, {0x012E, 'I'},  {0x012F, 'i'}, {0x0130, 'I'},
    {0x0131, 'i'},  {0x0134, 'J'},  {0x0135, 'j'}, {0x0136, 'K'},  {0x0137, 'k'}, {0x0139, 'L'},
    {0x013A, 'l'},  {0x013B, 'L'},  {0x013C, 'l'}, {0x013D, 'L'},  {0x013E, 'l'}, {0x0141, 'L'},
    {0x0142, 'l'},  {0x0143, 'N'},  {0x0144, 'n'}, {0x0145, 'N'},  {0x0146, 'n'}, {0x0147, 'N'},
    {0x0148, 'n'},  {0x014C, 'O'},  {0x014D, 'o'}, {0x014E, 'O'},  {0x014F, 'o'}, {0x0150, 'O'},
    {0x0151, 'o'},  {0x0154, 'R'},  {0x0155, 'r'}, {0x0156, 'R'},  {0x0157, 'r'}, {0x0158, 'R'},
    {0x0159, 'r'},  {0x015A, 'S'},  {0x015B, 's'}, {0x015C, 'S'},  {0x015D, 's'}, {0x015E, 'S'},
    {0x015F, 's'},  {0x0162, 'T'},  {0x0163, 't'}, {0x0164, 'T'},  {0x0165, 't'}, {0x0166, 'T'},
    {0x0167, 't'},  {0x0168, 'U'},  {0x0169, 'u'}, {0x016A, 'U'},  {0x016B, 'u'}, {0x016C, 'U'},
    {0x016D, 'u'},  {0x016E, 'U'},  {0x016F, 'u'}, {0x0170, 'U'},  {0x0171, 'u'}, {0x0172, 'U'},
    {0x0173, 'u'},  {0x0174, 'W'},  {0x0175, 'w'}, {0x0176, 'Y'},  {0x0177, 'y'}, {0x0179, 'Z'},
    {0x017B, 'Z'},  {0x017C, 'z'},  {0x0180, 'b'}, {0x0197, 'I'},  {0x019A, 'l'}, {0x019F, 'O'},
    {0x01A0, 'O'},  {0x01A1, 'o'},  {0x01AB, 't'}, {0x01AE, 'T'},  {0x01AF, 'U'}, {0x01B0, 'u'},
    {0x01B6, 'z'},  {0x01C0, '|'},  {0x01C3, '!'}, {0x01CD, 'A'},  {0x01CE, 'a'}, {0x01CF, 'I'},
    {0x01D0, 'i'},  {0x01D1, 'O'},  {0x01D2, 'o'}, {0x01D3, 'U'},  {0x01D4, 'u'}, {0x01D5, 'U'},
    {0x01D6, 'u'},  {0x01D7, 'U'},  {0x01D8, 'u'}, {0x01D9, 'U'},  {0x01DA, 'u'}, {0x01DB, 'U'},
    {0x01DC, 'u'},  {0x01DE, 'A'},  {0x01DF, 'a'}, {0x01E4, 'G'},  {0x01E5, 'g'}, {0x01E6, 'G'},
    {0x01E7, 'g'},  {0x01E8, 'K'},  {0x01E9, 'k'}, {0x01EA, 'O'},  {0x01EB, 'o'}, {0x01EC, 'O'},
    {0x01ED, 'o'},  {0x01F0, 'j'},  {0x0261, 'g'}, {0x02B9, '\''}, {0x02BA, '"'}, {0x02BC, '\''},
    {0x02C4, '^'},  {0x02C8, '\''}, {0x02CB, '`'}, {0x02CD, '_'},  {0x0300, '`'}, {0x0302, '^'},
    {0x0303, '~'},  {0x030E, '"'},  {0x0331, '_'}, {0x0332, '_'},  {0x037E, ';'}, {0x0393, 'G'},
    {0x0398, 'T'},  {0x03A3, 'S'},  {0x03A6, 'F'}, {0x03A9, 'O'},  {0x03B1, 'a'}, {0x03B4, 'd'},
    {0x03B5, 'e'},  {0x03C0, 'p'},  {0x03C3, 's'}, {0x03C4, 't'},  {0x03C6, 'f'}, {0x04BB, 'h'},
    {0x0589, ':'},  {0x066A, '%'},  {0x2000, ' '}, {0x2001, ' '},  {0x2002, ' '}, {0x2003, ' '},
    {0x2004, ' '},  {0x2005, ' '},  {0x2006, ' '}, {0x2010, '-'},  {0x2011, '-'}, {0x2017, '='},
    {0x2032, '\''}, {0x2035, '`'},  {0x2044, '/'}, {0x2074, '4'},  {0x2075, '5'}, {0x2076, '6'},
    {0x2077, '7'},  {0x2078, '8'},  {0x207F, 'n'}, {0x2080, '0'},  {0x2081, '1'}, {0x2082, '2'},
    {0x2083, '3'},  {0x2084, '4'},  {0x2085, '5'}, {0x2086, '6'},  {0x2087, '7'}, {0x2088, '8'},
    {0x2089, '9'},  {0x20A7, 'P'},  {0x2102, 'C'}, {0x2107, 'E'},  {0x210A, 'g'}, {0x210B, 'H'},
    {0x210C, 'H'},  {0x210D, 'H'},  {0x210E, 'h'}, {0x2110, 'I'},  {0x2111, 'I'}, {0x2112, 'L'},
    {0x2113, 'l'},  {0x2115, 'N'},  {0x2118, 'P'}, {0x2119, 'P'},  {0x211A, 'Q'}, {0x211B, 'R'},
    {0x211C, 'R'},  {0x211D, 'R'},  {0x2124, 'Z'}, {0x2128, 'Z'},  {0x212A, 'K'}, {0x212C, 'B'},
    {0x212D, 'C'},  {0x212E, 'e'},  {0x212F, 'e'}, {0x2130, 'E'},  {0x2131, 'F'}, {0x2133, 'M'},
    {0x2134, 'o'},  {0x2212, '-'},  {0x2215, '/'}, {0x2216, '\\'}, {0x2217, '*'}, {0x221A, 'v'},
    {0x221E, '8'},  {0x2223, '|'},  {0x2229, 'n'}, {0x2236, ':'},  {0x223C, '~'}, {0x2261, '='},
    {0x2264, '='},  {0x2265, '='},  {0x2303, '^'}, {0x2320, '('},  {0x2321, ')'}, {0x2329, '<'},
    {0x232A, '>'},  {0x2500, '-'},  {0x250C, '+'}, {0x2510, '+'},  {0x2514, '+'}, {0x2518, '+'},
    {0x251C, '+'},  {0x252C, '-'},  {0x2534, '-'}, {0x253C, '+'},  {0x2550, '-'}, {0x2552, '+'},
    {0x2553, '+'},  {0x2554, '+'},  {0x2555, '+'}, {0x2556, '+'},  {0x2557, '+'}, {0x2558, '+'},
    {0x2559, '+'},  {0x255A, '+'},  {0x255B, '+'}, {0x255C, '+'},  {0x255D, '+'}, {0x2564, '-'},
    {0x2565, '-'},  {0x2566, '-'},  {0x2567, '-'}, {0x2568, '-'},  {0x2569, '-'}, {0x256A, '+'},
    {0x256B, '+'},  {0x256C, '+'},  {0x2584, '_'}, {0x2758, '|'},  {0x3000, ' '}, {0x3008, '<'},
    {0x3009, '>'},  {0x301A, '['},  {0x301B, ']'},
};

} // namespace

char ToAnsiChar(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c)
            return static_cast<char>(0x80 + i);
    if (c >= 0xFF01 && c <= 0xFF5E) // fullwidth ASCII variants
        return static_cast<char>(c - 0xFF01 + 0x21);
    const auto* fit = std::lower_bound(std::begin(kBestFit), std::end(kBestFit), c,
                                       [](const BestFit& e, char16_t u) { return e.from < u; });
    return fit != std::end(kBestFit) && fit->from == c ? fit->to : '?';
}

std::string ToAnsi(std::u16string_view text) {
    std::string out;
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        out[i] = ToAnsiChar(text[i]);
    return out;
}

char32_t AnsiToUnicode(unsigned char b) {
    if (b >= 0x80 && b < 0xA0)
        return kHigh[b - 0x80];
    return b;
}

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        auto cont = [&](std::size_t k) {
            return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        };
        auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]) & 0x3Fu; };
        if (b0 < 0x80) {
            cp = b0;
        } else if (b0 >= 0xC2 && b0 < 0xE0 && cont(1)) {
            cp = ((b0 & 0x1Fu) << 6) | at(1);
            len = 2;
        } else if (b0 >= 0xE0 && b0 < 0xF0 && cont(1) && cont(2)) {
            cp = ((b0 & 0x0Fu) << 12) | (at(1) << 6) | at(2);
            len = 3;
            if (cp < 0x800 || (cp >= 0xD800 && cp < 0xE000))
                cp = 0xFFFD;
        } else if (b0 >= 0xF0 && b0 < 0xF5 && cont(1) && cont(2) && cont(3)) {
            cp = ((b0 & 0x07u) << 18) | (at(1) << 12) | (at(2) << 6) | at(3);
            len = 4;
            if (cp < 0x10000 || cp > 0x10FFFF)
                cp = 0xFFFD;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

} // namespace quillion
