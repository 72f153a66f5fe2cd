// The character check and the encoder: accepted characters, symbol values, weights, check
// symbol and the 16-bit overflow limits.
#include "runtime/runtime.h"
#include "symbols/code128_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillion {
namespace {

using Values = std::vector<int>;

Values Encode(std::u16string_view text, std::int32_t check = 1) {
    const Code128Sequence s = EncodeCode128(text, check);
    return Values(s.begin(), s.end());
}

struct EncodeRow {
    int row;
    std::u16string text;
    std::int32_t check;
    Values expected;
};

TEST(Code128Encode, WorkedValues) {
    const EncodeRow rows[] = {
        {1, u"A", 1, {104, 33, 34}},
        {2, u"AB", 1, {104, 33, 34, 102}},
        {3, u" ", 1, {104, 0, 1}},
        {4, u"\u00B9", 1, {104, 102, 0}},
        {5, u"\x10", 1, {104, 98, 80, 53}}, // SHIFT, then DLE of code set A
        {6,
         u"A\x10"
         u"B",
         1,
         {104, 33, 98, 80, 34, 91}}, // weights 1, 2, 3, 4
        {7, u"Coca Cola 12pk $6.99", 1, {104, 35, 79, 67, 65, 0, 35, 79, 76, 65, 0,
                                         17,  18, 80, 75, 0,  4, 22, 14, 25, 25, 74}},
        {8, u"AB", 0, {104, 33, 34}},
        {9, u"AB", 2, {104, 33, 34}},
        {10, u"AB", -1, {104, 33, 34}},
        {11, u"code c", 1, {104, 67, 79, 68, 69, 0, 67, 78}},
        {12, u"1234", 1, {104, 17, 18, 19, 20, 88}},
        {13, u"~", 1, {104, 94, 95}},
        {14, u"\x7F", 1, {104, 95, 96}},
        {15, u"\u00B3\u00B2\u00BC", 1, {104, 96, 97, 100, 76}},
        {16, u"\u00BC", 1, {104, 100, 101}},
        {17, u" Q", 1, {104, 0, 49, 99}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Encode(r.text, r.check), r.expected) << "row " << r.row;
}

// A digit or letter accepted through its ANSI form encodes as that ANSI character, so bars,
// check symbol and caption agree.
TEST(Code128Encode, FullwidthDigitsAndLettersEncodeAsTheirAnsiForm) {
    const struct {
        int row;
        std::u16string fullwidth;
        std::u16string ascii;
    } rows[] = {
        {1, u"\uFF11", u"1"},
        {2, u"A\uFF22", u"AB"},
        {3, u"\uFF10\uFF19\uFF21\uFF3A\uFF41\uFF5A", u"09AZaz"},
        {4, u"x\uFF45y", u"xey"},
        {5, u"\u0100\u2080\u2074\u221E\u0107", u"A048c"}, // the rest of the best-fit table
    };
    for (const auto& r : rows) {
        EXPECT_TRUE(CheckCode128Text(r.fullwidth)) << "row " << r.row;
        EXPECT_EQ(Encode(r.fullwidth), Encode(r.ascii)) << "row " << r.row;
    }
    EXPECT_EQ(Encode(u"\uFF11"), (Values{104, 17, 18}));
}

TEST(Code128Check, AcceptsCodeSetBAndTheSpecialCharacters) {
    for (char16_t c = 0x20; c <= 0x7F; ++c)
        EXPECT_TRUE(CheckCode128Text(std::u16string(1, c))) << int(c);
    for (const char16_t c : {u'\x10', u'\u00B3', u'\u00B2', u'\u00BC', u'\u00B9'})
        EXPECT_TRUE(CheckCode128Text(std::u16string(1, c))) << int(c);
}

TEST(Code128Check, RejectsEverythingElse) {
    const struct {
        int row;
        std::u16string text;
    } rows[] = {
        {1, u"\u00E9"}, // e acute
        {2, u"\t"},     //
        {3, u"\n"},     //
        {4, u"\r"},     //
        {5, std::u16string(1, u'\0')},
        {6, u"\x0F"},          // neighbours of DLE
        {7, u"\x11"},          //
        {8, u"\u0080"},        //
        {9, u"\u00A0"},        // no-break space
        {10, u"\u00B1"},       // next to the superscripts
        {11, u"\u00B4"},       //
        {12, u"\u00BD"},       // one half, next to one quarter
        {13, u"\u00FF"},       //
        {14, u"\uFF01"},       // fullwidth "!": punctuation is compared exactly
        {15, u"\uFF20"},       // fullwidth "@"
        {16, u"\u0400"},       // no best fit
        {17, u"\uFFFD"},       //
        {18, u"\xD800"},       // lone high surrogate
        {19, u"\xDC00"},       // lone low surrogate
        {20, u"\xD83D\xDE00"}, // a surrogate pair (emoji)
        {21, u"ABC\u00E9DEF"}, // in the middle
        {22, u"ABCDEF\t"},     // at the end
    };
    for (const auto& r : rows)
        EXPECT_FALSE(CheckCode128Text(r.text)) << "row " << r.row;
    EXPECT_TRUE(CheckCode128Text(u""));
}

int OverflowNumber(std::u16string_view text) {
    try {
        EncodeCode128(text, 1);
    } catch (const RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

TEST(Code128Encode, SixteenBitWeightsOverflow) {
    const std::u16string spaces348(348, u' ');
    const struct {
        int row;
        std::u16string text;
        int error;
    } rows[] = {
        {1, spaces348 + u"~", 6},               // 349 x 94 = 32806
        {2, spaces348.substr(1) + u"~", 0},     // 348 x 94 = 32712
        {3, std::u16string(321, u'\u00B9'), 0}, // 321 x 102 = 32742
        {4, std::u16string(322, u'\u00B9'), 6}, // 322 x 102 = 32844
        {5, std::u16string(32766, u' '), 0},    // products 0, weight reaches 32767
        {6, std::u16string(32767, u' '), 6},    // the weight would pass 32767
        {7, std::u16string(5000, u'A'), 6},
        {8, std::u16string(4'000'000, u'A'), 6},
    };
    for (const auto& r : rows)
        EXPECT_EQ(OverflowNumber(r.text), r.error) << "row " << r.row;
}

TEST(Code128Encode, WidthDependsOnlyOnTheNumberOfDataSymbols) {
    // DLE yields two symbols, so it measures like two characters.
    const std::u16string texts[] = {u"AB", u"~~", u"\x10", u"\u00B9 ", u"\uFF21\uFF22"};
    for (std::size_t i = 0; i < std::size(texts); ++i)
        EXPECT_EQ(EncodeCode128(texts[i], 1).size(), 4u) << "row " << i + 1;
}

} // namespace
} // namespace quillion
