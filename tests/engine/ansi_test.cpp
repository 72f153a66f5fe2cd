// Windows-1252 with best fit, and the UTF-8 / UTF-16 conversions of the command line and files.
#include "runtime/ansi.h"

#include <gtest/gtest.h>

#include <string>

namespace quillion {
namespace {

TEST(Ansi, BestFitToWindows1252) {
    struct Row {
        int row;
        char16_t in;
        unsigned char out;
    };
    // Rows 12, 20 and 24-29: the host's best-fit table beyond the fullwidth forms.
    const Row rows[] = {
        {1, u'A', 'A'},    {2, 0x0000, 0x00},  {3, 0x007F, 0x7F},  {4, 0x00E9, 0xE9},
        {5, 0x00FF, 0xFF}, {6, 0x00A0, 0xA0},  {7, 0x20AC, 0x80},  {8, 0x0178, 0x9F},
        {9, 0x2122, 0x99}, {10, 0x0081, 0x81}, {11, 0x0080, '?'},  {12, 0x0100, 'A'},
        {13, 0xFF11, '1'}, {14, 0xFF01, '!'},  {15, 0xFF5E, '~'},  {16, 0xFF5F, '?'},
        {17, 0xFF00, '?'}, {18, 0xD800, '?'},  {19, 0xDFFF, '?'},  {20, 0x3000, ' '},
        {21, 0xFFFD, '?'}, {22, 0x0152, 0x8C}, {23, 0x2014, 0x97}, {24, 0x2080, '0'},
        {25, 0x2074, '4'}, {26, 0x221E, '8'},  {27, 0x301B, ']'},  {28, 0x0101, 'a'},
        {29, 0x4E00, '?'},
    };
    for (const Row& r : rows)
        EXPECT_EQ(static_cast<unsigned char>(ToAnsiChar(r.in)), r.out) << "row " << r.row;
    // A surrogate pair is two code units, each without a byte.
    EXPECT_EQ(ToAnsi(u"A\U0001F600B"), "A??B");
    EXPECT_EQ(ToAnsi(u"\xD800x\xDC00"), "?x?");
    EXPECT_EQ(ToAnsi(u"\uFF21\uFF22 \u20AC"), "AB \x80");
    EXPECT_EQ(ToAnsi(u""), "");
}

TEST(Ansi, EveryByteRoundTripsThroughUnicode) {
    for (int b = 0; b < 256; ++b) {
        const char32_t cp = AnsiToUnicode(static_cast<unsigned char>(b));
        ASSERT_LT(cp, 0x10000u);
        const bool unassigned = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        if (unassigned)
            EXPECT_EQ(cp, static_cast<char32_t>(b)) << b;
        else
            EXPECT_EQ(static_cast<unsigned char>(ToAnsiChar(static_cast<char16_t>(cp))), b) << b;
    }
    EXPECT_EQ(AnsiToUnicode(0x80), U'\u20AC');
}

TEST(Utf, RoundTripsOfValidText) {
    const std::u16string samples[] = {u"",         u"AB",         u"\u00E9t\u00E9",
                                      u"\u20AC 5", u"\U0001F600", u"\uFFFF\u0800\u07FF"};
    for (const auto& s : samples)
        EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(s)), s);
    EXPECT_EQ(Utf16ToUtf8(u"\u20AC"), "\xE2\x82\xAC");
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(Utf, InvalidInputBecomesReplacementCharacters) {
    struct Row {
        int row;
        std::string utf8;
        std::u16string utf16;
    };
    const Row rows[] = {
        {1, "\x80", u"\uFFFD"},             // lone continuation byte
        {2, "\xC3", u"\uFFFD"},             // truncated
        {3, "\xC0\xAF", u"\uFFFD\uFFFD"},   // overlong
        {4, "\xE0\x80\xAF", u"\uFFFD"},     // overlong three-byte form
        {5, "\xED\xA0\x80", u"\uFFFD"},     // encoded surrogate
        {6, "\xF4\x90\x80\x80", u"\uFFFD"}, // beyond U+10FFFF
        {7,
         "\xFF"
         "A",
         u"\uFFFDA"},
        {8, "A\xE2\x82", u"A\uFFFD\uFFFD"},
        {9, std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Row& r : rows)
        EXPECT_EQ(Utf8ToUtf16(r.utf8), r.utf16) << "row " << r.row;
    EXPECT_EQ(Utf16ToUtf8(u"\xD800"), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(u"\xDC00\xD800"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(u"a\xD83D"), "a\xEF\xBF\xBD");
}

} // namespace
} // namespace quillion
