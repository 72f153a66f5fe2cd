// Options set by name and text, as quillion-render's options are written: how programs in other
// languages (and quillion_options_set) set them without knowing the struct's layout.
#include "label_size.h"
#include "quillion/quillion.hpp"
#include "runtime/plain_math.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace quillion::api {
namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c == '_' ? '-' : c;
    return lower;
}

Error Bad(std::string_view name, std::string_view value, std::string_view takes) {
    return Error{kErrorArgument, "the option " + std::string(name) + " takes " +
                                     std::string(takes) + ", not \"" + std::string(value) + "\""};
}

bool Flag(std::string_view v, bool& out) {
    const std::string l = Lower(v);
    if (l == "1" || l == "true" || l == "yes" || l == "on")
        out = true;
    else if (l == "0" || l == "false" || l == "no" || l == "off")
        out = false;
    else
        return false;
    return true;
}

bool Whole(std::string_view v, int lo, int hi, int& out) {
    int n = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (ec != std::errc() || end != v.data() + v.size() || n < lo || n > hi)
        return false;
    out = n;
    return true;
}

// Looks a word up in names; its index.
template <std::size_t N>
bool Word(std::string_view v, const std::array<std::string_view, N>& names, int& out) {
    const std::string l = Lower(v);
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == l) {
            out = int(i);
            return true;
        }
    return false;
}

// A length in pixels (whole) goes to pixels; any other to the length field.
bool SizeOption(std::string_view v, int maxPixels, int& pixels, Length& length) {
    const std::optional<quillion::Length> l = ParseLength(v);
    if (!l || l->value <= 0)
        return false;
    if (l->unit == LengthUnit::Pixel) {
        if (l->value > maxPixels)
            return false;
        pixels = int(l->value);
        length = Length{};
    } else {
        length = Length{l->value, Unit(int(l->unit))};
        pixels = 0;
    }
    return true;
}

Colour ToColour(std::uint32_t p) {
    return {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p), std::uint8_t(p >> 24)};
}

} // namespace

Error SetOption(Options& o, std::string_view rawName, std::string_view v) {
    const std::string name = Lower(rawName);
    bool flag = false;
    int n = 0;
    const auto done = [] { return Error{}; };
    if (name == "caption") {
        if (Flag(v, flag)) {
            o.caption = flag ? CaptionPosition::Below : CaptionPosition::None;
            return done();
        }
        if (Word(v, std::array<std::string_view, 3>{"none", "below", "above"}, n)) {
            o.caption = CaptionPosition(n);
            return done();
        }
        return Bad(name, v, "none, below, above, 1 or 0");
    }
    if (name == "no-caption" && Flag(v, flag)) {
        o.caption = flag ? CaptionPosition::None : CaptionPosition::Below;
        return done();
    }
    if (name == "position" &&
        Word(v, std::array<std::string_view, 4>{"bottom", "top", "below", "above"}, n)) {
        o.caption = n % 2 == 0 ? CaptionPosition::Below : CaptionPosition::Above;
        return done();
    }
    if (name == "style" && Word(v,
                                std::array<std::string_view, 5>{"regular", "bold", "italic",
                                                                "bolditalic", "underline"},
                                n)) {
        o.captionStyle = CaptionStyle(n);
        return done();
    }
    if (name == "module-width" && SizeOption(v, kMaxModuleWidth, o.moduleWidth, o.module))
        return done();
    if (name == "height" && SizeOption(v, kMaxBarHeight, o.barHeight, o.height))
        return done();
    if (name == "fit-width") {
        const std::optional<quillion::Length> l = ParseLength(v);
        if (l && l->value > 0) {
            o.fitWidth = Length{l->value, Unit(int(l->unit))};
            return done();
        }
    }
    if ((name == "quiet-zones" || name == "no-quiet-zones") && Flag(v, flag)) {
        (name == "quiet-zones" ? o.quietZones : o.noQuietZones) = flag;
        return done();
    }
    if (name == "margin" && Whole(v, 0, kMaxMargin, n)) {
        o.margin = n;
        return done();
    }
    if (name == "fg" || name == "foreground" || name == "bg" || name == "background") {
        const bool fg = name == "fg" || name == "foreground";
        if (const auto colour = ParseColour(v, !fg)) {
            (fg ? o.foreground : o.background) = ToColour(*colour);
            return done();
        }
        return Bad(name, v, fg ? "a colour RRGGBB or RRGGBBAA" : "RRGGBB, RRGGBBAA or transparent");
    }
    if ((name == "rotate" || name == "rotation") && Whole(v, 0, 270, n) && n % 90 == 0) {
        o.rotation = n;
        return done();
    }
    if (name == "scale" && Whole(v, 1, kMaxScale, n)) {
        o.scale = n;
        return done();
    }
    if (name == "dpi") {
        double d = 0;
        const auto [end, ec] = ReadDecimal(v.data(), v.data() + v.size(), d);
        if (ec == std::errc() && end == v.data() + v.size() && d > 0 && d <= 100000) {
            o.dpi = d;
            return done();
        }
    }
    if (name == "code-set" && Word(v, std::array<std::string_view, 2>{"b", "auto"}, n)) {
        o.codeSet = CodeSet(n);
        return done();
    }
    struct FlagField {
        std::string_view name;
        bool Options::*field;
        bool inverted;
    };
    for (const FlagField f :
         {FlagField{"check-digit", &Options::checkDigit, false},
          FlagField{"window-stand-ins", &Options::windowStandIns, false},
          FlagField{"keep-ecc", &Options::keepEcc, false},
          FlagField{"square", &Options::dmSquare, false},
          FlagField{"dmre", &Options::dmRectExtensions, false},
          FlagField{"eci", &Options::eci, false}, FlagField{"no-eci", &Options::eci, true}})
        if (name == f.name) {
            if (!Flag(v, flag))
                return Bad(name, v, "1 or 0");
            o.*f.field = flag != f.inverted;
            return done();
        }
    if (name == "ecc" && Word(v, std::array<std::string_view, 4>{"l", "m", "q", "h"}, n)) {
        o.ecc = Ecc(n);
        return done();
    }
    if (name == "qr-version" && Whole(v, 0, 40, n)) {
        o.qrVersion = n;
        return done();
    }
    if (name == "mask" && Whole(v, -1, 7, n)) {
        o.mask = n;
        return done();
    }
    if (name == "dm-size") {
        const std::size_t x = Lower(v).find('x');
        int rows = 0, columns = 0;
        if (x != std::string::npos && Whole(v.substr(0, x), 1, 144, rows) &&
            Whole(v.substr(x + 1), 1, 144, columns)) {
            o.dmRows = rows;
            o.dmColumns = columns;
            return done();
        }
    }
    static constexpr std::array<std::string_view, 22> kKnown = {
        "caption",   "no-caption",   "position",
        "style",     "module-width", "height",
        "fit-width", "quiet-zones",  "no-quiet-zones",
        "margin",    "fg",           "bg",
        "rotate",    "scale",        "dpi",
        "code-set",  "check-digit",  "window-stand-ins",
        "ecc",       "qr-version",   "mask",
        "dm-size"};
    for (const std::string_view known : kKnown)
        if (known == name)
            return Bad(name, v, "another value (see quillion-render --help)");
    return Error{kErrorArgument, "unknown option \"" + std::string(rawName) + "\""};
}

} // namespace quillion::api
