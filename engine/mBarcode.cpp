#include "mBarcode.h"

#include "runtime.h"
#include "upc_patterns.h"

#include <array>
#include <span>

namespace quillion {

namespace {

constexpr int kModule = 2;          // pixels per module
constexpr int kMargin = 5;          // white columns left of the left guard
constexpr int kGuardWidth = 6;      // left guard, 3 modules
constexpr int kDigitWidth = 14;     // 7 modules
constexpr int kGuardsWidth = 16;    // left guard and centre guard, 8 modules
constexpr int kDigitsBelowBars = 5; // rows between the bottom of the digit bars and the digits

constexpr std::array<int, 3> kSideGuard = {1, 1, 1};         // black, white, black
constexpr std::array<int, 5> kCentreGuard = {1, 1, 1, 1, 1}; // white, black, ... white

// Paints one group of elements from column x, alternating colours from the first one; an
// element of k modules covers 2k columns and rows 0 to bottom.
void PaintGroup(DrawingSurface& surface, int x, std::span<const int> modules, COLORREF first,
                double bottom) {
    COLORREF color = first;
    for (const int k : modules) {
        surface.FillBox(x, 0, x + kModule * k - 1, bottom, color);
        x += kModule * k;
        color = color == kBlack ? kWhite : kBlack;
    }
}

// The decimal value of character i (1-based): only the ASCII digits have one. Any other
// character, or a position beyond the end of the text, is a type mismatch (error 13).
int DigitValue(std::u16string_view digits, int i) {
    if (static_cast<std::size_t>(i) > digits.size())
        RaiseTypeMismatch();
    const char16_t c = digits[static_cast<std::size_t>(i - 1)];
    if (c < u'0' || c > u'9')
        RaiseTypeMismatch();
    return c - u'0';
}

} // namespace

void DrawUpc(DrawingSurface& surface, std::u16string_view digits, UpcVariant variant) {
    const bool upcE = variant == UpcVariant::UpcE;
    const int n = upcE ? 6 : 12;
    const int h = n / 2;

    surface.SetOuterWidth(upcE ? 116 : 200);
    const double width = surface.OuterWidth();
    const float height = static_cast<float>(surface.OuterHeight());
    surface.FillBox(0, 0, width, height, kWhite);
    surface.SetFontSize(6);
    const int yb = CInt(height - 15.0f);

    PaintGroup(surface, kMargin, kSideGuard, kBlack, height);
    for (int i = 1; i <= n; ++i) {
        const auto& counts = UpcDigitPatterns[static_cast<std::size_t>(DigitValue(digits, i))];
        if (i == h + 1)
            PaintGroup(surface, kMargin + kGuardWidth + kDigitWidth * (i - 1), kCentreGuard, kWhite,
                       yb);
        if (i <= h)
            PaintGroup(surface, kMargin + kGuardWidth + kDigitWidth * (i - 1), counts, kWhite, yb);
        else
            PaintGroup(surface, kMargin + kGuardsWidth + kDigitWidth * (i - 1), counts, kBlack, yb);
    }
    PaintGroup(surface, kMargin + kGuardsWidth + kDigitWidth * n, kSideGuard, kBlack, height);

    for (int i = 1; i <= n; ++i) {
        const int x = i <= h ? kMargin + kGuardWidth + kDigitWidth * (i - 1) + (i + 1)
                             : kMargin + kGuardsWidth + kDigitWidth * (i - 1) + (i - h - 1);
        surface.SetCurrentX(x);
        surface.SetCurrentY(yb + kDigitsBelowBars);
        surface.Print(digits.substr(static_cast<std::size_t>(i - 1), 1));
    }

    surface.SetPictureFromImage();
}

} // namespace quillion
