// Font lookup and GDI-compatible metrics: the figures the caption layout depends on, the faces
// fontconfig picks, the process-wide cache and rendering at sizes far beyond the usual.
#include "fonts/fonts.h"
#include "runtime/ansi.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace quillion {
namespace {

FontKey Key(const char* face, int ppem, int weight = 400, bool italic = false) {
    FontKey k;
    k.face = face;
    k.pixelHeight = ppem;
    k.weight = weight;
    k.italic = italic;
    return k;
}

TEST(Fonts, MetricsOfTheCaptionFaces) {
    struct Row {
        int row;
        FontKey key;
        int height, ascent, internalLeading, aveCharWidth;
    };
    const Row rows[] = {
        {1, Key("Courier New", 13), 15, 11, 2, 8}, {2, Key("Courier New", 13, 700), 15, 11, 2, 8},
        {3, Key("Arial", 13, 700), 15, 12, 2, 8},  {4, Key("Arial", 12, 700), 14, 11, 2, 7},
        {5, Key("Arial", 13), 15, 12, 2, 8},       {6, Key("courier new", 17), 19, 14, 2, 10},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.row);
        const FontMetrics& m = GetFont(row.key)->Metrics();
        EXPECT_EQ(m.height, row.height);
        EXPECT_EQ(m.ascent, row.ascent);
        EXPECT_EQ(m.ascent + m.descent, m.height);
        EXPECT_EQ(m.internalLeading, row.internalLeading);
        EXPECT_EQ(m.internalLeading, m.height - row.key.pixelHeight);
        EXPECT_EQ(m.aveCharWidth, row.aveCharWidth);
    }
}

TEST(Fonts, CourierNewIsMonospacedWithWholePixelAdvances) {
    const auto font = GetFont(Key("Courier New", 13));
    EXPECT_EQ(font->TextWidth("AB"), 16);
    EXPECT_TRUE(font->Metrics().fixedPitch);
    for (int b = 0x20; b < 0x100; ++b) {
        if (b != 0x7F && b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) {
            EXPECT_EQ(font->Advance(static_cast<unsigned char>(b)), 8) << "byte " << b;
        }
    }
    EXPECT_EQ(font->TextWidth("AB", 3), 22);
    EXPECT_EQ(font->TextWidth("", 3), 0);
}

TEST(Fonts, BoldAndItalicChooseOtherFaces) {
    // Liberation Sans: bold letters are wider than regular ones; italic ones differ in shape.
    const auto regular = GetFont(Key("Arial", 40));
    const auto bold = GetFont(Key("Arial", 40, 700));
    const auto italic = GetFont(Key("Arial", 40, 400, true));
    EXPECT_GT(bold->TextWidth("mmmm"), regular->TextWidth("mmmm"));
    Image a(60, 50, ToPixel(kWhite)), b(60, 50, ToPixel(kWhite));
    regular->Draw(a, 0, 0, "l", kBlack);
    italic->Draw(b, 0, 0, "l", kBlack);
    EXPECT_NE(a, b);
}

TEST(Fonts, SameKeySameObject) {
    EXPECT_EQ(GetFont(Key("Courier New", 13)), GetFont(Key("Courier New", 13)));
    EXPECT_NE(GetFont(Key("Courier New", 13)), GetFont(Key("Courier New", 14)));
    EXPECT_EQ(GetFont(Key("Courier New", 0)), GetFont(Key("Courier New", 1))) << "clamped";
}

TEST(Fonts, EveryByteMapsThroughWindows1252) {
    // The euro sign is 0x80 in Windows-1252; drawn, it must differ from the notdef box that an
    // unmapped byte would show.
    const auto font = GetFont(Key("Arial", 20));
    Image euro(30, 30, ToPixel(kWhite)), box(30, 30, ToPixel(kWhite)), e(30, 30, ToPixel(kWhite));
    font->Draw(euro, 0, 0, "\x80", kBlack);
    font->Draw(box, 0, 0, "\x81", kBlack); // unassigned byte: no glyph in the font
    font->Draw(e, 0, 0, "\xE9", kBlack);   // e acute
    EXPECT_NE(euro, box);
    EXPECT_NE(euro, e);
    EXPECT_NE(euro, Image(30, 30, ToPixel(kWhite)));
}

TEST(Fonts, DrawingIsClippedToTheImageAndTheClipBox) {
    const auto font = GetFont(Key("Courier New", 13));
    Image image(10, 10, ToPixel(kWhite));
    font->Draw(image, -5, -7, "WWWWWWWW", kBlack);
    font->Draw(image, 8, 8, "WWWWWWWW", kBlack);
    font->Draw(image, std::int64_t{-5000000000}, 0, "W", kBlack, 0, TextClip{});
    Image clipped(40, 20, ToPixel(kWhite));
    font->Draw(clipped, 0, 0, "WWWW", kBlack, 0, TextClip{0, 0, 5, 20});
    for (int y = 0; y < 20; ++y)
        for (int x = 5; x < 40; ++x)
            ASSERT_EQ(clipped.At(x, y), ToPixel(kWhite)) << x << "," << y;
}

TEST(Fonts, HugeSizesMeasureLinearlyAndDrawClipped) {
    const auto font = GetFont(Key("Courier New", kMaxPixelHeight));
    const FontMetrics& m = font->Metrics();
    EXPECT_NEAR(m.height, kMaxPixelHeight * 2320 / 2048, 2);
    EXPECT_NEAR(font->Advance('A'), kMaxPixelHeight * 1229 / 2048, 2);
    Image image(64, 64, ToPixel(kWhite));
    font->Draw(image, -2000, -8000, "W", kBlack); // a stroke of the W crosses the image
    font->Draw(image, 0, 0, "\x01", kBlack);
    EXPECT_NE(image, Image(64, 64, ToPixel(kWhite)));
}

TEST(Fonts, CellHeightToEmHeight) {
    EXPECT_EQ(EmHeightForCellHeight(Key("Courier New", 1), 15), 13);
    EXPECT_EQ(EmHeightForCellHeight(Key("Arial", 1), 15), 13);
    EXPECT_EQ(EmHeightForCellHeight(Key("Arial", 1), 1), 1);
    EXPECT_EQ(EmHeightForCellHeight(Key("Arial", 1), 0), 1);
}

TEST(Fonts, ConcurrentFirstUseIsSafe) {
    // A fresh size, so the glyphs are rendered while the threads race for them.
    std::vector<std::thread> threads;
    std::vector<int> widths(4);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &widths] {
            const auto font = GetFont(Key("Arial", 29));
            Image image(400, 40, ToPixel(kWhite));
            font->Draw(image, 0, 0, "The quick brown fox", kBlack);
            widths[t] = font->TextWidth("The quick brown fox");
        });
    for (auto& th : threads)
        th.join();
    for (const int w : widths)
        EXPECT_EQ(w, widths[0]);
}

} // namespace
} // namespace quillion
