#include "symbols/bar39.h"

#include "runtime/ansi.h"
#include "runtime/runtime.h"
#include "runtime/upper_case.h"
#include "symbols/code39_patterns.h"
#include "symbols/code39_symbol.h"

#include <cstdint>
#include <span>
#include <string>

namespace quillion {

namespace {

// Sets the drawable width to widthPx by scaling the outer width (in the container's unit) with
// the ratio of the wanted to the present drawable width. A surface that has no drawable width
// gives no ratio (0 / 0); as it has no border, its outer width then is the drawable width
// converted to the container's unit.
void ScaleOuterWidthTo(DrawingSurface& surface, double widthPx) {
    const double scaleWidth = surface.ScaleWidth();
    if (scaleWidth > 0.0) {
        surface.SetOuterWidth(surface.OuterWidth() * widthPx / scaleWidth);
    } else {
        const bool twips = surface.ContainerScaleMode() == ScaleMode::Twips;
        surface.SetOuterWidth(twips ? widthPx * kTwipsPerPixel : widthPx);
    }
}

// The same for the drawable height.
void ScaleOuterHeightTo(DrawingSurface& surface, double heightPx) {
    const double scaleHeight = surface.ScaleHeight();
    if (scaleHeight > 0.0) {
        surface.SetOuterHeight(surface.OuterHeight() * heightPx / scaleHeight);
    } else {
        const bool twips = surface.ContainerScaleMode() == ScaleMode::Twips;
        surface.SetOuterHeight(twips ? heightPx * kTwipsPerPixel : heightPx);
    }
}

// The code that selects a character's pattern: its Windows-1252 byte, 0 (empty pattern) above
// the table.
int PatternCode(char16_t c) {
    const int code = static_cast<unsigned char>(ToAnsiChar(c));
    return code > kCode39MaxCode ? 0 : code;
}

// Paints boxes strictly left to right from x; each box starts on the column where the previous
// one ended, so the next box overpaints the shared column and every element keeps its width.
// A bar is one box; a space is one narrow box per module.
class Code39Painter {
public:
    Code39Painter(DrawingSurface& surface, float x, float y1, float y2, int narrow)
        : surface_(surface), x_(x), y1_(y1), y2_(y2), narrow_(static_cast<float>(narrow)) {}

    // The runs of a symbol, a bar first.
    void Runs(std::span<const std::uint8_t> runs) {
        bool bar = true;
        for (const std::uint8_t modules : runs) {
            if (bar)
                Box(static_cast<float>(modules) * narrow_, kBlack);
            else
                for (std::uint8_t i = 0; i < modules; ++i)
                    Space();
            bar = !bar;
        }
    }
    void Space() { Box(narrow_, kWhite); }
    float X() const { return x_; }

private:
    void Box(float width, COLORREF color) {
        surface_.FillBox(x_, y1_, x_ + width, y2_, color);
        x_ += width;
    }

    DrawingSurface& surface_;
    float x_;
    const float y1_;
    const float y2_;
    const float narrow_;
};

} // namespace

void DrawCode39(std::u16string_view text, DrawingSurface& surface, const SymbolLook& look,
                std::u16string_view caption) {
    if (text.empty()) {
        surface.Cls();
        return;
    }
    const std::u16string upper = ToUpperCase(text);
    const std::u16string printed = caption.empty() ? upper : std::u16string(caption);

    surface.SetScaleMode(ScaleMode::Pixels);
    surface.Cls();
    surface.ClearPicture();

    std::int16_t narrow = CInt(surface.ScaleHeight() / 40.0);
    if (narrow < 1)
        narrow = 1;
    float textHeight = static_cast<float>(surface.TextHeight(printed));
    float textWidth = static_cast<float>(surface.TextWidth(printed));
    double captionBand = look.caption ? 1.5 * textHeight : 0.0;
    if (!look.IsUsual()) {
        const std::int16_t usualNarrow = narrow;
        if (look.moduleWidth > 0)
            narrow = To16(look.moduleWidth);
        const double usualBars = surface.ScaleHeight() - 1.5 * textHeight;
        // A wider module makes the whole symbol larger, its caption with it.
        surface.SetFontSize(surface.Font().size * narrow / usualNarrow);
        textHeight = static_cast<float>(surface.TextHeight(printed));
        textWidth = static_cast<float>(surface.TextWidth(printed));
        captionBand = look.caption ? 1.5 * textHeight : 0.0;
        const double bars = look.barHeight > 0 ? look.barHeight : usualBars * narrow / usualNarrow;
        ScaleOuterHeightTo(surface, bars + captionBand);
    }

    const float y1 = static_cast<float>(surface.ScaleTop());
    const float y2 = static_cast<float>(surface.ScaleTop() + surface.ScaleHeight() - captionBand);

    // Room before painting: 16.5 narrow widths per framed character (a character takes 13).
    // A text too long for the surface fails here with error 6, before anything is painted.
    const double framedLength = static_cast<double>(upper.size()) + 2.0;
    ScaleOuterWidthTo(surface, framedLength * 1.1 * Mul16(15, narrow));

    // The bars of the start character, of every character with a pattern and of the stop
    // character, between a narrow space on each side (the runs begin and end with a bar).
    std::u16string codes;
    codes.reserve(upper.size());
    for (const char16_t c : upper)
        codes.push_back(static_cast<char16_t>(PatternCode(c)));
    Code39Painter painter(surface, static_cast<float>(surface.ScaleLeft()), y1, y2, narrow);
    painter.Space();
    painter.Runs(Code39Runs(codes));
    painter.Space();

    ScaleOuterWidthTo(surface, static_cast<double>(painter.X() + narrow));

    if (!look.caption)
        return;
    surface.SetCurrentX((surface.ScaleWidth() - textWidth) / 2.0);
    surface.SetCurrentY(y2 + 0.25 * textHeight);
    surface.Print(printed);
}

} // namespace quillion
