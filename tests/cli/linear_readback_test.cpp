// The types and options the window has not, read back by ZXing-C++: for each, 200 random valid
// texts rendered to PNG (decoded with libpng) and SVG (its rectangles drawn), at 1 and 2 pixels
// per module (scale 2; Code 128 and GS1-128 also with 2-pixel modules and a margin), must read as
// exactly what the text stands for. The expected readings are worked out here from the text,
// not by the renderer's own code.
#define ZX_USE_UTF8
#include "quillion/quillion.hpp"

#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <random>

namespace quillion::cli {
namespace {

constexpr int kTexts = 200;

struct Reading {
    std::string bytes;
    std::string identifier; // "]C1" ...
};

// A grey picture with `margin` white pixels added all round (the Code 128 and Code 39 pictures
// have no quiet zones).
struct Grey {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
};

Reading Read(const Grey& g, ZXing::BarcodeFormat format, bool fullAscii, bool checkCharacter) {
    if (g.pixels.empty())
        return {"(no picture)", ""};
    ZXing::DecodeHints hints;
    hints.setFormats(format);
    hints.setTryHarder(false);
    hints.setTryRotate(false);
    hints.setTryCode39ExtendedMode(fullAscii);
    hints.setValidateCode39CheckSum(checkCharacter);
    // One pixel a module is below what the local-average binarizer resolves in a small
    // matrix symbol; the picture is black and white, so a fixed threshold reads it as it is.
    if (format == ZXing::BarcodeFormat::QRCode || format == ZXing::BarcodeFormat::DataMatrix) {
        hints.setBinarizer(ZXing::Binarizer::FixedThreshold);
        hints.setTryHarder(true);
    }
    const auto r =
        ZXing::ReadBarcode({g.pixels.data(), g.width, g.height, ZXing::ImageFormat::Lum}, hints);
    if (!r.isValid())
        return {"(nothing)", ""};
    return {std::string(r.bytes().begin(), r.bytes().end()), r.symbologyIdentifier()};
}

Grey WithMargin(int width, int height, int margin, const std::function<bool(int, int)>& dark) {
    Grey g{width + 2 * margin, height + 2 * margin, {}};
    g.pixels.assign(std::size_t(g.width) * std::size_t(g.height), 255);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (dark(x, y))
                g.pixels[std::size_t(y + margin) * std::size_t(g.width) + std::size_t(x + margin)] =
                    0;
    return g;
}

Grey FromPng(const std::vector<std::uint8_t>& bytes, int margin) {
    if (bytes.empty())
        return {};
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return {};
    image.format = PNG_FORMAT_GRAY;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return {};
    const int w = int(image.width);
    return WithMargin(w, int(image.height), margin, [&](int x, int y) {
        return pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)] < 128;
    });
}

// The SVG's rectangles (the bars; its text elements are left out) drawn at `scale` pixels per
// user unit (what its width and height attributes ask at --scale).
Grey FromSvg(const std::vector<std::uint8_t>& bytes, int scale, int margin) {
    const std::string svg(bytes.begin(), bytes.end());
    int width = 0, height = 0;
    if (std::sscanf(svg.c_str() + std::min(svg.find("viewBox=\""), svg.size()),
                    "viewBox=\"0 0 %d %d\"", &width, &height) != 2)
        return {};
    std::vector<std::uint8_t> dark(std::size_t(width) * std::size_t(height) * scale * scale, 0);
    const int w = width * scale, h = height * scale;
    for (std::size_t at = svg.find("<rect "); at != std::string::npos;
         at = svg.find("<rect ", at + 1)) {
        // <rect x="X" y="Y" width="W" height="H" fill="#RRGGBB"/>
        int v[4] = {};
        const char* p = svg.data() + at;
        const char* end = svg.data() + svg.size();
        for (int& n : v) {
            p = std::find(p, end, '"') + 1;
            p = std::from_chars(p, end, n).ptr + 1;
        }
        const std::string_view fill(std::find(p, end, '#'), 7);
        int x = v[0], y = v[1], rw = v[2], rh = v[3];
        const std::uint8_t on = fill == "#000000" ? 1 : 0;
        x *= scale, y *= scale, rw *= scale, rh *= scale;
        for (int yy = std::max(y, 0); yy < std::min(y + rh, h); ++yy)
            for (int xx = std::max(x, 0); xx < std::min(x + rw, w); ++xx)
                dark[std::size_t(yy) * std::size_t(w) + std::size_t(xx)] = on;
    }
    // <path d="MX YhWvHh-Wz..." fill="#000000"/>: one rectangle per subpath.
    for (std::size_t at = svg.find("<path d=\""); at != std::string::npos;
         at = svg.find("<path d=\"", at + 1)) {
        const char* p = svg.data() + at + 9;
        const char* end = svg.data() + svg.find('"', at + 9);
        while (p < end && *p == 'M') {
            int v[5] = {};
            for (int& n : v)
                p = std::from_chars(p + 1, end, n).ptr;
            p = std::find(p, end, 'z') + 1;
            const int x = v[0] * scale, y = v[1] * scale, rw = v[2] * scale, rh = v[3] * scale;
            for (int yy = std::max(y, 0); yy < std::min(y + rh, h); ++yy)
                for (int xx = std::max(x, 0); xx < std::min(x + rw, w); ++xx)
                    dark[std::size_t(yy) * std::size_t(w) + std::size_t(xx)] = 1;
        }
    }
    return WithMargin(w, h, margin, [&](int x, int y) {
        return dark[std::size_t(y) * std::size_t(w) + std::size_t(x)] != 0;
    });
}

// One random text (UTF-8) and what a reader must report for it.
struct Case {
    std::string text;
    std::string reading;
};

using Maker = std::function<Case(std::mt19937&)>;

int Pick(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

std::string Digits(std::mt19937& rng, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += char('0' + Pick(rng, 0, 9));
    return s;
}

char CheckDigit(const std::string& digits) {
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i)
        sum += (digits[digits.size() - 1 - i] - '0') * (i % 2 == 0 ? 3 : 1);
    return char('0' + (10 - sum % 10) % 10);
}

std::string Latin1(const std::string& bytes) {
    std::string s;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            s += c;
        } else {
            s += char(0xC0 | (u >> 6));
            s += char(0x80 | (u & 0x3F));
        }
    }
    return s;
}

Maker Ean(int length) {
    return [length](std::mt19937& rng) {
        std::string d = Digits(rng, length - 1);
        const std::string full = d + CheckDigit(d);
        return Case{Latin1(Pick(rng, 0, 1) ? full : d), full};
    };
}

// Runs of digits, letters, punctuation, controls and ISO 8859-1 beyond ASCII, mixed.
Case MixedCode128(std::mt19937& rng, bool controls, bool beyondAscii) {
    std::string s;
    const int runs = Pick(rng, 1, 5);
    for (int r = 0; r < runs; ++r) {
        const int kind = Pick(rng, 0, 4), n = Pick(rng, 1, 8);
        for (int i = 0; i < n; ++i) {
            int c = 0;
            switch (kind) {
            case 0:
                c = Pick(rng, '0', '9');
                break;
            case 1:
                c = Pick(rng, 'A', 'Z');
                break;
            case 2:
                c = Pick(rng, 32, 126);
                break;
            case 3:
                c = controls ? Pick(rng, 1, 31) : Pick(rng, 'a', 'z');
                break;
            default:
                c = beyondAscii ? Pick(rng, 128, 255) : Pick(rng, '0', '9');
                break;
            }
            // The window's FNC stand-ins keep their meaning in set B.
            if (!controls &&
                (c == 0xB9 || c == 0xB2 || c == 0xB3 || c == 0xBC || (c < 160 && c > 126)))
                c = 0xE9;
            s += char(c);
        }
    }
    return {Latin1(s), s};
}

const char kSet82[] =
    "!\"%&'*+,-./0123456789:;<=>?ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz";

// A GTIN and up to three other elements that may go with it (GS1's mandatory associations and
// invalid pairs), each AI once, at most 48 data characters; GS after every element of a length
// not predefined, but the last.
Case Gs1(std::mt19937& rng) {
    std::string data = Digits(rng, 13);
    data += CheckDigit(data);
    std::string bracketed = "(01)" + data, reading = "01" + data;
    std::vector<int> kinds = {0, 1, 2, 3, 4, 5, 6};
    std::shuffle(kinds.begin(), kinds.end(), rng);
    kinds.resize(std::size_t(Pick(rng, 0, 3)));
    bool separate = false; // the previous element's length is not predefined
    std::size_t chars = 16;
    for (const int kind : kinds) {
        std::string ai;
        bool fixed = true;
        const auto alnum = [&](int max) {
            std::string s;
            for (int i = Pick(rng, 1, max); i > 0; --i)
                s += kSet82[Pick(rng, 0, int(sizeof kSet82) - 2)];
            return s;
        };
        switch (kind) {
        case 0:
            ai = std::string("1") + "1357"[Pick(rng, 0, 3)];
            data = Digits(rng, 2) + "0" + char('1' + Pick(rng, 0, 8)) +
                   std::to_string(10 + Pick(rng, 0, 18));
            break;
        case 1:
            ai = "3103";
            data = Digits(rng, 6);
            break;
        case 2:
            ai = "41" + std::to_string(Pick(rng, 0, 4));
            data = Digits(rng, 12);
            data += CheckDigit(data);
            break;
        case 3:
            ai = "10";
            data = alnum(6);
            fixed = false;
            break;
        case 4:
            ai = "21";
            data = alnum(6);
            fixed = false;
            break;
        case 5:
            ai = "30";
            data = Digits(rng, Pick(rng, 1, 4));
            fixed = false;
            break;
        default:
            ai = "400";
            data = alnum(6);
            fixed = false;
            break;
        }
        if (chars + ai.size() + data.size() > 48)
            continue; // GS1-128 holds 48 data characters
        chars += ai.size() + data.size();
        if (separate)
            reading += '\x1D';
        bracketed += "(" + ai + ")" + data;
        reading += ai + data;
        separate = !fixed;
    }
    return {Latin1(bracketed), reading};
}

Case Code39Text(std::mt19937& rng) {
    const char set[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-. $/+%";
    std::string s, upper;
    for (int i = Pick(rng, 1, 20); i > 0; --i) {
        const char c = set[Pick(rng, 0, int(sizeof set) - 2)];
        s += c;
        upper += char(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    return {Latin1(s), upper};
}

Case FullAscii(std::mt19937& rng) {
    std::string s;
    for (int i = Pick(rng, 1, 20); i > 0; --i)
        s += char(Pick(rng, 0, 127));
    return {Latin1(s), s};
}

// A text for a 2D symbol: digits, letters, ISO 8859-1, UTF-8 beyond it (Cyrillic, CJK, emoji),
// or a GS1 element string; what a reader reports is what the encoder says it wrote (ISO 8859-1,
// Shift JIS or UTF-8 bytes).
Maker Any2D(api::Symbology symbology, bool gs1) {
    return [=](std::mt19937& rng) {
        std::string text;
        if (gs1) {
            text = Gs1(rng).text;
        } else {
            static const char* const kPieces[] = {"0123456789", "HELLO WORLD ", "https://", "q=7&x",
                                                  "Gr\u00FC\u00DFe ", "\u00E9\u00E8",
                                                  "\u041A\u0438\u0457\u0432", "\u6F22\u5B57",
                                                  "\U0001F600", "a.b/c-d", "\u00C3\u00A9"};
            for (int i = Pick(rng, 1, 8); i > 0; --i)
                text += kPieces[Pick(rng, 0, int(std::size(kPieces)) - 1)];
            text += Digits(rng, Pick(rng, 0, 12));
        }
        const api::EncodeResult e = api::Encode(symbology, text);
        return Case{text, e ? e.symbol().reading : "(" + e.error().message + ")"};
    };
}

struct TypeRow {
    const char* name;
    api::Symbology symbology;
    api::Options options;
    Maker make;
    ZXing::BarcodeFormat format;
    std::string identifier; // "" when any
    bool fullAscii = false;
    int texts = kTexts;
};

api::Options Module(int moduleWidth) {
    api::Options o;
    o.moduleWidth = moduleWidth;
    o.caption = api::CaptionPosition::None; // the symbol alone (GS1's text is tested elsewhere)
    return o;
}

api::Options With(api::CodeSet set, bool checkDigit = false, int moduleWidth = 0) {
    api::Options o;
    o.codeSet = set;
    o.checkDigit = checkDigit;
    o.moduleWidth = moduleWidth; // > 1: painted with the caller's sizes, not the window's request
    o.margin = moduleWidth > 1 ? 5 : 0;
    return o;
}

TEST(LinearTypes, RandomTextsReadBackFromPngAndSvgAtOneAndTwoPixelsPerModule) {
    using F = ZXing::BarcodeFormat;
    using S = api::Symbology;
    const api::Options plain;
    const TypeRow rows[] = {
        {"ean13", S::Ean13, plain, Ean(13), F::EAN13, "]E0"},
        {"ean8", S::Ean8, plain, Ean(8), F::EAN8, "]E4"},
        {"code128 auto", S::Code128, With(api::CodeSet::Auto),
         [](std::mt19937& rng) { return MixedCode128(rng, true, true); }, F::Code128, "]C0"},
        {"code128 b", S::Code128, plain,
         [](std::mt19937& rng) { return MixedCode128(rng, false, true); }, F::Code128, "]C0"},
        {"gs1-128", S::Gs1_128, plain, Gs1, F::Code128, "]C1"},
        {"code128 auto 2px", S::Code128, With(api::CodeSet::Auto, false, 2),
         [](std::mt19937& rng) { return MixedCode128(rng, true, true); }, F::Code128, "]C0"},
        {"gs1-128 2px", S::Gs1_128, With(api::CodeSet::B, false, 2), Gs1, F::Code128, "]C1"},
        {"code39 check", S::Code39, With(api::CodeSet::B, true), Code39Text, F::Code39, ""},
        {"code39-full", S::Code39FullAscii, plain, FullAscii, F::Code39, "", true},
        {"code39-full check", S::Code39FullAscii, With(api::CodeSet::B, true), FullAscii, F::Code39,
         "", true},
        // 2D: 1 and 2 pixels a module (2,000 texts), 4 and 8 (500); Data Matrix from 2 (neither
        // ZXing-C++ 1.4 nor libdmtx reads one-pixel Data Matrix modules).
        {"qr", S::QrCode, Module(1), Any2D(S::QrCode, false), F::QRCode, "", false, 2000},
        {"qr 4px", S::QrCode, Module(4), Any2D(S::QrCode, false), F::QRCode, "", false, 500},
        {"gs1-qr", S::Gs1QrCode, Module(1), Any2D(S::Gs1QrCode, true), F::QRCode, "]Q3", false,
         500},
        {"datamatrix", S::DataMatrix, Module(2), Any2D(S::DataMatrix, false), F::DataMatrix, "",
         false, 2000},
        {"datamatrix 4px", S::DataMatrix, Module(4), Any2D(S::DataMatrix, false), F::DataMatrix,
         "", false, 500},
        {"gs1-datamatrix", S::Gs1DataMatrix, Module(2), Any2D(S::Gs1DataMatrix, true),
         F::DataMatrix, "]d2", false, 500},
    };
    std::mt19937 rng(20261207);
    for (const TypeRow& row : rows) {
        int failures = 0;
        for (int i = 0; i < row.texts && failures < 5; ++i) {
            const Case c = row.make(rng);
            SCOPED_TRACE(std::string(row.name) + " #" + std::to_string(i));
            api::Options o = row.options;
            const api::RenderResult one = api::Render(row.symbology, c.text, o);
            ASSERT_TRUE(one) << one.error().message;
            o.scale = 2;
            const api::RenderResult two = api::Render(row.symbology, c.text, o);
            ASSERT_TRUE(two) << two.error().message;
            const std::vector<std::uint8_t> svg = api::EncodeSvg(one.picture());
            const Grey pictures[] = {FromPng(api::EncodePng(one.picture()), 10),
                                     FromPng(api::EncodePng(two.picture()), 20),
                                     FromSvg(svg, 1, 10), FromSvg(svg, 2, 20)};
            for (const Grey& grey : pictures) {
                const Reading r = Read(grey, row.format, row.fullAscii, row.options.checkDigit);
                const bool ok = r.bytes == c.reading &&
                                (row.identifier.empty() || r.identifier == row.identifier);
                failures += !ok;
                EXPECT_TRUE(ok) << "picture " << (&grey - pictures) << ": read [" << r.bytes << "] "
                                << r.identifier << ", want [" << c.reading << "]";
            }
        }
    }
}

} // namespace
} // namespace quillion::cli
