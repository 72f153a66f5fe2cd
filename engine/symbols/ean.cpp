#include "symbols/ean.h"

#include "runtime/runtime.h"
#include "symbols/upc_patterns.h"

#include <span>

namespace quillion {
namespace {

constexpr int kModule = 2;          // pixels per module, as UPC-A and UPC-E
constexpr int kDigitWidth = 14;     // 7 modules
constexpr int kDigitsBelowBars = 5; // rows between the bottom of the digit bars and the digits
constexpr int kDigitTextOffset = 5; // a digit's text stands in the middle of its bars

struct Geometry {
    int digits;     // in all, the check digit included
    int leftQuiet;  // modules
    int rightQuiet; // modules
};

constexpr Geometry GeometryOf(EanVariant variant) {
    return variant == EanVariant::Ean13 ? Geometry{13, 11, 7} : Geometry{8, 7, 7};
}

// Guards (black first, white first) and the parity of EAN-13's first six digits by leading
// digit ('G' even parity), GS1 General Specifications.
constexpr std::array<int, 3> kSideGuard = {1, 1, 1};
constexpr std::array<int, 5> kCentreGuard = {1, 1, 1, 1, 1};
constexpr std::array<std::string_view, 10> kLeadingParity = {
    "LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
    "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL",
};

// Paints elements of k modules from column x, alternating colours from the first one.
int PaintGroup(DrawingSurface& surface, int x, std::span<const int> modules, COLORREF first,
               double bottom) {
    COLORREF color = first;
    for (const int k : modules) {
        surface.FillBox(x, 0, x + kModule * k - 1, bottom, color);
        x += kModule * k;
        color = color == kBlack ? kWhite : kBlack;
    }
    return x;
}

int DigitAt(std::u16string_view digits, std::size_t i) {
    if (i >= digits.size() || digits[i] < u'0' || digits[i] > u'9')
        RaiseTypeMismatch();
    return digits[i] - u'0';
}

void PrintDigit(DrawingSurface& surface, int x, int y, char16_t digit) {
    surface.SetCurrentX(x);
    surface.SetCurrentY(y);
    surface.Print(std::u16string_view(&digit, 1));
}

} // namespace

int EanWidthPx(EanVariant variant) {
    const Geometry g = GeometryOf(variant);
    const int bars = 3 + 5 + 3 + 7 * (g.digits - (g.digits % 2)); // EAN-13's first is no bars
    return kModule * (g.leftQuiet + bars + g.rightQuiet);
}

std::array<bool, 6> Ean13EvenParity(int leadingDigit) {
    std::array<bool, 6> even{};
    const std::string_view pattern = kLeadingParity.at(static_cast<std::size_t>(leadingDigit));
    for (std::size_t i = 0; i < even.size(); ++i)
        even[i] = pattern[i] == 'G';
    return even;
}

void DrawEan(DrawingSurface& surface, std::u16string_view digits, EanVariant variant) {
    const Geometry g = GeometryOf(variant);
    const bool ean13 = variant == EanVariant::Ean13;
    std::array<int, 13> values{};
    for (std::size_t i = 0; i < std::size_t(g.digits); ++i)
        values[i] = DigitAt(digits, i);

    surface.SetOuterWidth(EanWidthPx(variant));
    const float height = static_cast<float>(surface.OuterHeight());
    surface.FillBox(0, 0, surface.OuterWidth(), height, kWhite);
    surface.SetFontSize(6);
    const int yb = CInt(height - 15.0f);

    // EAN-13's leading digit has no bars of its own: it picks the left half's parities.
    const std::size_t first = ean13 ? 1 : 0;
    const std::size_t half = (std::size_t(g.digits) - first) / 2;
    const std::array<bool, 6> even = ean13 ? Ean13EvenParity(values[0]) : std::array<bool, 6>{};
    std::array<int, 13> textX{};
    int x = PaintGroup(surface, kModule * g.leftQuiet, kSideGuard, kBlack, height);
    for (std::size_t i = 0; i < 2 * half; ++i) {
        if (i == half)
            x = PaintGroup(surface, x, kCentreGuard, kWhite, height);
        std::array<int, 4> counts = UpcDigitPatterns[std::size_t(values[first + i])];
        if (i < half && even[i]) // number set B: the widths of set A in reverse order
            counts = {counts[3], counts[2], counts[1], counts[0]};
        textX[first + i] = x + kDigitTextOffset;
        x = PaintGroup(surface, x, counts, i < half ? kWhite : kBlack, yb);
    }
    PaintGroup(surface, x, kSideGuard, kBlack, height);

    const int y = yb + kDigitsBelowBars;
    for (std::size_t i = first; i < std::size_t(g.digits); ++i)
        PrintDigit(surface, textX[i], y, digits[i]);
    if (ean13) // in the light margin, left of the guard
        PrintDigit(surface, kModule * g.leftQuiet - kDigitWidth + kDigitTextOffset - 2, y,
                   digits[0]);
    surface.SetPictureFromImage();
}

} // namespace quillion
