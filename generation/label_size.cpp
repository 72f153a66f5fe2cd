#include "label_size.h"

#include "runtime/plain_math.h"

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
    const auto [end, ec] = ReadDecimal(text.data(), text.data() + digits, length.value, false);
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

std::optional<std::uint32_t> ParseColour(std::string_view text, bool transparentAllowed) {
    std::string lower(text);
    for (char& c : lower)
        c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (transparentAllowed && lower == "transparent")
        return 0x00FFFFFFu;
    const std::string_view hex = std::string_view(lower).substr(!lower.empty() && lower[0] == '#');
    if (hex.size() != 6 && hex.size() != 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : hex) {
        const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (d < 0)
            return std::nullopt;
        value = (value << 4) | std::uint32_t(d);
    }
    // RRGGBB[AA] to 0xAARRGGBB.
    return hex.size() == 6 ? 0xFF000000u | value : (value >> 8) | (value << 24);
}

double PixelsToMillimetres(double pixels, double dpi) {
    return pixels * kMillimetresPerInch / dpi;
}

} // namespace quillion
