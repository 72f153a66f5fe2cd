// UPC-A and UPC-E renderer: the fixed grid read back from the raster, the digits under the bars,
// the failure on a character without a decimal value, and an independent reader.
#include "decode.h"
#include "mBarcode.h"
#include "raster_probe.h"
#include "runtime.h"
#include "surface.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace quillion {
namespace {

using testing::AllLight;
using testing::DecodeImage;
using testing::IsDark;
using testing::RowString;

constexpr int kHeight = 109;
constexpr int kBarBottom = 94; // 109 - 15

// A surface prepared as the window prepares its picture area before a UPC generation: drawing
// unit and container in pixels, outer height 109, cleared.
std::unique_ptr<DrawingSurface> UpcSurface() {
    auto s = std::make_unique<DrawingSurface>(515, 101);
    s->SetScaleMode(ScaleMode::Pixels);
    s->SetAutoRedraw(true);
    s->Cls();
    s->SetContainerScaleMode(ScaleMode::Pixels);
    s->SetOuterHeight(kHeight);
    s->Cls();
    return s;
}

TEST(Upc, ColumnsOfTheFixedGrid) {
    struct Row {
        int line;
        UpcVariant variant;
        std::u16string digits;
        int x0, x1;           // inclusive columns, read on row 0
        std::string expected; // '#' black, '.' white
    };
    const Row rows[] = {
        {1, UpcVariant::UpcA, u"012345678905", 0, 4, "....."},              // left margin
        {2, UpcVariant::UpcA, u"012345678905", 5, 10, "##..##"},            // left guard
        {3, UpcVariant::UpcA, u"012345678905", 11, 24, "......####..##"},   // 0: 3211 left
        {4, UpcVariant::UpcA, u"012345678905", 95, 104, "..##..##.."},      // centre guard
        {5, UpcVariant::UpcA, u"012345678905", 175, 188, "##....######.."}, // 5: 1231 right
        {6, UpcVariant::UpcA, u"012345678905", 189, 194, "##..##"},         // right guard
        {7, UpcVariant::UpcA, u"012345678905", 195, 199, "....."},          // right margin
        {8, UpcVariant::UpcA, u"012345678901", 175, 188, "####....####.."}, // wrong check digit
        {9, UpcVariant::UpcA, u"000000000000", 81, 108, "......####..##..##..##..####"},
        {10, UpcVariant::UpcE, u"123456", 5, 10, "##..##"},
        {11, UpcVariant::UpcE, u"123456", 11, 24, "....####....##"},  // 1: 2221 left
        {12, UpcVariant::UpcE, u"123456", 39, 52, "..########..##"},  // 3: 1411 left
        {13, UpcVariant::UpcE, u"123456", 53, 62, "..##..##.."},      // centre guard
        {14, UpcVariant::UpcE, u"123456", 63, 76, "##..######...."},  // 4: 1132 right
        {15, UpcVariant::UpcE, u"123456", 91, 104, "##..##........"}, // 6: 1114 right
        {16, UpcVariant::UpcE, u"123456", 105, 110, "##..##"},
        {17, UpcVariant::UpcE, u"123456", 111, 115, "....."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        auto s = UpcSurface();
        DrawUpc(*s, r.digits, r.variant);
        EXPECT_EQ(s->WidthPx(), r.variant == UpcVariant::UpcA ? 200 : 116);
        EXPECT_EQ(s->HeightPx(), kHeight);
        EXPECT_EQ(RowString(s->GetImage(), 0, r.x0, r.x1), r.expected);
        EXPECT_EQ(RowString(s->GetImage(), kBarBottom, r.x0, r.x1), r.expected);
    }
}

TEST(Upc, GuardsReachTheBottomAndDigitBarsEndAtTheBarBottom) {
    struct Row {
        int line;
        UpcVariant variant;
        std::u16string digits;
        int leftGuard, rightGuard, centreGuard;
    };
    const Row rows[] = {
        {1, UpcVariant::UpcA, u"012345678905", 5, 189, 95},
        {2, UpcVariant::UpcE, u"123456", 5, 105, 53},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        auto s = UpcSurface();
        DrawUpc(*s, r.digits, r.variant);
        const Image& img = s->GetImage();
        for (const int g : {r.leftGuard, r.rightGuard})
            for (int y = 0; y < kHeight; ++y) {
                EXPECT_EQ(RowString(img, y, g, g + 5), "##..##") << "guard " << g << " row " << y;
            }
        EXPECT_TRUE(IsDark(img.At(r.centreGuard + 2, kBarBottom)));
        // Between the guards nothing is painted in the rows below the bars and above the digits.
        EXPECT_TRUE(
            AllLight(img, r.leftGuard + 6, kBarBottom + 1, r.rightGuard - 1, kBarBottom + 4));
    }
}

TEST(Upc, DigitsArePrintedAtTheirPositions) {
    struct Row {
        int line;
        UpcVariant variant;
        std::u16string digits;
        std::vector<int> xs;
    };
    const Row rows[] = {
        {1,
         UpcVariant::UpcA,
         u"012345678905",
         {13, 28, 43, 58, 73, 88, 105, 120, 135, 150, 165, 180}},
        {2, UpcVariant::UpcE, u"123456", {13, 28, 43, 63, 78, 93}},
        {3, UpcVariant::UpcE, u"000000", {13, 28, 43, 63, 78, 93}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        auto s = UpcSurface();
        DrawUpc(*s, r.digits, r.variant);
        EXPECT_EQ(s->Font().size, 6.0); // left at 6 points
        // The same digits printed on a blank surface of the same size and font.
        DrawingSurface ref(s->WidthPx(), kHeight);
        ref.SetScaleMode(ScaleMode::Pixels);
        ref.SetFontSize(6);
        for (std::size_t i = 0; i < r.xs.size(); ++i) {
            ref.SetCurrentX(r.xs[i]);
            ref.SetCurrentY(kBarBottom + 5);
            ref.Print(r.digits.substr(i, 1));
        }
        const int rightGuard = r.variant == UpcVariant::UpcA ? 189 : 105;
        int dark = 0;
        for (int y = kBarBottom + 1; y < kHeight; ++y)
            for (int x = 11; x < rightGuard; ++x) {
                dark += IsDark(ref.GetImage().At(x, y));
                EXPECT_EQ(IsDark(s->GetImage().At(x, y)), IsDark(ref.GetImage().At(x, y)))
                    << x << "," << y;
            }
        EXPECT_GE(dark, 5 * int(r.xs.size())); // every digit drew something
    }
}

TEST(Upc, PaintingBecomesThePicture) {
    auto s = UpcSurface();
    DrawUpc(*s, u"012345678905", UpcVariant::UpcA);
    ASSERT_TRUE(s->HasPicture());
    const Image painted = s->GetImage();
    s->Cls();
    EXPECT_EQ(s->GetImage(), painted);
}

// A character without a decimal value stops the painting where it stands: the groups before
// it stay, nothing from it onwards is painted, no digits are printed, and the painting does not
// become the picture.
TEST(Upc, CharacterWithoutDecimalValueRaisesTypeMismatch) {
    struct Row {
        int line;
        UpcVariant variant;
        std::u16string digits;
        int failing; // 1-based position
    };
    const Row rows[] = {
        {1, UpcVariant::UpcA, u"01234-678905", 6},
        {2, UpcVariant::UpcA, u"012345 78905", 7}, // the centre guard is not painted either
        {3, UpcVariant::UpcA, u"0123456.8905", 8},
        {4, UpcVariant::UpcA, u"-12345678905", 1},
        {5, UpcVariant::UpcA, u"01234", 6}, // too short: the missing character
        {6, UpcVariant::UpcA, u"", 1},
        {7, UpcVariant::UpcE, u"12345x", 6},
        {8, UpcVariant::UpcE, u"+23456", 1},
        {9, UpcVariant::UpcE, u"\uff11\uff12\uff13456", 1}, // fullwidth digits
        {10, UpcVariant::UpcE,
         u"1234\u0665"
         u"6",
         5}, // Arabic-Indic five
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        const bool upcA = r.variant == UpcVariant::UpcA;
        const int half = upcA ? 6 : 3;
        const int width = upcA ? 200 : 116;

        // The same prefix followed by valid digits, painted completely.
        std::u16string valid = r.digits.substr(0, std::size_t(r.failing - 1));
        valid.resize(upcA ? 12 : 6, u'0');
        auto ref = UpcSurface();
        DrawUpc(*ref, valid, r.variant);

        auto s = UpcSurface();
        try {
            DrawUpc(*s, r.digits, r.variant);
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), 13);
            EXPECT_EQ(e.Description(), "Type mismatch");
        }
        EXPECT_FALSE(s->HasPicture());
        ASSERT_EQ(s->WidthPx(), width);
        const int painted =
            r.failing <= half + 1 ? 11 + 14 * (r.failing - 1) : 21 + 14 * (r.failing - 1);
        for (int y = 0; y <= kBarBottom; ++y) {
            EXPECT_EQ(RowString(s->GetImage(), y, 0, painted - 1),
                      RowString(ref->GetImage(), y, 0, painted - 1))
                << "row " << y;
            EXPECT_TRUE(AllLight(s->GetImage(), painted, y, width - 1, y)) << "row " << y;
        }
        EXPECT_TRUE(AllLight(s->GetImage(), 11, kBarBottom + 1, width - 1, kHeight - 1));
    }
}

TEST(Upc, ReaderReadsUpcA) {
    struct Row {
        int line;
        std::u16string digits;
        std::string decoded;
    };
    const Row rows[] = {
        {1, u"012345678905", "012345678905"},
        {2, u"036000291452", "036000291452"},
        {3, u"123456789012", "123456789012"},
        {4, u"000000000000", "000000000000"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        auto s = UpcSurface();
        DrawUpc(*s, r.digits, UpcVariant::UpcA);
        const auto d = DecodeImage(s->GetImage());
        EXPECT_TRUE(d.ok);
        EXPECT_EQ(d.format, "UPC-A");
        EXPECT_EQ(d.text, r.decoded);
    }
}

} // namespace
} // namespace quillion
