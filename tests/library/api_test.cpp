// The library's API: every symbology's picture equals the window's generation and scans; Code 128
// with the caller's sizes, colours and margin scans and keeps the window's look at the window's
// values; concurrent renders give the same pixels; bad input through C is an error, not a crash.
#include "decode.h"
#include "generator.h"
#include "picture_detail.h"
#include "pixel_scale.h"
#include "png_writer.h"
#include "quillion/quillion.h"
#include "symbols/code128_caption.h"
#include "symbols/code128_window_request.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <random>
#include <thread>

namespace quillion::api {
namespace {
using namespace quillion::library;

struct Row {
    int row;
    Symbology symbology;
    std::string text;
    std::string reads; // what ZXing-C++ reads
};
const Row kRows[] = {
    {1, Symbology::Code128, "Coca Cola 12pk $6.99", "Coca Cola 12pk $6.99"},
    {2, Symbology::Code128, std::string(40, 'M'), std::string(40, 'M')},
    {3, Symbology::Code39, "hello-39", "HELLO-39"},
    {4, Symbology::UpcA, "036000291452", "036000291452"},
    {5, Symbology::UpcE, "123456", "01234565"},
};

library::ControlSettings WindowSettings(Symbology s) {
    const quillion::Symbology types[] = {quillion::Symbology::Code128, quillion::Symbology::Code39,
                                         quillion::Symbology::UpcA, quillion::Symbology::UpcE};
    return {types[int(s)], true, 0, 0};
}

Image Pixels(const Picture& p) {
    Image image(p.Width(), p.Height(), 0);
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = 0xFF000000u | std::uint32_t(p.Rgba()[4 * i]) << 16 |
                          std::uint32_t(p.Rgba()[4 * i + 1]) << 8 | p.Rgba()[4 * i + 2];
    return image;
}

TEST(Render, WindowRefusalCarriesTheEngineNumberOfThatGenerationOnly) {
    library::Generator window(WindowSettings(Symbology::Code128));
    const library::Generation refused = window.Generate(u"a\u0001b");
    EXPECT_EQ(refused.picture, nullptr);
    EXPECT_EQ(refused.engineError, 54548);
    const library::Generation empty = window.Generate(u"");
    EXPECT_EQ(empty.picture, nullptr);
    EXPECT_EQ(empty.engineError, 0) << empty.message;
}

TEST(Render, DefaultsAreTheWindowsPictureAndScan) {
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.row);
        const RenderResult result = Render(r.symbology, r.text);
        ASSERT_TRUE(result) << result.error().message;
        library::Generator window(WindowSettings(r.symbology));
        const library::Generation g = window.Generate(std::u16string(r.text.begin(), r.text.end()));
        ASSERT_NE(g.picture, nullptr);
        EXPECT_TRUE(Pixels(result.picture()) == *g.picture);
        EXPECT_EQ(testing::DecodeImage(Pixels(result.picture())).text, r.reads);
        EXPECT_FALSE(EncodePng(result.picture()).empty());
        EXPECT_FALSE(EncodeJpeg(result.picture()).empty());
        EXPECT_FALSE(EncodeSvg(result.picture()).empty());
    }
}

// The window's look kept at one bit per pixel is the window's picture, and its PNG the file of
// those pixels byte for byte: random texts of the four types (Code 128 past the window's area),
// every caption position and style, at scales 1 and 2.
TEST(Render, WindowLookAtOneBitIsTheWindowsPictureAndFile) {
    std::mt19937 random(20261208);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    for (int i = 0; i < 240; ++i) {
        const auto symbology = Symbology(i % 4);
        std::string text;
        if (symbology == Symbology::Code128) {
            for (int n = 1 + pick(i % 8 == 0 ? 60 : 21); n > 0; --n)
                text += char(32 + pick(95));
        } else if (symbology == Symbology::Code39) {
            static const std::string kSet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ -.$/+%";
            for (int n = 1 + pick(21); n > 0; --n)
                text += kSet[std::size_t(pick(int(kSet.size())))];
        } else {
            int sum = 0;
            for (int n = 0; n < (symbology == Symbology::UpcA ? 11 : 6); ++n) {
                text += char('0' + pick(10));
                sum += (text.back() - '0') * (n % 2 == 0 ? 3 : 1);
            }
            if (symbology == Symbology::UpcA)
                text += char('0' + (10 - sum % 10) % 10);
        }
        Options o;
        o.caption = CaptionPosition(pick(3));
        o.captionStyle = CaptionStyle(pick(5));
        o.scale = i % 5 == 0 ? 2 : 1;
        SCOPED_TRACE(std::to_string(i) + ": " + text);
        const RenderResult result = Render(symbology, text, o);
        ASSERT_TRUE(result) << result.error().message;
        library::ControlSettings settings = WindowSettings(symbology);
        settings.caption = o.caption != CaptionPosition::None;
        settings.captionPositionIndex = o.caption == CaptionPosition::Above ? 1 : 0;
        settings.fontStyleIndex = int(o.captionStyle);
        library::Generator window(settings);
        window.SetLook(SymbolLook{0, 0, settings.caption});
        const library::Generation g = window.Generate(std::u16string(text.begin(), text.end()));
        ASSERT_NE(g.picture, nullptr) << g.message;
        const Picture::Detail& d = PictureAccess::Of(result.picture());
        // Code 128 and Code 39 are kept at one bit; UPC paints on a background picture.
        EXPECT_EQ(d.bilevel.width > 0, i % 4 < 2);
        ASSERT_EQ(d.Pixels(), *g.picture);
        Image scaled;
        ASSERT_EQ(library::ScalePicture(*g.picture, o.scale, scaled), "");
        std::vector<std::uint8_t> file;
        library::PngEncoder().Encode(scaled, file, o.scale == 1 ? 3780 : 7559);
        EXPECT_EQ(EncodePng(result.picture()), file);
    }
}

TEST(Render, Code128SizesColoursAndMarginScan) {
    Options o;
    o.moduleWidth = 3;
    o.barHeight = 90;
    o.margin = 7;
    o.foreground = {0, 0, 128, 255};
    o.background = {255, 255, 200, 255};
    o.scale = 2;
    const RenderResult r = Render(Symbology::Code128, "ABC-123", o);
    ASSERT_TRUE(r) << r.error().message;
    const Image pixels = Pixels(r.picture());
    EXPECT_EQ(testing::DecodeImage(pixels).text, "ABC-123");
    const Picture plain = Render(Symbology::Code128, "ABC-123").picture();
    // Eleven modules a symbol, 3 pixels each, the margin on both sides, then doubled.
    EXPECT_GE(pixels.width, 2 * (3 * (plain.Width() - 2) + 14));
    EXPECT_GT(pixels.height, 2 * (90 + 14));
    EXPECT_EQ(pixels.At(0, 0), 0xFFFFFFC8u);
    EXPECT_EQ(pixels.At(pixels.width - 1, pixels.height - 1), 0xFFFFFFC8u);
    EXPECT_EQ(pixels.At(13, pixels.height / 2), 0xFFFFFFC8u); // the margin's last column
    EXPECT_EQ(pixels.At(14, pixels.height / 2), 0xFF000080u); // the first bar
    EXPECT_EQ(r.picture().Dpi(), 192);
    const std::vector<std::uint8_t> svg = EncodeSvg(r.picture());
    EXPECT_NE(std::string(svg.begin(), svg.end()).find("fill=\"#000080\""), std::string::npos);
}

// The caller's caption position and style reach the painting of their own Code 128 too.
TEST(Render, Code128WithOwnSizesKeepsCaptionPositionAndStyle) {
    const auto dark = [](const Image& p, int y) {
        for (int x = 0; x < p.width; ++x)
            if (p.At(x, y) == 0xFF000000u)
                return true;
        return false;
    };
    Options o;
    o.moduleWidth = 2;
    const Image below = Pixels(Render(Symbology::Code128, "Ab", o).picture());
    o.caption = CaptionPosition::Above;
    const Image above = Pixels(Render(Symbology::Code128, "Ab", o).picture());
    o.captionStyle = CaptionStyle::Bold;
    const Image bold = Pixels(Render(Symbology::Code128, "Ab", o).picture());
    EXPECT_TRUE(dark(below, 0));  // the bars begin at the top
    EXPECT_FALSE(dark(above, 0)); // the caption's white rows first
    EXPECT_FALSE(bold == above);
}

// Every field of the C options reaches Render; JPEG takes the quality asked for.
TEST(CApi, OptionsAndQualityAreTheCppOnes) {
    quillion_options c;
    quillion_options_init(&c);
    c.caption = QUILLION_CAPTION_ABOVE;
    c.caption_style = QUILLION_STYLE_ITALIC;
    c.module_width = 2;
    c.bar_height = 30;
    c.margin = 3;
    c.foreground = {10, 20, 30, 255};
    c.background = {250, 240, 230, 255};
    c.scale = 2;
    Options o;
    o.caption = CaptionPosition::Above;
    o.captionStyle = CaptionStyle::Italic;
    o.moduleWidth = 2;
    o.barHeight = 30;
    o.margin = 3;
    o.foreground = {10, 20, 30, 255};
    o.background = {250, 240, 230, 255};
    o.scale = 2;
    quillion_result* picture = quillion_render(QUILLION_CODE128, "C-API", &c);
    const Picture expected = Render(Symbology::Code128, "C-API", o).picture();
    ASSERT_EQ(quillion_error_code(picture), 0) << quillion_error_message(picture);
    ASSERT_EQ(quillion_width(picture), expected.Width());
    ASSERT_EQ(quillion_height(picture), expected.Height());
    EXPECT_TRUE(std::equal(expected.Rgba().begin(), expected.Rgba().end(), quillion_rgba(picture)));
    quillion_result* low = quillion_encode(picture, QUILLION_JPEG, 20);
    quillion_result* high = quillion_encode(picture, QUILLION_JPEG, 95);
    size_t lowSize = 0, highSize = 0;
    quillion_bytes(low, &lowSize);
    quillion_bytes(high, &highSize);
    EXPECT_GT(lowSize, 100u);
    EXPECT_LT(lowSize, highSize);
    // Quality 0 is the default, 80.
    quillion_result* byDefault = quillion_encode(picture, QUILLION_JPEG, 0);
    quillion_result* eighty = quillion_encode(picture, QUILLION_JPEG, 80);
    size_t defaultSize = 0, eightySize = 0;
    quillion_bytes(byDefault, &defaultSize);
    quillion_bytes(eighty, &eightySize);
    EXPECT_EQ(defaultSize, eightySize);
    quillion_free(eighty);
    quillion_free(byDefault);
    quillion_free(high);
    quillion_free(low);
    quillion_free(picture);
}

TEST(Render, ConcurrentRendersGiveTheSamePixels) {
    std::vector<std::vector<std::uint8_t>> expected;
    for (const Row& r : kRows)
        expected.push_back(Render(r.symbology, r.text).picture().Rgba());
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 10; ++round)
                for (std::size_t i = 0; i < std::size(kRows); ++i) {
                    const Row& r = kRows[(i + std::size_t(t)) % std::size(kRows)];
                    const RenderResult got = Render(r.symbology, r.text);
                    mismatches[std::size_t(t)] +=
                        !got || got.picture().Rgba() != expected[std::size_t(&r - kRows)];
                }
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

// A thread keeps its generation's picture boxes between renders and writes only the pixels a
// painting needs: a picture after a wider, taller or differently captioned one has none of its
// pixels, and equals the picture a thread that never rendered gives.
TEST(Render, KeptPictureBoxesLeaveNothingOfTheLastPicture) {
    Options above;
    above.caption = CaptionPosition::Above;
    Options none;
    none.caption = CaptionPosition::None;
    const struct {
        Symbology symbology;
        std::string text;
        Options options;
    } steps[] = {
        {Symbology::Code128, std::string(21, 'W'), {}},
        {Symbology::Code128, "a", {}},
        {Symbology::Code128, std::string(40, 'M'), {}},
        {Symbology::Code128, "a", {}},
        {Symbology::Code128, std::string(21, 'W'), above},
        {Symbology::Code128, "a", above},
        {Symbology::Code128, "Wide", none},
        {Symbology::Code128, "a", none},
        {Symbology::Code39, "ABCDEFGHIJKLMNOPQRSTU", {}},
        {Symbology::Code39, "A", {}},
        {Symbology::UpcA, "036000291452", {}},
        {Symbology::UpcA, "012345678905", {}},
        {Symbology::UpcE, "123456", {}},
        {Symbology::UpcE, "654321", {}},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        const auto& s = steps[i];
        const RenderResult kept = Render(s.symbology, s.text, s.options);
        RenderResult fresh = RenderResult(Error{});
        std::thread([&] { fresh = Render(s.symbology, s.text, s.options); }).join();
        ASSERT_TRUE(kept && fresh);
        EXPECT_EQ(PictureAccess::Of(kept.picture()).Pixels(),
                  PictureAccess::Of(fresh.picture()).Pixels());
    }
}

TEST(CApi, BadInputIsAnErrorWithAMessage) {
    quillion_options big;
    quillion_options_init(&big);
    big.module_width = INT_MAX;
    quillion_options wide;
    quillion_options_init(&wide);
    wide.margin = 10000;
    static const std::string longText(4000, 'W');
    const struct {
        int row, symbology;
        const char* text;
        const quillion_options* options;
        int code;
    } rows[] = {
        {1, QUILLION_CODE128, nullptr, nullptr, QUILLION_ERROR_ARGUMENT},
        {2, QUILLION_CODE128, "caf\xC3", nullptr, QUILLION_ERROR_ARGUMENT},
        {3, 99, "AB", nullptr, QUILLION_ERROR_ARGUMENT},
        {4, -1, "AB", nullptr, QUILLION_ERROR_ARGUMENT},
        {5, QUILLION_CODE128, "AB", &big, QUILLION_ERROR_ARGUMENT},
        {6, QUILLION_EAN13, "5901234123458", nullptr, QUILLION_ERROR_REJECTED}, // check digit 7
        {7, QUILLION_UPCA, "123", nullptr, QUILLION_ERROR_REJECTED},
        {8, QUILLION_CODE128, "", nullptr, QUILLION_ERROR_REJECTED},
        {9, QUILLION_CODE128, "\xC3\xA9\xE2\x82\xAC", nullptr,
         QUILLION_ERROR_CODE128_ILLEGAL_CHARACTER}, // € (set B: the window engine's number)
        {13, QUILLION_CODE128,
         "a\x01"
         "b",
         nullptr, 54548}, // set B: no control but DLE
        {10, QUILLION_CODE128, "AB", &wide, QUILLION_ERROR_TOO_LARGE},
        {11, QUILLION_CODE128, longText.c_str(), nullptr, QUILLION_ERROR_TOO_LONG},
        {12, QUILLION_GS1_128, "(01)09501101530004", nullptr, QUILLION_ERROR_REJECTED},
    };
    for (const auto& r : rows) {
        quillion_result* result = quillion_render(r.symbology, r.text, r.options);
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(quillion_error_code(result), r.code) << "row " << r.row;
        EXPECT_STRNE(quillion_error_message(result), "") << "row " << r.row;
        EXPECT_EQ(quillion_rgba(result), nullptr) << "row " << r.row;
        quillion_result* encoded = quillion_encode(result, QUILLION_PNG, 0);
        EXPECT_EQ(quillion_error_code(encoded), QUILLION_ERROR_ARGUMENT);
        quillion_free(encoded);
        quillion_free(result);
    }
    quillion_free(nullptr);
    quillion_result* ok = quillion_render(QUILLION_CODE39, "AB", nullptr);
    quillion_result* bad = quillion_encode(ok, 7, 0);
    EXPECT_EQ(quillion_error_code(bad), QUILLION_ERROR_ARGUMENT);
    size_t size = 1;
    EXPECT_EQ(quillion_bytes(bad, &size), nullptr);
    EXPECT_EQ(size, 0u);
    quillion_free(bad);
    quillion_free(ok);
}

// Options set by name, one after another on one struct: each row's value lands in its field
// (or is refused, leaving the struct as it was), and what earlier rows set stays.
TEST(CApi, OptionsSetByNameLandInTheirFields) {
    using C = const quillion_options&;
    const struct {
        const char* name;
        const char* value;
        int code;
        bool (*holds)(C);
    } rows[] = {
        {"margin", "4", 0, [](C c) { return c.margin == 4; }},
        {"margin", "0", 0, [](C c) { return c.margin == 0; }},
        {"margin", "-1", QUILLION_ERROR_ARGUMENT, [](C c) { return c.margin == 0; }},
        {"rotate", "90", 0, [](C c) { return c.rotation == 90; }},
        {"rotate", "45", QUILLION_ERROR_ARGUMENT, [](C c) { return c.rotation == 90; }},
        {"no-caption", "1", 0, [](C c) { return c.caption == QUILLION_CAPTION_NONE; }},
        {"no-caption", "0", 0, [](C c) { return c.caption == QUILLION_CAPTION_BELOW; }},
        {"position", "top", 0, [](C c) { return c.caption == QUILLION_CAPTION_ABOVE; }},
        {"position", "below", 0, [](C c) { return c.caption == QUILLION_CAPTION_BELOW; }},
        {"position", "above", 0, [](C c) { return c.caption == QUILLION_CAPTION_ABOVE; }},
        {"no-eci", "1", 0, [](C c) { return c.eci == 0; }},
        {"eci", "on", 0, [](C c) { return c.eci == 1; }},
        {"no-eci", "true", 0, [](C c) { return c.eci == 0; }},
        {"no-quiet-zones", "yes", 0, [](C c) { return c.no_quiet_zones == 1; }},
        {"module_width", "2", 0, [](C c) { return c.module_width == 2; }},
        {"Module-Width", "0.33mm", 0,
         [](C c) { return c.module_width == 0 && c.module.unit == QUILLION_MM; }},
        {"module-width", "50", 0, [](C c) { return c.module_width == 50; }},
        {"module-width", "51", QUILLION_ERROR_ARGUMENT, [](C c) { return c.module_width == 50; }},
        {"mask", "-1", 0, [](C c) { return c.mask == -1; }},
        {"mask", "7", 0, [](C c) { return c.mask == 7; }},
        {"mask", "8", QUILLION_ERROR_ARGUMENT, [](C c) { return c.mask == 7; }},
        {"dm-size", "16X48", 0, [](C c) { return c.dm_rows == 16 && c.dm_columns == 48; }},
        {"ecc", "H", 0, [](C c) { return c.ecc == QUILLION_ECC_H; }},
        {"fg", "336699", 0, [](C c) { return c.foreground.r == 0x33 && c.foreground.b == 0x99; }},
        {"bg", "transparent", 0, [](C c) { return c.background.a == 0; }},
        {"code-set", "auto", 0, [](C c) { return c.code_set == QUILLION_CODE_SET_AUTO; }},
        {"scale", "0", QUILLION_ERROR_ARGUMENT, [](C c) { return c.scale == 1; }},
        {"colour", "1", QUILLION_ERROR_ARGUMENT, [](C) { return true; }},
        // Earlier rows' fields survive every later set.
        {"quiet-zones", "1", 0,
         [](C c) {
             return c.quiet_zones == 1 && c.eci == 0 && c.no_quiet_zones == 1 && c.mask == 7 &&
                    c.dm_rows == 16 && c.rotation == 90 && c.ecc == QUILLION_ECC_H;
         }},
    };
    quillion_options c;
    quillion_options_init(&c);
    EXPECT_EQ(c.eci, 1); // ECI before UTF-8 text unless asked not to
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.name) + "=" + r.value);
        EXPECT_EQ(quillion_options_set(&c, r.name, r.value), r.code);
        EXPECT_EQ(std::string(quillion_options_error_message()).empty(), r.code == 0);
        EXPECT_TRUE(r.holds(c));
        EXPECT_EQ(c.size, sizeof c);
    }
    // An older program's shorter struct: set within it, nothing written past its end.
    struct {
        quillion_options options;
        unsigned char after[8];
    } old;
    std::memset(&old, 0xA5, sizeof old);
    const std::size_t known = offsetof(quillion_options, ecc);
    quillion_options_init_sized(&old.options, known);
    EXPECT_EQ(quillion_options_set(&old.options, "margin", "3"), 0);
    EXPECT_EQ(quillion_options_set(&old.options, "ecc", "q"), 0);
    EXPECT_EQ(old.options.margin, 3);
    const auto* past = reinterpret_cast<const unsigned char*>(&old) + known;
    EXPECT_TRUE(
        std::all_of(past, past + (sizeof old - known), [](unsigned char b) { return b == 0xA5; }));
}

// Symbols through C: each symbology's size and quiet zones on the side they belong to.
TEST(CApi, SymbolsKeepTheirSidesAndSizes) {
    const struct {
        int symbology;
        const char* text;
        int rows, columns, left, right, top;
    } rows[] = {
        {QUILLION_EAN13, "590123412345", 1, 95, 11, 7, 0},
        {QUILLION_UPCA, "03600029145", 1, 95, 9, 9, 0},
        {QUILLION_UPCE, "123456", 1, 51, 9, 7, 0},
        {QUILLION_EAN8, "5901234", 1, 67, 7, 7, 0},
        {QUILLION_CODE128, "AB", 1, 57, 10, 10, 0},
        {QUILLION_CODE39, "AB", 1, 51, 10, 10, 0},
        {QUILLION_QRCODE, "HELLO", 21, 21, 4, 4, 4},
        {QUILLION_GS1_DATAMATRIX, "(01)09501101530003", 16, 16, 1, 1, 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        quillion_result* s = quillion_symbol(r.symbology, r.text, std::strlen(r.text), nullptr);
        ASSERT_EQ(quillion_error_code(s), 0) << quillion_error_message(s);
        int rowsGot = 0, columnsGot = 0;
        ASSERT_NE(quillion_modules(s, &rowsGot, &columnsGot), nullptr);
        EXPECT_EQ(rowsGot, r.rows);
        EXPECT_EQ(columnsGot, r.columns);
        EXPECT_EQ(quillion_quiet_zone(s, 0), r.left);
        EXPECT_EQ(quillion_quiet_zone(s, 1), r.right);
        EXPECT_EQ(quillion_quiet_zone(s, 2), r.top);
        quillion_free(s);
    }
    // The length limits: the most a symbology takes encodes, one more is refused as too long.
    const std::string gs1 = "(01)09501101530003(10)ABCDEFGHIJKLMNOPQRST(21)12345678";
    const struct {
        int symbology;
        std::string text;
        int code;
    } limits[] = {
        {QUILLION_CODE39, std::string(1000, 'A'), 0},
        {QUILLION_CODE39, std::string(1001, 'A'), QUILLION_ERROR_TOO_LONG},
        {QUILLION_GS1_128, gs1, 0}, // 48 data characters
        {QUILLION_GS1_128, gs1 + "9", QUILLION_ERROR_TOO_LONG},
        {QUILLION_CODE39, "A*B", QUILLION_ERROR_REJECTED}, // the start and stop character
        {QUILLION_CODE128, "A\020B", 0},                   // DLE
        {QUILLION_CODE128, "A\021B", QUILLION_ERROR_CODE128_ILLEGAL_CHARACTER}, // DC1
        {QUILLION_CODE128, "A\037B", QUILLION_ERROR_CODE128_ILLEGAL_CHARACTER}, // US
        {QUILLION_UPCA, "0360002914:", QUILLION_ERROR_REJECTED}, // ':' follows '9' in ASCII
    };
    for (const auto& l : limits) {
        quillion_result* s = quillion_symbol(l.symbology, l.text.data(), l.text.size(), nullptr);
        EXPECT_EQ(quillion_error_code(s), l.code) << l.text.size() << quillion_error_message(s);
        quillion_free(s);
    }
    // Full ASCII's caption shows control characters as spaces; a refusal's count is grouped.
    quillion_result* full = quillion_symbol(QUILLION_CODE39_FULL_ASCII, "A\037B\177", 4, nullptr);
    ASSERT_EQ(quillion_text_count(full), 1);
    EXPECT_STREQ(quillion_text(full, 0, nullptr), "A B ");
    quillion_free(full);
    const std::string many(1200, 'A');
    quillion_result* tooMany = quillion_symbol(QUILLION_CODE128, many.data(), many.size(), nullptr);
    EXPECT_NE(std::string(quillion_error_message(tooMany)).find("1,200 characters"),
              std::string::npos)
        << quillion_error_message(tooMany);
    quillion_free(tooMany);
    quillion_result* unknown = quillion_symbol(99, "AB", 2, nullptr);
    EXPECT_EQ(quillion_error_code(unknown), QUILLION_ERROR_ARGUMENT);
    quillion_free(unknown);
}

} // namespace
} // namespace quillion::api
