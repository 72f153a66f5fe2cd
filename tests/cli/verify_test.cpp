// --verify: what each symbol must read as, read back from the generated picture, and a spoiled
// or cut picture failing with nothing written.
#include "batch.h"
#include "generator.h"
#include "picture_detail.h"
#include "runtime/ansi.h"
#include "symbologies.h"
#include "temp_folder.h"
#include "verify.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillion::cli {
namespace {
using namespace quillion::library;

constexpr Pixel kWhitePixel = 0xFFFFFFFF;

// Resets the tamper however a test ends.
struct TamperScope {
    explicit TamperScope(VerifyTamper tamper) { SetVerifyTamperForTesting(std::move(tamper)); }
    ~TamperScope() { SetVerifyTamperForTesting(nullptr); }
    TamperScope(const TamperScope&) = delete;
    TamperScope& operator=(const TamperScope&) = delete;
};

// Whitens columns x0..x1, or keeps only the left `width` columns.
VerifyTamper Whiten(int x0, int x1) {
    return [=](Image& p, std::u16string_view) {
        for (int y = 0; y < p.height; ++y)
            for (int x = x0; x <= x1; ++x)
                p.At(x, y) = kWhitePixel;
    };
}
VerifyTamper CutTo(int width) {
    return [=](Image& p, std::u16string_view) {
        Image cut(width, p.height, kWhitePixel);
        for (int y = 0; y < p.height; ++y)
            std::copy_n(&p.At(0, y), width, &cut.At(0, y));
        p = cut;
    };
}

api::Symbology ApiType(Symbology type) {
    switch (type) {
    case Symbology::Code39:
        return api::Symbology::Code39;
    case Symbology::UpcA:
        return api::Symbology::UpcA;
    case Symbology::UpcE:
        return api::Symbology::UpcE;
    default:
        return api::Symbology::Code128;
    }
}

// What the window's symbol of text reads as (its symbol's reading), and the verdict on picture.
std::string Expected(Symbology type, std::u16string_view text) {
    api::Options o;
    o.windowStandIns = true; // the window reads its stand-ins for the function characters
    const api::EncodeResult e = api::Encode(ApiType(type), Utf16ToUtf8(text), o);
    return e ? e.symbol().reading : "(" + e.error().message + ")";
}
std::string Verdict(const Image& picture, Symbology type, std::u16string_view text) {
    VerifyTarget target;
    target.text = text;
    target.reader = library::FindSymbology(ApiType(type))->reader;
    target.expected = Expected(type, text);
    return VerifyPicture(picture, target);
}

// Each text's expected reading, and its generated picture read back to exactly that.
TEST(Verify, GeneratedSymbolsReadAsExpected) {
    constexpr auto C128 = Symbology::Code128;
    struct Row {
        int row;
        Symbology type;
        bool caption;
        std::u16string text;
        std::string expected;
    } rows[] = {
        {1, C128, true, u"A\x10z", "A\x10z"},
        {2, C128, false, u"\x10\x10", "\x10\x10"},
        {3, C128, true, u"１Ａ", "1A"},           // fullwidth: the ANSI form
        {4, C128, true, u"¹0112", "0112"},        // FNC1 first: GS1, no byte
        {5, C128, false, u"A¹B", "AB"},           // after one letter: an indicator
        {6, C128, true, u"12¹3", "12\0353"},      // elsewhere: GS
        {7, C128, true, u"²X³", "X"},             // FNC2, FNC3: no byte
        {8, C128, true, u"¼AB", "\301B"},         // FNC4: the next character
        {9, C128, true, u"¼¼AB¼¼C", "\301\302C"}, // a pair: every one up to the next pair
        {10, C128, false, u"¼\x10", "\x90"},
        {11, Symbology::Code39, true, u"abc-1 $", "ABC-1 $"},
        {12, Symbology::UpcA, true, u"036000291452", "036000291452"},
        {13, Symbology::UpcE, true, u"123456", "01234565"},
        {14, Symbology::UpcE, true, u"000001", "00000019"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Expected(r.type, r.text), r.expected) << "row " << r.row;
        Generator generator({r.type, r.caption, 0, 0});
        const Generation g = generator.Generate(r.text);
        ASSERT_NE(g.picture, nullptr) << "row " << r.row;
        EXPECT_EQ(Verdict(*g.picture, r.type, r.text), "") << "row " << r.row;
    }
}

TEST(Verify, SpoiledOrCutPicturesFail) {
    struct Row {
        int row;
        Symbology type;
        std::u16string text;
        VerifyTamper tamper;
        std::string message;
    } rows[] = {
        {1, Symbology::Code128, u"AB", Whiten(44, 45), "does not scan as AB (read: nothing)"},
        {2, Symbology::Code128, u"A\x10z", CutTo(30), "does not scan as A\\x10z (read: nothing)"},
        {3, Symbology::UpcE, u"123456", Whiten(11, 16),
         "does not scan as 01234565 (read: nothing)"},
        {4, Symbology::UpcA, u"012345678905", CutTo(180),
         "does not scan as 012345678905 (read: nothing)"},
    };
    for (const Row& r : rows) {
        const TamperScope scope(r.tamper);
        Generator generator({r.type, true, 0, 0});
        const Generation g = generator.Generate(r.text);
        ASSERT_NE(g.picture, nullptr) << "row " << r.row;
        EXPECT_EQ(Verdict(*g.picture, r.type, r.text), r.message) << "row " << r.row;
    }
}

// A line that does not scan fails with its number and writes nothing; the others are written.
TEST(Verify, BatchGoesOnAfterALineThatDoesNotScan) {
    const quillion::testing::TempFolder work;
    std::ofstream(work / "lines.txt") << "good 1\nspoil me\n\ngood 4\n";
    const TamperScope scope([](Image& p, std::u16string_view text) {
        if (text == u"spoil me")
            p = Image(p.width, p.height, kWhitePixel);
    });
    RenderOptions options;
    options.batch = work / "lines.txt";
    options.outDir = work / "out";
    options.verify = true;
    options.jobs = 2;
    std::ostringstream err;
    EXPECT_EQ(RunBatch(options, err, false), 1);
    EXPECT_EQ(err.str(),
              "line 2: does not scan as spoil me (read: nothing)\n2 written, 1 failed\n");
    EXPECT_EQ(work.Entries("out"), (std::vector<std::string>{"00001.png", "00004.png"}));
}

// GS1-128 is told from plain Code 128 by its identifier: the same digits without FNC1 fail.
TEST(Verify, Gs1NeedsItsIdentifier) {
    api::Options o;
    o.codeSet = api::CodeSet::Auto;
    o.moduleWidth = 2;
    const auto picture = [&](api::Symbology type, const char* text) {
        return api::PictureAccess::Of(api::Render(type, text, o).picture()).Pixels();
    };
    VerifyTarget target;
    target.reader = "Code128";
    target.expected = "0109501101530003";
    target.identifier = "]C1";
    EXPECT_EQ(VerifyPicture(picture(api::Symbology::Gs1_128, "(01)09501101530003"), target), "");
    EXPECT_NE(VerifyPicture(picture(api::Symbology::Code128, "0109501101530003"), target), "");
    // Code 39's check character is checked and left out of what it reads as.
    o.checkDigit = true;
    VerifyTarget checked;
    checked.reader = "Code39";
    checked.expected = "ABC";
    checked.checkCharacter = true;
    EXPECT_EQ(VerifyPicture(picture(api::Symbology::Code39, "ABC"), checked), "");
    // A 2D symbol is found in a picture that holds its caption too.
    o.caption = api::CaptionPosition::Below;
    const api::EncodeResult gs1 = api::Encode(api::Symbology::Gs1QrCode, "(01)09501101530003", o);
    ASSERT_TRUE(gs1);
    VerifyTarget qr;
    qr.reader = "QRCode";
    qr.expected = gs1.symbol().reading;
    EXPECT_EQ(VerifyPicture(picture(api::Symbology::Gs1QrCode, "(01)09501101530003"), qr), "");
}

} // namespace
} // namespace quillion::cli
