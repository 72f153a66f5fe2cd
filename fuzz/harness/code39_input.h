// One fuzz input for DrawCode39: the surface's inner height (0 to 200 pixels), its container
// unit, its font, then the text (arbitrary UTF-16, at most 1000 units). The call must leave the
// surface within its size limit and its device context without live objects.
#pragma once

#include "byte_reader.h"
#include "draw/surface.h"
#include "runtime/runtime.h"
#include "symbols/bar39.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quillion::fuzz {

inline constexpr std::size_t kMaxCode39TextUnits = 1000;
inline constexpr int kMaxFuzzInnerHeight = 200;

// A face the fuzz input picks by number: the window's, the metric aliases, an unknown one.
inline const char* FuzzFaceName(std::uint8_t pick) {
    static constexpr std::array<const char*, 5> kFaces = {"Arial", "Courier New", "Times New Roman",
                                                          "No Such Face", ""};
    return kFaces[pick % kFaces.size()];
}

inline std::string RunCode39Input(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const int innerHeight = in.Uint16() % (kMaxFuzzInnerHeight + 1);
    const std::uint8_t flags = in.Byte();
    SurfaceFont font;
    font.name = FuzzFaceName(in.Byte());
    font.size = in.Byte() / 4.0;
    font.bold = (flags & 2) != 0;
    font.italic = (flags & 4) != 0;
    font.underline = (flags & 8) != 0;
    const std::u16string text = in.Text(kMaxCode39TextUnits, u"ABC-12 $/+%.");

    DrawingSurface surface(427, 73);
    surface.SetScaleMode(ScaleMode::Pixels);
    surface.SetAutoRedraw(true);
    surface.SetContainerScaleMode(ScaleMode::Pixels);
    surface.SetOuterHeight(innerHeight);
    surface.SetContainerScaleMode((flags & 1) != 0 ? ScaleMode::Twips : ScaleMode::Pixels);
    surface.SetFont(font);
    surface.Cls();
    const int liveBefore = surface.hDC().LiveObjectCount();
    try {
        DrawCode39(text, surface);
    } catch (const RuntimeError&) {
    }
    if (surface.hDC().LiveObjectCount() != liveBefore)
        return "live-object count changed";
    if (surface.WidthPx() > DrawingSurface::kMaxSide || surface.HeightPx() != innerHeight)
        return "surface size out of bounds";
    return {};
}

} // namespace quillion::fuzz
