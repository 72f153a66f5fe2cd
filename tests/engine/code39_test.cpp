// Code 39 renderer: geometry read back from the raster, element widths against the standard's
// character table, and an independent reader.
#include "decode.h"
#include "draw/surface.h"
#include "raster_probe.h"
#include "runtime/runtime.h"
#include "symbols/bar39.h"
#include "symbols/mBarcode.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace quillion {
namespace {

using testing::AllLight;
using testing::DecodeImage;
using testing::IsDark;
using testing::RowString;

// Character widths of ISO/IEC 16388, bar first, bars and spaces alternating; n narrow, w wide.
const std::map<char, std::string_view> kStandardWidths = {
    {'0', "nnnwwnwnn"}, {'1', "wnnwnnnnw"}, {'2', "nnwwnnnnw"}, {'3', "wnwwnnnnn"},
    {'4', "nnnwwnnnw"}, {'5', "wnnwwnnnn"}, {'6', "nnwwwnnnn"}, {'7', "nnnwnnwnw"},
    {'8', "wnnwnnwnn"}, {'9', "nnwwnnwnn"}, {'A', "wnnnnwnnw"}, {'B', "nnwnnwnnw"},
    {'C', "wnwnnwnnn"}, {'D', "nnnnwwnnw"}, {'E', "wnnnwwnnn"}, {'F', "nnwnwwnnn"},
    {'G', "nnnnnwwnw"}, {'H', "wnnnnwwnn"}, {'I', "nnwnnwwnn"}, {'J', "nnnnwwwnn"},
    {'K', "wnnnnnnww"}, {'L', "nnwnnnnww"}, {'M', "wnwnnnnwn"}, {'N', "nnnnwnnww"},
    {'O', "wnnnwnnwn"}, {'P', "nnwnwnnwn"}, {'Q', "nnnnnnwww"}, {'R', "wnnnnnwwn"},
    {'S', "nnwnnnwwn"}, {'T', "nnnnwnwwn"}, {'U', "wwnnnnnnw"}, {'V', "nwwnnnnnw"},
    {'W', "wwwnnnnnn"}, {'X', "nwnnwnnnw"}, {'Y', "wwnnwnnnn"}, {'Z', "nwwnwnnnn"},
    {'-', "nwnnnnwnw"}, {'.', "wwnnnnwnn"}, {' ', "nwwnnnwnn"}, {'*', "nwnnwnwnn"},
    {'$', "nwnwnwnnn"}, {'/', "nwnwnnnwn"}, {'+', "nwnnnwnwn"}, {'%', "nnnwnwnwn"},
};

// The row of a symbol as the standard draws it with narrow width n: one narrow white margin,
// start character, the characters with a pattern (others skipped), stop character, each
// followed by a narrow gap, then one more narrow white strip. '#' dark, '.' light.
std::string ExpectedRow(std::string_view upperText, int n) {
    std::string row(std::size_t(n), '.');
    auto add = [&](char c) {
        bool bar = true;
        for (const char w : kStandardWidths.at(c)) {
            row.append(std::size_t((w == 'w' ? 2 : 1) * n), bar ? '#' : '.');
            bar = !bar;
        }
        row.append(std::size_t(n), '.');
    };
    add('*');
    for (const char c : upperText)
        if (kStandardWidths.count(c))
            add(c);
    add('*');
    row.append(std::size_t(n), '.');
    return row;
}

// A surface prepared as the window prepares its picture area before a Code 39 generation:
// drawing unit pixels, container in twips, outer height scaled so the inner height is
// innerHeightPx, font 10 pt, cleared.
std::unique_ptr<DrawingSurface> Code39Surface(int innerHeightPx = 56, int widthPx = 427,
                                              int heightPx = 73) {
    auto s = std::make_unique<DrawingSurface>(widthPx, heightPx);
    s->SetScaleMode(ScaleMode::Pixels);
    s->SetAutoRedraw(true);
    s->Cls();
    s->SetContainerScaleMode(ScaleMode::Twips);
    s->SetOuterHeight(s->OuterHeight() * innerHeightPx / s->ScaleHeight());
    s->SetFontSize(10);
    s->Cls();
    return s;
}

TEST(Code39, DrawableWidthIsThirteenNarrowWidthsPerCharacterPlusTwo) {
    struct Row {
        int line;
        std::u16string text;
        int narrowWidths;
    };
    const Row rows[] = {
        {1, u"A", 41},           // start, A, stop: no check character
        {2, u"!!", 28},          // no pattern: start and stop side by side
        {3, u"#@,", 28},         // number sign, commercial at, comma skipped
        {4, u"ABC-12", 106},     // 8 characters
        {5, u"*", 41},           // a typed asterisk is a character of its own
        {6, u"a!b", 54},         // lower case upper-cased, "!" skipped
        {7, u"\u00e9A", 41},     // E acute upper-cases to a byte above 90: skipped
        {8, u"\uff41", 41},      // fullwidth a -> fullwidth A -> best fit "A"
        {9, u"\u4e2d", 28},      // no Windows-1252 byte: "?" has no pattern
        {10, u"\U0001F600", 28}, // surrogate pair: two "?"
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        auto s = Code39Surface();
        DrawCode39(r.text, *s);
        EXPECT_EQ(s->WidthPx(), r.narrowWidths);
        EXPECT_EQ(s->ScaleWidth(), r.narrowWidths);
        EXPECT_EQ(s->HeightPx(), 56);
        EXPECT_EQ(s->GetScaleMode(), ScaleMode::Pixels);
    }
}

TEST(Code39, NarrowWidthFromScaleHeightRoundsHalfToEven) {
    struct Row {
        int line;
        int scaleHeight;
        int narrow;
    };
    const Row rows[] = {
        {1, 56, 1},  {2, 59, 1}, {3, 60, 2}, // 1.5 -> 2
        {4, 100, 2},                         // 2.5 -> 2
        {5, 140, 4},                         // 3.5 -> 4
        {6, 180, 4},                         // 4.5 -> 4
        {7, 20, 1},                          // 0.5 -> 0, raised to 1
        {8, 1, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        auto s = Code39Surface(r.scaleHeight, 427, 200);
        ASSERT_EQ(s->ScaleHeight(), r.scaleHeight);
        DrawCode39(u"A", *s);
        EXPECT_EQ(s->WidthPx(), 41 * r.narrow);
    }
}

TEST(Code39, ElementWidthsMatchTheStandard) {
    struct Row {
        int line;
        std::u16string text;
        std::string upper;
        int innerHeight;
        int narrow;
    };
    const Row rows[] = {
        {1, u"ABC-12 $/+%.", "ABC-12 $/+%.", 56, 1},
        {2, u"0123456789", "0123456789", 56, 1},
        {3, u"ABCDEFGHIJKLM", "ABCDEFGHIJKLM", 56, 1},
        {4, u"nopqrstuvwxyz", "NOPQRSTUVWXYZ", 56, 1},
        {5, u"A*B", "A*B", 56, 1},
        {6, u"a#b@c,d!", "A#B@C,D!", 80, 2},
        {7, u"ABC-12 $/+%.", "ABC-12 $/+%.", 120, 3},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        auto s = Code39Surface(r.innerHeight, 600, r.innerHeight);
        DrawCode39(r.text, *s);
        const std::string expected = ExpectedRow(r.upper, r.narrow);
        EXPECT_EQ(RowString(s->GetImage(), 0), expected);
        // Bars run down to y2 = height - 1.5 T, one row above the caption strip.
        const double t = s->TextHeight(r.text);
        const int y2 = static_cast<int>(RoundHalfEven(r.innerHeight - 1.5 * t));
        EXPECT_EQ(RowString(s->GetImage(), y2), expected);
        EXPECT_TRUE(IsDark(s->GetImage().At(r.narrow, y2)));
        EXPECT_FALSE(IsDark(s->GetImage().At(r.narrow, y2 + 1)));
    }
}

TEST(Code39, UpperCasingGivesTheSameBars) {
    struct Row {
        int line;
        std::u16string text;
        std::u16string same;
        bool sameCaption;
    };
    const Row rows[] = {
        {1, u"abc-12", u"ABC-12", true},
        {2, u"coca cola 12pk $6.99", u"COCA COLA 12PK $6.99", true},
        {3, u"\u0131", u"I", true},         // dotless i upper-cases to I
        {4, u"\uff41\uff42", u"AB", false}, // fullwidth letters: same bars, other caption
        {5, u"A#B", u"AB", false},          // skipped character still in the caption
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        auto a = Code39Surface();
        auto b = Code39Surface();
        DrawCode39(r.text, *a);
        DrawCode39(r.same, *b);
        ASSERT_EQ(a->WidthPx(), b->WidthPx());
        if (r.sameCaption) {
            EXPECT_EQ(a->GetImage(), b->GetImage());
        }
        EXPECT_EQ(RowString(a->GetImage(), 0), RowString(b->GetImage(), 0));
    }
}

TEST(Code39, CaptionIsCentredBelowTheBars) {
    auto s = Code39Surface();
    DrawCode39(u"abc-12", *s);
    const Image& img = s->GetImage();
    const double t = s->TextHeight(u"ABC-12");
    const double wt = s->TextWidth(u"ABC-12");
    const double y2 = 56 - 1.5 * t;
    const double left = (s->ScaleWidth() - wt) / 2;
    const int top = static_cast<int>(y2 + 0.25 * t);
    int darkBelow = 0;
    for (int y = static_cast<int>(RoundHalfEven(y2)) + 1; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            if (!IsDark(img.At(x, y)))
                continue;
            ++darkBelow;
            EXPECT_GE(y, top) << x << "," << y;
            EXPECT_GE(x, left - 1) << x << "," << y;
            EXPECT_LE(x, left + wt + 1) << x << "," << y;
        }
    EXPECT_GT(darkBelow, 20);
}

TEST(Code39, EmptyTextClearsAndKeepsTheWidth) {
    auto s = Code39Surface();
    DrawCode39(u"A", *s);
    ASSERT_EQ(s->WidthPx(), 41);
    DrawCode39(u"", *s);
    EXPECT_EQ(s->WidthPx(), 41);
    EXPECT_EQ(s->HeightPx(), 56);
    EXPECT_TRUE(AllLight(s->GetImage(), 0, 0, 40, 55));
}

TEST(Code39, RemovesTheBackgroundPicture) {
    auto s = Code39Surface();
    s->FillBox(0, 0, 426, 55, kBlack);
    s->SetPictureFromImage();
    DrawCode39(u"A", *s);
    EXPECT_FALSE(s->HasPicture());
    // Left margin and the space after the final element are white again.
    EXPECT_FALSE(IsDark(s->GetImage().At(0, 0)));
    EXPECT_FALSE(IsDark(s->GetImage().At(40, 0)));
}

// A picture area that an earlier failure shrank to nothing has no width to scale by; the
// symbol still gets its width.
TEST(Code39, SurfaceWithoutWidth) {
    auto s = Code39Surface(56, 0, 73);
    ASSERT_EQ(s->ScaleWidth(), 0);
    DrawCode39(u"A", *s);
    EXPECT_EQ(s->WidthPx(), 41);
    EXPECT_EQ(RowString(s->GetImage(), 0), ExpectedRow("A", 1));
}

TEST(Code39, LongTextsFitOrRaiseOverflow) {
    struct Row {
        int line;
        std::size_t length;
        char16_t fill;
        bool fits;
    };
    const Row rows[] = {
        {1, 1800, u'A', true},  // 1802 * 16.5 px of room fits in the largest surface
        {2, 1984, u'!', false}, // 1986 * 16.5 px of room does not, even without bars
        {3, 3000, u'A', false},
        {4, 1000000, u'a', false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        auto s = Code39Surface();
        const std::u16string text(r.length, r.fill);
        if (r.fits) {
            DrawCode39(text, *s);
            EXPECT_EQ(s->WidthPx(), 13 * int(r.length + 2) + 2);
            continue;
        }
        try {
            DrawCode39(text, *s);
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), 6);
            EXPECT_EQ(e.Description(), "Overflow");
        }
        EXPECT_LE(s->WidthPx(), DrawingSurface::kMaxSide);
    }
}

TEST(Code39, ReaderReadsTheText) {
    struct Row {
        int line;
        std::u16string text;
        std::string decoded;
    };
    const Row rows[] = {
        {1, u"ABC-12 $/+%.", "ABC-12 $/+%."},
        {2, u"abc-12", "ABC-12"},
        {3, u"0123456789", "0123456789"},
        {4, u"Coca Cola 12pk $6.99", "COCA COLA 12PK $6.99"},
        {5, u"THE QUICK BROWN FOX", "THE QUICK BROWN FOX"},
        {6, u"A#B!C", "ABC"},
        {7, u"Z", "Z"},
    };
    for (const int innerHeight : {56, 80, 120}) { // narrow width 1, 2 and 3 pixels
        for (const Row& r : rows) {
            SCOPED_TRACE(::testing::Message() << "row " << r.line << " height " << innerHeight);
            auto s = Code39Surface(innerHeight, 427, innerHeight);
            DrawCode39(r.text, *s);
            const auto d = DecodeImage(s->GetImage());
            EXPECT_TRUE(d.ok);
            EXPECT_EQ(d.format, "Code39");
            EXPECT_EQ(d.text, r.decoded);
        }
    }
}

TEST(Code39, RepeatedDrawingIsIdentical) {
    auto s = Code39Surface();
    DrawCode39(u"ABC-12 $/+%.", *s);
    const Image first = s->GetImage();
    for (int i = 0; i < 3; ++i) {
        DrawCode39(u"ABC-12 $/+%.", *s);
        EXPECT_EQ(s->GetImage(), first);
    }
}

} // namespace
} // namespace quillion
