// Code 128 and GS1-128 symbols: the modules as zint makes them, fewer where the extended-mode
// latch pays, every symbol read back by ZXing-C++ to its reading; the window's set B unchanged;
// refusals with the character, its position and the limits.
#include "symbols/code128_symbol.h"

#include "decode.h"
#include "runtime/ansi.h"
#include "symbols/code128_text.h"

#include <gtest/gtest.h>

namespace quillion {
namespace {

// kStandIns: the shortest symbol with the window's stand-ins; kWindow: set B with them.
enum Kind { kAuto, kSetB, kStandIns, kWindow, kGs1 };

Encoded Encode(Kind kind, std::u16string_view text) {
    EncodeOptions o;
    o.autoCodeSet = kind == kAuto || kind == kStandIns;
    o.windowStandIns = kind == kStandIns || kind == kWindow;
    return kind == kGs1 ? EncodeGs1_128(text, o) : EncodeCode128(text, o);
}

std::string Modules(const std::vector<std::uint8_t>& runs) {
    std::string bits;
    for (std::size_t i = 0; i < runs.size(); ++i)
        bits.append(runs[i], i % 2 == 0 ? '1' : '0');
    return bits;
}

// The symbol at 2 pixels a module with its quiet zones, 30 pixels high, read by ZXing-C++.
testing::Decoded ReadBack(const Symbol& s) {
    constexpr int kPx = 2;
    Image image((s.quiet.left + s.WidthModules() + s.quiet.right) * kPx, 30, ToPixel(kWhite));
    int x = s.quiet.left * kPx;
    for (std::size_t i = 0; i < s.runs.size(); x += s.runs[i++] * kPx)
        for (int y = 0; i % 2 == 0 && y < image.height; ++y)
            for (int dx = 0; dx < s.runs[i] * kPx; ++dx)
                image.At(x + dx, y) = ToPixel(kBlack);
    return testing::DecodeImage(image, 0);
}

// The symbol of the text, its text and quiet zones checked, read back to its reading.
Symbol Checked(Kind kind, std::u16string_view text, int row) {
    const Encoded encoded = Encode(kind, text);
    const Refusal* refused = std::get_if<Refusal>(&encoded);
    EXPECT_EQ(refused, nullptr) << "row " << row << ": " << (refused ? refused->message : "");
    if (refused != nullptr)
        return {};
    const Symbol& s = std::get<Symbol>(encoded);
    EXPECT_EQ(s.quiet, (QuietModules{10, 10, 0, 0})) << "row " << row;
    EXPECT_EQ(s.barModules, 40) << "row " << row;
    EXPECT_EQ(s.text.size(), 1u) << "row " << row;
    if (!s.text.empty()) { // GS1 rows are given in their human-readable form
        EXPECT_EQ(s.text[0].text, Utf16ToUtf8(text)) << "row " << row;
        EXPECT_EQ(s.text[0].x * 2, s.WidthModules()) << "row " << row;
    }
    const testing::Decoded read = ReadBack(s);
    EXPECT_TRUE(read.ok) << "row " << row;
    EXPECT_EQ(read.bytes, s.reading) << "row " << row;
    EXPECT_EQ(read.identifier, s.identifier.empty() ? "]C0" : s.identifier) << "row " << row;
    return s;
}

TEST(Code128Symbol, ModulesAsZintMakesThemAndReadBack) {
    // Expected: zint --barcode=20 --binary --esc --dump (Code 128), zint --barcode=16 --gs1
    // --gs1parens --dump (GS1-128), the dump's hexadecimal digits written out as modules.
    const struct {
        Kind kind;
        std::u16string text;
        const char* modules;
    } rows[] = {
        {kAuto, u"Quillion 128",
         "11010010000110100011101001111001010000110100110010100001100101000010000110100100011110101"
         "100001010011011001100100111001101100111001011101001100111101000101100011101011"},
        {kAuto, u"0123456789",
         "11010011100110011011001110110111010111011000100001011001101101111010000110100110001110101"
         "1"},
        {kAuto, u"Ab12345678cd",
         "11010010000101000110001001000011010111011110101100111001000101100011100010110110000101001"
         "01111011101000010110010000100110110001000101100011101011"},
        {kAuto, u"\u00E9\u00E9\u00E9",
         "11010010000101111011101011110111010000110100100001101001000011010010001101110110001110101"
         "1"},
        {kAuto, u"\u00E9a", "11010010000101111011101000011010010010110000110110110001100011101011"},
        {kAuto, u"a\u0001b",
         "1101001000010010110000111101000101001011000010010000110110110011001100011101011"},
        {kAuto, u"\u0081\u009F",
         "1101000010011101011110100101100001110101111010111101000110111101101100011101011"},
        {kAuto, std::u16string(30, u'\u00FF'),
         "11010010000101111011101011110111010111101000101111010001011110100010111101000101111010001"
         "01111010001011110100010111101000101111010001011110100010111101000101111010001011110100010"
         "11110100010111101000101111010001011110100010111101000101111010001011110100010111101000101"
         "11101000101111010001011110100010111101000101111010001011110100010111101000101111010001011"
         "1101000101110011001100011101011"},
        {kAuto, u"\u00C7a va? Tr\u00E8s bien.",
         "11010010000101111011101101000100010010110000110110011001111010010010010110000110110001101"
         "10110011001101110001010010011110101111011101001100001010111100100110110011001001000011010"
         "000110100101100100001100001010010011001110110110001101100011101011"},
        {kAuto, u"x\u00D7y\u00F7z",
         "11010010000111100100101011110111011101000110110110111101011110111011110010100110111101101"
         "01000111101100011101011"},
        {kAuto, u"\u00FF\u0001\u00FF",
         "11010010000101111011101011110100011110100010100101100001011110111010111101000110010000101"
         "100011101011"},
        {kAuto, u"12345\u0001",
         "11010011100101100111001000101100011101011110110111001001001011000010000110100110001110101"
         "1"},
        {kSetB, u"Quillion 128",
         "11010010000110100011101001111001010000110100110010100001100101000010000110100100011110101"
         "100001010011011001100100111001101100111001011101001100111101000101100011101011"},
        {kSetB, u"\u00E9", "110100100001011110111010000110100110001000101100011101011"},
        {kSetB, u"Gr\u00FC\u00DFe",
         "11010010000110100010001001001111010111101110101011110001011110111010100110000101100100001"
         "01100001001100011101011"},
        {kGs1, u"(01)09501101530003(10)AB-123",
         "11010011100111101011101100110110011001001000110001011101100010010011001101100110111011101"
         "10110011001001001100011001000100101111011101010001100010001011000100110111001001110011011"
         "00111001011001011100100001011001100011101011"},
        {kGs1, u"(01)09501101530003(17)250101(10)AB-123",
         "11010011100111101011101100110110011001001000110001011101100010010011001101100110111011101"
         "10110011001001001100010011100110111001011001100110110011001101100110010001001011110111010"
         "100011000100010110001001101110010011100110110011100101100101110010011010000110001110101"
         "1"},
        {kGs1, u"(01)09501101530003(10)12(21)34",
         "11010011100111101011101100110110011001001000110001011101100010010011001101100110111011101"
         "1011001100100100110001100100010010110011100111101011101101110010010001011000110010001001100011101011"},
        {kGs1, u"(01)09501101530003(10)ABC1234567",
         "11010011100111101011101100110110011001001000110001011101100010010011001101100110111011101"
         "10110011001001001100011001000100101111011101010001100010001011000100010001101001110011010"
         "111011110111011011101011101100010000101100110001001001100011101011"},
    };
    int row = 0;
    for (const auto& r : rows) {
        ++row;
        const Symbol s = Checked(r.kind, r.text, row);
        EXPECT_EQ(Modules(s.runs), r.modules) << "row " << row;
    }
}

TEST(Code128Symbol, FewerModulesThanZintWhereTheLatchPays) {
    const struct {
        Kind kind;
        std::u16string text;
        int modules; // Quillion's; zint 2.11's in the comment, where it takes the text
        const char* reading;
    } rows[] = {
        {kAuto, u"\u00E9\u00E9\u00E9a\u00E9\u00E9\u00E9", 145,
         "\xE9\xE9\xE9"
         "a\xE9\xE9\xE9"}, // 167
        {kAuto, u"\u00C0\u00C1\u00C212345678", 145,
         "\xC0\xC1\xC2"
         "12345678"}, // 156
        // zint's 255 modules latch again after the digits, and read as "iiiii" at the end.
        {kAuto, u"\u00E9\u00E9\u00E9\u00E9\u00E912345678\u00E9\u00E9\u00E9\u00E9\u00E9", 233,
         "\xE9\xE9\xE9\xE9\xE9"
         "12345678\xE9\xE9\xE9\xE9\xE9"},
        {kAuto, std::u16string(992, u'\u00E9'), (1 + 2 + 992 + 1) * 11 + 13, nullptr},
        {kGs1, u"(01)09501101530003(10)AB-123", 222,
         "0109501101530003"
         "10AB-123"},
    };
    int row = 0;
    for (const auto& r : rows) {
        const Symbol s = Checked(r.kind, r.text, ++row);
        EXPECT_EQ(s.WidthModules(), r.modules) << "row " << row;
        if (r.reading != nullptr) {
            EXPECT_EQ(s.reading, r.reading) << "row " << row;
        }
    }
}

TEST(Code128Symbol, WindowSetBIsTheWindowsSymbolAndStandInsReadAsFunctions) {
    // Texts the window takes: the same values as its own engine (check symbol on).
    for (const std::u16string text : {u"Quillion 128", u"A\u00B9B\u00B2C", u"\u0010x",
                                      u"\uFF21\uFF42\uFF11", u"\u0100\uFF11\u2080"})
        EXPECT_EQ(Modules(std::get<Symbol>(Encode(kWindow, text)).runs),
                  Modules(Code128Runs(EncodeCode128(text, 1))));
    const struct {
        Kind kind;
        std::u16string text;
        const char* reading;
        const char* identifier;
    } rows[] = {
        {kWindow, u"\u0100\uFF11\u2080", "A10", ""}, // the window's best-fit characters
        {kWindow, u"A\u00B9B", "AB", "]C2"},         // FNC1 after one letter: an indicator
        {kStandIns, u"12\u00B934", "1234", "]C2"},   // after two digits in set C
        {kWindow, u"12\u00B934",
         "12\x1D"
         "34",
         ""},                                    // in set B it is GS
        {kStandIns, u"a\u00B912", "a12", "]C2"}, // kept in set B before the digits
        {kStandIns, u"AB\u00B9CD",
         "AB\x1D"
         "CD",
         ""},
        {kStandIns, u"\u00B90109501101530003", "0109501101530003", "]C1"},
        {kWindow, u"\u00BCA", "\xC1", ""},                            // a bare FNC4
        {kStandIns, u"\u00BC\u00E9\u00E9x", "\xE9i\xF8", ""},         // FNC4 twice: latched
        {kAuto, u"\u00B9\u00B2\u00B3\u00BC", "\xB9\xB2\xB3\xBC", ""}, // Latin-1 text otherwise
    };
    int row = 0;
    for (const auto& r : rows) {
        const Symbol s = Checked(r.kind, r.text, ++row);
        EXPECT_EQ(s.reading, r.reading) << "row " << row;
        EXPECT_EQ(s.identifier, r.identifier) << "row " << row;
    }
}

TEST(Code128Symbol, RefusalsNameTheCharacterOrTheLimit) {
    const std::string notLatin1 = " is not in ISO 8859-1; Code 128 holds ISO 8859-1 text";
    const struct {
        Kind kind;
        std::u16string text;
        std::int32_t number;
        std::string message;
    } rows[] = {
        {kAuto, u"", kErrorRejected, "nothing was painted (the text is empty)"},
        {kGs1, u"", kErrorRejected, "nothing was painted (the text is empty)"},
        {kAuto, u"\u0100\uFF11\u2080", kErrorRejected,
         "the character '\u0100' (U+0100) at position 1" + notLatin1},
        {kStandIns, u"x\uFF11", kErrorRejected,
         "the character '\uFF11' (U+FF11) at position 2" + notLatin1},
        // Set B refuses as the window's engine does.
        {kSetB, u"\U0001F600ab\u20AC", 54548,
         "Error(54548):Illegal character for this symbology specified."},
        {kSetB, u"a\u0001b", 54548, "Error(54548):Illegal character for this symbology specified."},
        {kAuto, u"ab\u20AC", kErrorRejected,
         "the character '\u20AC' (U+20AC) at position 3" + notLatin1},
        {kAuto, u"a\xD800", kErrorRejected, "the lone surrogate U+D800 at position 2" + notLatin1},
        {kWindow, u"A\tB", 54548, "Error(54548):Illegal character for this symbology specified."},
        {kAuto, std::u16string(1000, u'a'), kErrorTooLong,
         "too long for Code 128: 1,000 characters, at most 992"},
        {kWindow, std::u16string(993, u'A'), kErrorTooLong,
         "too long for Code 128: 993 characters, at most 992"}, // 993 x 33 passes 32767
        {kWindow, std::u16string(400, u'z'), kErrorTooLong,
         "too long for Code 128: 400 characters, at most 364"}, // 364 x 90 = 32760
        {kGs1, u"(01)09501101530004", kErrorRejected,
         "GS1 element (01) 09501101530004: check digit must be 3"},
        {kGs1, u"(01)09501101530003(10)ABCDEFGHIJKLMNOPQRST(21)ABCDEFGHIJKL", kErrorTooLong,
         "too long for GS1-128: 52 data characters, at most 48"},
    };
    int row = 0;
    for (const auto& r : rows) {
        ++row;
        const Encoded e = Encode(r.kind, r.text);
        const Refusal* refusal = std::get_if<Refusal>(&e);
        ASSERT_NE(refusal, nullptr) << "row " << row;
        EXPECT_EQ(refusal->number, r.number) << "row " << row;
        EXPECT_EQ(refusal->message, r.message) << "row " << row;
    }
    // The window's own limit is its arithmetic: spaces (value 0) go on to 32766.
    EXPECT_TRUE(std::holds_alternative<Symbol>(Encode(kWindow, std::u16string(5000, u' '))));
}

} // namespace
} // namespace quillion
