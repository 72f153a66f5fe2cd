// The caption of a Code 128 symbol: its font (built from the request's font fields), its
// extent, and its placement above or below the bars, centred or spread over its rectangle.
#pragma once

#include "draw/gdi.h"
#include "symbols/Special128.h"

#include <cstdint>
#include <string_view>

namespace quillion {

inline constexpr std::int32_t kCaptionBottom = 1; // caption below the bars
inline constexpr std::int32_t kCaptionTop = 2;    // caption above the bars
inline constexpr std::int32_t kAlignLeft = 1;
inline constexpr std::int32_t kAlignJustify = 4;   // 1 left, 2 centre, 3 right: all drawn centred
inline constexpr std::int32_t kMaxFontStyle = 15;  // bold 1, italic 2, underline 4, strike-out 8
inline constexpr std::int32_t kMaxOrientation = 3; // quarter turns

// GetDeviceCaps index of the resolution the font height is scaled by: vertical for upright and
// upside-down captions (Orientation 0 and 2), horizontal for the quarter turns (1 and 3).
int CaptionDpiIndex(std::int32_t orientation);

// The font record of the caption at the given resolution. The face name is the ANSI form of
// FontName with its NUL; one that does not fit in 31 bytes raises RuntimeError 9.
LOGFONTA BuildCaptionLogFont(const BarcodeRequest& request, int dpi);

struct CaptionFont {
    HGDIOBJ font = 0;     // the created font, selected into the device context
    HGDIOBJ previous = 0; // the font it replaced, to be selected back at the end
};

// Builds the record, creates the font and selects it. Its metrics are read with
// GetTextMetricsA when a caption is laid out; a symbol without caption never looks the face up.
CaptionFont CreateCaptionFont(const BarcodeRequest& request, DeviceContext& dc);

struct CaptionExtent {
    bool ok = false; // the extent call succeeded
    SIZE size;       // cx, cy; 0 when it failed
};

// The extent of the caption (ANSI, one byte per character) in the selected font.
CaptionExtent MeasureCaption(std::string_view ansiCaption, DeviceContext& dc);

// What the caption's placement depends on.
struct CaptionLayout {
    std::int32_t symbolWidth = 0; // W, the measured width of the bars
    SIZE extent;                  // cx, cy of the caption
    std::int32_t yTop = 0;        // first row of the bars
    std::int32_t endX = 0;        // column after the last bar
    std::int32_t internalLeading = 0;
};

// The right edge of the painted area of a caption wider than the bars: the caption with its
// internal leading on either side (checked 32-bit arithmetic).
std::int32_t WideCaptionRight(std::int32_t left, std::int32_t captionWidth,
                              std::int32_t internalLeading);

// The rectangle the caption is drawn in, above or below the bars (checked 32-bit arithmetic).
RECT CaptionRect(const BarcodeRequest& request, const CaptionLayout& layout);

// The character extra that spreads a caption of `length` characters over `width` pixels:
// round-half-even(width / length) - aveCharWidth, all in checked 16-bit arithmetic.
std::int16_t JustifyExtra(std::int32_t width, std::size_t length, std::int32_t aveCharWidth);

// Sets the text colour and draws the caption in its rectangle, centred, or spread over it for
// "JUSTIFY".
void DrawCaption(const BarcodeRequest& request, std::string_view ansiCaption, DeviceContext& dc,
                 const CaptionLayout& layout);

} // namespace quillion
