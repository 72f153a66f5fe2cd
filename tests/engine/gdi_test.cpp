// The device context: rectangle coverage with every pen/brush combination, object selection and
// ownership, pixels, MulDiv, text metrics and DrawTextA placement.
#include "draw/gdi.h"
#include "draw/surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace quillion {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Bounding box and count of the pixels that differ from white.
struct Coverage {
    int minX = -1, minY = -1, maxX = -1, maxY = -1, count = 0;
};

Coverage Covered(const Image& image, COLORREF except = kWhite) {
    Coverage c;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            if (image.At(x, y) == ToPixel(except))
                continue;
            if (c.count++ == 0) {
                c.minX = c.maxX = x;
                c.minY = c.maxY = y;
            }
            c.minX = std::min(c.minX, x);
            c.maxX = std::max(c.maxX, x);
            c.minY = std::min(c.minY, y);
            c.maxY = std::max(c.maxY, y);
        }
    return c;
}

LOGFONTA MakeLogFont(const char* face, int height, int weight = FW_NORMAL) {
    LOGFONTA lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    std::strncpy(lf.lfFaceName, face, sizeof lf.lfFaceName - 1);
    return lf;
}

enum class PenKind { OnePixel, Null };
enum class BrushKind { Solid, Null };

TEST(Rectangle, CoverageByPenAndBrush) {
    struct Row {
        int row;
        PenKind pen;
        BrushKind brush;
        std::int32_t l, t, r, b;
        Coverage expected; // minX, minY, maxX, maxY, count
    };
    const Row rows[] = {
        {1, PenKind::OnePixel, BrushKind::Solid, 10, 0, 12, 40, {10, 0, 11, 39, 80}},
        {2, PenKind::Null, BrushKind::Solid, 10, 0, 12, 40, {10, 0, 10, 38, 39}},
        {3, PenKind::Null, BrushKind::Null, 10, 0, 12, 40, {-1, -1, -1, -1, 0}},
        // Outline only: a 5x4 frame has 14 border pixels.
        {4, PenKind::OnePixel, BrushKind::Null, 2, 3, 7, 7, {2, 3, 6, 6, 14}},
        // Corners given the other way round are put in order.
        {5, PenKind::OnePixel, BrushKind::Solid, 12, 40, 10, 0, {10, 0, 11, 39, 80}},
        // Empty and one-pixel rectangles.
        {6, PenKind::OnePixel, BrushKind::Solid, 5, 5, 5, 9, {-1, -1, -1, -1, 0}},
        {7, PenKind::OnePixel, BrushKind::Solid, 5, 5, 6, 6, {5, 5, 5, 5, 1}},
        {8, PenKind::Null, BrushKind::Solid, 5, 5, 6, 6, {-1, -1, -1, -1, 0}},
        // Clipped at the raster's edges (surface 50 x 50).
        {9, PenKind::OnePixel, BrushKind::Solid, -10, -10, 3, 2, {0, 0, 2, 1, 6}},
        {10, PenKind::Null, BrushKind::Solid, 45, 48, 100, 100, {45, 48, 49, 49, 10}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.row);
        DrawingSurface surface(50, 50);
        DeviceContext& dc = surface.hDC();
        const HGDIOBJ brush = dc.CreateSolidBrush(kRed);
        const HGDIOBJ pen = dc.CreatePen(PS_SOLID, 1, kRed);
        dc.SelectObject(row.brush == BrushKind::Solid ? brush : dc.GetStockObject(NULL_BRUSH));
        dc.SelectObject(row.pen == PenKind::OnePixel ? pen : dc.GetStockObject(NULL_PEN));
        EXPECT_TRUE(dc.Rectangle(row.l, row.t, row.r, row.b));
        const Coverage c = Covered(surface.GetImage());
        EXPECT_EQ(c.count, row.expected.count);
        EXPECT_EQ(c.minX, row.expected.minX);
        EXPECT_EQ(c.minY, row.expected.minY);
        EXPECT_EQ(c.maxX, row.expected.maxX);
        EXPECT_EQ(c.maxY, row.expected.maxY);
    }
}

TEST(Rectangle, PenOutlinesAndBrushFillsInside) {
    DrawingSurface surface(10, 10);
    DeviceContext& dc = surface.hDC();
    dc.SelectObject(dc.CreateSolidBrush(kBlue));
    dc.SelectObject(dc.CreatePen(PS_SOLID, 1, kRed));
    dc.Rectangle(1, 1, 5, 5);
    EXPECT_EQ(dc.GetPixel(1, 1), kRed);
    EXPECT_EQ(dc.GetPixel(4, 4), kRed);
    EXPECT_EQ(dc.GetPixel(2, 2), kBlue);
    EXPECT_EQ(dc.GetPixel(3, 3), kBlue);
    EXPECT_EQ(dc.GetPixel(5, 5), kWhite);
}

TEST(Rectangle, ExtremeCoordinatesAreClippedWithoutOverflow) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    for (const bool nullPen : {false, true}) {
        SCOPED_TRACE(nullPen);
        DrawingSurface surface(8, 6);
        DeviceContext& dc = surface.hDC();
        dc.SelectObject(dc.GetStockObject(WHITE_BRUSH));
        dc.SelectObject(dc.GetStockObject(nullPen ? NULL_PEN : BLACK_PEN));
        dc.SelectObject(dc.CreateSolidBrush(kBlack));
        EXPECT_TRUE(dc.Rectangle(kMin, kMin, kMax, kMax));
        EXPECT_EQ(Covered(surface.GetImage()).count, 48);
        EXPECT_TRUE(dc.Rectangle(kMax, kMax, kMin, kMin));
        EXPECT_TRUE(dc.Rectangle(kMax - 1, 0, kMax, 3));
        EXPECT_TRUE(dc.Rectangle(kMin, kMin, kMin + 1, kMin + 1));
    }
    DrawingSurface empty(0, 0);
    EXPECT_TRUE(empty.hDC().Rectangle(kMin, kMin, kMax, kMax));
}

TEST(Objects, SelectReturnsTheReplacedObject) {
    DrawingSurface surface(4, 4);
    DeviceContext& dc = surface.hDC();
    EXPECT_EQ(dc.SelectedBrush(), dc.GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(dc.SelectedPen(), dc.GetStockObject(BLACK_PEN));
    EXPECT_EQ(dc.SelectedFont(), kSurfaceFontHandle);

    const HGDIOBJ brush = dc.CreateSolidBrush(kRed);
    const HGDIOBJ pen = dc.CreatePen(PS_SOLID, 1, kRed);
    const HGDIOBJ font = dc.CreateFontIndirectA(MakeLogFont("Arial", -13));
    EXPECT_NE(brush, 0);
    EXPECT_NE(brush, pen);
    EXPECT_NE(pen, font);
    EXPECT_EQ(dc.LiveObjectCount(), 3);

    EXPECT_EQ(dc.SelectObject(brush), dc.GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(dc.SelectObject(pen), dc.GetStockObject(BLACK_PEN));
    EXPECT_EQ(dc.SelectObject(font), kSurfaceFontHandle);
    EXPECT_EQ(dc.SelectObject(dc.GetStockObject(NULL_BRUSH)), brush);
    EXPECT_EQ(dc.SelectObject(dc.GetStockObject(NULL_PEN)), pen);
    EXPECT_EQ(dc.SelectObject(kSurfaceFontHandle), font);
    EXPECT_EQ(dc.SelectObject(12345), 0) << "unknown handle";
    EXPECT_EQ(dc.SelectObject(0), 0);
    EXPECT_EQ(dc.SelectedBrush(), dc.GetStockObject(NULL_BRUSH)) << "failed select changes nothing";
    EXPECT_EQ(dc.GetStockObject(9), 0);
    EXPECT_EQ(dc.GetStockObject(-1), 0);
}

TEST(Objects, DeleteRulesAndLiveCount) {
    DrawingSurface surface(4, 4);
    DeviceContext& dc = surface.hDC();
    const HGDIOBJ brush = dc.CreateSolidBrush(kRed);
    const HGDIOBJ font = dc.CreateFontIndirectA(MakeLogFont("Courier New", -13));
    dc.SelectObject(brush);
    dc.SelectObject(font);
    EXPECT_FALSE(dc.DeleteObject(brush)) << "selected brush";
    EXPECT_FALSE(dc.DeleteObject(font)) << "selected font";
    EXPECT_EQ(dc.LiveObjectCount(), 2);
    dc.SelectObject(dc.GetStockObject(WHITE_BRUSH));
    dc.SelectObject(kSurfaceFontHandle);
    EXPECT_TRUE(dc.DeleteObject(brush));
    EXPECT_FALSE(dc.DeleteObject(brush)) << "double delete";
    EXPECT_EQ(dc.SelectObject(brush), 0) << "deleted handle";
    EXPECT_TRUE(dc.DeleteObject(font));
    EXPECT_EQ(dc.LiveObjectCount(), 0);
    EXPECT_TRUE(dc.DeleteObject(dc.GetStockObject(NULL_PEN))) << "stock: harmless";
    EXPECT_FALSE(dc.DeleteObject(kSurfaceFontHandle));
    EXPECT_FALSE(dc.DeleteObject(0));
    // Handles are not reused, so a stale handle never names a newer object.
    EXPECT_NE(dc.CreateSolidBrush(kRed), brush);
}

TEST(Objects, CreationStopsAtTheObjectQuota) {
    // A renderer that leaks objects runs into the quota instead of growing without bound;
    // creation then fails with handle 0 and everything else keeps working.
    DrawingSurface surface(4, 4);
    DeviceContext& dc = surface.hDC();
    HGDIOBJ last = 0;
    for (int i = 0; i < 10000; ++i)
        last = dc.CreateSolidBrush(kRed);
    EXPECT_NE(last, 0);
    EXPECT_EQ(dc.CreateSolidBrush(kRed), 0);
    EXPECT_EQ(dc.CreatePen(PS_SOLID, 1, kRed), 0);
    EXPECT_EQ(dc.LiveObjectCount(), 10000);
    EXPECT_TRUE(dc.DeleteObject(last));
    EXPECT_NE(dc.CreatePen(PS_SOLID, 1, kRed), 0);
}

TEST(Pixels, GetAndSetInsideAndOutside) {
    DrawingSurface surface(3, 2);
    DeviceContext& dc = surface.hDC();
    EXPECT_EQ(dc.SetPixel(2, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(2, 1), RGB(1, 2, 3));
    EXPECT_EQ(surface.GetImage().At(2, 1), ToPixel(RGB(1, 2, 3)));
    EXPECT_EQ(dc.GetPixel(0, 0), kWhite);
    for (const auto& [x, y] :
         {std::pair{3, 0},
          {0, 2},
          {-1, 0},
          {0, -1},
          {std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}}) {
        EXPECT_EQ(dc.GetPixel(x, y), 0xFFFFFFFFu) << x << "," << y;
        EXPECT_EQ(dc.SetPixel(x, y, kBlack), 0xFFFFFFFFu) << x << "," << y;
    }
    EXPECT_EQ(Covered(surface.GetImage()).count, 1);
}

TEST(MulDiv, RoundsHalvesAwayFromZeroAndFailsWithMinusOne) {
    struct Row {
        int row;
        std::int32_t a, b, c, expected;
    };
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const Row rows[] = {
        {1, 10, 96, 72, 13},
        {2, 9, 96, 72, 12},
        {3, 10, 120, 72, 17},
        {4, 1, 3, 2, 2},
        {5, -1, 3, 2, -2},
        {6, 1, -3, 2, -2},
        {7, 1, 3, -2, -2},
        {8, 5, 1, 0, -1},
        {9, kMax, kMax, kMax, kMax},
        {10, kMax, 2, 1, -1},
        {11, kMin, 1, 1, -1},
        {12, kMin, 1, -1, -1},
        {13, kMin, kMin, kMin, -1},
        {14, 7, 1, 3, 2},
        {15, 0, 0, 5, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(MulDiv(r.a, r.b, r.c), r.expected) << "row " << r.row;
}

TEST(DeviceCaps, NinetySixDotsPerInch) {
    DrawingSurface surface(7, 5);
    EXPECT_EQ(surface.hDC().GetDeviceCaps(LOGPIXELSX), 96);
    EXPECT_EQ(surface.hDC().GetDeviceCaps(LOGPIXELSY), 96);
    EXPECT_EQ(surface.hDC().GetDeviceCaps(8), 7);
    EXPECT_EQ(surface.hDC().GetDeviceCaps(10), 5);
    RECT r;
    SetRect(r, 1, 2, 3, 4);
    EXPECT_EQ(r, (RECT{1, 2, 3, 4}));
}

// Text output through the device context with Courier New at 13 pixels: every advance is 8.
class DrawText : public ::testing::Test {
protected:
    DrawText() : surface_(120, 40), dc_(surface_.hDC()) {
        font_ = dc_.CreateFontIndirectA(MakeLogFont("Courier New", -13));
        previous_ = dc_.SelectObject(font_);
        dc_.SetBkMode(TRANSPARENT);
    }
    ~DrawText() override {
        dc_.SelectObject(previous_);
        dc_.DeleteObject(font_);
    }
    Coverage Ink() const { return Covered(surface_.GetImage()); }

    DrawingSurface surface_;
    DeviceContext& dc_;
    HGDIOBJ font_ = 0, previous_ = 0;
};

TEST_F(DrawText, MetricsAndExtentOfTheSelectedFont) {
    TEXTMETRICA tm;
    ASSERT_TRUE(dc_.GetTextMetricsA(tm));
    EXPECT_EQ(tm.tmHeight, 15);
    EXPECT_EQ(tm.tmInternalLeading, 2);
    EXPECT_EQ(tm.tmAveCharWidth, 8);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);

    SIZE size;
    EXPECT_EQ(dc_.GetTextExtentPoint32A("AB", 2, size), 1);
    EXPECT_EQ(size.cx, 16);
    EXPECT_EQ(size.cy, 15);
    EXPECT_EQ(dc_.GetTextExtentPoint32A("ABCD", 99, size), 1) << "count clamped to the text";
    EXPECT_EQ(size.cx, 32);
    EXPECT_EQ(dc_.GetTextExtentPoint32A("ABCD", 0, size), 1);
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 15);
    EXPECT_EQ(dc_.GetTextExtentPoint32A("AB", -1, size), 0);
    dc_.SetTextCharacterExtra(3);
    EXPECT_EQ(dc_.GetTextExtentPoint32A("AB", 2, size), 1);
    EXPECT_EQ(size.cx, 22) << "extra after each character";
}

TEST_F(DrawText, HorizontalPlacementByFormat) {
    // "II" is 16 pixels wide in a 100-pixel rectangle from column 10.
    struct Row {
        int row;
        std::uint32_t format;
        int cellLeft; // expected left edge of the text cell
    };
    const Row rows[] = {
        {1, DT_LEFT, 10}, {2, DT_CENTER, 52}, {3, DT_RIGHT, 94}, {4, DT_CENTER | DT_RIGHT, 52}};
    surface_.SetBackColor(kBlue);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.row);
        surface_.Cls();
        dc_.SetBkMode(OPAQUE); // the opaque white cell shows exactly where the text went
        dc_.SetTextColor(kRed);
        RECT rect{10, 5, 110, 35};
        EXPECT_EQ(dc_.DrawTextA("II", -1, rect, row.format), 15);
        EXPECT_EQ(rect, (RECT{10, 5, 110, 35})) << "drawing leaves the rectangle alone";
        const Coverage cell = Covered(surface_.GetImage(), kBlue);
        EXPECT_EQ(cell.minX, row.cellLeft);
        EXPECT_EQ(cell.maxX, row.cellLeft + 15);
        EXPECT_EQ(cell.minY, 5) << "one line at the top";
        EXPECT_EQ(cell.maxY, 19);
        EXPECT_EQ(cell.count, 16 * 15);
        const Coverage ink = Covered(surface_.GetImage(), kWhite);
        EXPECT_GT(ink.count, 16 * 15) << "red glyphs inside the cell";
    }
}

TEST_F(DrawText, CalcRectMeasuresAndDrawsNothing) {
    RECT rect{7, 9, 8, 10};
    EXPECT_EQ(dc_.DrawTextA("ABC", -1, rect, DT_CALCRECT | DT_CENTER), 15);
    EXPECT_EQ(rect, (RECT{7, 9, 7 + 24, 9 + 15}));
    dc_.SetTextCharacterExtra(5);
    rect = RECT{0, 0, 0, 0};
    dc_.DrawTextA("ABC", 2, rect, DT_CALCRECT);
    EXPECT_EQ(rect, (RECT{0, 0, 26, 15}));
    dc_.SetTextCharacterExtra(-20);
    rect = RECT{0, 0, 0, 0};
    dc_.DrawTextA("ABC", -1, rect, DT_CALCRECT);
    EXPECT_EQ(rect.right, -36) << "negative extra shrinks the extent";
    rect = RECT{3, 4, 50, 60};
    EXPECT_EQ(dc_.DrawTextA("", -1, rect, DT_CALCRECT), 0);
    EXPECT_EQ(rect, (RECT{3, 4, 3, 4}));
    EXPECT_EQ(Ink().count, 0);
}

TEST_F(DrawText, LengthMinusOneStopsAtNul) {
    RECT a{0, 0, 0, 0}, b{0, 0, 0, 0};
    dc_.DrawTextA(std::string_view("AB\0CD", 5), -1, a, DT_CALCRECT);
    dc_.DrawTextA("AB", 2, b, DT_CALCRECT);
    EXPECT_EQ(a, b);
    EXPECT_EQ(dc_.DrawTextA("AB", -2, a, DT_LEFT), 0);
}

TEST_F(DrawText, CharacterExtraSpreadsTheGlyphs) {
    RECT rect{0, 0, 120, 20};
    dc_.SetTextColor(kBlack);
    dc_.DrawTextA("IIII", -1, rect, DT_LEFT);
    const Coverage tight = Ink();
    surface_.Cls();
    dc_.SetTextCharacterExtra(10);
    dc_.DrawTextA("IIII", -1, rect, DT_LEFT);
    const Coverage spread = Ink();
    EXPECT_EQ(spread.minX, tight.minX);
    EXPECT_EQ(spread.maxX, tight.maxX + 30);
    EXPECT_EQ(spread.count, tight.count);
}

TEST_F(DrawText, TransparentLeavesTheBackgroundOpaqueFillsTheCell) {
    surface_.SetBackColor(kBlue);
    surface_.Cls();
    RECT rect{0, 0, 100, 30};
    dc_.SetTextColor(kBlack);
    dc_.DrawTextA("A", -1, rect, DT_LEFT);
    EXPECT_EQ(dc_.GetPixel(0, 0), kBlue);
    dc_.SetBkMode(OPAQUE);
    dc_.DrawTextA("A", -1, rect, DT_LEFT);
    EXPECT_EQ(dc_.GetPixel(0, 0), kWhite);
    EXPECT_EQ(dc_.GetPixel(7, 14), kWhite);
    EXPECT_EQ(dc_.GetPixel(8, 0), kBlue);
    EXPECT_EQ(dc_.GetPixel(0, 15), kBlue);
}

TEST_F(DrawText, ClippedToTheRectangle) {
    RECT rect{0, 0, 12, 6};
    dc_.DrawTextA("WWWW", -1, rect, DT_LEFT);
    const Coverage c = Ink();
    EXPECT_GT(c.count, 0);
    EXPECT_LE(c.maxX, 11);
    EXPECT_LE(c.maxY, 5);
    surface_.Cls();
    RECT inverted{50, 0, 10, 20};
    dc_.DrawTextA("WWWW", -1, inverted, DT_LEFT);
    EXPECT_EQ(Ink().count, 0);
}

TEST_F(DrawText, ExtremeRectanglesDoNotCrash) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    dc_.SetTextCharacterExtra(kMax);
    for (const std::uint32_t format : {DT_LEFT, DT_CENTER, DT_RIGHT, DT_CALCRECT}) {
        RECT r{kMin, kMin, kMax, kMax};
        dc_.DrawTextA("ABCDEFGH", -1, r, format);
        RECT s{kMax, kMax, kMin, kMin};
        dc_.DrawTextA("ABCDEFGH", -1, s, format);
    }
    SIZE size;
    EXPECT_EQ(dc_.GetTextExtentPoint32A("ABCDEFGH", 8, size), 1);
    EXPECT_EQ(size.cx, kMax) << "saturated";
}

// Underline and strikeout add a line under the whole text: rows inked from the text's first
// column to its last. Returns the first such row, -1 when there is none.
int FirstFullRow(const Image& image, int fromX, int toX) {
    for (int y = 0; y < image.height; ++y) {
        bool full = true;
        for (int x = fromX; x <= toX && full; ++x)
            full = image.At(x, y) != ToPixel(kWhite);
        if (full)
            return y;
    }
    return -1;
}

TEST(DrawTextDecorations, UnderlineBelowStrikeoutThroughTheMiddle) {
    struct Row {
        int row;
        bool underline, strikeout;
        int minRow, maxRow; // where the first full row may lie; -1 -1: none
    };
    // Courier New at 13 pixels: ascent 11, cell 15 rows.
    const Row rows[] = {{1, false, false, -1, -1},
                        {2, true, false, 11, 14},
                        {3, false, true, 4, 10},
                        {4, true, true, 4, 10}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.row);
        DrawingSurface surface(80, 20);
        DeviceContext& dc = surface.hDC();
        LOGFONTA lf = MakeLogFont("Courier New", -13);
        lf.lfUnderline = row.underline;
        lf.lfStrikeOut = row.strikeout;
        const HGDIOBJ font = dc.CreateFontIndirectA(lf);
        const HGDIOBJ old = dc.SelectObject(font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextCharacterExtra(2);
        RECT rect{0, 0, 80, 20};
        dc.DrawTextA("....", -1, rect, DT_LEFT); // dots leave most rows empty
        const int full = FirstFullRow(surface.GetImage(), 0, 4 * 10 - 1);
        EXPECT_GE(full, row.minRow);
        EXPECT_LE(full, row.maxRow);
        EXPECT_EQ(FirstFullRow(surface.GetImage(), 0, 4 * 10), -1) << "stops at the extent";
        TEXTMETRICA tm;
        dc.GetTextMetricsA(tm);
        EXPECT_EQ(tm.tmUnderlined != 0, row.underline);
        EXPECT_EQ(tm.tmStruckOut != 0, row.strikeout);
        dc.SelectObject(old);
        dc.DeleteObject(font);
    }
}

TEST(Fonts, SurfaceFontIsTheInitialSelection) {
    DrawingSurface surface(10, 10); // Arial 9 pt bold: em 12
    TEXTMETRICA tm;
    surface.hDC().GetTextMetricsA(tm);
    EXPECT_EQ(tm.tmHeight, 14);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    surface.SetFontSize(10);
    surface.hDC().GetTextMetricsA(tm);
    EXPECT_EQ(tm.tmHeight, 15) << "follows the surface's font";
}

TEST(Fonts, LogFontHeightSigns) {
    DrawingSurface surface(10, 10);
    DeviceContext& dc = surface.hDC();
    struct Row {
        int row;
        std::int32_t lfHeight;
        int expectedHeight;
    };
    const Row rows[] = {
        {1, -13, 15},                                      // em height
        {2, 15, 15},                                       // cell height
        {3, 16, 16},                                       // cell height
        {4, -17, 19},                                      // 10 pt at 120 dpi
        {5, std::numeric_limits<std::int32_t>::min(), -1}, // clamped, must not crash
        {6, std::numeric_limits<std::int32_t>::max(), -1},
        {7, 0, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.row);
        const HGDIOBJ font = dc.CreateFontIndirectA(MakeLogFont("Arial", row.lfHeight));
        ASSERT_NE(font, 0);
        const HGDIOBJ old = dc.SelectObject(font);
        TEXTMETRICA tm;
        dc.GetTextMetricsA(tm);
        if (row.expectedHeight > 0)
            EXPECT_EQ(tm.tmHeight, row.expectedHeight);
        else
            EXPECT_GT(tm.tmHeight, 0);
        dc.SelectObject(old);
        EXPECT_TRUE(dc.DeleteObject(font));
    }
}

} // namespace
} // namespace quillion
