#include "symbols/mBarcode.h"

#include "runtime/runtime.h"
#include "symbols/upc_digits.h"
#include "symbols/upc_patterns.h"

#include <algorithm>
#include <array>
#include <span>

namespace quillion {

namespace {

constexpr int kModule = 2;          // pixels per module, as the window paints
constexpr int kDigitsBelowBars = 5; // rows between the bottom of the digit bars and the digits
constexpr int kGuardExtension = 15; // rows the side guards reach below the digit bars
constexpr int kFontPoints = 6;

// UPC-A: 95 modules between 5-pixel margins (2.5 modules).
constexpr int kUpcAModules = 95;
constexpr int kMargin = 5;

// UPC-E: 51 modules. Each margin holds a printed digit (4 pixels wide at 6 points) between
// 5 white columns outside and 2 next to the guard: the number system left, the check digit
// right.
constexpr int kUpcEMarginWidth = 11;
constexpr int kUpcETextOutside = 5;
constexpr int kUpcETextGap = 2;
constexpr int kUpcEDigitTextOffset = 5; // a digit's text stands in the middle of its bars

constexpr std::array<int, 3> kSideGuard = {1, 1, 1};               // black, white, black
constexpr std::array<int, 5> kCentreGuard = {1, 1, 1, 1, 1};       // white, black, ... white
constexpr std::array<int, 6> kUpcERightGuard = {1, 1, 1, 1, 1, 1}; // white, black, ... black

// The symbol's grid: bars are whole modules of m pixels; the printed digits and the room kept
// for them grow by t, the module's ratio to the usual 2 pixels (at least 1).
struct Grid {
    int m = kModule;
    double t = 1.0;
    // A text distance given for the usual module, on this grid.
    int Text(double usual) const { return CInt(usual * t); }
};

// Paints one group of elements from column x, alternating colours from the first one; an
// element of k modules covers k x m columns and rows 0 to bottom.
void PaintGroup(DrawingSurface& surface, const Grid& g, int x, std::span<const int> modules,
                COLORREF first, double bottom) {
    COLORREF color = first;
    for (const int k : modules) {
        surface.FillBox(x, 0, x + g.m * k - 1, bottom, color);
        x += g.m * k;
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

void PrintDigit(DrawingSurface& surface, int x, int y, char16_t digit) {
    surface.SetCurrentX(x);
    surface.SetCurrentY(y);
    surface.Print(std::u16string_view(&digit, 1));
}

int UpcAMargin(const Grid& g) {
    return CInt(kMargin * g.m / double(kModule));
}

void PaintUpcA(DrawingSurface& surface, std::u16string_view digits, const Grid& g, float height,
               int yb, bool printDigits) {
    constexpr int n = 12, h = 6;
    const int margin = UpcAMargin(g);
    const int guard = 3 * g.m, guards = 8 * g.m, digit = 7 * g.m;
    PaintGroup(surface, g, margin, kSideGuard, kBlack, height);
    for (int i = 1; i <= n; ++i) {
        const auto& counts = UpcDigitPatterns[static_cast<std::size_t>(DigitValue(digits, i))];
        if (i == h + 1)
            PaintGroup(surface, g, margin + guard + digit * (i - 1), kCentreGuard, kWhite, yb);
        if (i <= h)
            PaintGroup(surface, g, margin + guard + digit * (i - 1), counts, kWhite, yb);
        else
            PaintGroup(surface, g, margin + guards + digit * (i - 1), counts, kBlack, yb);
    }
    PaintGroup(surface, g, margin + guards + digit * n, kSideGuard, kBlack, height);

    if (!printDigits)
        return;
    for (int i = 1; i <= n; ++i) {
        const int x = i <= h ? margin + guard + digit * (i - 1) + g.Text(i + 1)
                             : margin + guards + digit * (i - 1) + g.Text(i - h - 1);
        PrintDigit(surface, x, yb + g.Text(kDigitsBelowBars),
                   digits[static_cast<std::size_t>(i - 1)]);
    }
}

// The six digits are number system 0: their check digit, taken from the UPC-A they expand to,
// is carried by the parity of each digit; no centre guard.
void PaintUpcE(DrawingSurface& surface, std::u16string_view digits, const Grid& g, float height,
               int yb, bool printDigits) {
    UpcEDigits values{};
    for (int i = 1; i <= 6; ++i)
        values[static_cast<std::size_t>(i - 1)] = DigitValue(digits, i);
    const int check = UpcECheckDigit(values);
    const std::array<bool, 6> even = UpcEEvenParity(check);

    const int leftGuardX = g.Text(kUpcEMarginWidth);
    const int digitsX = leftGuardX + 3 * g.m;
    const int digit = 7 * g.m;
    const int rightGuardX = digitsX + 6 * digit;
    PaintGroup(surface, g, leftGuardX, kSideGuard, kBlack, height);
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::array<int, 4> counts = UpcDigitPatterns[static_cast<std::size_t>(values[i])];
        if (even[i]) // number set B: the odd-parity widths in reverse order
            counts = {counts[3], counts[2], counts[1], counts[0]};
        PaintGroup(surface, g, digitsX + digit * static_cast<int>(i), counts, kWhite, yb);
    }
    PaintGroup(surface, g, rightGuardX, kUpcERightGuard, kWhite, height);

    if (!printDigits)
        return;
    const int y = yb + g.Text(kDigitsBelowBars);
    PrintDigit(surface, g.Text(kUpcETextOutside), y, u'0');
    for (std::size_t i = 0; i < values.size(); ++i)
        PrintDigit(surface, digitsX + digit * static_cast<int>(i) + g.Text(kUpcEDigitTextOffset), y,
                   digits[i]);
    PrintDigit(surface, rightGuardX + 6 * g.m + g.Text(kUpcETextGap), y,
               static_cast<char16_t>(u'0' + check));
}

int SymbolWidth(UpcVariant variant, const Grid& g) {
    if (variant == UpcVariant::UpcE)
        return g.Text(kUpcEMarginWidth) + 51 * g.m + g.Text(kUpcEMarginWidth);
    return 2 * UpcAMargin(g) + kUpcAModules * g.m;
}

} // namespace

void DrawUpc(DrawingSurface& surface, std::u16string_view digits, UpcVariant variant,
             const SymbolLook& look) {
    const bool upcE = variant == UpcVariant::UpcE;
    Grid g;
    if (look.moduleWidth > 0) {
        g.m = look.moduleWidth;
        g.t = std::max(g.m, kModule) / double(kModule);
    }
    surface.SetOuterWidth(SymbolWidth(variant, g));
    if (!look.IsUsual()) {
        // The digit bars cover rows 0 to yb: the usual ones grow with the module.
        const double usualBars = surface.OuterHeight() - kGuardExtension + 1.0;
        const double bars = look.barHeight > 0 ? look.barHeight : usualBars * g.m / kModule;
        surface.SetOuterHeight(CInt(bars) - 1 + g.Text(kGuardExtension));
    }
    const double width = surface.OuterWidth();
    const float height = static_cast<float>(surface.OuterHeight());
    surface.FillBox(0, 0, width, height, kWhite);
    surface.SetFontSize(kFontPoints * g.t);
    const int yb = CInt(height - static_cast<float>(g.Text(kGuardExtension)));

    if (upcE)
        PaintUpcE(surface, digits, g, height, yb, look.caption);
    else
        PaintUpcA(surface, digits, g, height, yb, look.caption);

    surface.SetPictureFromImage();
}

} // namespace quillion
