// --verify: what each symbol must read as, every kind of symbol passing the read-back, and a
// spoiled or cut picture failing it with nothing written.
#include "batch.h"
#include "generator.h"
#include "verify.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillion::cli {
namespace {

namespace fs = std::filesystem;

// Resets the tamper however a test ends.
struct TamperScope {
    explicit TamperScope(VerifyTamper tamper) { SetVerifyTamperForTesting(std::move(tamper)); }
    ~TamperScope() { SetVerifyTamperForTesting(nullptr); }
    TamperScope(const TamperScope&) = delete;
    TamperScope& operator=(const TamperScope&) = delete;
};

TEST(Verify, ExpectedReadings) {
    struct Row {
        int row;
        Symbology type;
        std::u16string text;
        std::string expected;
    } rows[] = {
        {1, Symbology::Code128, u"AB", "AB"},
        {2, Symbology::Code128, u"A\x10z", "A\x10z"},
        {3, Symbology::Code128, u"\uFF11\uFF21", "1A"}, // fullwidth: the ANSI form
        {4, Symbology::Code128,
         u"\u00B9"
         u"01",
         "01"}, // FNC1 first: GS1, no byte
        {5, Symbology::Code128,
         u"A\u00B9"
         u"B",
         "AB"}, // after one letter: an indicator
        {6, Symbology::Code128,
         u"12\u00B9"
         u"3",
         "12\x1D"
         "3"},                                          // elsewhere: GS
        {7, Symbology::Code128, u"\u00B2X\u00B3", "X"}, // FNC2, FNC3: no byte
        {8, Symbology::Code128,
         u"\u00BC"
         u"A"
         u"B",
         "\xC1"
         "B"}, // FNC4: the next one
        {9, Symbology::Code128,
         u"\u00BC\u00BC"
         u"AB\u00BC\u00BC"
         u"C",
         "\xC1\xC2"
         "C"},
        {10, Symbology::Code128, u"\u00BC\x10", "\x90"},
        {11, Symbology::Code39, u"abc-1 $", "ABC-1 $"},
        {12, Symbology::UpcA, u"036000291452", "036000291452"},
        {13, Symbology::UpcE, u"123456", "01234565"},
        {14, Symbology::UpcE, u"000001", "00000019"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ExpectedReading(r.type, r.text), r.expected) << "row " << r.row;
}

TEST(Verify, GoodSymbolsPass) {
    struct Row {
        int row;
        Symbology type;
        bool caption;
        int position, style;
        std::u16string text;
    } rows[] = {
        {1, Symbology::Code128, true, 0, 0, u"Coca Cola 12pk $6.99"},
        {2, Symbology::Code128, false, 0, 0, u"\x10"},
        {3, Symbology::Code128, true, 1, 4, u"\x10Start"},
        {4, Symbology::Code128, false, 0, 1, u"End\x10"},
        {5, Symbology::Code128, true, 0, 2, u"x\x10\x10y"},
        {6, Symbology::Code128, true, 1, 3,
         u"\u00B9"
         u"0112345678901231"},
        {7, Symbology::Code128, true, 0, 0,
         u"\u00BC\u00BC"
         u"AB\u00BC"
         u"C"},
        {8, Symbology::Code39, true, 0, 0, u"verify 39"},
        {9, Symbology::UpcA, true, 0, 0, u"012345678905"},
        {10, Symbology::UpcE, true, 0, 0, u"000000"},
        {11, Symbology::UpcE, true, 0, 0, u"987654"},
    };
    for (const Row& r : rows) {
        Generator generator({r.type, r.caption, r.position, r.style}, true);
        const Generation g = generator.Generate(r.text);
        EXPECT_NE(g.picture, nullptr) << "row " << r.row;
        EXPECT_EQ(g.message, "") << "row " << r.row;
    }
}

TEST(Verify, SpoiledOrCutPicturesFail) {
    // Each spoils what a reader needs: one bar, the right end, the start pattern.
    struct Row {
        int row;
        Symbology type;
        std::u16string text;
        VerifyTamper tamper;
        std::string message;
    } rows[] = {
        {1, Symbology::Code128, u"AB",
         [](Image& p, std::u16string_view) {
             for (int y = 0; y < p.height; ++y) // the stop pattern's first bar, 2 modules
                 p.At(44, y) = p.At(45, y) = 0xFFFFFF;
         },
         "does not scan as AB (read: nothing)"},
        {2, Symbology::Code128, u"A\x10z",
         [](Image& p, std::u16string_view) { p = Image(p.width / 2, p.height, 0xFFFFFF); },
         "does not scan as A\\x10z (read: nothing)"},
        {3, Symbology::UpcE, u"123456",
         [](Image& p, std::u16string_view) {
             for (int y = 0; y < p.height; ++y) // the left guard
                 for (int x = 11; x < 17; ++x)
                     p.At(x, y) = 0xFFFFFF;
         },
         "does not scan as 01234565 (read: nothing)"},
        {4, Symbology::UpcA, u"012345678905",
         [](Image& p, std::u16string_view) {
             Image cut(p.width - 20, p.height, 0xFFFFFF); // cut short on the right
             for (int y = 0; y < cut.height; ++y)
                 for (int x = 0; x < cut.width; ++x)
                     cut.At(x, y) = p.At(x, y);
             p = cut;
         },
         "does not scan as 012345678905 (read: nothing)"},
    };
    for (const Row& r : rows) {
        const TamperScope scope(r.tamper);
        Generator generator({r.type, true, 0, 0}, true);
        const Generation g = generator.Generate(r.text);
        EXPECT_EQ(g.picture, nullptr) << "row " << r.row;
        EXPECT_EQ(g.message, r.message) << "row " << r.row;
        // Without --verify the same picture is handed out: the reader made the difference.
        Generator unverified({r.type, true, 0, 0});
        EXPECT_NE(unverified.Generate(r.text).picture, nullptr) << "row " << r.row;
    }
}

// A line that does not scan fails with its number and writes nothing; the others are written.
TEST(Verify, BatchGoesOnAfterALineThatDoesNotScan) {
    const fs::path work =
        fs::temp_directory_path() / ("quillion-verify-" + std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work);
    std::ofstream(work / "lines.txt") << "good 1\nspoil me\n\ngood 4\n";
    const TamperScope scope([](Image& p, std::u16string_view text) {
        if (text == u"spoil me")
            p = Image(p.width, p.height, 0xFFFFFF);
    });
    RenderOptions options;
    options.batch = (work / "lines.txt").string();
    options.outDir = (work / "out").string();
    options.verify = true;
    options.jobs = 2;
    std::ostringstream err;
    EXPECT_EQ(RunBatch(options, err, false), 1);
    EXPECT_EQ(err.str(), "line 2: does not scan as spoil me (read: nothing)\n");
    EXPECT_TRUE(fs::is_regular_file(work / "out" / "00001.png"));
    EXPECT_FALSE(fs::exists(work / "out" / "00002.png"));
    EXPECT_TRUE(fs::is_regular_file(work / "out" / "00004.png"));
    fs::remove_all(work);
}

} // namespace
} // namespace quillion::cli
