// DrawCode128 as the window calls it: a 21-character text with its caption below the bars on
// the 427 x 73 picture area.
#include "draw/surface.h"
#include "symbols/Special128.h"
#include "symbols/code128_window_request.h"

#include <benchmark/benchmark.h>

namespace {

quillion::BarcodeRequest WindowRequest(std::u16string text, std::int32_t position,
                                       std::int32_t style) {
    return quillion::WindowCode128Request(text, true, position, style);
}

void DrawCode128WithCaption(benchmark::State& state) {
    quillion::DrawingSurface surface(427, 73);
    const quillion::BarcodeRequest sent =
        WindowRequest(u"Coca Cola 12pk $6.99!", static_cast<std::int32_t>(state.range(0)), 0);
    for (auto _ : state) {
        quillion::BarcodeRequest request = sent;
        benchmark::DoNotOptimize(quillion::DrawCode128(request, surface.hDC()));
        benchmark::DoNotOptimize(request.Width);
    }
}
BENCHMARK(DrawCode128WithCaption)->Arg(1)->Arg(2)->ArgName("position");

void DrawCode128NoCaption(benchmark::State& state) {
    quillion::DrawingSurface surface(427, 73);
    quillion::BarcodeRequest sent = WindowRequest(u"Coca Cola 12pk $6.99!", 1, 0);
    sent.Caption.clear();
    for (auto _ : state) {
        quillion::BarcodeRequest request = sent;
        benchmark::DoNotOptimize(quillion::DrawCode128(request, surface.hDC()));
    }
}
BENCHMARK(DrawCode128NoCaption);

} // namespace
