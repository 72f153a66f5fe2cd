#include "label_size.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace quillion {
namespace {

constexpr double kMillimetresPerInch = 25.4;

struct UnitName {
    std::string_view name;
    LengthUnit unit;
};
constexpr UnitName kUnits[] = {{"px", LengthUnit::Pixel},
                               {"mm", LengthUnit::Millimetre},
                               {"in", LengthUnit::Inch},
                               {"mil", LengthUnit::Mil}};

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != b[i])
            return false;
    return true;
}

double Inches(const Length& length) {
    switch (length.unit) {
    case LengthUnit::Millimetre:
        return length.value / kMillimetresPerInch;
    case LengthUnit::Inch:
        return length.value;
    case LengthUnit::Mil:
        return length.value / 1000.0;
    case LengthUnit::Pixel:
        break;
    }
    return 0;
}

} // namespace

std::optional<Length> ParseLength(std::string_view text) {
    std::size_t digits = 0;
    while (digits < text.size() &&
           ((text[digits] >= '0' && text[digits] <= '9') || text[digits] == '.'))
        ++digits;
    if (digits == 0)
        return std::nullopt;
    Length length;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + digits, length.value, std::chars_format::fixed);
    if (ec != std::errc() || end != text.data() + digits || !std::isfinite(length.value))
        return std::nullopt;
    const std::string_view unit = text.substr(digits);
    bool known = unit.empty();
    for (const UnitName& u : kUnits)
        if (SameWord(unit, u.name)) {
            length.unit = u.unit;
            known = true;
        }
    if (!known || (length.unit == LengthUnit::Pixel && length.value != std::floor(length.value)))
        return std::nullopt;
    return length;
}

std::string LengthText(const Length& length) {
    char number[32];
    std::snprintf(number, sizeof number, "%g", length.value);
    for (const UnitName& u : kUnits)
        if (u.unit == length.unit)
            return number + std::string(u.name);
    return number;
}

PixelLength ToPixels(const Length& length, double dpi, int minimum, bool down) {
    PixelLength result;
    result.exact = length.unit == LengthUnit::Pixel ? length.value : Inches(length) * dpi;
    // Rounding down adds a hair, so that a whole number of pixels (25.4mm at 300 dpi) is not one
    // short after the division's rounding.
    const double nearest = std::floor(result.exact + (down ? 1e-9 : 0.5));
    result.pixels = nearest < minimum            ? minimum
                    : nearest > kMaxLengthPixels ? kMaxLengthPixels + 1
                                                 : static_cast<int>(nearest);
    result.off = !down && std::abs(result.pixels - result.exact) > 0.1 * result.exact;
    return result;
}

int FitModuleWidth(int maxWidth, int maxModule, const std::function<int(int)>& widthAt) {
    int best = 0;
    for (int module = 1; module <= maxModule && widthAt(module) <= maxWidth; ++module)
        best = module;
    return best;
}

QuietZone StandardQuietZone(Symbology symbology) {
    switch (symbology) {
    case Symbology::UpcA:
        return {9, 9};
    case Symbology::UpcE:
        return {9, 7};
    case Symbology::Code128:
    case Symbology::Code39:
        return {10, 10};
    case Symbology::None:
        break;
    }
    return {};
}

int UsualModuleWidth(Symbology symbology) {
    return symbology == Symbology::UpcA || symbology == Symbology::UpcE ? 2 : 1;
}

double PixelsToMillimetres(double pixels, double dpi) {
    return pixels * kMillimetresPerInch / dpi;
}

} // namespace quillion
