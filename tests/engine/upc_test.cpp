// UPC-A and UPC-E renderer: the fixed grid read back from the raster, the digits under the bars,
// the failure on a character without a decimal value, and an independent reader.
#include "decode.h"
#include "draw/surface.h"
#include "raster_probe.h"
#include "runtime/runtime.h"
#include "symbols/mBarcode.h"

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
        // UPC-E 123456 stands for UPC-A 01234500006, check digit 5: parities E O O E E O.
        {10, UpcVariant::UpcE, u"123456", 0, 10, "..........."},      // left margin
        {11, UpcVariant::UpcE, u"123456", 11, 16, "##..##"},          // left guard
        {12, UpcVariant::UpcE, u"123456", 17, 30, "..####....####"},  // 1 even: 1222
        {13, UpcVariant::UpcE, u"123456", 31, 44, "....##....####"},  // 2 odd: 2122
        {14, UpcVariant::UpcE, u"123456", 45, 58, "..########..##"},  // 3 odd: 1411
        {15, UpcVariant::UpcE, u"123456", 59, 72, "....######..##"},  // 4 even: 2311
        {16, UpcVariant::UpcE, u"123456", 73, 86, "..######....##"},  // 5 even: 1321
        {17, UpcVariant::UpcE, u"123456", 87, 100, "..##..########"}, // 6 odd: 1114
        {18, UpcVariant::UpcE, u"123456", 101, 112, "..##..##..##"},  // right guard
        {19, UpcVariant::UpcE, u"123456", 113, 123, "..........."},   // right margin
        // 000000: check digit 0, parities E E E O O O.
        {20, UpcVariant::UpcE, u"000000", 17, 30, "..##....######"}, // 0 even: 1123
        {21, UpcVariant::UpcE, u"000000", 59, 72, "......####..##"}, // 0 odd: 3211
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        auto s = UpcSurface();
        DrawUpc(*s, r.digits, r.variant);
        EXPECT_EQ(s->WidthPx(), r.variant == UpcVariant::UpcA ? 200 : 124);
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
        int leftGuard, rightGuard;
        std::string rightGuardColumns;
        int digitBar; // a dark column of a digit bar
        int digitsFrom, digitsTo;
    };
    const Row rows[] = {
        {1, UpcVariant::UpcA, u"012345678905", 5, 189, "##..##", 97, 11, 188}, // centre guard
        {2, UpcVariant::UpcE, u"123456", 11, 101, "..##..##..##", 19, 17, 100},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        auto s = UpcSurface();
        DrawUpc(*s, r.digits, r.variant);
        const Image& img = s->GetImage();
        const int rightEnd = r.rightGuard + int(r.rightGuardColumns.size()) - 1;
        for (int y = 0; y < kHeight; ++y) {
            EXPECT_EQ(RowString(img, y, r.leftGuard, r.leftGuard + 5), "##..##") << "row " << y;
            EXPECT_EQ(RowString(img, y, r.rightGuard, rightEnd), r.rightGuardColumns)
                << "row " << y;
        }
        EXPECT_TRUE(IsDark(img.At(r.digitBar, kBarBottom)));
        EXPECT_FALSE(IsDark(img.At(r.digitBar, kBarBottom + 1)));
        // Between the guards nothing is painted in the rows below the bars and above the digits.
        EXPECT_TRUE(AllLight(img, r.digitsFrom, kBarBottom + 1, r.digitsTo, kBarBottom + 4));
    }
}

TEST(Upc, DigitsArePrintedAtTheirPositions) {
    struct Row {
        int line;
        UpcVariant variant;
        std::u16string digits;
        std::u16string printed;
        std::vector<int> xs;
        std::vector<std::pair<int, int>> guards; // columns with full-height bars
    };
    const std::vector<int> upcAXs = {13, 28, 43, 58, 73, 88, 105, 120, 135, 150, 165, 180};
    const std::vector<int> upcEXs = {5, 22, 36, 50, 64, 78, 92, 115};
    const std::vector<std::pair<int, int>> upcEGuards = {{11, 16}, {101, 112}};
    const Row rows[] = {
        {1, UpcVariant::UpcA, u"012345678905", u"012345678905", upcAXs, {{5, 10}, {189, 194}}},
        // UPC-E: number system 0 left of the left guard, the check digit right of the right one.
        {2, UpcVariant::UpcE, u"123456", u"01234565", upcEXs, upcEGuards},
        {3, UpcVariant::UpcE, u"000000", u"00000000", upcEXs, upcEGuards},
        {4, UpcVariant::UpcE, u"987654", u"09876547", upcEXs, upcEGuards},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        auto s = UpcSurface();
        DrawUpc(*s, r.digits, r.variant);
        // The same digits printed on a blank surface of the same size and font.
        DrawingSurface ref(s->WidthPx(), kHeight);
        ref.SetScaleMode(ScaleMode::Pixels);
        ref.SetFontSize(6);
        for (std::size_t i = 0; i < r.xs.size(); ++i) {
            ref.SetCurrentX(r.xs[i]);
            ref.SetCurrentY(kBarBottom + 5);
            ref.Print(r.printed.substr(i, 1));
        }
        const auto inGuard = [&](int x) {
            for (const auto& [from, to] : r.guards)
                if (x >= from && x <= to)
                    return true;
            return false;
        };
        int dark = 0;
        for (int y = kBarBottom + 1; y < kHeight; ++y)
            for (int x = 0; x < s->WidthPx(); ++x) {
                if (inGuard(x))
                    continue;
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

// A character without a decimal value stops the painting: for UPC-A where it stands (the groups
// before it stay, nothing from it onwards is painted), for UPC-E before the first bar (the
// parities need all six digits). No digits are printed, and the painting does not become the
// picture.
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
        {10, UpcVariant::UpcE, u"1234\u06656", 5},          // Arabic-Indic five
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        const bool upcA = r.variant == UpcVariant::UpcA;
        const int width = upcA ? 200 : 124;

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
        // Columns painted before the failing character (the centre guard too from digit 8 on).
        const int painted = !upcA            ? 0
                            : r.failing <= 7 ? 11 + 14 * (r.failing - 1)
                                             : 21 + 14 * (r.failing - 1);
        for (int y = 0; y <= kBarBottom; ++y) {
            EXPECT_EQ(RowString(s->GetImage(), y, 0, painted - 1),
                      RowString(ref->GetImage(), y, 0, painted - 1))
                << "row " << y;
            EXPECT_TRUE(AllLight(s->GetImage(), painted, y, width - 1, y)) << "row " << y;
        }
        EXPECT_TRUE(AllLight(s->GetImage(), 11, kBarBottom + 1, width - 1, kHeight - 1));
    }
}

// UPC-A as given; UPC-E with every last digit (each zero-suppression case) and leading zeros,
// read as number system 0 with the check digit of the UPC-A it stands for.
TEST(Upc, ReaderReadsEveryDigitOfBothVariants) {
    constexpr auto A = UpcVariant::UpcA;
    constexpr auto E = UpcVariant::UpcE;
    struct Row {
        int line;
        UpcVariant variant;
        std::u16string digits;
        std::string decoded;
    };
    const Row rows[] = {
        {1, A, u"012345678905", "012345678905"}, {2, A, u"036000291452", "036000291452"},
        {3, A, u"123456789012", "123456789012"}, {4, A, u"000000000000", "000000000000"},
        {5, E, u"123450", "01234505"},           {6, E, u"123451", "01234514"},
        {7, E, u"123452", "01234523"},           {8, E, u"123453", "01234531"},
        {9, E, u"123454", "01234543"},           {10, E, u"123455", "01234558"},
        {11, E, u"123456", "01234565"},          {12, E, u"123457", "01234572"},
        {13, E, u"123458", "01234589"},          {14, E, u"123459", "01234596"},
        {15, E, u"000000", "00000000"},          {16, E, u"000001", "00000019"},
        {17, E, u"001234", "00012344"},          {18, E, u"012345", "00123457"},
        {19, E, u"999999", "09999992"},          {20, E, u"654321", "06543217"},
        {21, E, u"100000", "01000009"},          {22, E, u"042100", "00421001"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        auto s = UpcSurface();
        DrawUpc(*s, r.digits, r.variant);
        const auto d = DecodeImage(s->GetImage());
        EXPECT_EQ(d.format, r.variant == A ? "UPC-A" : "UPC-E");
        EXPECT_EQ(d.text, r.decoded);
    }
}

} // namespace
} // namespace quillion
