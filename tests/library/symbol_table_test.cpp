// The symbol model end to end: every symbology's modules against zint's (--dump), every picture
// read back by ZXing-C++ at module widths 1 to 6 and fitted widths, --no-caption changing every
// picture, and pictures that do not depend on what the thread painted before.
#include "decode.h"
#include "picture_detail.h"
#include "quillion/quillion.h"
#include "quillion/quillion.hpp"
#include "symbol_painter.h"
#include "symbols/code39_symbol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <thread>

namespace quillion::api {
namespace {

// A linear symbol's modules as zint --dump writes them: hexadecimal, padded to whole digits.
std::string Hex(const Symbol& s) {
    std::string hex;
    for (std::size_t i = 0; i < s.modules.size(); i += 4) {
        int nibble = 0;
        for (std::size_t k = 0; k < 4; ++k)
            nibble = nibble << 1 | (i + k < s.modules.size() ? s.modules[i + k] : 0);
        hex += "0123456789ABCDEF"[nibble];
    }
    return hex;
}

struct Row {
    Symbology type;
    const char* text;
    const char* zint; // zint 2.11 --dump of the same symbol (no spaces)
    bool checkDigit = false;
    CodeSet codeSet = CodeSet::Auto;
};
// zint --barcode=20 (Code 128), 60 (set B), 16 --gs1 --gs1parens, 8 (--vers=1: check), 9, 34,
// 37, 13.
const Row kRows[] = {
    {Symbology::Code128, "Quillion-42", "D21A3A79434CA19421A47AC2937327672EF58EB"},
    {Symbology::Code128, "1234567890", "D396722C716C29BDA7963AC"},
    {Symbology::Code128, "Hello, World!", "D218A2C8650CA11EACE6CCE8D1EA4F65084D9B32863AC"},
    {Symbology::Code128, "ABC-123", "D214622C4469B939B3965CB098EB", false, CodeSet::B},
    {Symbology::Gs1_128, "(01)09501101530003(10)AB-123",
     "D39EBB36648C5D893366EED99263225EEA311626E4E6CE59721663AC"},
    {Symbology::Gs1_128, "(01)09501101530003(17)250101(10)XYZ",
     "D39EBB36648C5D893366EED992627372CCD99B3225EEE2DDA3B158EC758"},
    {Symbology::Code39, "CODE-39", "96D6D2B5A5596D654ADB65565A96D"},
    {Symbology::Code39, "ABC-42", "96D6A5AD2DB4A95B535ACAD9AA96D", true},
    {Symbology::Code39FullAscii, "Hello!", "96D6A6A525ACA9495A9A5256A69496B4A4A5A9696D"},
    {Symbology::UpcA, "03600029145", "A35EAF1A346AB674CD7276CA"},
    {Symbology::UpcE, "123456", "ACC9BD3AE57AA"},
    {Symbology::Ean13, "590123412345", "A2D3B326F4EAB36C8572744A"},
    {Symbology::Ean8, "5901234", "AC458D32AD90AE5CA"},
    {Symbology::Ean13, "123456789012", "A4DE9D62148AA474E59B648A"}, // parity of leading 1
    {Symbology::Ean13, "212345678901", "A649A13AC42AA248E9CB372A"}, // and of leading 2
};

Options OptionsOf(const Row& r) {
    Options o;
    o.checkDigit = r.checkDigit;
    o.codeSet = r.codeSet;
    return o;
}

Image Pixels(const Picture& p) {
    return PictureAccess::Of(p).Pixels();
}

// The bytes ZXing-C++ reads, read as the row's symbology (GS1 with its identifier).
std::string Read(const Row& r, const Picture& p) {
    testing::ReadAs how;
    how.format = r.type == Symbology::Code128 || r.type == Symbology::Gs1_128          ? "Code128"
                 : r.type == Symbology::Code39 || r.type == Symbology::Code39FullAscii ? "Code39"
                 : r.type == Symbology::UpcA                                           ? "UPCA"
                 : r.type == Symbology::UpcE                                           ? "UPCE"
                 : r.type == Symbology::Ean13                                          ? "EAN13"
                                                                                       : "EAN8";
    how.fullAscii = r.type == Symbology::Code39FullAscii;
    how.checkCharacter = r.checkDigit;
    const testing::Decoded d = testing::DecodeImage(Pixels(p), how);
    return (r.type == Symbology::Gs1_128 ? d.identifier : "") + d.bytes;
}

std::string Expected(const Row& r, const Symbol& s) {
    return (r.type == Symbology::Gs1_128 ? "]C1" : "") + s.reading;
}

TEST(SymbolTable, ModulesAreZintsAndEveryWidthReadsBack) {
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.text);
        const EncodeResult e = Encode(r.type, r.text, OptionsOf(r));
        ASSERT_TRUE(e) << e.error().message;
        EXPECT_EQ(Hex(e.symbol()), r.zint);
        for (int m = 1; m <= 6; ++m) {
            Options o = OptionsOf(r);
            o.moduleWidth = m;
            o.quietZones = true;
            const RenderResult picture = Render(r.type, r.text, o);
            ASSERT_TRUE(picture) << picture.error().message;
            const Symbol& s = e.symbol();
            EXPECT_EQ(picture.picture().Width() >= (s.columns + s.quietLeft + s.quietRight) * m,
                      true)
                << m;
            EXPECT_EQ(Read(r, picture.picture()), Expected(r, s)) << m;
        }
        // The options alone (the window's look where it has the type): it reads back too.
        const RenderResult plain = Render(r.type, r.text, OptionsOf(r));
        ASSERT_TRUE(plain) << plain.error().message;
        EXPECT_EQ(Read(r, plain.picture()), Expected(r, e.symbol()));
        // The widest module that fits each width with a margin: the next one would not.
        for (const int width : {250, 400, 1000}) {
            Options o = OptionsOf(r);
            o.margin = 7;
            o.fitWidth = Length{double(width), Unit::Pixel};
            o.quietZones = true;
            const RenderResult fitted = Render(r.type, r.text, o);
            if (!fitted) {
                EXPECT_EQ(fitted.error().number, kErrorTooLarge);
                continue;
            }
            EXPECT_LE(fitted.picture().Width(), width);
            o.fitWidth = Length{};
            o.moduleWidth = PictureAccess::Of(fitted.picture()).layout.module + 1;
            EXPECT_GT(Render(r.type, r.text, o).picture().Width(), width);
            EXPECT_EQ(Read(r, fitted.picture()), Expected(r, e.symbol()));
        }
    }
}

// The nominal EAN-13: 0.33 mm at 300 dpi is 4 pixels; bars 22.85 mm (69.24 modules), guards 5
// modules longer.
TEST(SymbolTable, Ean13AtItsNominalSizeKeepsTheStandardsProportions) {
    Options o;
    o.dpi = 300;
    o.module = Length{0.33, Unit::Millimetre};
    o.caption = CaptionPosition::None;
    const RenderResult r = Render(Symbology::Ean13, "5901234123457", o);
    ASSERT_TRUE(r) << r.error().message;
    const Image p = Pixels(r.picture());
    const auto dark = [&](int x, int y) { return (p.At(x, y) & 0xFFFFFF) == 0; };
    int guardX = 0;
    while (!dark(guardX, 0))
        ++guardX;
    int dataX = guardX + 3 * 4; // the first data digit begins with a space
    while (!dark(dataX, 0))
        ++dataX;
    int bars = 0, guards = 0;
    while (bars < p.height && dark(dataX, bars))
        ++bars;
    while (guards < p.height && dark(guardX, guards))
        ++guards;
    EXPECT_EQ(bars, 277);
    EXPECT_EQ(guards, 297);
    EXPECT_EQ(guardX, 0);
    EXPECT_EQ(p.width, 95 * 4);
}

TEST(SymbolTable, NoCaptionChangesEveryPicture) {
    for (const Row& r : kRows) {
        Options o = OptionsOf(r);
        const RenderResult with = Render(r.type, r.text, o);
        o.caption = CaptionPosition::None;
        const RenderResult without = Render(r.type, r.text, o);
        ASSERT_TRUE(with && without) << r.text;
        EXPECT_FALSE(Pixels(with.picture()) == Pixels(without.picture())) << r.text;
    }
}

// A picture is the same whatever the thread painted before it, on any number of threads.
TEST(SymbolTable, PicturesDoNotDependOnTheThreadsEarlierWork) {
    const auto render = [](const Row& r) {
        Options o = OptionsOf(r);
        o.moduleWidth = 2;
        return Pixels(Render(r.type, r.text, o).picture());
    };
    std::vector<Image> reference;
    for (const Row& r : kRows) {
        Image fresh;
        std::thread([&] { fresh = render(r); }).join();
        reference.push_back(std::move(fresh));
    }
    // EAN-13 then GS1-128 on one thread: the GS1-128 as in a fresh thread.
    EXPECT_TRUE(render(kRows[11]).width > 0);
    EXPECT_TRUE(render(kRows[4]) == reference[4]);
    std::vector<int> wrong(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i) {
                const std::size_t k = std::size_t(i * 7 + t) % std::size(kRows);
                if (!(render(kRows[k]) == reference[k]))
                    ++wrong[std::size_t(t)];
            }
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

// The painter's layout: long bars where the symbology has them, the caption's gap kept clear
// above or below the bars, a 2D symbol's modules pixel for pixel inside its quiet zone, the
// pixel limit exact, and the contrast limit at its edge.
TEST(SymbolTable, LongBarsGapsModulesAndLimits) {
    // The long bars' dark modules: the guards (2 + 2 + 2, UPC-E 2 + 3) and UPC-A's first and
    // last digit (0: 3 modules, 2: 4).
    const struct {
        Symbology type;
        const char* text;
        long longModules;
    } longs[] = {{Symbology::UpcA, "03600029145", 13},
                 {Symbology::Ean13, "590123412345", 6},
                 {Symbology::Ean8, "5901234", 6},
                 {Symbology::UpcE, "123456", 5},
                 {Symbology::Code128, "AB", 0}};
    for (const auto& l : longs) {
        const EncodeResult e = Encode(l.type, l.text);
        ASSERT_TRUE(e) << l.text;
        const std::vector<std::uint8_t>& bars = e.symbol().longBars;
        EXPECT_EQ(std::count(bars.begin(), bars.end(), 1), l.longModules) << l.text;
    }
    // Code 128 keeps 4 modules clear between its bars and its caption, below or above.
    for (const CaptionPosition at : {CaptionPosition::Below, CaptionPosition::Above}) {
        Options o;
        o.codeSet = CodeSet::B;
        o.moduleWidth = 3;
        o.caption = at;
        // Ascenders and descenders reach the edges of the text's cell.
        const Image p = Pixels(Render(Symbology::Code128, "bdfghjklpqy", o).picture());
        const int step = at == CaptionPosition::Below ? 1 : -1;
        const auto row = [&](int y) { return p.pixels.data() + std::size_t(y) * p.width; };
        int y = step > 0 ? 0 : p.height - 1;
        const Pixel* barRow = row(y);
        const auto inside = [&] { return y >= 0 && y < p.height; };
        while (inside() && std::equal(barRow, barRow + p.width, row(y)))
            y += step;
        int clear = 0;
        while (inside() &&
               std::all_of(row(y), row(y) + p.width, [](Pixel q) { return (q & 0xFF) > 128; })) {
            ++clear;
            y += step;
        }
        EXPECT_TRUE(inside()) << "no caption";
        EXPECT_GE(clear, 4 * 3) << (step > 0 ? "below" : "above");
    }
    // QR Code at 3 pixels a module: its 4-module quiet zone by default, every module's pixels.
    Options q;
    q.moduleWidth = 3;
    const EncodeResult qr = Encode(Symbology::QrCode, "HELLO", q);
    const RenderResult qrPicture = Render(Symbology::QrCode, "HELLO", q);
    ASSERT_TRUE(qr && qrPicture);
    const Symbol& s = qr.symbol();
    const Image p = Pixels(qrPicture.picture());
    ASSERT_EQ(p.width, (s.columns + 8) * 3);
    ASSERT_EQ(p.height, (s.rows + 8) * 3);
    int wrong = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const int r = y / 3 - 4, c = x / 3 - 4;
            const bool dark = r >= 0 && r < s.rows && c >= 0 && c < s.columns &&
                              s.modules[std::size_t(r * s.columns + c)] != 0;
            wrong += dark != ((p.At(x, y) & 0xFF) < 128);
        }
    EXPECT_EQ(wrong, 0);
    q.noQuietZones = true;
    EXPECT_EQ(Render(Symbology::QrCode, "HELLO", q).picture().Width(), s.columns * 3);
    // The most pixels a layout may have: exactly its own count, not one fewer.
    const quillion::Encoded c39 = quillion::EncodeCode39(u"AB", quillion::EncodeOptions{});
    const auto& symbol = std::get<quillion::Symbol>(c39);
    quillion::PaintSpec spec;
    spec.module = 2;
    const quillion::SymbolLayout whole =
        quillion::LayOutSymbol(symbol, spec, std::int64_t(1) << 40);
    ASSERT_GT(whole.width, 0);
    const std::int64_t area = std::int64_t(whole.width) * whole.height;
    EXPECT_EQ(quillion::LayOutSymbol(symbol, spec, area).width, whole.width);
    EXPECT_EQ(quillion::LayOutSymbol(symbol, spec, area - 1).width, 0);
    // Grey CBCBCB on white has 40.3% luminance contrast (ISO/IEC 15416 grade C: 40%): taken;
    // CCCCCC has 39.6%: refused.
    Options grey;
    grey.foreground = {203, 203, 203, 255};
    EXPECT_TRUE(Render(Symbology::Code39, "AB", grey));
    grey.foreground = {204, 204, 204, 255};
    const RenderResult refused = Render(Symbology::Code39, "AB", grey);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().number, kErrorArgument);
    // The QR mask at its limit is taken; past it the options check names the range.
    Options masked;
    masked.mask = 7;
    EXPECT_TRUE(Render(Symbology::QrCode, "AB", masked));
    masked.mask = 8;
    const RenderResult badMask = Render(Symbology::QrCode, "AB", masked);
    ASSERT_FALSE(badMask);
    EXPECT_EQ(badMask.error().message,
              "the QR Code mask must be 0 to 7 (-1: by the penalty rules)");
    // A picture painted small but too many pixels once scaled: refused before it is scaled.
    Options tall;
    tall.moduleWidth = 10;
    tall.barHeight = 4000;
    tall.scale = 20;
    const RenderResult scaled = Render(Symbology::Code128, "AB", tall);
    ASSERT_FALSE(scaled);
    EXPECT_EQ(scaled.error().number, kErrorTooLarge);
}

// The symbol's SVG draws exactly the picture's dark pixels: its boxes, moved by the margin's
// translation, cover every dark pixel and nothing else.
TEST(SymbolTable, SvgBoxesAreThePicturesDarkPixels) {
    Options o;
    o.codeSet = CodeSet::Auto;
    o.moduleWidth = 2;
    o.caption = CaptionPosition::None;
    o.margin = 5;
    const RenderResult r = Render(Symbology::Code128, "Quillion-42", o);
    ASSERT_TRUE(r) << r.error().message;
    const std::vector<std::uint8_t> bytes = EncodeSvg(r.picture());
    const std::string svg(bytes.begin(), bytes.end());
    int dx = 0, dy = 0;
    if (const std::size_t g = svg.find("<g transform=\"translate("); g != std::string::npos) {
        EXPECT_EQ(std::sscanf(svg.c_str() + g, "<g transform=\"translate(%d %d)", &dx, &dy), 2);
    }
    const Image p = Pixels(r.picture());
    std::vector<int> covered(std::size_t(p.width) * std::size_t(p.height), 0);
    const std::size_t path = svg.find("<path d=\"");
    ASSERT_NE(path, std::string::npos);
    int x0 = 0, y0 = 0, w = 0, h = 0, used = 0;
    for (const char* at = svg.c_str() + path + 9;
         std::sscanf(at, "M%d %dh%dv%dh%*dz%n", &x0, &y0, &w, &h, &used) == 4; at += used)
        for (int y = y0 + dy; y < y0 + dy + h; ++y)
            for (int x = x0 + dx; x < x0 + dx + w; ++x)
                if (x >= 0 && y >= 0 && x < p.width && y < p.height)
                    ++covered[std::size_t(y) * std::size_t(p.width) + std::size_t(x)];
    int wrong = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            wrong += covered[std::size_t(y) * std::size_t(p.width) + std::size_t(x)] !=
                     ((p.At(x, y) & 0xFF) < 128 ? 1 : 0);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(dx, 5);
}

} // namespace
} // namespace quillion::api

namespace quillion::api {
namespace {

// The printed digits of EAN-13 stand under their own seven modules, the leading one in the
// light margin; turns reach the C interface and SVG; the documented maxima are accepted.
TEST(SymbolTable, DigitsUnderTheirBarsTurnsAndMaxima) {
    Options o;
    o.moduleWidth = 4;
    const RenderResult r = Render(Symbology::Ean13, "5901234123457", o);
    ASSERT_TRUE(r) << r.error().message;
    const Picture::Detail& d = PictureAccess::Of(r.picture());
    const Image& p = d.Pixels();
    const int below = d.layout.y0 + d.layout.barHeight + d.layout.guardHeight;
    std::vector<std::pair<int, int>> inks; // columns of each digit's ink, left to right
    for (int x = 0; x < p.width; ++x) {
        bool ink = false;
        for (int y = below; y < p.height && !ink; ++y)
            ink = (p.At(x, y) & 0xFFFFFF) != 0xFFFFFF;
        if (ink && (inks.empty() || inks.back().second != x - 1))
            inks.emplace_back(x, x);
        else if (ink)
            inks.back().second = x;
    }
    ASSERT_EQ(inks.size(), 13u);
    EXPECT_LT(inks[0].second, d.layout.x0); // the leading digit left of the guard
    for (int i = 1; i < 13; ++i) {
        const int start = d.layout.x0 + 4 * (3 + 7 * (i - 1) + (i > 6 ? 5 : 0));
        EXPECT_GE(inks[std::size_t(i)].first, start) << i;
        EXPECT_LT(inks[std::size_t(i)].second, start + 4 * 7) << i;
    }

    quillion_options c;
    quillion_options_init(&c);
    quillion_result* flat = quillion_render(QUILLION_EAN13, "5901234123457", &c);
    c.rotation = 270;
    quillion_result* turned = quillion_render(QUILLION_EAN13, "5901234123457", &c);
    EXPECT_EQ(quillion_width(turned), quillion_height(flat));
    EXPECT_EQ(quillion_height(turned), quillion_width(flat));
    quillion_result* svg = quillion_encode(turned, QUILLION_SVG, 0);
    size_t size = 0;
    const unsigned char* bytes = quillion_bytes(svg, &size);
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    // Turned about the corner and moved back onto the canvas by the unturned width.
    EXPECT_NE(text.find("translate(0 " + std::to_string(quillion_width(flat)) + ") rotate(270)"),
              std::string::npos);
    quillion_free(svg);
    quillion_free(turned);
    quillion_free(flat);

    Options most;
    most.moduleWidth = kMaxModuleWidth;
    most.barHeight = kMaxBarHeight;
    most.caption = CaptionPosition::None;
    const RenderResult big = Render(Symbology::Code128, "A", most);
    ASSERT_TRUE(big) << big.error().message;
    EXPECT_EQ(big.picture().Height(), kMaxBarHeight);
}

} // namespace
} // namespace quillion::api
