// The picture-box members of the drawing surface: units, outer size, filled boxes, clearing and
// the background picture, printing and text measures.
#include "draw/surface.h"
#include "runtime/runtime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quillion {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

int CountColor(const Image& image, COLORREF color) {
    int n = 0;
    for (const Pixel p : image.pixels)
        n += p == ToPixel(color) ? 1 : 0;
    return n;
}

bool InkOutside(const Image& image, int x0, int y0, int x1, int y1) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if ((x < x0 || x > x1 || y < y0 || y > y1) && image.At(x, y) != ToPixel(kWhite))
                return true;
    return false;
}

void ExpectRuntimeError(int number, auto&& action) {
    try {
        action();
        ADD_FAILURE() << "no run-time error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), number);
    }
}

TEST(Surface, StartsWhiteInTwipsWithTheWindowFont) {
    DrawingSurface s(4, 3);
    EXPECT_EQ(s.GetScaleMode(), ScaleMode::Twips);
    EXPECT_EQ(s.ScaleWidth(), 60);
    EXPECT_EQ(s.ScaleHeight(), 45);
    EXPECT_EQ(CountColor(s.GetImage(), kWhite), 12);
    EXPECT_EQ(s.Font(), (SurfaceFont{"Arial", 9.0, true}));
    s.SetScaleMode(ScaleMode::Pixels);
    EXPECT_EQ(s.ScaleWidth(), 4);
    EXPECT_EQ(s.ScaleLeft(), 0);
    EXPECT_EQ(s.ScaleTop(), 0);
}

TEST(Surface, OuterSizeInTheContainersUnit) {
    DrawingSurface s(10, 10);
    s.SetScaleMode(ScaleMode::Pixels);
    s.SetContainerScaleMode(ScaleMode::Twips);
    s.SetOuterWidth(6405);
    s.SetOuterHeight(1095);
    EXPECT_EQ(s.WidthPx(), 427);
    EXPECT_EQ(s.HeightPx(), 73);
    EXPECT_EQ(s.OuterWidth(), 6405);
    EXPECT_EQ(s.ScaleWidth(), 427) << "no border: outer equals scale size";
    s.SetContainerScaleMode(ScaleMode::Pixels);
    s.SetOuterHeight(109);
    EXPECT_EQ(s.OuterHeight(), 109);
    s.SetOuterWidth(-5);
    EXPECT_EQ(s.WidthPx(), 0);
    s.SetOuterWidth(7.5); // nearest, halves to even
    EXPECT_EQ(s.WidthPx(), 8);
    s.SetOuterWidth(6.5);
    EXPECT_EQ(s.WidthPx(), 6);
}

TEST(Surface, SizesBeyondTheLimitRaiseOverflow) {
    DrawingSurface s(2, 2);
    s.SetContainerScaleMode(ScaleMode::Pixels);
    ExpectRuntimeError(err::kOverflow, [&] { s.SetOuterWidth(DrawingSurface::kMaxSide + 1); });
    ExpectRuntimeError(err::kOverflow, [&] { s.SetOuterHeight(1e300); });
    ExpectRuntimeError(err::kOverflow, [&] { s.SetOuterWidth(std::nan("")); });
    ExpectRuntimeError(err::kOverflow, [&] { s.ResizePixels(2, DrawingSurface::kMaxSide + 1); });
    ExpectRuntimeError(err::kOverflow,
                       [&] { DrawingSurface big(DrawingSurface::kMaxSide + 1, 1); });
    EXPECT_EQ(s.WidthPx(), 2) << "unchanged after a refused resize";
    s.SetOuterWidth(-1e300);
    EXPECT_EQ(s.WidthPx(), 0);
}

TEST(Surface, ResizeKeepsPixelsAndFillsNewOnesWithTheBackground) {
    DrawingSurface s(3, 3);
    s.hDC().SetPixel(2, 2, kRed);
    s.SetBackColor(RGB(0, 0, 255));
    s.ResizePixels(5, 4);
    EXPECT_EQ(s.hDC().GetPixel(2, 2), kRed);
    EXPECT_EQ(s.hDC().GetPixel(0, 0), kWhite);
    EXPECT_EQ(s.hDC().GetPixel(4, 3), RGB(0, 0, 255));
    s.ResizePixels(2, 2);
    s.ResizePixels(3, 3);
    EXPECT_EQ(s.hDC().GetPixel(2, 2), RGB(0, 0, 255)) << "cropped pixels are gone";
}

TEST(FillBox, BothCornersIncludedInAnyOrder) {
    struct Row {
        int row;
        ScaleMode mode;
        double x1, y1, x2, y2;
        int x0, y0, xN, yN; // expected covered pixels, inclusive
    };
    const Row rows[] = {
        {1, ScaleMode::Pixels, 5, 0, 10, 93, 5, 0, 10, 93},
        {2, ScaleMode::Pixels, 10, 93, 5, 0, 5, 0, 10, 93},
        {3, ScaleMode::Pixels, 10, 0, 5, 93, 5, 0, 10, 93},
        {4, ScaleMode::Pixels, 7, 7, 7, 7, 7, 7, 7, 7},
        {5, ScaleMode::Twips, 75, 0, 150, 1395, 5, 0, 10, 93},
        {6, ScaleMode::Pixels, 4.5, 0.4, 5.5, 1.6, 4, 0, 6, 2}, // halves to even
        {7, ScaleMode::Pixels, -20, -20, 2, 3, 0, 0, 2, 3},     // clipped
        {8, ScaleMode::Pixels, 98, 98, 500, 500, 98, 98, 99, 99},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.row);
        DrawingSurface s(100, 100);
        s.SetScaleMode(row.mode);
        s.FillBox(row.x1, row.y1, row.x2, row.y2, kRed);
        EXPECT_EQ(CountColor(s.GetImage(), kRed), (row.xN - row.x0 + 1) * (row.yN - row.y0 + 1));
        EXPECT_EQ(s.hDC().GetPixel(row.x0, row.y0), kRed);
        EXPECT_EQ(s.hDC().GetPixel(row.xN, row.yN), kRed);
        EXPECT_FALSE(InkOutside(s.GetImage(), row.x0, row.y0, row.xN, row.yN));
    }
}

// Fills and the blank written around them: a colour of four equal bytes is written as bytes,
// any other one as it is.
TEST(FillBox, WideFillsAndTheBlankKeepTheirColours) {
    const COLORREF wide = RGB(10, 20, 255);
    for (const COLORREF back : {kWhite, RGB(0, 0, 255), RGB(128, 128, 128)}) {
        SCOPED_TRACE(back);
        DrawingSurface s(100, 20);
        s.SetScaleMode(ScaleMode::Pixels);
        s.SetBackColor(back);
        s.Cls();
        s.FillBox(40, 5, 41, 9, kBlack);
        s.FillBox(60, 0, 79, 19, wide);
        EXPECT_EQ(CountColor(s.GetImage(), back), 2000 - 10 - 400);
        EXPECT_EQ(CountColor(s.GetImage(), wide), 400);
    }
}

TEST(FillBox, CoordinatesBeyond32BitsRaiseOverflow) {
    DrawingSurface s(10, 10);
    s.SetScaleMode(ScaleMode::Pixels);
    s.FillBox(-2147483648.0, -2147483648.0, 2147483647.0, 2147483647.0, kRed);
    EXPECT_EQ(CountColor(s.GetImage(), kRed), 100);
    ExpectRuntimeError(err::kOverflow, [&] { s.FillBox(0, 0, 3e9, 1, kRed); });
    ExpectRuntimeError(err::kOverflow, [&] { s.FillBox(0, std::nan(""), 1, 1, kRed); });
    ExpectRuntimeError(err::kOverflow,
                       [&] { s.FillBox(0, 0, std::numeric_limits<double>::infinity(), 1, kRed); });
}

TEST(Cls, ErasesToTheBackgroundAndHomesTheTextPosition) {
    DrawingSurface s(6, 6);
    s.SetScaleMode(ScaleMode::Pixels);
    s.FillBox(0, 0, 5, 5, kRed);
    s.SetCurrentX(3);
    s.SetCurrentY(4);
    s.SetBackColor(RGB(1, 2, 3));
    s.Cls();
    EXPECT_EQ(CountColor(s.GetImage(), RGB(1, 2, 3)), 36);
    EXPECT_EQ(s.CurrentX(), 0);
    EXPECT_EQ(s.CurrentY(), 0);
}

TEST(Cls, KeepsTheBackgroundPicture) {
    DrawingSurface s(8, 8);
    s.SetScaleMode(ScaleMode::Pixels);
    s.FillBox(1, 1, 2, 2, kRed);
    s.ClearPicture(); // without a picture: the drawing stays
    EXPECT_EQ(CountColor(s.GetImage(), kRed), 4);
    s.SetPictureFromImage();
    EXPECT_TRUE(s.HasPicture());
    s.FillBox(5, 5, 6, 6, kBlack);
    s.Cls();
    EXPECT_EQ(CountColor(s.GetImage(), kRed), 4) << "picture shows after clearing";
    EXPECT_EQ(CountColor(s.GetImage(), kBlack), 0) << "drawing is erased";
    // A larger surface shows the picture at the top-left corner, background elsewhere.
    s.ResizePixels(12, 4);
    s.Cls();
    EXPECT_EQ(CountColor(s.GetImage(), kRed), 4);
    s.ClearPicture();
    EXPECT_FALSE(s.HasPicture());
    EXPECT_EQ(CountColor(s.GetImage(), kRed), 0) << "removing the picture removes it from view";
    s.Cls();
    EXPECT_EQ(CountColor(s.GetImage(), kRed), 0);
}

TEST(Text, MeasuresInTheCurrentUnit) {
    DrawingSurface s(300, 50);
    s.SetFontName("Courier New");
    s.SetFontBold(false);
    s.SetFontSize(10); // em 13
    s.SetScaleMode(ScaleMode::Pixels);
    EXPECT_EQ(s.TextHeight(u"AB"), 15);
    EXPECT_EQ(s.TextWidth(u"AB"), 16);
    EXPECT_EQ(s.TextWidth(u""), 0);
    EXPECT_EQ(s.TextWidth(u"\uFF21B"), 16) << "measured in its ANSI form";
    s.SetScaleMode(ScaleMode::Twips);
    EXPECT_EQ(s.TextHeight(u"AB"), 225);
    EXPECT_EQ(s.TextWidth(u"AB"), 240);
}

TEST(Text, FontSizeInPointsToPixelsAtNinetySixDpi) {
    struct Row {
        int row;
        double points;
        int em;
    };
    // round(points * 96 / 72), halves to even; at least one pixel.
    const Row rows[] = {{1, 9, 12},     {2, 10, 13},   {3, 6, 8},     {4, 7.875, 10},
                        {5, 7.125, 10}, {6, 1.125, 2}, {7, 0.375, 1}, {8, -4, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.row);
        DrawingSurface s(10, 10);
        s.SetFontName("Courier New");
        s.SetFontSize(row.points);
        TEXTMETRICA tm;
        s.hDC().GetTextMetricsA(tm);
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, row.em);
        EXPECT_EQ(s.Font().name, "Courier New") << "only the size changes";
        EXPECT_TRUE(s.Font().bold);
    }
}

TEST(Text, PrintDrawsAtThePositionAndMovesToTheNextLine) {
    DrawingSurface s(200, 60);
    s.SetScaleMode(ScaleMode::Pixels);
    s.SetBackColor(RGB(0, 0, 255));
    s.Cls();
    s.SetForeColor(kRed);
    s.SetCurrentX(50);
    s.SetCurrentY(10);
    s.Print(u"HH");
    EXPECT_EQ(s.CurrentX(), 0);
    EXPECT_EQ(s.CurrentY(), 10 + s.TextHeight(u"HH"));
    int minX = 1000, maxX = -1, minY = 1000, maxY = -1;
    const Image& image = s.GetImage();
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const Pixel p = image.At(x, y);
            ASSERT_TRUE(p == ToPixel(kRed) || p == ToPixel(RGB(0, 0, 255)))
                << "transparent, fore colour";
            if (p == ToPixel(kRed)) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
    EXPECT_GE(minX, 50);
    EXPECT_LT(maxX, 50 + s.TextWidth(u"HH"));
    EXPECT_GE(minY, 10);
    EXPECT_LT(maxY, 10 + s.TextHeight(u"HH"));
    // Twips positions round to pixels.
    s.Cls();
    s.SetScaleMode(ScaleMode::Twips);
    s.SetCurrentX(1500);
    s.SetCurrentY(0);
    s.Print(u"I");
    EXPECT_EQ(s.CurrentY(), s.TextHeight(u"I"));
}

TEST(Surface, EmptySurfaceTakesEveryOperation) {
    DrawingSurface s(0, 0);
    s.SetScaleMode(ScaleMode::Pixels);
    s.FillBox(0, 0, 10, 10, kRed);
    s.Print(u"text");
    s.Cls();
    s.SetPictureFromImage();
    s.Cls();
    s.ClearPicture();
    EXPECT_EQ(s.TextHeight(u"x"), 14);
    DeviceContext& dc = s.hDC();
    RECT r{0, 0, 100, 100};
    EXPECT_GT(dc.DrawTextA("text", -1, r, DT_CENTER), 0);
    EXPECT_EQ(dc.GetPixel(0, 0), 0xFFFFFFFFu);
    EXPECT_TRUE(s.GetImage().pixels.empty());
}

} // namespace
} // namespace quillion
