// Shared set-up of the Code 128 tests: the request as the window fills it, drawing with the
// device context's object count checked, caption metrics, and cutting an image.
#pragma once

#include "draw/surface.h"
#include "runtime/runtime.h"
#include "symbols/Special128.h"
#include "symbols/code128_caption.h"
#include "symbols/code128_window_request.h"

#include <gtest/gtest.h>

#include <string>

namespace quillion::testing {

inline constexpr int kWindowWidth = 427; // the window's picture area in pixels
inline constexpr int kWindowHeight = 73;

// The request the window sends for a text, with caption, position and style.
inline BarcodeRequest WindowRequest(std::u16string text, bool caption = false,
                                    std::int32_t position = kCaptionBottom,
                                    std::int32_t style = 0) {
    return WindowCode128Request(text, caption, position, style);
}

// DrawCode128 with the checks every call must pass: the live-object count and the selected
// font are as before, whether it returns or raises. Rethrows a RuntimeError.
inline std::int32_t Draw(BarcodeRequest& request, DeviceContext& dc) {
    const int liveBefore = dc.LiveObjectCount();
    const HGDIOBJ fontBefore = dc.SelectedFont();
    try {
        const std::int32_t code = DrawCode128(request, dc);
        EXPECT_EQ(dc.LiveObjectCount(), liveBefore);
        EXPECT_EQ(dc.SelectedFont(), fontBefore);
        return code;
    } catch (const RuntimeError&) {
        EXPECT_EQ(dc.LiveObjectCount(), liveBefore);
        EXPECT_EQ(dc.SelectedFont(), fontBefore);
        throw;
    }
}

// The caption font's metrics and the extent of a text in it, read through the device context
// the way the engine reads them.
struct CaptionMetrics {
    TEXTMETRICA tm;
    SIZE extent;
};
inline CaptionMetrics MeasureWithCaptionFont(const BarcodeRequest& request, DeviceContext& dc,
                                             const std::string& ansiText) {
    const LOGFONTA lf = BuildCaptionLogFont(request, 96);
    const HGDIOBJ font = dc.CreateFontIndirectA(lf);
    const HGDIOBJ previous = dc.SelectObject(font);
    CaptionMetrics m;
    dc.GetTextMetricsA(m.tm);
    dc.GetTextExtentPoint32A(ansiText, static_cast<std::int32_t>(ansiText.size()), m.extent);
    dc.SelectObject(previous);
    dc.DeleteObject(font);
    return m;
}

// The top-left width x height pixels of an image.
inline Image Cut(const Image& image, int width, int height) {
    Image out(width, height, ToPixel(kWhite));
    for (int y = 0; y < height && y < image.height; ++y)
        for (int x = 0; x < width && x < image.width; ++x)
            out.At(x, y) = image.At(x, y);
    return out;
}

inline int CountPixels(const Image& image, COLORREF color) {
    int n = 0;
    for (const Pixel p : image.pixels)
        n += p == ToPixel(color) ? 1 : 0;
    return n;
}

} // namespace quillion::testing
