#include "symbols/mBarcode.h"

#include "runtime/runtime.h"
#include "symbols/upc_digits.h"
#include "symbols/upc_symbol.h"

#include <algorithm>
#include <array>
#include <span>
#include <variant>

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

// The symbol's grid: bars are whole modules of m pixels; the printed digits and the room kept
// for them grow by t, the module's ratio to the usual 2 pixels (at least 1).
struct Grid {
    int m = kModule;
    double t = 1.0;
    // A text distance given for the usual module, on this grid.
    int Text(double usual) const { return CInt(usual * t); }
};

// A stretch of the symbol's runs as the window paints it: the guards reach the bottom of the
// surface, the digits stop at the digit bars' bottom. `digit` (1-based, 0 for none) is the
// character that must have a decimal value before the stretch is painted.
struct Stretch {
    int runs = 0;
    bool guard = false;
    int digit = 0;
};

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

// Paints the runs (a bar first) stretch by stretch from column x: a run of k modules covers
// k x m columns and rows 0 to the stretch's bottom.
void PaintRuns(DrawingSurface& surface, const Grid& g, int x, std::span<const std::uint8_t> runs,
               std::span<const Stretch> stretches, std::u16string_view digits, float height,
               int yb) {
    std::size_t r = 0;
    for (const Stretch& stretch : stretches) {
        if (stretch.digit != 0)
            DigitValue(digits, stretch.digit);
        const double bottom = stretch.guard ? static_cast<double>(height) : static_cast<double>(yb);
        for (int i = 0; i < stretch.runs; ++i, ++r) {
            const int k = runs[r];
            surface.FillBox(x, 0, x + g.m * k - 1, bottom, r % 2 == 0 ? kBlack : kWhite);
            x += g.m * k;
        }
    }
}

void PaintUpcA(DrawingSurface& surface, std::u16string_view digits, const Grid& g, float height,
               int yb, bool printDigits) {
    constexpr int n = 12, h = 6;
    // Characters without a value stand in as 0: painting stops before the first of them.
    std::array<int, n> values{};
    for (std::size_t i = 0; i < values.size() && i < digits.size(); ++i)
        if (digits[i] >= u'0' && digits[i] <= u'9')
            values[i] = digits[i] - u'0';
    // Side guard, six digits, centre guard (after the seventh digit is read), six digits, side
    // guard; only the side guards are long.
    std::array<Stretch, 15> stretches{};
    stretches[0] = {3, true, 0};
    for (int i = 1; i <= n; ++i)
        stretches[std::size_t(i <= h ? i : i + 1)] = {4, false, i};
    stretches[h + 1] = {5, false, h + 1};
    stretches[14] = {3, true, 0};
    PaintRuns(surface, g, UpcAMargin(g), UpcARuns(values), stretches, digits, height, yb);

    if (!printDigits)
        return;
    const int margin = UpcAMargin(g);
    const int guard = 3 * g.m, guards = 8 * g.m, digit = 7 * g.m;
    for (int i = 1; i <= n; ++i) {
        const int x = i <= h ? margin + guard + digit * (i - 1) + g.Text(i + 1)
                             : margin + guards + digit * (i - 1) + g.Text(i - h - 1);
        PrintDigit(surface, x, yb + g.Text(kDigitsBelowBars),
                   digits[static_cast<std::size_t>(i - 1)]);
    }
}

// The six digits are number system 0: their check digit, taken from the UPC-A they expand to,
// is carried by the parity of each digit; no centre guard. Every digit is read before a bar is
// painted.
void PaintUpcE(DrawingSurface& surface, std::u16string_view digits, const Grid& g, float height,
               int yb, bool printDigits) {
    UpcEDigits values{};
    for (int i = 1; i <= 6; ++i)
        values[static_cast<std::size_t>(i - 1)] = DigitValue(digits, i);
    const Encoded encoded = EncodeUpcE(digits.substr(0, values.size()), EncodeOptions{});
    const Symbol* symbol = std::get_if<Symbol>(&encoded);
    if (symbol == nullptr) // six ASCII digits are always a UPC-E
        RaiseTypeMismatch();

    // Left guard, six digits, right guard (six runs, a space first).
    const int leftGuardX = g.Text(kUpcEMarginWidth);
    const int digitsX = leftGuardX + 3 * g.m;
    const int digit = 7 * g.m;
    const int rightGuardX = digitsX + 6 * digit;
    constexpr std::array<Stretch, 3> kStretches = {{{3, true, 0}, {24, false, 0}, {6, true, 0}}};
    PaintRuns(surface, g, leftGuardX, symbol->runs, kStretches, digits, height, yb);

    if (!printDigits)
        return;
    const int check = UpcECheckDigit(values);
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
