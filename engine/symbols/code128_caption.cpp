#include "symbols/code128_caption.h"

#include "runtime/ansi.h"
#include "runtime/runtime.h"

#include <array>
#include <string>

namespace quillion {
namespace {

constexpr std::size_t kFaceNameLast = 30; // index 31 stays 0: 30 bytes and the NUL at most

constexpr std::uint8_t kItalicOn = 255;
constexpr std::uint8_t OUT_STROKE_PRECIS = 3;
constexpr std::uint8_t CLIP_STROKE_PRECIS = 2;
constexpr std::uint8_t DRAFT_QUALITY = 1;
constexpr std::uint8_t VARIABLE_PITCH = 2;

// Tenths of a degree by quarter turn; an upright caption is a full turn, not 0.
constexpr std::array<std::int32_t, 4> kEscapements = {3600, 900, 1800, 2700};

std::size_t OrientationIndex(std::int32_t orientation) {
    if (orientation < 0 || orientation > kMaxOrientation)
        RaiseSubscriptOutOfRange();
    return static_cast<std::size_t>(orientation);
}

} // namespace

int CaptionDpiIndex(std::int32_t orientation) {
    return OrientationIndex(orientation) % 2 == 0 ? LOGPIXELSY : LOGPIXELSX;
}

LOGFONTA BuildCaptionLogFont(const BarcodeRequest& request, int dpi) {
    LOGFONTA lf;
    lf.lfHeight = Sub32(0, MulDiv(request.FontSize, dpi, 72));
    lf.lfWidth = 0;
    lf.lfEscapement = kEscapements[OrientationIndex(request.Orientation)];
    lf.lfOrientation = 0;
    lf.lfWeight = (request.FontStyle & 1) != 0 ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (request.FontStyle & 2) != 0 ? kItalicOn : 0;
    lf.lfUnderline = (request.FontStyle & 4) != 0 ? 1 : 0;
    lf.lfStrikeOut = (request.FontStyle & 8) != 0 ? 1 : 0;
    lf.lfCharSet = 0; // ANSI_CHARSET
    lf.lfOutPrecision = OUT_STROKE_PRECIS;
    lf.lfClipPrecision = CLIP_STROKE_PRECIS;
    lf.lfQuality = DRAFT_QUALITY;
    lf.lfPitchAndFamily = VARIABLE_PITCH;
    // One byte per character, so the first 32 characters decide whether the name fits.
    std::string face = ToAnsi(std::u16string_view(request.FontName).substr(0, 32));
    face.push_back('\0');
    for (std::size_t i = 0; i < face.size(); ++i) {
        if (i > kFaceNameLast)
            RaiseSubscriptOutOfRange();
        lf.lfFaceName[i] = face[i];
    }
    return lf;
}

CaptionFont CreateCaptionFont(const BarcodeRequest& request, DeviceContext& dc) {
    const int dpi = dc.GetDeviceCaps(CaptionDpiIndex(request.Orientation));
    const LOGFONTA lf = BuildCaptionLogFont(request, dpi);
    CaptionFont result;
    result.font = dc.CreateFontIndirectA(lf);
    result.previous = dc.SelectObject(result.font);
    return result;
}

CaptionExtent MeasureCaption(std::string_view ansiCaption, DeviceContext& dc) {
    CaptionExtent result;
    SIZE size;
    if (dc.GetTextExtentPoint32A(ansiCaption, To32(static_cast<std::int64_t>(ansiCaption.size())),
                                 size) == 1) {
        result.ok = true;
        result.size = size;
    }
    return result;
}

std::int32_t WideCaptionRight(std::int32_t left, std::int32_t captionWidth,
                              std::int32_t internalLeading) {
    return Add32(Add32(left, captionWidth), Mul32(2, internalLeading));
}

RECT CaptionRect(const BarcodeRequest& request, const CaptionLayout& layout) {
    const std::int32_t cx = layout.extent.cx;
    const std::int32_t cy = layout.extent.cy;
    const bool wider = cx > layout.symbolWidth;
    RECT r;
    r.left = request.Left;
    if (request.CaptionPosition == kCaptionTop) {
        r.top = request.Top;
        r.right = wider ? Add32(Add32(request.Left, cx), layout.internalLeading)
                        : Add32(request.Left, layout.symbolWidth);
        r.bottom = Add32(Add32(request.Top, cy), request.CaptionGap);
    } else {
        r.top = Add32(Add32(layout.yTop, request.BarHeight), request.CaptionGap);
        r.right = wider ? WideCaptionRight(request.Left, cx, layout.internalLeading) : layout.endX;
        r.bottom = Add32(r.top, cy);
    }
    return r;
}

std::int16_t JustifyExtra(std::int32_t width, std::size_t length, std::int32_t aveCharWidth) {
    const std::int16_t w = To16(width);
    const std::int16_t q = CInt(static_cast<double>(w) / static_cast<double>(length));
    return To16(Sub32(q, aveCharWidth));
}

void DrawCaption(const BarcodeRequest& request, std::string_view ansiCaption, DeviceContext& dc,
                 const CaptionLayout& layout) {
    RECT rect = CaptionRect(request, layout);
    dc.SetTextColor(request.CaptionColor);
    const std::int32_t length = To32(static_cast<std::int64_t>(ansiCaption.size()));
    if (request.CaptionAlignment != kAlignJustify) {
        // Left, centre and right all carry the centre flag, which wins over the right flag.
        const std::uint32_t format =
            static_cast<std::uint32_t>(request.CaptionAlignment - 1) | DT_CENTER;
        dc.DrawTextA(ansiCaption, length, rect, format);
        return;
    }
    TEXTMETRICA metrics;
    dc.GetTextMetricsA(metrics);
    const std::int16_t extra =
        JustifyExtra(Sub32(rect.right, rect.left), ansiCaption.size(), metrics.tmAveCharWidth);
    dc.SetTextCharacterExtra(extra);
    dc.DrawTextA(ansiCaption, -1, rect, DT_CALCRECT | DT_CENTER);
    dc.DrawTextA(ansiCaption, -1, rect, DT_CENTER);
}

} // namespace quillion
