// DrawCode128 as a whole: validation order, error texts, when the record is written back, the
// other orientations, and bad input (run-time errors leave the record and the objects alone).
#include "code128_fixtures.h"
#include "draw/surface.h"
#include "runtime/runtime.h"
#include "symbols/Special128.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

namespace quillion {
namespace {

using testing::CountPixels;
using testing::Draw;
using testing::MeasureWithCaptionFont;
using testing::WindowRequest;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr COLORREF kRed = RGB(255, 0, 0);

bool Untouched(const DrawingSurface& surface) {
    return CountPixels(surface.GetImage(), kWhite) ==
           surface.GetImage().width * surface.GetImage().height;
}

TEST(Code128Request, ValidationOrder) {
    using Change = std::function<void(BarcodeRequest&)>;
    const struct {
        int row;
        Change change;
        std::int32_t code;
    } rows[] = {
        {1, [](BarcodeRequest&) {}, 0},
        {2, [](BarcodeRequest& r) { r.Text = u""; }, 0},
        {3, [](BarcodeRequest& r) { r.Text = u"", r.ModuleWidth = 0; }, 54541},
        {4, [](BarcodeRequest& r) { r.Text = u"A\u00E9", r.ModuleWidth = 0; }, 54548},
        {5, [](BarcodeRequest& r) { r.BarHeight = 0, r.CaptionAlignment = 9; }, 54542},
        {6, [](BarcodeRequest& r) { r.Symbology = 15, r.CaptionPosition = 3; }, 54543},
        {7, [](BarcodeRequest& r) { r.Symbology = 15, r.CaptionAlignment = 0; }, 54546},
        {8, [](BarcodeRequest& r) { r.Orientation = 4; }, 54544},
        {9, [](BarcodeRequest& r) { r.Orientation = -1; }, 54544},
        {10, [](BarcodeRequest& r) { r.ModuleWidth = -1; }, 54541},
        {11, [](BarcodeRequest& r) { r.BarHeight = -5; }, 54542},
        {12, [](BarcodeRequest& r) { r.CaptionAlignment = 5; }, 54546},
        {13, [](BarcodeRequest& r) { r.FontSize = 0; }, 54544},
        {14, [](BarcodeRequest& r) { r.FontName = u""; }, 54544},
        {15, [](BarcodeRequest& r) { r.FontStyle = 16; }, 54544},
        {16, [](BarcodeRequest& r) { r.FontStyle = -1; }, 54544},
        {17, [](BarcodeRequest& r) { r.CaptionPosition = 0; }, 54547},
        {18, [](BarcodeRequest& r) { r.Caption = u"", r.FontSize = -3; }, 54544},
        {19, [](BarcodeRequest& r) { r.Text = u"AB\t"; }, 54548},
        {20, [](BarcodeRequest& r) { r.Text = u"\xD800"; }, 54548},
        {21, [](BarcodeRequest& r) { r.FontSize = 0, r.Symbology = 0, r.CaptionPosition = 7; },
         54544},
        {22, [](BarcodeRequest& r) { r.Text = u"\u00E9", r.Symbology = 0; }, 54548},
        {23, [](BarcodeRequest& r) { r.CaptionAlignment = 4, r.Orientation = 3; }, 0},
        // Not validated: caption, position and gap, colours, check switch.
        {24,
         [](BarcodeRequest& r) {
             r.Caption = u"\xDC00\u00E9", r.Left = -20, r.Top = -3, r.CaptionGap = -9,
             r.BarColor = 0xFFFFFFFF, r.CheckCharacter = 77;
         },
         0},
    };
    for (const auto& r : rows) {
        DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
        BarcodeRequest request = WindowRequest(u"AB", true);
        r.change(request);
        const BarcodeRequest sent = request;
        EXPECT_EQ(Draw(request, surface.hDC()), r.code) << "row " << r.row;
        if (r.code != 0 || sent.Text.empty()) {
            EXPECT_EQ(request, sent) << "row " << r.row;
            EXPECT_TRUE(Untouched(surface)) << "row " << r.row;
        }
    }
}

TEST(Code128Request, ErrorTexts) {
    const struct {
        std::int32_t code;
        const char* text;
    } rows[] = {
        {54540, "Error(54540):Invalid Device Context specified."},
        {54541, "Error(54541):Invalid Width specified."},
        {54542, "Error(54542):Invalid Height specified."},
        {54543, "Error(54543):Unknown Symbology encountered."},
        {54544, "Error(54544):An Error occured while creating Font."},
        {54545, "Error(54545):Out Of Memory."},
        {54546, "Error(54546):Invalid Caption alignment specified"},
        {54547, "Error(54547):Invalid Caption display position specified."},
        {54548, "Error(54548):Illegal character for this symbology specified."},
        {0, ""},
        {54539, ""},
        {54549, ""},
        {-54541, ""},
        {kMin, ""},
        {kMax, ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Code128ErrorText(r.code), r.text) << r.code;
}

TEST(Code128Request, SuccessWritesWidthAndHeightOnly) {
    DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
    BarcodeRequest request = WindowRequest(u"AB", true);
    request.Reserved1 = u"kept";
    request.Reserved3 = -5;
    request.Width = 999;
    request.Height = -1;
    BarcodeRequest expected = request;
    expected.Width = 57;
    expected.Height = 61; // 40 + gap 4 + 2 + tmHeight 15
    EXPECT_EQ(Draw(request, surface.hDC()), 0);
    EXPECT_EQ(request, expected);
}

TEST(Code128Request, OtherOrientationsPaintOnlyTheBackground) {
    for (int orientation = 1; orientation <= 3; ++orientation) {
        for (const bool caption : {false, true}) {
            DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
            BarcodeRequest request = WindowRequest(u"AB", caption);
            request.Orientation = orientation;
            request.BackColor = kRed;
            request.Width = 3;
            request.Height = 4;
            const BarcodeRequest sent = request;
            EXPECT_EQ(Draw(request, surface.hDC()), 0);
            EXPECT_EQ(request, sent) << orientation;
            const Image& image = surface.GetImage();
            EXPECT_EQ(CountPixels(image, kBlack), 0) << orientation;
            if (!caption) {
                // Rectangle(0, 0, 2, 1) with the null pen fills nothing.
                EXPECT_EQ(CountPixels(image, kRed), 0) << orientation;
                continue;
            }
            const auto m = MeasureWithCaptionFont(request, surface.hDC(), "AB");
            // Columns 0 .. cx + 2 leading, rows 0 .. bar height + gap + tmHeight.
            const int w = m.extent.cx + 2 * m.tm.tmInternalLeading + 1;
            const int h = 40 + 4 + m.tm.tmHeight + 1;
            EXPECT_EQ(CountPixels(image, kRed), w * h) << orientation;
            EXPECT_EQ(image.At(w - 1, h - 1), ToPixel(kRed));
        }
    }
}

TEST(Code128Request, OtherOrientationsDoNotEncode) {
    // The weights overflow only when the symbol is measured, which orientation 1 skips.
    DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
    BarcodeRequest request = WindowRequest(std::u16string(5000, u'A'));
    request.Orientation = 1;
    EXPECT_EQ(Draw(request, surface.hDC()), 0);
}

// The run-time error a request raises (0 for none), with the checks of a failed call: record
// unchanged, and nothing painted when `painted` is false.
int RaisedError(BarcodeRequest request, bool painted = false) {
    DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
    const BarcodeRequest sent = request;
    try {
        Draw(request, surface.hDC());
    } catch (const RuntimeError& e) {
        EXPECT_EQ(request, sent);
        if (!painted) {
            EXPECT_TRUE(Untouched(surface));
        }
        return e.Number();
    }
    return 0;
}

TEST(Code128Request, BadInputRaisesRunTimeErrors) {
    using Change = std::function<void(BarcodeRequest&)>;
    const struct {
        int row;
        Change change;
        int error;
        bool paintsFirst;
    } rows[] = {
        {1, [](BarcodeRequest& r) { r.Text = std::u16string(5000, u'A'); }, 6, false},
        {2, [](BarcodeRequest& r) { r.Text = std::u16string(3'000'000, u'z'); }, 6, false},
        {3, [](BarcodeRequest& r) { r.FontName = std::u16string(31, u'F'); }, 9, false},
        {4, [](BarcodeRequest& r) { r.FontName = std::u16string(30, u'F'); }, 0, false},
        {5, [](BarcodeRequest& r) { r.ModuleWidth = 1 << 30; }, 6, false},
        {6, [](BarcodeRequest& r) { r.ModuleWidth = kMax; }, 6, false},
        {7, [](BarcodeRequest& r) { r.Left = kMax - 10; }, 6, false},
        {8, [](BarcodeRequest& r) { r.Top = kMax - 10; }, 6, false},
        {9, [](BarcodeRequest& r) { r.BarHeight = kMax; }, 6, false},
        {10, [](BarcodeRequest& r) { r.CaptionGap = kMax - 30; }, 6, false},
        {11, [](BarcodeRequest& r) { r.CaptionGap = kMin, r.Top = -100; }, 6, false},
        // "JUSTIFY" over a caption rectangle wider than 32767 pixels: raised after the
        // background and the bars are painted.
        {12, [](BarcodeRequest& r) { r.CaptionAlignment = 4, r.ModuleWidth = 1000; }, 6, true},
    };
    for (const auto& r : rows)
        EXPECT_EQ(RaisedError(
                      [&] {
                          BarcodeRequest request = WindowRequest(u"AB", true);
                          r.change(request);
                          return request;
                      }(),
                      r.paintsFirst),
                  r.error)
            << "row " << r.row;
}

TEST(Code128Request, HugeAndNegativeGeometryIsClipped) {
    const struct {
        int row;
        std::int32_t left, top, moduleWidth, barHeight, gap;
        std::int32_t width, height; // written back
    } rows[] = {
        {1, -1000, 0, 1, 40, 4, 57, 41},
        {2, kMin + 5, kMin + 5, 1, 40, 4, 57, 41},
        {3, 0, 0, 40'000'000, 40, 4, 1'840'000'000, 41}, // "A": 46 modules
        {4, 0, 0, 1, kMax - 3, 4, 46, kMax - 2},
        {5, 500, 500, 1, 40, 4, 46, 41}, // entirely outside the raster
        {6, 0, -30, 3, 40, 4, 138, 41},
    };
    for (const auto& r : rows) {
        DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
        BarcodeRequest request = WindowRequest(u"A");
        request.Left = r.left;
        request.Top = r.top;
        request.ModuleWidth = r.moduleWidth;
        request.BarHeight = r.barHeight;
        request.CaptionGap = r.gap;
        if (r.row < 3)
            request.Text = u"AB";
        EXPECT_EQ(Draw(request, surface.hDC()), 0) << "row " << r.row;
        EXPECT_EQ(request.Width, r.width) << "row " << r.row;
        EXPECT_EQ(request.Height, r.height) << "row " << r.row;
    }
}

TEST(Code128Request, HugeModuleWidthFillsTheRasterWithTheFirstBar) {
    DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
    BarcodeRequest request = WindowRequest(u"A");
    request.ModuleWidth = 40'000'000;
    ASSERT_EQ(Draw(request, surface.hDC()), 0);
    EXPECT_EQ(CountPixels(surface.GetImage(), kBlack), testing::kWindowWidth * 40);
}

TEST(Code128Request, NegativeGapGivesANegativeHeight) {
    DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
    BarcodeRequest request = WindowRequest(u"AB", true);
    request.CaptionGap = -100;
    ASSERT_EQ(Draw(request, surface.hDC()), 0);
    EXPECT_EQ(request.Height, 40 - 100 + 2 + 15);
}

TEST(Code128Request, AnyUtf16InCaptionAndFontName) {
    DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
    BarcodeRequest request = WindowRequest(u"AB", true);
    request.Caption = u"\xD800\xDFFF\xDC00 \u00E9\u4E2D\0x"; // lone and paired surrogates, NUL
    request.FontName = u"\xDBFF\u00E9";
    EXPECT_EQ(Draw(request, surface.hDC()), 0);
    request.FontSize = kMax; // a one-pixel font
    EXPECT_EQ(Draw(request, surface.hDC()), 0);
}

TEST(Code128Request, LongCaptionIsClippedToTheRaster) {
    DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
    BarcodeRequest request = WindowRequest(u"AB");
    request.Caption = std::u16string(200000, u'x');
    ASSERT_EQ(Draw(request, surface.hDC()), 0);
    EXPECT_EQ(request.Width, 200000 * 8 + 2 * 2);
    // Spread over more than 32767 pixels, the spacing leaves 16 bits.
    request.CaptionAlignment = 4;
    EXPECT_THROW(Draw(request, surface.hDC()), RuntimeError);
}

TEST(Code128Request, RepeatedCallsGiveTheSameImage) {
    Image first;
    for (int i = 0; i < 3; ++i) {
        DrawingSurface surface(testing::kWindowWidth, testing::kWindowHeight);
        BarcodeRequest request = WindowRequest(u"Same 123", true, 2, 3);
        ASSERT_EQ(Draw(request, surface.hDC()), 0);
        if (i == 0)
            first = surface.GetImage();
        else
            EXPECT_EQ(surface.GetImage(), first) << i;
    }
}

} // namespace
} // namespace quillion
