// Code 39 and UPC-A renderers on a picture area prepared as the window prepares it, caption
// and printed digits included.
#include "draw/surface.h"
#include "symbols/bar39.h"
#include "symbols/mBarcode.h"

#include <benchmark/benchmark.h>

namespace {

using namespace quillion;

void BM_DrawCode39(benchmark::State& state) {
    DrawingSurface surface(427, 73);
    surface.SetScaleMode(ScaleMode::Pixels);
    surface.SetAutoRedraw(true);
    surface.SetContainerScaleMode(ScaleMode::Twips);
    surface.SetOuterHeight(surface.OuterHeight() * 56 / surface.ScaleHeight());
    surface.SetFontSize(10);
    const std::u16string text = u"Coca Cola 12pk $6.99X"; // 21 characters, the typing limit
    for (auto _ : state) {
        surface.Cls();
        DrawCode39(text, surface);
        benchmark::DoNotOptimize(surface.GetImage().pixels.data());
    }
}
BENCHMARK(BM_DrawCode39);

void BM_DrawUpcA(benchmark::State& state) {
    DrawingSurface surface(515, 101);
    surface.SetScaleMode(ScaleMode::Pixels);
    surface.SetAutoRedraw(true);
    surface.SetContainerScaleMode(ScaleMode::Pixels);
    surface.SetOuterHeight(109);
    for (auto _ : state) {
        surface.Cls();
        DrawUpc(surface, u"012345678905", UpcVariant::UpcA);
        benchmark::DoNotOptimize(surface.GetImage().pixels.data());
    }
}
BENCHMARK(BM_DrawUpcA);

} // namespace
