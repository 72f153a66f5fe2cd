// Drawing-surface costs that bound a Code 128 render: a 21-character caption through DrawTextA,
// the font record to font lookup every render makes, and rectangle fills of bar size.
#include "draw/gdi.h"
#include "draw/surface.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

using namespace quillion;

LOGFONTA CaptionFont() {
    LOGFONTA lf;
    lf.lfHeight = -13;
    lf.lfWeight = FW_NORMAL;
    lf.lfEscapement = 3600;
    std::strcpy(lf.lfFaceName, "Courier New");
    return lf;
}

constexpr const char* kCaption = "QUILLION-0123456789AB"; // 21 characters

void BM_DrawTextCaption(benchmark::State& state) {
    DrawingSurface surface(427, 73);
    DeviceContext& dc = surface.hDC();
    const HGDIOBJ font = dc.CreateFontIndirectA(CaptionFont());
    const HGDIOBJ old = dc.SelectObject(font);
    dc.SetBkMode(TRANSPARENT);
    for (auto _ : state) {
        RECT rect{0, 44, 250, 59};
        benchmark::DoNotOptimize(dc.DrawTextA(kCaption, 21, rect, DT_CENTER));
    }
    dc.SelectObject(old);
    dc.DeleteObject(font);
}
BENCHMARK(BM_DrawTextCaption);

void BM_MeasureCaption(benchmark::State& state) {
    DrawingSurface surface(427, 73);
    DeviceContext& dc = surface.hDC();
    const HGDIOBJ font = dc.CreateFontIndirectA(CaptionFont());
    const HGDIOBJ old = dc.SelectObject(font);
    for (auto _ : state) {
        SIZE size;
        benchmark::DoNotOptimize(dc.GetTextExtentPoint32A(kCaption, 21, size));
    }
    dc.SelectObject(old);
    dc.DeleteObject(font);
}
BENCHMARK(BM_MeasureCaption);

void BM_CreateSelectDeleteFont(benchmark::State& state) {
    DrawingSurface surface(10, 10);
    DeviceContext& dc = surface.hDC();
    const LOGFONTA lf = CaptionFont();
    for (auto _ : state) {
        const HGDIOBJ font = dc.CreateFontIndirectA(lf);
        const HGDIOBJ old = dc.SelectObject(font);
        TEXTMETRICA tm;
        dc.GetTextMetricsA(tm);
        dc.SelectObject(old);
        dc.DeleteObject(font);
        benchmark::DoNotOptimize(tm.tmHeight);
    }
}
BENCHMARK(BM_CreateSelectDeleteFont);

// One bar of a Code 128 symbol: width 1..4 modules, 40 rows, pen and brush selected.
void BM_RectangleBar(benchmark::State& state) {
    DrawingSurface surface(427, 73);
    DeviceContext& dc = surface.hDC();
    const HGDIOBJ brush = dc.CreateSolidBrush(kBlack);
    const HGDIOBJ pen = dc.CreatePen(PS_SOLID, 1, kBlack);
    dc.SelectObject(brush);
    dc.SelectObject(pen);
    int x = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dc.Rectangle(x, 0, x + 2, 40));
        x = (x + 3) % 400;
    }
    dc.SelectObject(dc.GetStockObject(WHITE_BRUSH));
    dc.SelectObject(dc.GetStockObject(BLACK_PEN));
    dc.DeleteObject(brush);
    dc.DeleteObject(pen);
}
BENCHMARK(BM_RectangleBar);

// The background of a painted area: the whole 427 x 73 surface with the null pen.
void BM_RectangleBackground(benchmark::State& state) {
    DrawingSurface surface(427, 73);
    DeviceContext& dc = surface.hDC();
    const HGDIOBJ brush = dc.CreateSolidBrush(kWhite);
    dc.SelectObject(brush);
    dc.SelectObject(dc.GetStockObject(NULL_PEN));
    for (auto _ : state)
        benchmark::DoNotOptimize(dc.Rectangle(0, 0, 429, 74));
    dc.SelectObject(dc.GetStockObject(WHITE_BRUSH));
    dc.DeleteObject(brush);
}
BENCHMARK(BM_RectangleBackground);

void BM_PrintCaption(benchmark::State& state) {
    DrawingSurface surface(427, 73);
    surface.SetScaleMode(ScaleMode::Pixels);
    surface.SetFontSize(10);
    for (auto _ : state) {
        surface.SetCurrentX(10);
        surface.SetCurrentY(40);
        surface.Print(u"QUILLION-0123456789AB");
    }
}
BENCHMARK(BM_PrintCaption);

} // namespace
