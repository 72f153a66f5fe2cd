// The caption font record, the caption rectangle and the "JUSTIFY" spacing.
#include "code128_fixtures.h"
#include "runtime/runtime.h"
#include "symbols/code128_caption.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <limits>
#include <string>

namespace quillion {
namespace {

using testing::WindowRequest;

static_assert(sizeof(LOGFONTA) == 60);
static_assert(offsetof(LOGFONTA, lfItalic) == 20);
static_assert(offsetof(LOGFONTA, lfFaceName) == 28);

TEST(Code128CaptionFont, StyleBits) {
    const struct {
        int style, weight, italic, underline, strike;
    } rows[] = {
        {0, 400, 0, 0, 0},  {1, 700, 0, 0, 0},  {2, 400, 255, 0, 0},  {3, 700, 255, 0, 0},
        {4, 400, 0, 1, 0},  {5, 700, 0, 1, 0},  {6, 400, 255, 1, 0},  {7, 700, 255, 1, 0},
        {8, 400, 0, 0, 1},  {9, 700, 0, 0, 1},  {10, 400, 255, 0, 1}, {11, 700, 255, 0, 1},
        {12, 400, 0, 1, 1}, {13, 700, 0, 1, 1}, {14, 400, 255, 1, 1}, {15, 700, 255, 1, 1},
    };
    for (const auto& r : rows) {
        BarcodeRequest request = WindowRequest(u"AB");
        request.FontStyle = r.style;
        const LOGFONTA lf = BuildCaptionLogFont(request, 96);
        EXPECT_EQ(lf.lfWeight, r.weight) << "style " << r.style;
        EXPECT_EQ(lf.lfItalic, r.italic) << "style " << r.style;
        EXPECT_EQ(lf.lfUnderline, r.underline) << "style " << r.style;
        EXPECT_EQ(lf.lfStrikeOut, r.strike) << "style " << r.style;
        EXPECT_EQ(lf.lfWidth, 0);
        EXPECT_EQ(lf.lfOrientation, 0);
        EXPECT_EQ(lf.lfCharSet, 0);
        EXPECT_EQ(lf.lfOutPrecision, 3);
        EXPECT_EQ(lf.lfClipPrecision, 2);
        EXPECT_EQ(lf.lfQuality, 1);
        EXPECT_EQ(lf.lfPitchAndFamily, 2);
    }
}

TEST(Code128CaptionFont, EscapementAndResolutionByOrientation) {
    const struct {
        int orientation, escapement, dpiIndex;
    } rows[] = {{0, 3600, 90}, {1, 900, 88}, {2, 1800, 90}, {3, 2700, 88}};
    for (const auto& r : rows) {
        BarcodeRequest request = WindowRequest(u"AB");
        request.Orientation = r.orientation;
        EXPECT_EQ(BuildCaptionLogFont(request, 96).lfEscapement, r.escapement) << r.orientation;
        EXPECT_EQ(CaptionDpiIndex(r.orientation), r.dpiIndex) << r.orientation;
    }
}

TEST(Code128CaptionFont, HeightFromPointsAndResolution) {
    const struct {
        int row, fontSize, dpi, height;
    } rows[] = {
        {1, 10, 96, -13},
        {2, 10, 120, -17},
        {3, 9, 96, -12},
        {4, 1, 96, -1},
        {5, 72, 96, -96},
        {6, std::numeric_limits<std::int32_t>::max(), 96, 1}, // MulDiv answers -1 when too big
    };
    for (const auto& r : rows) {
        BarcodeRequest request = WindowRequest(u"AB");
        request.FontSize = r.fontSize;
        EXPECT_EQ(BuildCaptionLogFont(request, r.dpi).lfHeight, r.height) << "row " << r.row;
    }
}

TEST(Code128CaptionFont, FaceNameBytes) {
    BarcodeRequest request = WindowRequest(u"AB");
    LOGFONTA lf = BuildCaptionLogFont(request, 96);
    EXPECT_EQ(std::string(lf.lfFaceName), "Courier New");
    for (int i = 11; i < 32; ++i)
        EXPECT_EQ(lf.lfFaceName[i], 0) << i; // 11 characters and the NUL: 12 bytes

    request.FontName = std::u16string(30, u'x'); // fits exactly with its NUL
    lf = BuildCaptionLogFont(request, 96);
    EXPECT_EQ(std::string(lf.lfFaceName), std::string(30, 'x'));
    EXPECT_EQ(lf.lfFaceName[30], 0);
    EXPECT_EQ(lf.lfFaceName[31], 0);

    request.FontName = u"\uFF23\u00E9\xD800"; // best fit, Windows-1252, lone surrogate
    lf = BuildCaptionLogFont(request, 96);
    EXPECT_EQ(std::string(lf.lfFaceName), "C\xE9?");
}

TEST(Code128CaptionFont, FaceNameOf31BytesOrMoreIsOutOfRange) {
    const std::u16string names[] = {std::u16string(31, u'x'), std::u16string(32, u'x'),
                                    std::u16string(100000, u'x'),
                                    std::u16string(31, u'\uFF41')}; // 31 bytes in ANSI
    for (std::size_t i = 0; i < std::size(names); ++i) {
        BarcodeRequest request = WindowRequest(u"AB");
        request.FontName = names[i];
        try {
            BuildCaptionLogFont(request, 96);
            ADD_FAILURE() << "row " << i + 1 << " raised nothing";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), 9) << "row " << i + 1;
            EXPECT_EQ(e.Description(), "Subscript out of range");
        }
    }
}

TEST(Code128CaptionRect, PlacementAboveAndBelow) {
    // Left 5, Top 7, gap 4, bar height 40, bars 57 wide.
    const struct {
        int row, position, cx, cy, yTop, endX, leading;
        RECT expected;
    } rows[] = {
        {1, 2, 16, 15, 27, 62, 2, {5, 7, 62, 26}},     // above, narrower: L + W
        {2, 2, 77, 15, 27, 82, 3, {5, 7, 85, 26}},     // above, wider: L + cx + leading
        {3, 1, 16, 15, 7, 62, 2, {5, 51, 62, 66}},     // below, narrower: endX
        {4, 1, 77, 15, 7, 82, 3, {5, 51, 88, 66}},     // below, wider: L + cx + 2 leading
        {5, 1, 57, 15, 7, 62, 2, {5, 51, 62, 66}},     // as wide as the bars is not wider
        {6, 1, 16, 15, 100, 62, 2, {5, 144, 62, 159}}, // below follows yTop
    };
    for (const auto& r : rows) {
        BarcodeRequest request = WindowRequest(u"AB", true, r.position);
        request.Left = 5;
        request.Top = 7;
        CaptionLayout layout;
        layout.symbolWidth = 57;
        layout.extent = {r.cx, r.cy};
        layout.yTop = r.yTop;
        layout.endX = r.endX;
        layout.internalLeading = r.leading;
        EXPECT_EQ(CaptionRect(request, layout), r.expected) << "row " << r.row;
    }
}

TEST(Code128CaptionRect, OverflowRaisesError6) {
    BarcodeRequest request = WindowRequest(u"AB", true, 1);
    request.CaptionGap = std::numeric_limits<std::int32_t>::max();
    CaptionLayout layout;
    layout.symbolWidth = 57;
    layout.extent = {16, 15};
    layout.endX = 57;
    EXPECT_THROW(CaptionRect(request, layout), RuntimeError);
}

TEST(Code128Justify, ExtraSpacing) {
    const struct {
        int row, width, length, aveCharWidth, extra;
    } rows[] = {
        {1, 100, 4, 8, 17},      {2, 50, 4, 8, 4},    // q 12.5 -> 12
        {3, 54, 4, 8, 6},                             // q 13.5 -> 14
        {4, 10, 4, 8, -6},                            // q 2.5 -> 2
        {5, 57, 2, 8, 20},                            // q 28.5 -> 28
        {6, 0, 3, 8, -8},        {7, -10, 4, 8, -10}, // q -2.5 -> -2
        {8, 32767, 1, 0, 32767},
    };
    for (const auto& r : rows)
        EXPECT_EQ(JustifyExtra(r.width, static_cast<std::size_t>(r.length), r.aveCharWidth),
                  r.extra)
            << "row " << r.row;
}

TEST(Code128Justify, OutOfSixteenBitsRaisesError6) {
    const struct {
        int row, width, length, aveCharWidth;
    } rows[] = {{1, 32768, 4, 8}, {2, 32767, 1, -1}, {3, -32768, 1, 1}, {4, -40000, 100, 8}};
    for (const auto& r : rows) {
        try {
            JustifyExtra(r.width, static_cast<std::size_t>(r.length), r.aveCharWidth);
            ADD_FAILURE() << "row " << r.row << " raised nothing";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), 6) << "row " << r.row;
        }
    }
}

} // namespace
} // namespace quillion
