// One fuzz input for DrawCode128: up to two requests, every field from the input, painted in
// turn on one 427 x 73 surface (the window's picture area). Each call must leave the device
// context's live-object count and selected font as they were, and must leave the request as it
// was unless it returns 0 from a complete painting, which changes Width and Height only.
#pragma once

#include "byte_reader.h"
#include "draw/surface.h"
#include "runtime/runtime.h"
#include "symbols/Special128.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillion::fuzz {

inline constexpr std::size_t kMaxCode128TextUnits = 4000;
inline constexpr std::size_t kMaxFontNameUnits = 64;

inline BarcodeRequest ReadCode128Request(ByteReader& in) {
    BarcodeRequest r;
    r.Text = in.Text(kMaxCode128TextUnits, u"AB");
    r.Reserved1 = in.Text(kMaxFontNameUnits, u"");
    r.Reserved2 = in.Text(kMaxFontNameUnits, u"");
    r.Caption = in.Text(kMaxCode128TextUnits, u"AB", r.Text);
    r.FontName = in.Text(kMaxFontNameUnits, u"Courier New");
    r.Symbology = in.Int32(16);
    r.CaptionAlignment = in.Int32(1);
    r.CaptionPosition = in.Int32(1);
    r.FontSize = in.Int32(10);
    r.FontStyle = in.Int32(0);
    r.BarHeight = in.Int32(40);
    r.Left = in.Int32(0);
    r.Top = in.Int32(0);
    r.ModuleWidth = in.Int32(1);
    r.CaptionGap = in.Int32(4);
    r.Reserved3 = in.Int32(1);
    r.Reserved4 = in.Int32(1);
    r.Width = in.Int32(0);
    r.Height = in.Int32(0);
    r.Orientation = in.Int32(0);
    r.BarColor = static_cast<COLORREF>(in.Int32(0x000000));
    r.BackColor = static_cast<COLORREF>(in.Int32(0xFFFFFF));
    r.CaptionColor = static_cast<COLORREF>(in.Int32(0x000000));
    r.CheckCharacter = in.Int32(1);
    return r;
}

// Runs the input; "" when every rule held, else the rule that broke. A RuntimeError is an
// allowed outcome; any other exception passes through.
inline std::string RunCode128Input(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    DrawingSurface surface(427, 73);
    DeviceContext& dc = surface.hDC();
    for (int call = 0; call < 2 && (call == 0 || !in.AtEnd()); ++call) {
        BarcodeRequest request = ReadCode128Request(in);
        const BarcodeRequest before = request;
        const int liveBefore = dc.LiveObjectCount();
        const HGDIOBJ fontBefore = dc.SelectedFont();
        bool complete = false;
        try {
            const std::int32_t code = DrawCode128(request, dc);
            if (code != 0 && Code128ErrorText(code).empty())
                return "DrawCode128 returned a code without a message";
            complete = code == 0 && !before.Text.empty() && before.Orientation == 0;
        } catch (const RuntimeError&) {
        }
        if (dc.LiveObjectCount() != liveBefore)
            return "live-object count changed";
        if (dc.SelectedFont() != fontBefore)
            return "selected font changed";
        BarcodeRequest expected = before;
        if (complete) {
            expected.Width = request.Width;
            expected.Height = request.Height;
        }
        if (request != expected)
            return complete ? "a field other than Width and Height changed"
                            : "request changed without a complete painting";
    }
    return {};
}

} // namespace quillion::fuzz
