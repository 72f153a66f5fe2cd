// Label options end to end: a table of option combinations whose PNGs ZXing reads back, with
// their resolution, module and size; the quiet zones to the pixel for every type; the usage
// errors that name both contradicting options; lengths as whole pixels.
#include "label_size.h"
#include "renderer.h"

#include "decode.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <sstream>
#include <tuple>

namespace quillion::cli {
namespace {

struct Outcome {
    int status = 0;
    Image picture; // 0xAARRGGBB
    std::uint32_t pixelsPerMetre = 0;
    std::string err;
};

// Renders to standard output and decodes the PNG with libpng.
Outcome RenderPng(std::vector<std::string> args, const std::string& text) {
    for (const char* a : {"--format", "png", "-o", "-", "--"})
        args.emplace_back(a);
    args.push_back(text);
    std::ostringstream out, err;
    Outcome run;
    run.status = RunRenderer(args, out, err, false);
    run.err = err.str();
    const std::string bytes = out.str();
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (run.status != 0 || !png_image_begin_read_from_memory(&png, bytes.data(), bytes.size()))
        return run;
    png.format = PNG_FORMAT_BGRA;
    run.picture = Image(int(png.width), int(png.height), 0);
    png_image_finish_read(&png, nullptr, run.picture.pixels.data(), 0, nullptr);
    if (const auto at = bytes.find("pHYs"); at != std::string::npos)
        for (int i = 0; i < 4; ++i)
            run.pixelsPerMetre = run.pixelsPerMetre << 8 | std::uint8_t(bytes[at + 4 + i]);
    return run;
}

// The picture over white, as a reader sees it.
Image OverWhite(const Image& picture) {
    Image flat = picture;
    for (Pixel& p : flat.pixels)
        if ((p >> 24) == 0)
            p = 0xFFFFFFFFu;
    return flat;
}

// The pixels of the first one's colour from (x, y) on, stepping by (dx, dy).
int RunLength(const Image& picture, int y, int x, int dx, int dy = 0) {
    const Pixel first = picture.At(x, y);
    int n = 0;
    for (; picture.Contains(x, y) && picture.At(x, y) == first; x += dx, y += dy)
        ++n;
    return n;
}

struct LabelRow {
    std::vector<std::string> args;
    std::string text, reads;
    int firstBar = 0;   // pixels of the first bar on row 0 (0: not looked at)
    int maxWidth = 0;   // --fit-width: at most this wide, and one module more would not be
    int dpi = 96;       // recorded in the file
    bool warns = false; // a length far from its whole pixels
};

const LabelRow kLabels[] = {
    {{"--dpi", "300", "--fit-width", "40mm", "--quiet-zones"},
     "ABC-12345",
     "ABC-12345",
     0,
     472,
     300},
    {{"--module-width", "0.33mm", "--dpi", "300"}, "ABC-12345", "ABC-12345", 8, 0, 300},
    {{"--module-width", "0.25mm", "--dpi", "203"}, "ABC-12345", "ABC-12345", 4, 0, 203},
    {{"--module-width", "0.1mm"}, "ABC-12345", "ABC-12345", 2, 0, 96, true},
    {{"--module-width", "13mil", "--dpi", "300", "--scale", "2"}, "x", "x", 16, 0, 600},
    {{"-t", "code39", "--module-width", "2", "--no-caption", "--height", "0.5in"},
     "CODE-39",
     "CODE-39",
     2},
    {{"-t", "upca", "--quiet-zones", "--rotate", "90"}, "03600029145", "036000291452"},
    {{"-t", "upce", "--quiet-zones", "--rotate", "180", "--module-width", "3"},
     "123456",
     "01234565"},
    {{"-t", "code39", "--quiet-zones", "--rotate", "270", "--margin", "1mm"}, "ABC", "ABC"},
    {{"--fg", "003366", "--bg", "ffff00", "--quiet-zones"}, "Label", "Label"},
    {{"--bg", "transparent", "--fg", "ff0000", "-t", "upca"}, "036000291452", "036000291452"},
    {{"-t", "upca", "--no-caption", "--module-width", "1", "--quiet-zones"},
     "036000291452",
     "036000291452"},
};

TEST(Label, OptionCombinationsReadBack) {
    for (const LabelRow& row : kLabels) {
        const std::string what = ::testing::PrintToString(row.args);
        const Outcome run = RenderPng(row.args, row.text);
        ASSERT_EQ(run.status, 0) << what << run.err;
        EXPECT_EQ(run.err.find("pixels at") != std::string::npos, row.warns) << what << run.err;
        EXPECT_EQ(quillion::testing::DecodeImage(OverWhite(run.picture)).text, row.reads) << what;
        EXPECT_EQ(run.pixelsPerMetre, std::uint32_t(row.dpi / 0.0254 + 0.5)) << what;
        if (row.firstBar > 0) {
            const int white =
                run.picture.At(0, 0) == 0xFFFFFFFFu ? RunLength(run.picture, 0, 0, 1) : 0;
            EXPECT_EQ(RunLength(run.picture, 0, white, 1), row.firstBar) << what;
        }
        if (row.maxWidth > 0) {
            const int module = RunLength(run.picture, 0, RunLength(run.picture, 0, 0, 1), 1) / 2;
            EXPECT_LE(run.picture.width, row.maxWidth) << what;
            EXPECT_GT(run.picture.width / module * (module + 1), row.maxWidth) << what;
        }
    }
}

TEST(Label, ColoursAndTransparency) {
    const Outcome coloured =
        RenderPng({"--fg", "003366", "--bg", "ffff00", "-t", "upca"}, "036000291452");
    EXPECT_EQ(coloured.picture.At(0, 0), 0xFFFFFF00u);
    EXPECT_EQ(coloured.picture.At(5, 0), 0xFF003366u); // the left guard
    const Outcome clear = RenderPng({"--bg", "transparent", "--margin", "2"}, "AB");
    EXPECT_EQ(clear.picture.At(0, 0) >> 24, 0u);
    EXPECT_EQ(clear.picture.At(2, 2), 0xFF000000u);
    const Outcome half = RenderPng({"--bg", "ffffff80"}, "AB");
    EXPECT_EQ(half.picture.At(0, 45), 0x80FFFFFFu);
}

// Bars too pale to scan are refused before painting; --verify reads the picture as it is seen,
// laid over white (a transparent black background is white on paper).
TEST(Label, VerifyReadsTheColoursWritten) {
    for (const std::vector<std::string>& pale :
         {std::vector<std::string>{"--fg", "eeeeee"}, {"--fg", "00000000"},
          {"--fg", "00000001", "--bg", "00000002"}, {"--fg", "ffffff", "--bg", "000000"}})
        EXPECT_EQ(RenderPng(pale, "AB").status, kExitUsage) << pale[1];
    EXPECT_EQ(RenderPng({"--verify", "--bg", "00000000"}, "AB").status, kExitOk);
    EXPECT_EQ(
        RenderPng({"--verify", "--fg", "003366", "--rotate", "90", "--quiet-zones"}, "AB").status,
        kExitOk);
}

// Clockwise: a quarter turn takes (x, y) of a picture h rows high to (h - 1 - y, x).
TEST(Label, TurnsClockwise) {
    const Image flat = RenderPng({"--quiet-zones", "--fg", "003366"}, "Turn").picture;
    for (const int quarters : {1, 2, 3}) {
        const Image turned = RenderPng({"--quiet-zones", "--fg", "003366", "--rotate",
                                        std::to_string(90 * quarters)},
                                       "Turn")
                                 .picture;
        int mismatches = 0;
        for (int y = 0; y < flat.height; ++y)
            for (int x = 0; x < flat.width; ++x) {
                int tx = x, ty = y, h = flat.height, w = flat.width;
                for (int q = 0; q < quarters; ++q) {
                    std::tie(tx, ty) = std::pair{h - 1 - ty, tx};
                    std::swap(w, h);
                }
                mismatches += !turned.Contains(tx, ty) || turned.At(tx, ty) != flat.At(x, y);
            }
        EXPECT_EQ(mismatches, 0) << quarters;
    }
}

TEST(Label, BarHeightAndGuardExtension) {
    struct Bars {
        std::vector<std::string> args;
        std::string text;
        int shortest, longest; // rows from the top
    };
    const Bars rows[] = {
        {{"--height", "30"}, "AB", 30, 30},
        {{"--module-width", "2"}, "AB", 80, 80},
        {{"-t", "code39", "--height", "30"}, "AB", 30, 30},
        // UPC: guard bars 5 modules longer; bars 69.24 modules high unless given.
        {{"-t", "upca", "--height", "30"}, "036000291452", 30, 40},
        {{"-t", "upca", "--module-width", "4"}, "036000291452", 277, 297},
        {{"-t", "upce", "--height", "30"}, "123456", 30, 40},
    };
    for (const Bars& row : rows) {
        std::vector<std::string> args = row.args;
        args.push_back("--no-caption");
        const Outcome run = RenderPng(args, row.text);
        int shortest = run.picture.height, longest = 0;
        for (int x = 0; x < run.picture.width; ++x)
            if (run.picture.At(x, 0) == 0xFF000000u) {
                shortest = std::min(shortest, RunLength(run.picture, 0, x, 0, 1));
                longest = std::max(longest, RunLength(run.picture, 0, x, 0, 1));
            }
        EXPECT_EQ(shortest, row.shortest) << row.args[1];
        EXPECT_EQ(longest, row.longest) << row.args[1];
    }
}

TEST(Label, QuietZonesArePixelExact) {
    struct Zone {
        std::string type, text;
        int usualModule, left, right; // the standard's modules
    };
    for (const Zone& z :
         {Zone{"code128", "ABC-12345", 1, 10, 10}, Zone{"code39", "ABC-12345", 1, 10, 10},
          Zone{"upca", "036000291452", 2, 9, 9}, Zone{"upce", "123456", 2, 9, 7}}) {
        for (const int module : {0, 3})
            for (const int margin : {0, 4}) {
                std::vector<std::string> args = {"-t", z.type, "--quiet-zones", "--margin",
                                                 std::to_string(margin)};
                if (module > 0)
                    args.insert(args.end(), {"--module-width", std::to_string(module)});
                const Outcome run = RenderPng(args, z.text);
                const int m = module > 0 ? module : z.usualModule;
                const Image& p = run.picture;
                ASSERT_EQ(run.status, 0) << run.err;
                EXPECT_EQ(RunLength(p, margin, 0, 1), z.left * m + margin) << z.type << m;
                EXPECT_EQ(RunLength(p, margin, p.width - 1, -1), z.right * m + margin)
                    << z.type << m;
            }
    }
}

TEST(Label, ContradictionsAreUsageErrorsNamingBoth) {
    struct Refusal {
        std::vector<std::string> args;
        std::vector<std::string> named;
    };
    const Refusal refusals[] = {
        {{"--module-width", "3", "--fit-width", "40mm"}, {"--module-width", "--fit-width"}},
        {{"--fg", "123456", "--bg", "123456"}, {"--fg", "--bg"}},
        {{"--bg", "transparent", "--format", "jpg"}, {"--bg", "--format jpg"}},
        {{"--fg", "00000080", "--format", "jpg"}, {"--fg", "--format jpg"}},
        {{"--module-width", "2cm"}, {"--module-width"}},
        {{"--module-width", "0"}, {"--module-width"}},
        {{"--height", "1.5"}, {"--height"}},
        {{"--fg", "transparent"}, {"--fg"}},
        {{"--bg", "12345"}, {"--bg"}},
        {{"--rotate", "45"}, {"rotation"}},
        {{"--dpi", "3201"}, {"--dpi"}},
        {{"--module-width", "51"}, {"--module-width"}},
        {{"--height", "4001"}, {"--height"}},
    };
    for (const Refusal& r : refusals) {
        std::vector<std::string> args = r.args;
        args.insert(args.end(), {"-o", "-", "AB"});
        std::ostringstream out, err;
        EXPECT_EQ(RunRenderer(args, out, err, false), kExitUsage) << args[0];
        for (const std::string& name : r.named)
            EXPECT_NE(err.str().find(name), std::string::npos) << err.str();
        EXPECT_TRUE(out.str().empty());
    }
}

TEST(Label, LengthsAsWholePixels) {
    const auto pixels = [](std::string_view text, double dpi, bool down = false) {
        return ToPixels(*ParseLength(text), dpi, 1, down);
    };
    EXPECT_EQ(pixels("0.33mm", 300).pixels, 4);
    EXPECT_FALSE(pixels("0.25mm", 203).off);
    EXPECT_EQ(pixels("0.1mm", 96).pixels, 1);
    EXPECT_TRUE(pixels("0.1mm", 96).off);
    EXPECT_TRUE(pixels("0.3mm", 96).off);   // 1.13 pixels: 1 is 12% off
    EXPECT_FALSE(pixels("0.28mm", 96).off); // 1.06 pixels
    EXPECT_EQ(pixels("1in", 300, true).pixels, 300);
    EXPECT_EQ(pixels("40mm", 300, true).pixels, 472);
    EXPECT_EQ(pixels("0.995in", 100, true).pixels, 99); // the nearest, 100, is too wide
    EXPECT_EQ(pixels("10MIL", 600).pixels, 6);
    for (const char* bad : {"", "mm", "1.5", "-1mm", "1cm", "1e3mm", "3 mm", "1.2.3in"})
        EXPECT_FALSE(ParseLength(bad)) << bad;
}

} // namespace
} // namespace quillion::cli
