// The GDI-style device context of a drawing surface: integer object handles, stock objects,
// selection, rectangles, fonts from a LOGFONT record, text metrics, extents and DrawTextA.
// The Code 128 engine paints through it; its arguments and results follow the host's API.
#pragma once

#include "draw/color.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillion {

class DrawingSurface;
class Font;

using HGDIOBJ = std::int32_t; // 0 is "no object"

// Stock objects by number (GetStockObject).
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;

// The handle of the surface's own font, selected in a new device context. It is not a created
// object: selecting it works, deleting it fails.
inline constexpr HGDIOBJ kSurfaceFontHandle = 0x7F0000FF;

inline constexpr int PS_SOLID = 0;
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;

inline constexpr std::uint32_t DT_LEFT = 0;
inline constexpr std::uint32_t DT_CENTER = 1;
inline constexpr std::uint32_t DT_RIGHT = 2;
inline constexpr std::uint32_t DT_CALCRECT = 1024;

inline constexpr std::int32_t FW_NORMAL = 400;
inline constexpr std::int32_t FW_BOLD = 700;

struct RECT {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const RECT&) const = default;
};
struct SIZE {
    std::int32_t cx = 0, cy = 0;
};

// The ANSI font record, laid out byte for byte as the host's: 28 bytes of numbers, then a
// 32-byte face name.
struct LOGFONTA {
    std::int32_t lfHeight = 0;
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 0;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    char lfFaceName[32] = {};
};
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA must match the host's 60-byte record");

struct TEXTMETRICA {
    std::int32_t tmHeight = 0;
    std::int32_t tmAscent = 0;
    std::int32_t tmDescent = 0;
    std::int32_t tmInternalLeading = 0;
    std::int32_t tmExternalLeading = 0;
    std::int32_t tmAveCharWidth = 0;
    std::int32_t tmMaxCharWidth = 0;
    std::int32_t tmWeight = 0;
    std::int32_t tmOverhang = 0;
    std::int32_t tmDigitizedAspectX = 96;
    std::int32_t tmDigitizedAspectY = 96;
    std::uint8_t tmFirstChar = 0x20, tmLastChar = 0xFF, tmDefaultChar = 0x1F, tmBreakChar = 0x20;
    std::uint8_t tmItalic = 0, tmUnderlined = 0, tmStruckOut = 0, tmPitchAndFamily = 0;
    std::uint8_t tmCharSet = 0;
};

// a * b / c in 64-bit precision, rounded to the nearest integer (halves away from zero);
// -1 when c is 0 or the result does not fit in 32 bits, as the host answers.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);
void SetRect(RECT& r, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

// The device context of one DrawingSurface. Objects created through it are owned by it, have
// handles unique to it and count as live until deleted (LiveObjectCount). Deleting a selected
// object fails, as on the host; deleting a stock object is a harmless no-op.
class DeviceContext {
public:
    explicit DeviceContext(DrawingSurface& surface);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    HGDIOBJ GetStockObject(int number) const;
    HGDIOBJ SelectObject(HGDIOBJ object); // returns the replaced object, 0 on a bad handle
    HGDIOBJ CreateSolidBrush(COLORREF color);
    HGDIOBJ CreatePen(int style, int width, COLORREF color);
    HGDIOBJ CreateFontIndirectA(const LOGFONTA& font);
    bool DeleteObject(HGDIOBJ object);
    int LiveObjectCount() const;

    // Outline with the selected pen, fill with the selected brush; clipped to the raster.
    bool Rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    int GetDeviceCaps(int index) const; // 88 and 90 answer 96
    // Why the selected font has no face to paint text with; "" when it has one (Font::Problem).
    std::string SelectedFontProblem() const;
    bool GetTextMetricsA(TEXTMETRICA& metrics) const;
    // count characters of text (count is clamped to the text's length); returns 1 on success
    int GetTextExtentPoint32A(std::string_view text, std::int32_t count, SIZE& size) const;
    COLORREF SetTextColor(COLORREF color);
    int SetBkMode(int mode);
    int SetTextCharacterExtra(int extra);
    COLORREF GetPixel(std::int32_t x, std::int32_t y) const; // 0xFFFFFFFF outside the raster
    COLORREF SetPixel(std::int32_t x, std::int32_t y, COLORREF color);
    // One line at the top of rect, placed by format (0 left, 1 centre, 2 right; centre wins
    // over right), clipped to rect as without DT_NOCLIP. DT_CALCRECT draws nothing and sets
    // right = left + width and bottom = top + height. In OPAQUE mode the text cell is filled
    // white first. No "&" prefix or line-break processing. count -1 draws up to the first NUL
    // or the end of the text; returns the text height, 0 for empty text or a bad count.
    int DrawTextA(std::string_view text, std::int32_t count, RECT& rect, std::uint32_t format);

    // Selected objects, for tests and for the surface's own text output.
    HGDIOBJ SelectedBrush() const;
    HGDIOBJ SelectedPen() const;
    HGDIOBJ SelectedFont() const;
    COLORREF TextColor() const;
    int BkMode() const;
    int TextCharacterExtra() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace quillion
