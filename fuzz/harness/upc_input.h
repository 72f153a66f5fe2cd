// One fuzz input for DrawUpc: the variant, the surface's outer height (0 to 400 pixels), its
// container unit, then the digits (arbitrary UTF-16, at most 64 units). When the first 12
// (UPC-A) or 6 (UPC-E) units are ASCII digits the call must succeed and set the picture;
// otherwise it must raise error 13 and leave the picture unset.
#pragma once

#include "byte_reader.h"
#include "draw/surface.h"
#include "runtime/runtime.h"
#include "symbols/mBarcode.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillion::fuzz {

inline constexpr std::size_t kMaxUpcTextUnits = 64;

inline std::string RunUpcInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const std::uint8_t flags = in.Byte();
    const UpcVariant variant = (flags & 1) != 0 ? UpcVariant::UpcE : UpcVariant::UpcA;
    const int outerHeight = in.Uint16() % 401;
    const std::u16string digits = in.Text(kMaxUpcTextUnits, u"012345678905");

    DrawingSurface surface(515, 101);
    surface.SetScaleMode(ScaleMode::Pixels);
    surface.SetAutoRedraw(true);
    surface.SetContainerScaleMode(ScaleMode::Pixels);
    surface.SetOuterHeight(outerHeight);
    surface.SetContainerScaleMode((flags & 2) != 0 ? ScaleMode::Twips : ScaleMode::Pixels);
    surface.Cls();

    const std::size_t n = variant == UpcVariant::UpcE ? 6 : 12;
    bool allDigits = digits.size() >= n;
    for (std::size_t i = 0; allDigits && i < n; ++i)
        allDigits = digits[i] >= u'0' && digits[i] <= u'9';

    const int liveBefore = surface.hDC().LiveObjectCount();
    int error = 0;
    try {
        DrawUpc(surface, digits, variant);
    } catch (const RuntimeError& e) {
        error = e.Number();
    }
    if (surface.hDC().LiveObjectCount() != liveBefore)
        return "live-object count changed";
    if (allDigits && (error != 0 || !surface.HasPicture()))
        return "digits refused or picture not set";
    if (!allDigits && (error != err::kTypeMismatch || surface.HasPicture()))
        return "non-digit accepted, wrong error, or picture set";
    return {};
}

} // namespace quillion::fuzz
