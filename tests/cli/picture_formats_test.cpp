// What the renderer writes beyond the window's JPEG: the paint record replays to exactly the
// exported picture for every type and caption form; the SVG's rectangles, drawn, are the
// picture's pixels wherever no text lies; --scale replicates pixels exactly; PNG and JPEG carry
// 96 dpi times the scale; the parser takes short options, "=" values and words in any case.
#include "generator.h"
#include "options.h"
#include "picture_detail.h"
#include "picture_output.h"
#include "pixel_scale.h"
#include "svg_writer.h"
#include "utf8_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>

namespace quillion::cli {
namespace {
using namespace quillion::library;

struct RenderRow {
    int row;
    Symbology type;
    std::u16string text;
    bool caption;
    int position; // 0 bottom, 1 top
    int style;    // 0 regular .. 4 underline
};

const RenderRow kRenderRows[] = {
    {1, Symbology::Code128, u"AB", true, 0, 0},
    {2, Symbology::Code128, u"Coca Cola 12pk $6.99", true, 1, 1},
    {3, Symbology::Code128, u"x<&>\"'y", true, 0, 2},
    {4, Symbology::Code128, u"underlined", true, 1, 4},
    {5, Symbology::Code128, u"bold italic", true, 0, 3},
    {6, Symbology::Code128, u"no caption", false, 0, 0},
    {7, Symbology::Code39, u"HELLO-39", true, 0, 0},
    {8, Symbology::Code39, u"lower 7", true, 0, 0},
    {9, Symbology::UpcA, u"036000291452", true, 0, 0},
    {10, Symbology::UpcE, u"123456", true, 0, 0},
};

ControlSettings SettingsOf(const RenderRow& r) {
    ControlSettings s;
    s.type = r.type;
    s.caption = r.caption;
    s.captionPositionIndex = r.position;
    s.fontStyleIndex = r.style;
    return s;
}

// The text cells of the record, widened by the two pixels a glyph's ink may pass its advance:
// where glyphs may differ between painters.
std::vector<PixelBox> TextCells(const PaintRecord& record) {
    std::vector<PixelBox> cells;
    for (const PaintOperation& op : record.operations)
        if (const auto* t = std::get_if<PaintedText>(&op))
            cells.push_back({t->x - 2, t->y, t->x + t->font->TextWidth(t->ansi, t->charExtra) + 2,
                             t->y + t->font->Metrics().height});
    return cells;
}

// Draws the rect elements of an SVG, in order, onto a white picture of its size.
Image DrawSvgRects(const std::string& svg, int width, int height, int& count) {
    Image image(width, height, ToPixel(kWhite));
    const std::regex rect(
        R"re(<rect x="(-?\d+)" y="(-?\d+)" width="(\d+)" height="(\d+)" fill="#([0-9a-f]{6})"/>)re");
    count = 0;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), rect); it != std::sregex_iterator();
         ++it, ++count) {
        const std::int64_t x = std::stoll((*it)[1]), y = std::stoll((*it)[2]);
        FillBox(image, PixelBox{x, y, x + std::stoll((*it)[3]), y + std::stoll((*it)[4])},
                0xFF000000u | std::uint32_t(std::stoul((*it)[5], nullptr, 16)));
    }
    return image;
}

TEST(PaintRecord, ReplaysToTheExportedPictureAndItsSvgRectsToItsBars) {
    for (const RenderRow& r : kRenderRows) {
        SCOPED_TRACE(r.row);
        Generator generator(SettingsOf(r), Generator::Keep::PixelsAndRecord);
        const Generation g = generator.Generate(r.text);
        ASSERT_NE(g.picture, nullptr) << g.message;
        const PaintRecord& record = *generator.Record();
        ASSERT_TRUE(record.complete);
        Image replayed(g.picture->width, g.picture->height, ToPixel(kWhite));
        ReplayPaintRecord(record, replayed);
        EXPECT_TRUE(replayed == *g.picture);

        std::string svg;
        ASSERT_EQ(EncodeSvg(record, g.picture->width, g.picture->height, 1, svg), "");
        int rects = 0;
        const Image drawn = DrawSvgRects(svg, g.picture->width, g.picture->height, rects);
        EXPECT_GE(rects, 2);
        const std::vector<PixelBox> cells = TextCells(record);
        EXPECT_EQ(cells.empty(), !r.caption && r.type == Symbology::Code128) << svg;
        int differing = 0;
        for (int y = 0; y < drawn.height; ++y)
            for (int x = 0; x < drawn.width; ++x) {
                const bool inText = std::any_of(cells.begin(), cells.end(), [&](const PixelBox& c) {
                    return x >= c.left && x < c.right && y >= c.top && y < c.bottom;
                });
                differing += !inText && drawn.At(x, y) != g.picture->At(x, y);
            }
        EXPECT_EQ(differing, 0);
    }
}

// Control characters have no XML form: the SVG carries the missing-glyph boxes the font
// painted for them as rectangles, pixel for pixel, and the other characters as text.
TEST(PaintRecord, ControlCharactersAreDrawnAsTheirPaintedPixels) {
    Generator generator(ControlSettings{}, Generator::Keep::PixelsAndRecord);
    const Generation g = generator.Generate(u"A\x10z\x10");
    ASSERT_NE(g.picture, nullptr) << g.message;
    std::string svg;
    ASSERT_EQ(EncodeSvg(*generator.Record(), g.picture->width, g.picture->height, 1, svg), "");
    EXPECT_NE(svg.find("<tspan x=\""), std::string::npos);
    EXPECT_NE(svg.find(">A</tspan><tspan"), std::string::npos) << svg;
    int rects = 0;
    const Image drawn = DrawSvgRects(svg, g.picture->width, g.picture->height, rects);
    int boxPixels = 0;
    for (const PaintOperation& op : generator.Record()->operations) {
        const auto* t = std::get_if<PaintedText>(&op);
        if (t == nullptr)
            continue;
        std::int64_t pen = t->x;
        for (const char ch : t->ansi) {
            const auto byte = static_cast<unsigned char>(ch);
            const int advance = t->font->Advance(byte);
            for (std::int64_t y = t->y; byte < 0x20 && y < t->y + t->font->Metrics().height; ++y)
                for (std::int64_t x = pen; x < pen + advance; ++x) {
                    ASSERT_EQ(drawn.At(int(x), int(y)), g.picture->At(int(x), int(y)))
                        << x << "," << y;
                    boxPixels += g.picture->At(int(x), int(y)) == ToPixel(kBlack);
                }
            pen += advance + t->charExtra;
        }
    }
    EXPECT_GT(boxPixels, 10); // the boxes were there to compare
}

TEST(PaintRecord, AnUnrecordedGeneratorHasNoRecordAndSvgIsRefused) {
    Generator generator(ControlSettings{});
    const Generation g = generator.Generate(u"AB");
    ASSERT_NE(g.picture, nullptr);
    EXPECT_EQ(generator.Record(), nullptr);
    auto detail = std::make_shared<api::Picture::Detail>();
    detail->image = *g.picture;
    PictureWriter writer;
    std::string error;
    EXPECT_EQ(writer.Encode(api::PictureAccess::Make(detail), OutputFormat::Svg, error), nullptr);
    EXPECT_NE(error, "");
    PaintRecord incomplete;
    incomplete.complete = false;
    std::string svg;
    EXPECT_NE(EncodeSvg(incomplete, 10, 10, 1, svg), "");
}

// The picture of the command line's options through the library.
api::Picture Rendered(int scale, const std::string& text = "AB") {
    RenderOptions options;
    options.scale = scale;
    api::Picture picture;
    EXPECT_EQ(RenderText(options, DecodeUtf8(text).value(), text, picture), "");
    return picture;
}

TEST(PaintRecord, SvgSizeIsThePictureTimesTheScaleInPictureUnits) {
    const api::Picture picture = Rendered(7);
    const Image& painted = api::PictureAccess::Of(picture).Pixels();
    PictureWriter writer;
    std::string error;
    const std::vector<std::uint8_t>* bytes = writer.Encode(picture, OutputFormat::Svg, error);
    ASSERT_NE(bytes, nullptr) << error;
    const std::string svg(bytes->begin(), bytes->end());
    const std::string w = std::to_string(painted.width), h = std::to_string(painted.height);
    EXPECT_NE(svg.find("width=\"" + std::to_string(7 * painted.width) + "\" height=\"" +
                       std::to_string(7 * painted.height) + "\" viewBox=\"0 0 " + w + " " + h +
                       "\""),
              std::string::npos)
        << svg.substr(0, 300);
}

TEST(ScalePicture, EveryPixelBecomesASquare) {
    Image picture(5, 3, 0);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = 0xFF000000u | std::uint32_t(i * 0x0A0B0C);
    for (const int n : {1, 2, 3, 20}) {
        SCOPED_TRACE(n);
        Image out;
        ASSERT_EQ(ScalePicture(picture, n, out), "");
        ASSERT_EQ(out.width, 5 * n);
        ASSERT_EQ(out.height, 3 * n);
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x)
                ASSERT_EQ(out.At(x, y), picture.At(x / n, y / n)) << x << "," << y;
    }
    Image huge(20000, 20000, 0), out;
    EXPECT_NE(ScalePicture(huge, 20, out), "");
    EXPECT_TRUE(out.pixels.empty());
}

TEST(PictureWriter, PicturesAFormatCannotHoldAreRefusedBeforeTheyAreScaled) {
    const struct {
        int row, width, height, scale;
        OutputFormat format;
        const char* error; // "" when it is written
    } rows[] = {
        {1, 3276, 10, 20, OutputFormat::Jpeg, "too large for JPEG (65520 x 200; at most 65,500)"},
        {2, 10, 13101, 5, OutputFormat::Jpeg, "too large for JPEG (50 x 65505; at most 65,500)"},
        {3, 3275, 2, 20, OutputFormat::Jpeg, ""},
        {4, 3277, 2, 20, OutputFormat::Png, ""},
        {5, 1000, 700, 20, OutputFormat::Png, "more than 268435456"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        auto detail = std::make_shared<api::Picture::Detail>();
        detail->image = Image(r.width, r.height, 0xFFFFFFFFu);
        detail->scale = r.scale;
        const api::Picture picture = api::PictureAccess::Make(detail);
        api::Error error;
        const std::vector<std::uint8_t> bytes = r.format == OutputFormat::Jpeg
                                                    ? api::EncodeJpeg(picture, 80, &error)
                                                    : api::EncodePng(picture, &error);
        EXPECT_EQ(bytes.empty(), *r.error != '\0') << error.message;
        EXPECT_NE(error.message.find(r.error), std::string::npos) << error.message;
    }
}

// The pHYs chunk's values: x, y pixels per unit and the unit; zeros without a chunk.
std::array<std::uint32_t, 3> PhysOf(const std::vector<std::uint8_t>& png) {
    const auto read32 = [&](std::size_t at) {
        return std::uint32_t(png[at]) << 24 | std::uint32_t(png[at + 1]) << 16 |
               std::uint32_t(png[at + 2]) << 8 | png[at + 3];
    };
    for (std::size_t at = 8; at + 8 <= png.size();) {
        const std::uint32_t length = read32(at);
        if (std::memcmp(&png[at + 4], "pHYs", 4) == 0 && length == 9)
            return {read32(at + 8), read32(at + 12), png[at + 16]};
        at += 12 + length;
    }
    return {0, 0, 0};
}

TEST(PictureWriter, ResolutionIs96DpiTimesTheScale) {
    const struct {
        int row, scale;
        std::uint32_t pixelsPerMetre;
    } rows[] = {{1, 1, 3780}, {2, 2, 7559}, {3, 3, 11339}, {4, 20, 75591}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        const api::Picture picture = Rendered(r.scale);
        PictureWriter writer;
        std::string error;
        const std::vector<std::uint8_t>* png = writer.Encode(picture, OutputFormat::Png, error);
        ASSERT_NE(png, nullptr) << error;
        const auto phys = PhysOf(*png);
        EXPECT_EQ(phys[0], r.pixelsPerMetre);
        EXPECT_EQ(phys[1], r.pixelsPerMetre);
        EXPECT_EQ(phys[2], 1u); // the metre
        const std::vector<std::uint8_t>* encoded =
            writer.Encode(picture, OutputFormat::Jpeg, error);
        ASSERT_NE(encoded, nullptr) << error;
        const std::vector<std::uint8_t>& jpeg = *encoded;
        ASSERT_GT(jpeg.size(), 18u);
        EXPECT_EQ(std::memcmp(jpeg.data() + 6, "JFIF", 5), 0);
        EXPECT_EQ(jpeg[13], 1); // dots per inch
        EXPECT_EQ(jpeg[14] << 8 | jpeg[15], 96 * r.scale);
        EXPECT_EQ(jpeg[16] << 8 | jpeg[17], 96 * r.scale);
    }
}

TEST(ParseArguments, ShortOptionsFormatsScaleAndNames) {
    const struct Row {
        int row;
        std::vector<std::string> args;
        Symbology type;
        OutputFormat format;
        int scale;
        NameRule names;
        std::string output;
    } rows[] = {
        {1,
         {"-t", "UPC-A", "-o", "a.png", "1"},
         Symbology::UpcA,
         OutputFormat::Png,
         1,
         NameRule::Line,
         "a.png"},
        {2,
         {"-tupce", "-oa.SVG", "1"},
         Symbology::UpcE,
         OutputFormat::Svg,
         1,
         NameRule::Line,
         "a.SVG"},
        {3,
         {"--type=Code39", "--output=-", "A"},
         Symbology::Code39,
         OutputFormat::Png,
         1,
         NameRule::Line,
         "-"},
        {4,
         {"-o", "-", "--format", "SVG", "--scale=20", "A"},
         Symbology::Code128,
         OutputFormat::Svg,
         20,
         NameRule::Line,
         "-"},
        {5,
         {"--format", "jpeg", "-o", "a.png", "A"},
         Symbology::Code128,
         OutputFormat::Jpeg,
         1,
         NameRule::Line,
         "a.png"}, // --format wins over the ending
        {6,
         {"--format", "png", "-o", "label", "A"},
         Symbology::Code128,
         OutputFormat::Png,
         1,
         NameRule::Line,
         "label"},
        {7,
         {"--batch", "f", "--out-dir", "d", "--names", "TEXT", "--scale", "3"},
         Symbology::Code128,
         OutputFormat::Png,
         3,
         NameRule::Text,
         ""},
        {8,
         {"--batch=f", "--out-dir=d", "--format=svg", "-t", "upca"},
         Symbology::UpcA,
         OutputFormat::Svg,
         1,
         NameRule::Line,
         ""},
        {9,
         {"A", "-o", "a.jpeg"},
         Symbology::Code128,
         OutputFormat::Jpeg,
         1,
         NameRule::Line,
         "a.jpeg"}, // options after the text
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.row);
        const ParseResult result = ParseArguments(r.args);
        ASSERT_TRUE(result.options) << result.error;
        const RenderOptions& o = *result.options;
        EXPECT_EQ(o.controls.type, r.type);
        EXPECT_EQ(o.format, r.format);
        EXPECT_EQ(o.scale, r.scale);
        EXPECT_EQ(o.names, r.names);
        EXPECT_EQ(o.output, r.output);
    }
    // A second parse starts afresh (getopt keeps its place between calls).
    EXPECT_TRUE(ParseArguments({"-V"}).options->version);
    EXPECT_TRUE(ParseArguments({"--help"}).options->help);
    EXPECT_EQ(ParseArguments({"-o", "a.png", "--", "-V"}).options->text, "-V");
}

} // namespace
} // namespace quillion::cli
