#include "symbols/mBarcode.h"

#include "runtime/runtime.h"
#include "symbols/upc_digits.h"
#include "symbols/upc_patterns.h"

#include <array>
#include <span>

namespace quillion {

namespace {

constexpr int kModule = 2;          // pixels per module
constexpr int kDigitWidth = 14;     // 7 modules
constexpr int kDigitsBelowBars = 5; // rows between the bottom of the digit bars and the digits

// UPC-A: 95 modules between 5-pixel margins.
constexpr int kUpcAWidth = 200;
constexpr int kMargin = 5;       // white columns left of the left guard
constexpr int kGuardWidth = 6;   // left guard, 3 modules
constexpr int kGuardsWidth = 16; // left guard and centre guard, 8 modules

// UPC-E: 51 modules. Each margin holds a printed digit (4 pixels wide at 6 points) between
// 5 white columns outside and 2 next to the guard: the number system left, the check digit
// right.
constexpr int kUpcEWidth = 124;
constexpr int kUpcELeftGuardX = 11;
constexpr int kUpcEDigitsX = kUpcELeftGuardX + 6;                // 17
constexpr int kUpcERightGuardX = kUpcEDigitsX + 6 * kDigitWidth; // 101, 12 columns wide
constexpr int kUpcENumberSystemTextX = 5;
constexpr int kUpcECheckDigitTextX = kUpcERightGuardX + 12 + 2; // 115
constexpr int kUpcEDigitTextOffset = 5; // a digit's text stands in the middle of its bars

constexpr std::array<int, 3> kSideGuard = {1, 1, 1};               // black, white, black
constexpr std::array<int, 5> kCentreGuard = {1, 1, 1, 1, 1};       // white, black, ... white
constexpr std::array<int, 6> kUpcERightGuard = {1, 1, 1, 1, 1, 1}; // white, black, ... black

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

void PrintDigit(DrawingSurface& surface, int x, int y, char16_t digit) {
    surface.SetCurrentX(x);
    surface.SetCurrentY(y);
    surface.Print(std::u16string_view(&digit, 1));
}

void PaintUpcA(DrawingSurface& surface, std::u16string_view digits, float height, int yb) {
    constexpr int n = 12, h = 6;
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
        PrintDigit(surface, x, yb + kDigitsBelowBars, digits[static_cast<std::size_t>(i - 1)]);
    }
}

// The six digits are number system 0: their check digit, taken from the UPC-A they expand to,
// is carried by the parity of each digit; no centre guard.
void PaintUpcE(DrawingSurface& surface, std::u16string_view digits, float height, int yb) {
    UpcEDigits values{};
    for (int i = 1; i <= 6; ++i)
        values[static_cast<std::size_t>(i - 1)] = DigitValue(digits, i);
    const int check = UpcECheckDigit(values);
    const std::array<bool, 6> even = UpcEEvenParity(check);

    PaintGroup(surface, kUpcELeftGuardX, kSideGuard, kBlack, height);
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::array<int, 4> counts = UpcDigitPatterns[static_cast<std::size_t>(values[i])];
        if (even[i]) // number set B: the odd-parity widths in reverse order
            counts = {counts[3], counts[2], counts[1], counts[0]};
        PaintGroup(surface, kUpcEDigitsX + kDigitWidth * static_cast<int>(i), counts, kWhite, yb);
    }
    PaintGroup(surface, kUpcERightGuardX, kUpcERightGuard, kWhite, height);

    const int y = yb + kDigitsBelowBars;
    PrintDigit(surface, kUpcENumberSystemTextX, y, u'0');
    for (std::size_t i = 0; i < values.size(); ++i)
        PrintDigit(surface, kUpcEDigitsX + kDigitWidth * static_cast<int>(i) + kUpcEDigitTextOffset,
                   y, digits[i]);
    PrintDigit(surface, kUpcECheckDigitTextX, y, static_cast<char16_t>(u'0' + check));
}

} // namespace

void DrawUpc(DrawingSurface& surface, std::u16string_view digits, UpcVariant variant) {
    const bool upcE = variant == UpcVariant::UpcE;
    surface.SetOuterWidth(upcE ? kUpcEWidth : kUpcAWidth);
    const double width = surface.OuterWidth();
    const float height = static_cast<float>(surface.OuterHeight());
    surface.FillBox(0, 0, width, height, kWhite);
    surface.SetFontSize(6);
    const int yb = CInt(height - 15.0f);

    if (upcE)
        PaintUpcE(surface, digits, height, yb);
    else
        PaintUpcA(surface, digits, height, yb);

    surface.SetPictureFromImage();
}

} // namespace quillion
