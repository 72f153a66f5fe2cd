// The window's painters and the library's encoders share one definition of the bars: a
// painting read back from the raster shows the encoder's runs at the painter's module width,
// and the runs the painters take for texts the encoders refuse follow the same tables.
#include "code128_fixtures.h"
#include "draw/surface.h"
#include "raster_probe.h"
#include "symbols/bar39.h"
#include "symbols/code128_sequence.h"
#include "symbols/code128_symbol.h"
#include "symbols/code39_symbol.h"
#include "symbols/mBarcode.h"
#include "symbols/upc_symbol.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace quillion {
namespace {

using testing::RowRuns;
using testing::WindowRequest;

// The runs of row y between its light margins: the first and last run are light.
std::vector<int> BarRuns(const Image& image, int y, int& leftMargin) {
    std::vector<int> runs = RowRuns(image, y);
    leftMargin = runs.empty() ? 0 : runs.front();
    if (runs.size() < 3)
        return {};
    return {runs.begin() + 1, runs.end() - 1};
}

std::vector<int> Scaled(const Encoded& encoded, int m) {
    std::vector<int> runs;
    if (const Symbol* s = std::get_if<Symbol>(&encoded))
        for (const std::uint8_t r : s->runs)
            runs.push_back(r * m);
    return runs;
}

TEST(WindowBars, Code39PaintsTheEncodersRuns) {
    const struct {
        int line;
        std::u16string text;
        int innerHeight, narrow;
    } rows[] = {
        {1, u"ABC-12 $/+%.", 56, 1},
        {2, u"0123456789", 80, 2},
        {3, u"the quick fox", 120, 3},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        auto s = std::make_unique<DrawingSurface>(600, r.innerHeight);
        s->SetScaleMode(ScaleMode::Pixels);
        s->SetAutoRedraw(true);
        s->Cls();
        s->SetContainerScaleMode(ScaleMode::Twips);
        s->SetOuterHeight(s->OuterHeight() * r.innerHeight / s->ScaleHeight());
        s->SetFontSize(10);
        s->Cls();
        DrawCode39(r.text, *s);
        int margin = 0;
        EXPECT_EQ(BarRuns(s->GetImage(), 0, margin), Scaled(EncodeCode39(r.text, {}), r.narrow));
        EXPECT_EQ(margin, r.narrow);
    }
}

// What the window paints for characters without a pattern, an asterisk or a start or stop
// code in the text comes from the same runs.
TEST(WindowBars, Code39RunsOfEveryPatternCode) {
    const std::vector<std::uint8_t> a = Code39Runs(u"A");
    EXPECT_EQ(a, std::get<Symbol>(EncodeCode39(u"A", {})).runs);
    EXPECT_EQ(Code39Runs(u"!A#"), a);                     // no pattern: nothing
    EXPECT_EQ(Code39Runs(std::u16string(u"\u0100A")), a); // beyond the table: nothing
    EXPECT_EQ(Code39Runs(u""), Code39Runs(u"!"));
    const std::vector<std::uint8_t> star = Code39Runs(u"*");
    EXPECT_EQ(Code39Runs(u"\x01"), star); // the start code
    EXPECT_EQ(Code39Runs(u"\x02"), star); // the stop code
    EXPECT_EQ(star.size(), 29u);          // three asterisks, a narrow gap between each
}

TEST(WindowBars, UpcPaintsTheEncodersRuns) {
    const struct {
        int line;
        UpcVariant variant;
        std::u16string text;
        int margin;
    } rows[] = {
        {1, UpcVariant::UpcA, u"012345678905", 5}, {2, UpcVariant::UpcA, u"036000291452", 5},
        {3, UpcVariant::UpcE, u"123456", 11},      {4, UpcVariant::UpcE, u"000000", 11},
        {5, UpcVariant::UpcE, u"654329", 11},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        auto s = std::make_unique<DrawingSurface>(515, 101);
        s->SetScaleMode(ScaleMode::Pixels);
        s->SetAutoRedraw(true);
        s->Cls();
        s->SetContainerScaleMode(ScaleMode::Pixels);
        s->SetOuterHeight(109);
        s->Cls();
        DrawUpc(*s, r.text, r.variant);
        const Encoded encoded =
            r.variant == UpcVariant::UpcA ? EncodeUpcA(r.text, {}) : EncodeUpcE(r.text, {});
        int margin = 0;
        EXPECT_EQ(BarRuns(s->GetImage(), 0, margin), Scaled(encoded, 2));
        EXPECT_EQ(margin, r.margin);
    }
}

// The window paints UPC-A's twelfth digit as given: only its four runs differ from the
// encoder's symbol with the right check digit.
TEST(WindowBars, UpcARunsKeepAWrongCheckDigit) {
    const std::vector<std::uint8_t> right = std::get<Symbol>(EncodeUpcA(u"012345678905", {})).runs;
    std::array<int, 12> digits = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 5};
    EXPECT_EQ(UpcARuns(digits), right);
    digits[11] = 1;
    std::vector<std::uint8_t> wrong = UpcARuns(digits);
    ASSERT_EQ(wrong.size(), right.size());
    EXPECT_EQ(std::vector<std::uint8_t>(wrong.end() - 7, wrong.end() - 3),
              (std::vector<std::uint8_t>{2, 2, 2, 1})); // 1 on the right
    std::copy(right.end() - 7, right.end() - 3, wrong.end() - 7);
    EXPECT_EQ(wrong, right);
}

TEST(WindowBars, Code128PaintsTheEncodersRuns) {
    const struct {
        int line;
        std::u16string text;
        int m;
    } rows[] = {
        {1, u"Hello, World!", 1},
        {2, u"\u00B3\u00B2\x10\u00BC\u00B9", 2}, // function characters through the stand-ins
        {3, u"0123456789", 3},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        DrawingSurface surface(600, 50);
        BarcodeRequest request = WindowRequest(r.text);
        request.Left = 3;
        request.ModuleWidth = r.m;
        ASSERT_EQ(testing::Draw(request, surface.hDC()), 0);
        EncodeOptions options;
        options.windowStandIns = true;
        int margin = 0;
        EXPECT_EQ(BarRuns(surface.GetImage(), 20, margin),
                  Scaled(EncodeCode128(r.text, options), r.m));
        EXPECT_EQ(margin, 3);
    }
}

// Code128Runs leaves out a value without a pattern; the painter's walk raises error 9 there
// instead of painting a symbol without it.
TEST(WindowBars, Code128ValueWithoutPatternRaises) {
    for (const Code128Sequence& sequence :
         {Code128Sequence{104, 33, 200, 10}, Code128Sequence{104, 33, 10, 106}}) {
        DrawingSurface surface(400, 50);
        BarcodeRequest request = WindowRequest(u"A");
        try {
            DrawCode128Sequence(request, sequence, surface.hDC());
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), 9);
        }
    }
}

} // namespace
} // namespace quillion
