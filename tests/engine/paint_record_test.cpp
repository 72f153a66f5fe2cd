// The surface's paint record describes its image through every way the image changes: members
// and device context painting, Cls with and without a background picture, shrinking and growing,
// a copy from another surface. Each step replays the record onto a white raster and compares.
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

} // namespace
} // namespace quillion
