// Resizing keeps the pixels inside the new size and gives the new ones the background colour,
// in place or from a blank surface, whatever the direction; Cls after Cls and resizes of a
// blank surface still leave exactly the background.
#include "draw/surface.h"

#include <gtest/gtest.h>

namespace quillion {
namespace {

// The plain rule, written out: a new raster of the background with the kept block copied in.
Image Resized(const Image& old, int w, int h, Pixel background) {
    Image out(w, h, background);
    for (int y = 0; y < std::min(h, old.height); ++y)
        for (int x = 0; x < std::min(w, old.width); ++x)
            out.At(x, y) = old.At(x, y);
    return out;
}

// A surface with a distinct pixel everywhere.
void Paint(DrawingSurface& s) {
    Image& image = s.MutableImage();
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = 0xFF000000u | Pixel(y * 1000 + x);
}

TEST(ResizePixels, KeepsTheInsideAndFillsTheRest) {
    struct Row {
        int row, fromW, fromH, toW, toH;
    } rows[] = {
        {1, 7, 5, 3, 5},  {2, 7, 5, 11, 5},       {3, 7, 5, 7, 2},  {4, 7, 5, 7, 9},
        {5, 7, 5, 3, 2},  {6, 7, 5, 11, 9},       {7, 7, 5, 11, 2}, {8, 7, 5, 3, 9},
        {9, 7, 5, 0, 5},  {10, 7, 5, 7, 0},       {11, 0, 0, 4, 3}, {12, 1, 1, 9, 9},
        {13, 9, 9, 1, 1}, {14, 427, 73, 266, 61},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.row);
        DrawingSurface s(r.fromW, r.fromH);
        Paint(s);
        s.SetBackColor(RGB(10, 20, 30));
        const Image before = s.GetImage();
        s.ResizePixels(r.toW, r.toH);
        EXPECT_EQ(s.GetImage(), Resized(before, r.toW, r.toH, ToPixel(RGB(10, 20, 30))));
        // And back: what was cut is gone, what stayed is still there.
        const Image middle = s.GetImage();
        s.ResizePixels(r.fromW, r.fromH);
        EXPECT_EQ(s.GetImage(), Resized(middle, r.fromW, r.fromH, ToPixel(RGB(10, 20, 30))));
    }
}

TEST(ResizePixels, BlankSurfaceTakesTheCurrentBackground) {
    struct Row {
        int row;
        COLORREF clsColour, resizeColour;
    } rows[] = {
        {1, kWhite, kWhite},
        {2, kWhite, RGB(1, 2, 3)}, // the old pixels stay white, the new ones take the new colour
        {3, RGB(1, 2, 3), kWhite},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.row);
        DrawingSurface s(4, 3);
        Paint(s);
        s.SetBackColor(r.clsColour);
        s.Cls();
        s.SetBackColor(r.resizeColour);
        s.ResizePixels(6, 5);
        EXPECT_EQ(s.GetImage(),
                  Resized(Image(4, 3, ToPixel(r.clsColour)), 6, 5, ToPixel(r.resizeColour)));
    }
}

TEST(Cls, AfterDrawingThroughEveryWayInClearsAgain) {
    DrawingSurface s(20, 10);
    s.Cls();
    s.FillBox(0, 0, 19, 9, kBlack); // a drawing member
    s.Cls();
    EXPECT_EQ(s.GetImage(), Image(20, 10, ToPixel(kWhite)));
    s.MutableImage().At(3, 3) = ToPixel(kBlack); // direct access (the device context's way)
    s.Cls();
    EXPECT_EQ(s.GetImage(), Image(20, 10, ToPixel(kWhite)));
    s.SetScaleMode(ScaleMode::Pixels);
    s.Print(u"X");
    s.Cls();
    EXPECT_EQ(s.GetImage(), Image(20, 10, ToPixel(kWhite)));
    s.SetBackColor(RGB(9, 9, 9)); // a blank surface of another colour is cleared anew
    s.Cls();
    EXPECT_EQ(s.GetImage(), Image(20, 10, ToPixel(RGB(9, 9, 9))));
}

TEST(CopyImageFrom, SameAsResizeClsAndCopy) {
    struct Row {
        int row, fromW, fromH, toW, toH;
        bool targetHasPicture;
    } rows[] = {{1, 5, 4, 9, 7, false},
                {2, 9, 7, 5, 4, true},
                {3, 6, 6, 6, 6, false},
                {4, 0, 0, 3, 2, false},
                {5, 3, 2, 0, 0, true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.row);
        DrawingSurface source(r.fromW, r.fromH);
        Paint(source);
        DrawingSurface plain(r.toW, r.toH), fast(r.toW, r.toH);
        for (DrawingSurface* s : {&plain, &fast}) {
            s->FillBox(0, 0, 1, 1, kBlack);
            if (r.targetHasPicture)
                s->SetPictureFromImage();
            s->SetCurrentX(5);
        }
        plain.ResizePixels(source.WidthPx(), source.HeightPx());
        plain.Cls();
        plain.MutableImage().pixels = source.GetImage().pixels;
        fast.CopyImageFrom(source);
        EXPECT_EQ(fast.GetImage(), plain.GetImage());
        EXPECT_EQ(fast.CurrentX(), plain.CurrentX());
        fast.Cls(); // and it is not taken for blank afterwards
        plain.Cls();
        EXPECT_EQ(fast.GetImage(), plain.GetImage());
    }
}

// A rectangle in the colour of a blank surface leaves it blank (and unwritten); one of another
// colour, or an outline of another colour, is painted.
TEST(Rectangle, OnABlankSurface) {
    DrawingSurface s(10, 8);
    s.Cls();
    DeviceContext& dc = s.hDC();
    const HGDIOBJ white = dc.CreateSolidBrush(kWhite);
    const HGDIOBJ red = dc.CreatePen(0, 1, RGB(255, 0, 0));
    dc.SelectObject(white);
    dc.SelectObject(dc.GetStockObject(NULL_PEN));
    dc.Rectangle(0, 0, 10, 8);
    EXPECT_TRUE(s.IsBlank(ToPixel(kWhite)));
    EXPECT_EQ(s.GetImage(), Image(10, 8, ToPixel(kWhite)));
    dc.SelectObject(red); // white inside, red outline
    dc.Rectangle(1, 1, 4, 4);
    EXPECT_FALSE(s.IsBlank(ToPixel(kWhite)));
    EXPECT_EQ(s.GetImage().At(1, 1), ToPixel(RGB(255, 0, 0)));
    EXPECT_EQ(s.GetImage().At(2, 2), ToPixel(kWhite));
    dc.SelectObject(dc.GetStockObject(BLACK_PEN));
    dc.SelectObject(dc.GetStockObject(WHITE_BRUSH));
    dc.DeleteObject(white);
    dc.DeleteObject(red);
    EXPECT_EQ(dc.LiveObjectCount(), 0);
}

} // namespace
} // namespace quillion
