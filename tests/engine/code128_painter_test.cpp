// Measuring and painting: worked sizes, the painted area and bar origin with and without a
// caption, the caption's placement, and the bars read back from the raster against the ISO/IEC
// 15417 symbol widths typed here independently of the engine's table.
#include "code128_fixtures.h"
#include "draw/surface.h"
#include "raster_probe.h"
#include "symbols/code128_painter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillion {
namespace {

using testing::Draw;
using testing::IsDark;
using testing::MeasureWithCaptionFont;
using testing::WindowRequest;

constexpr COLORREF kRed = RGB(255, 0, 0);

// Bar and space widths of every symbol, ISO/IEC 15417 symbol character table; 103 Start A,
// 104 Start B, 105 Start C, 106 the stop pattern with its final bar.
const char* const kIso15417[] = {
    "212222", "222122",  "222221", "121223", "121322", // 0
    "131222", "122213",  "122312", "132212", "221213", // 5
    "221312", "231212",  "112232", "122132", "122231", // 10
    "113222", "123122",  "123221", "223211", "221132", // 15
    "221231", "213212",  "223112", "312131", "311222", // 20
    "321122", "321221",  "312212", "322112", "322211", // 25
    "212123", "212321",  "232121", "111323", "131123", // 30
    "131321", "112313",  "132113", "132311", "211313", // 35
    "231113", "231311",  "112133", "112331", "132131", // 40
    "113123", "113321",  "133121", "313121", "211331", // 45
    "231131", "213113",  "213311", "213131", "311123", // 50
    "311321", "331121",  "312113", "312311", "332111", // 55
    "314111", "221411",  "431111", "111224", "111422", // 60
    "121124", "121421",  "141122", "141221", "112214", // 65
    "112412", "122114",  "122411", "142112", "142211", // 70
    "241211", "221114",  "413111", "241112", "134111", // 75
    "111242", "121142",  "121241", "114212", "124112", // 80
    "124211", "411212",  "421112", "421211", "212141", // 85
    "214121", "412121",  "111143", "111341", "131141", // 90
    "114113", "114311",  "411113", "411311", "113141", // 95
    "114131", "311141",  "411131", "211412", "211214", // 100
    "211232", "2331112",                               // 105
};
constexpr int kStop = 106;

// Symbol values of a printable-ASCII text in code set B, with its check value.
std::vector<int> AsciiValues(std::u16string_view text, bool check) {
    std::vector<int> values{104};
    int sum = 104;
    for (std::size_t i = 0; i < text.size(); ++i) {
        values.push_back(text[i] - 32);
        sum += static_cast<int>(i + 1) * (text[i] - 32);
    }
    if (check)
        values.push_back(sum % 103);
    return values;
}

// The runs a row should show: `left` light pixels, then every symbol's widths times m.
std::vector<int> ExpectedRuns(int left, const std::vector<int>& values, int m) {
    std::vector<int> runs{left};
    std::vector<int> all = values;
    all.push_back(kStop);
    for (const int v : all)
        for (const char* w = kIso15417[v]; *w != '\0'; ++w)
            runs.push_back((*w - '0') * m);
    return runs;
}

TEST(Code128Bars, RunLengthsAreTheIsoPatterns) {
    std::u16string printable;
    for (char16_t c = 0x20; c <= 0x7F; ++c)
        printable += c;
    const struct {
        int row;
        std::u16string text;
        std::int32_t check;
        int m;
        std::vector<int> values;
    } rows[] = {
        {1, printable, 1, 1, AsciiValues(printable, true)}, // values 0..95
        {2, u"\u00B3\u00B2\x10\u00BC\u00B9", 1, 1, {104, 96, 97, 98, 80, 100, 102, 60}},
        {3, u" Q", 1, 2, {104, 0, 49, 99}},    // check value 99
        {4, u"\u00BC", 1, 3, {104, 100, 101}}, // check value 101
        {5, u"AB", 0, 3, AsciiValues(u"AB", false)},
        {6, u"Hello, World!", 1, 2, AsciiValues(u"Hello, World!", true)},
    };
    for (const auto& r : rows) {
        const int left = 3;
        const int width = left + r.m * (11 * static_cast<int>(r.values.size()) + 13) + 7;
        DrawingSurface surface(width, 50);
        BarcodeRequest request = WindowRequest(r.text);
        request.Left = left;
        request.Top = 2;
        request.ModuleWidth = r.m;
        request.CheckCharacter = r.check;
        ASSERT_EQ(Draw(request, surface.hDC()), 0) << "row " << r.row;
        std::vector<int> runs = testing::RowRuns(surface.GetImage(), 20);
        ASSERT_GE(runs.size(), 2u) << "row " << r.row;
        EXPECT_EQ(runs.back(), 7) << "row " << r.row; // light up to the edge
        runs.pop_back();
        EXPECT_EQ(runs, ExpectedRuns(left, r.values, r.m)) << "row " << r.row;
        // Every bar spans the rows Top .. Top + BarHeight - 1.
        EXPECT_FALSE(IsDark(surface.GetImage().At(left, 1))) << "row " << r.row;
        EXPECT_TRUE(IsDark(surface.GetImage().At(left, 2))) << "row " << r.row;
        EXPECT_TRUE(IsDark(surface.GetImage().At(left, 41))) << "row " << r.row;
        EXPECT_FALSE(IsDark(surface.GetImage().At(left, 42))) << "row " << r.row;
    }
}

TEST(Code128Measure, WorkedSizes) {
    const struct {
        int row;
        std::u16string text;
        std::int32_t check, m, orientation;
        Code128Extent extent;
    } rows[] = {
        {1, u"A", 1, 1, 0, {40, 46}},      {2, u"A", 0, 1, 0, {40, 35}},
        {3, u"AB", 1, 1, 0, {40, 57}},     {4, u"AB", 2, 1, 0, {40, 46}},
        {5, u"A", 1, 3, 0, {40, 138}},     {6, u"\x10", 1, 1, 0, {40, 57}},
        {7, u"\uFF21", 1, 1, 0, {40, 46}}, {8, u"AB", 1, 1, 1, {0, 0}},
        {9, u"AB", 1, 1, 3, {0, 0}},       {10, u"", 1, 1, 0, {0, 0}},
    };
    DrawingSurface surface(10, 10);
    DeviceContext& dc = surface.hDC();
    for (const auto& r : rows) {
        BarcodeRequest request = WindowRequest(r.text);
        request.CheckCharacter = r.check;
        request.ModuleWidth = r.m;
        request.Orientation = r.orientation;
        request.Left = -7; // the width does not depend on where the symbol starts
        EXPECT_EQ(MeasureCode128(request, dc), r.extent) << "row " << r.row;
        EXPECT_EQ(dc.SelectedBrush(), dc.GetStockObject(WHITE_BRUSH)) << "row " << r.row;
        EXPECT_EQ(dc.SelectedPen(), dc.GetStockObject(BLACK_PEN)) << "row " << r.row;
    }
}

Pixel At(const DrawingSurface& surface, int x, int y) {
    return surface.GetImage().At(x, y);
}

TEST(Code128Paint, AreaWithoutCaption) {
    const struct { int row, left, top; } rows[] = {{1, 0, 0}, {2, 10, 5}};
    for (const auto& r : rows) {
        DrawingSurface surface(100, 60);
        BarcodeRequest request = WindowRequest(u"A");
        request.Left = r.left;
        request.Top = r.top;
        request.BackColor = kRed;
        ASSERT_EQ(Draw(request, surface.hDC()), 0);
        EXPECT_EQ(request.Width, 46) << "row " << r.row;
        EXPECT_EQ(request.Height, 41) << "row " << r.row;
        const int x = r.left, y = r.top;
        // Bars in columns x .. x + 45 (first and last are bars), rows y .. y + 39.
        EXPECT_EQ(At(surface, x, y), ToPixel(kBlack)) << "row " << r.row;
        EXPECT_EQ(At(surface, x + 45, y + 39), ToPixel(kBlack)) << "row " << r.row;
        EXPECT_EQ(At(surface, x + 2, y), ToPixel(kRed)) << "row " << r.row; // a space
        // The background reaches one column beyond the last bar, and stops a row above the
        // area's bottom edge.
        EXPECT_EQ(At(surface, x + 46, y), ToPixel(kRed)) << "row " << r.row;
        EXPECT_EQ(At(surface, x + 47, y), ToPixel(kWhite)) << "row " << r.row;
        EXPECT_EQ(At(surface, x, y + 40), ToPixel(kWhite)) << "row " << r.row;
        if (x > 0) {
            EXPECT_EQ(At(surface, x - 1, y), ToPixel(kWhite)) << "row " << r.row;
        }
    }
}

// The first column of row y that is not background.
int FirstBarColumn(const DrawingSurface& surface, int y) {
    for (int x = 0; x < surface.GetImage().width; ++x)
        if (IsDark(At(surface, x, y)))
            return x;
    return -1;
}

TEST(Code128Paint, CaptionWiderThanTheBarsCentresThem) {
    // "A" without check symbol is 35 wide; Courier New at 10 pt is 8 pixels a character with
    // an internal leading of 2. The bars start at left + (right - left - 35) / 2, halves even.
    const struct {
        int row, left, captionLength, width, firstBar; // firstBar: column on the surface
    } rows[] = {
        {1, 0, 10, 84, 24},  // 24.5 -> 24
        {2, 1, 10, 84, 26},  // 25.5 -> 26
        {3, 0, 11, 92, 28},  // 28.5 -> 28
        {4, 0, 12, 100, 32}, // 32.5 -> 32
        {5, 0, 4, 35, 0},    // narrower: the bars start at Left
    };
    for (const auto& r : rows) {
        DrawingSurface surface(200, 73);
        BarcodeRequest request = WindowRequest(u"A");
        request.Caption = std::u16string(static_cast<std::size_t>(r.captionLength), u'x');
        request.CheckCharacter = 0;
        request.Left = r.left;
        const auto m = MeasureWithCaptionFont(request, surface.hDC(), "x");
        ASSERT_EQ(m.extent.cx, 8);
        ASSERT_EQ(m.tm.tmInternalLeading, 2);
        ASSERT_EQ(Draw(request, surface.hDC()), 0) << "row " << r.row;
        EXPECT_EQ(request.Width, r.width) << "row " << r.row;
        EXPECT_EQ(FirstBarColumn(surface, 20), r.firstBar) << "row " << r.row;
    }
}

TEST(Code128Paint, CaptionBelowAndAbove) {
    for (const int position : {1, 2}) {
        DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
        BarcodeRequest request = WindowRequest(u"AB", true, position);
        ASSERT_EQ(Draw(request, surface.hDC()), 0);
        const auto m = MeasureWithCaptionFont(request, surface.hDC(), "AB");
        ASSERT_EQ(m.tm.tmHeight, 15);
        ASSERT_EQ(m.extent.cy, 15);
        EXPECT_EQ(request.Width, 57) << position;
        EXPECT_EQ(request.Height, 61) << position; // bars 40, gap 4, 2, tmHeight or cy 15
        // Below: bars from row 0; above: from row cy + gap + 1 = 20. Column 0 is Start B's
        // first bar and holds no caption.
        const int yTop = position == 1 ? 0 : 20;
        for (int y = 0; y < 70; ++y)
            EXPECT_EQ(IsDark(At(surface, 0, y)), y >= yTop && y < yTop + 40)
                << position << " " << y;
        // The caption lies in its band: rows 44 .. 58 below, rows 0 .. 18 above, centred in
        // the 57 columns (16 pixels wide: columns 20 .. 35).
        const int bandTop = position == 1 ? 44 : 0;
        const int bandBottom = position == 1 ? 60 : 19;
        int dark = 0;
        for (int y = 0; y < 73; ++y)
            for (int x = 0; x < 100; ++x) {
                const bool inBars = y >= yTop && y < yTop + 40 && x < 57;
                if (inBars || !IsDark(At(surface, x, y)))
                    continue;
                ++dark;
                EXPECT_TRUE(y >= bandTop && y < bandBottom && x >= 19 && x <= 37)
                    << position << ": " << x << "," << y;
            }
        EXPECT_GT(dark, 20) << position;
    }
}

TEST(Code128Paint, LeftCentreAndRightAllCentre) {
    Image images[3];
    for (int alignment = 1; alignment <= 3; ++alignment) {
        DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
        BarcodeRequest request = WindowRequest(u"Centred", true);
        request.CaptionAlignment = alignment;
        ASSERT_EQ(Draw(request, surface.hDC()), 0);
        images[alignment - 1] = surface.GetImage();
    }
    EXPECT_EQ(images[0], images[1]);
    EXPECT_EQ(images[0], images[2]);
}

TEST(Code128Paint, JustifySpreadsTheCaption) {
    DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
    BarcodeRequest request = WindowRequest(u"AB", true);
    request.CaptionAlignment = 4;
    ASSERT_EQ(Draw(request, surface.hDC()), 0);
    // 57 / 2 = 28.5 -> 28, less the average width 8: 20 pixels after each character, left set.
    EXPECT_EQ(surface.hDC().TextCharacterExtra(), 20);
    EXPECT_EQ(surface.hDC().BkMode(), TRANSPARENT);
    // "A" starts at the rectangle's left edge, "B" 8 + 20 pixels later.
    auto columnHasInk = [&](int x0, int x1) {
        for (int y = 44; y < 61; ++y)
            for (int x = x0; x <= x1; ++x)
                if (IsDark(At(surface, x, y)))
                    return true;
        return false;
    };
    EXPECT_TRUE(columnHasInk(0, 7));
    EXPECT_FALSE(columnHasInk(9, 27));
    EXPECT_TRUE(columnHasInk(28, 35));
}

TEST(Code128Paint, ColoursAndReleasedSelections) {
    DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
    BarcodeRequest request = WindowRequest(u"AB", true);
    request.BarColor = RGB(0, 0, 200);
    request.BackColor = RGB(250, 250, 0);
    request.CaptionColor = RGB(0, 120, 0);
    ASSERT_EQ(Draw(request, surface.hDC()), 0);
    EXPECT_EQ(At(surface, 0, 0), ToPixel(RGB(0, 0, 200)));
    EXPECT_EQ(At(surface, 2, 0), ToPixel(RGB(250, 250, 0)));
    EXPECT_GT(testing::CountPixels(surface.GetImage(), RGB(0, 120, 0)), 20);
    EXPECT_EQ(surface.hDC().TextColor(), RGB(0, 120, 0));
    EXPECT_EQ(surface.hDC().SelectedBrush(), surface.hDC().GetStockObject(NULL_BRUSH));
    EXPECT_EQ(surface.hDC().SelectedPen(), surface.hDC().GetStockObject(BLACK_PEN));
}

} // namespace
} // namespace quillion
