// The surface's paint record describes its image through every way the image changes: members
// and device context painting, Cls with and without a background picture, shrinking and growing,
// a copy from another surface. Each step replays the record onto a white raster and compares.
#include "draw/bilevel.h"
#include "draw/gdi.h"
#include "draw/surface.h"

#include <gtest/gtest.h>

namespace quillion {
namespace {

// Replays the record onto white and compares with the surface's image.
::testing::AssertionResult Describes(const PaintRecord& record, const DrawingSurface& s) {
    if (!record.complete)
        return ::testing::AssertionFailure() << "record marked incomplete";
    Image replayed(s.WidthPx(), s.HeightPx(), ToPixel(kWhite));
    ReplayPaintRecord(record, replayed);
    if (replayed == s.GetImage())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "replay differs from the image";
}

TEST(PaintRecord, FollowsTheImageThroughClsPicturesResizesAndCopies) {
    DrawingSurface s(60, 30);
    s.SetScaleMode(ScaleMode::Pixels);
    PaintRecord record;
    s.SetPaintRecord(&record);
    s.Cls();
    EXPECT_TRUE(record.operations.empty());
    // 1: members and device context.
    s.FillBox(2, 2, 10, 20, kBlack);
    s.SetCurrentX(12);
    s.SetCurrentY(3);
    s.Print(u"Ab");
    DeviceContext& dc = s.hDC();
    const HGDIOBJ brush = dc.CreateSolidBrush(0x0000FF);
    const HGDIOBJ old = dc.SelectObject(brush);
    dc.Rectangle(40, 5, 50, 25);
    dc.SelectObject(old);
    dc.DeleteObject(brush);
    dc.SetPixel(55, 1, kBlack);
    RECT r{30, 20, 60, 30};
    dc.DrawTextA("xy", -1, r, DT_CENTER);
    EXPECT_TRUE(Describes(record, s)) << "row 1";
    // Box, text, the rectangle as inside and four outline edges, pixel, opaque cell and text.
    EXPECT_EQ(record.operations.size(), 10u);
    // 2: shrinking cuts what was painted; growing again shows background, not the old paint.
    s.ResizePixels(20, 10);
    s.ResizePixels(60, 30);
    EXPECT_TRUE(Describes(record, s)) << "row 2";
    // 3: a background picture comes back with Cls.
    s.SetPictureFromImage();
    s.FillBox(0, 0, 59, 29, kBlack);
    s.Cls();
    EXPECT_TRUE(Describes(record, s)) << "row 3";
    // 4: without it, Cls leaves nothing.
    s.ClearPicture();
    s.Cls();
    EXPECT_TRUE(record.operations.empty()) << "row 4";
    EXPECT_TRUE(Describes(record, s)) << "row 4";
    // 5: a coloured background is a fill of its own.
    s.SetBackColor(0x00FF00);
    s.Cls();
    s.ResizePixels(70, 35);
    EXPECT_TRUE(Describes(record, s)) << "row 5";
    // 6: pixels copied from an unrecorded surface cannot be described.
    DrawingSurface other(5, 5);
    other.FillBox(0, 0, 100, 100, kBlack);
    s.CopyImageFrom(other);
    EXPECT_FALSE(record.complete) << "row 6";
    // 7: a new record starts complete and empty; recording stops with null.
    s.SetPaintRecord(&record);
    EXPECT_TRUE(record.complete && record.operations.empty()) << "row 7";
    s.SetPaintRecord(nullptr);
    s.FillBox(0, 0, 1, 1, kBlack);
    EXPECT_TRUE(record.operations.empty()) << "row 7";
}

// A deferring surface owes its pixels to its record: the painting of a surface that paints at
// once is its image at every look (resizes while owed, a look half-way, a picture taken over by
// another deferring surface or by one that paints), and the owed painting at one bit per pixel
// is the same picture (white text over black, a bar through it, text drawn from outlines),
// unless it holds a colour.
TEST(PaintRecord, DeferredPaintingOwesExactlyThePixels) {
    DrawingSurface direct(61, 30), deferred(61, 30);
    PaintRecord record;
    const auto both = [&](const auto& step) {
        step(direct);
        step(deferred);
    };
    const auto bilevelOf = [](const DrawingSurface& s) {
        Bilevel bits;
        EXPECT_TRUE(ReplayBilevel(*s.UnpaintedRecord(), s.WidthPx(), s.HeightPx(), bits));
        return ToImage(bits);
    };
    // 0: what was painted before the record started is not left to it.
    both([](DrawingSurface& s) {
        s.SetScaleMode(ScaleMode::Pixels);
        s.FillBox(50, 20, 55, 25, kBlack);
    });
    deferred.SetPaintRecord(&record);
    deferred.SetPaintingDeferred(true);
    both([](DrawingSurface& s) { s.FillBox(0, 0, 1, 1, kBlack); });
    EXPECT_EQ(deferred.GetImage(), direct.GetImage()) << "row 0";
    // 1: fills and text from a Cls.
    both([](DrawingSurface& s) {
        s.Cls();
        s.FillBox(2, 2, 10, 20, kBlack);
        s.FillBox(11, 2, 11, 8, kBlack);
        s.FillBox(4, 4, 5, 30, kWhite);
        s.FillBox(8, 2, 30, 16, kBlack);
        s.SetForeColor(kWhite);
        s.SetCurrentX(9);
        s.SetCurrentY(3);
        s.Print(u"Ab");
        s.FillBox(13, 0, 13, 29, kBlack);
        s.SetForeColor(kBlack);
        s.SetCurrentX(33);
        s.Print(u"Qj_");
    });
    ASSERT_NE(deferred.UnpaintedRecord(), nullptr) << "row 1";
    EXPECT_EQ(bilevelOf(deferred), direct.GetImage()) << "row 1";
    // 2: cut and grown while owed; a look pays the debt.
    both([](DrawingSurface& s) {
        s.ResizePixels(20, 10);
        s.ResizePixels(50, 40);
    });
    EXPECT_EQ(bilevelOf(deferred), direct.GetImage()) << "row 2";
    EXPECT_EQ(deferred.GetImage(), direct.GetImage()) << "row 2";
    EXPECT_EQ(deferred.UnpaintedRecord(), nullptr) << "row 2";
    // 3: painting after the look is owed again; the device context reads what it painted.
    both([](DrawingSurface& s) { s.hDC().Rectangle(20, 5, 30, 35); });
    EXPECT_EQ(deferred.hDC().GetPixel(20, 5), kBlack) << "row 3";
    both([](DrawingSurface& s) { s.FillBox(0, 0, 3, 3, kBlack); });
    // 4: taken by a deferring surface the painting moves unpainted; by another it is painted.
    DrawingSurface taker(1, 1), directTaker(1, 1), painter(1, 1);
    PaintRecord takerRecord;
    taker.SetPaintRecord(&takerRecord);
    taker.SetPaintingDeferred(true);
    taker.TakeImageFrom(deferred);
    directTaker.TakeImageFrom(direct);
    ASSERT_NE(taker.UnpaintedRecord(), nullptr) << "row 4";
    EXPECT_EQ(deferred.UnpaintedRecord(), nullptr) << "row 4";
    EXPECT_EQ(taker.GetImage(), directTaker.GetImage()) << "row 4";
    EXPECT_EQ(deferred.GetImage(), direct.GetImage()) << "row 4: left blank";
    both([](DrawingSurface& s) {
        s.Cls();
        s.FillBox(1, 1, 7, 7, kBlack);
    });
    painter.TakeImageFrom(deferred);
    directTaker.TakeImageFrom(direct);
    EXPECT_EQ(painter.GetImage(), directTaker.GetImage()) << "row 4";
    // 5: text from outlines (above the glyph cache's sizes).
    both([](DrawingSurface& s) {
        s.ResizePixels(300, 300);
        s.Cls();
        s.FillBox(0, 100, 299, 120, kBlack);
        s.SetFontSize(200);
        s.Print(u"g");
        s.SetFontSize(9);
    });
    EXPECT_EQ(bilevelOf(deferred), direct.GetImage()) << "row 5";
    // 6: a colour is no bilevel painting; ending deferral pays the debt.
    Bilevel bits;
    both([](DrawingSurface& s) {
        s.Cls();
        s.SetForeColor(0x0000FF);
        s.Print(u"red");
        s.SetForeColor(kBlack);
    });
    EXPECT_FALSE(ReplayBilevel(*deferred.UnpaintedRecord(), 300, 300, bits)) << "row 6";
    both([](DrawingSurface& s) {
        s.Cls();
        s.FillBox(3, 3, 9, 9, 0xFF0000);
    });
    EXPECT_FALSE(ReplayBilevel(*deferred.UnpaintedRecord(), 300, 300, bits)) << "row 6";
    deferred.SetPaintingDeferred(false);
    EXPECT_EQ(deferred.UnpaintedRecord(), nullptr) << "row 6";
    both([](DrawingSurface& s) { s.FillBox(5, 0, 6, 39, kWhite); });
    EXPECT_EQ(deferred.GetImage(), direct.GetImage()) << "row 6";
}

} // namespace
} // namespace quillion
