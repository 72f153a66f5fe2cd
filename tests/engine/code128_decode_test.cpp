// Painted Code 128 barcodes read by an independent decoder (ZXing-C++) to exactly their text.
#include "code128_fixtures.h"
#include "decode.h"
#include "draw/surface.h"
#include "runtime/ansi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace quillion {
namespace {

using testing::Cut;
using testing::Draw;
using testing::WindowRequest;

struct DecodeRow {
    int row;
    std::u16string text;
    bool caption;
    std::int32_t position; // 1 below, 2 above
    std::int32_t style;    // the window's five: regular, bold, italic, bold italic, underline
    std::int32_t moduleWidth;
    std::string expected; // UTF-8
};

std::u16string Printable(char16_t from, char16_t to) {
    std::u16string s;
    for (char16_t c = from; c <= to; ++c)
        s += c;
    return s;
}

template <typename Text> Text WithDle(Text text) {
    std::replace(text.begin(), text.end(), typename Text::value_type('|'),
                 typename Text::value_type(0x10));
    return text;
}
std::u16string Dle(std::u16string text) {
    return WithDle(std::move(text));
}
std::string DleBytes(std::string text) {
    return WithDle(std::move(text));
}

TEST(Code128Decode, PaintedBarcodesReadBackToTheirText) {
    const DecodeRow rows[] = {
        // All printable ASCII in five pieces, with the window's options.
        {1, Printable(0x20, 0x32), true, 1, 0, 1, " !\"#$%&'()*+,-./012"},
        {2, Printable(0x33, 0x45), true, 2, 1, 1, "3456789:;<=>?@ABCDE"},
        {3, Printable(0x46, 0x58), false, 1, 2, 1, "FGHIJKLMNOPQRSTUVWX"},
        {4, Printable(0x59, 0x6B), true, 1, 3, 1, "YZ[\\]^_`abcdefghijk"},
        {5, Printable(0x6C, 0x7E), true, 2, 4, 1, "lmnopqrstuvwxyz{|}~"},
        {6, u"Coca Cola 12pk $6.99", true, 1, 0, 1, "Coca Cola 12pk $6.99"},
        {7, u"A", false, 1, 0, 1, "A"},
        {8, u"AB", true, 2, 0, 1, "AB"},
        {9, u"1234", true, 1, 1, 2, "1234"},
        {10, u"code c", false, 1, 0, 2, "code c"},
        {11, u"Hello, World!", true, 2, 2, 2, "Hello, World!"},
        {12, u"~~~~", true, 1, 4, 3, "~~~~"},
        {13, u"0", true, 2, 3, 3, "0"},
        {14, u"a b c", false, 1, 0, 3, "a b c"},
        {15, u"123456789012345678901", true, 1, 0, 1, "123456789012345678901"},
        {16, u"   ", true, 1, 0, 1, "   "},
        {17, u"Quillion-2017/04/05", true, 2, 1, 2, "Quillion-2017/04/05"},
        {18, u"{[(<>)]}", true, 1, 2, 1, "{[(<>)]}"},
        {19, u"x", true, 2, 4, 2, "x"},
        {20, u"MIXED case 42", false, 2, 3, 1, "MIXED case 42"},
        {21, u"\"quoted\" & 'single'", true, 1, 0, 1, "\"quoted\" & 'single'"},
        // Fullwidth digits and letters encode as their ANSI form, so they read as ASCII.
        {22, u"\uFF11\uFF12\uFF13", true, 1, 0, 1, "123"},
        {23, u"Code\uFF21\uFF42", true, 2, 0, 2, "CodeAb"},
        // DLE (written | here) is SHIFT and the code set A value 80: at the start, the end,
        // twice in a row, alone.
        {24, Dle(u"|"), true, 1, 0, 1, DleBytes("|")},
        {25, Dle(u"|"), false, 1, 0, 2, DleBytes("|")},
        {26, Dle(u"A|a"), true, 1, 0, 1, DleBytes("A|a")},
        {27, Dle(u"A|a"), false, 2, 1, 1, DleBytes("A|a")},
        {28, Dle(u"|Start"), true, 2, 0, 1, DleBytes("|Start")},
        {29, Dle(u"End|"), false, 1, 3, 1, DleBytes("End|")},
        {30, Dle(u"x||y"), true, 1, 4, 2, DleBytes("x||y")},
        {31, Dle(u"|||"), false, 1, 0, 1, DleBytes("|||")},
        {32, Dle(u"12|34||56"), true, 2, 2, 1, DleBytes("12|34||56")},
    };
    for (const auto& r : rows) {
        // The window's 427 x 73 picture; wider modules need a wider surface.
        const int width = r.moduleWidth == 1 ? testing::kWindowWidth : 1200;
        DrawingSurface surface(width, testing::kWindowHeight);
        BarcodeRequest request = WindowRequest(r.text, r.caption, r.position, r.style);
        request.ModuleWidth = r.moduleWidth;
        ASSERT_EQ(Draw(request, surface.hDC()), 0) << "row " << r.row;
        ASSERT_LE(request.Width, width) << "row " << r.row;
        const Image image = Cut(surface.GetImage(), request.Width, request.Height);
        const auto decoded = quillion::testing::DecodeImage(image);
        EXPECT_TRUE(decoded.ok) << "row " << r.row;
        EXPECT_EQ(decoded.format, "Code128") << "row " << r.row;
        EXPECT_EQ(decoded.text, r.expected) << "row " << r.row;
    }
}

} // namespace
} // namespace quillion
