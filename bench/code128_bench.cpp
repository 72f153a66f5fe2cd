// DrawCode128 as the window calls it: a 21-character text with its caption below the bars on
// the 427 x 73 picture area. The shortest Code 128 of mixed texts of 10 to 1,000 characters:
// the time per character stays the same.
#include "draw/surface.h"
#include "symbols/Special128.h"
#include "symbols/code128_values.h"
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

void EncodeShortestCode128(benchmark::State& state) {
    // Runs of letters, digits, controls and characters beyond 127, repeated to the length.
    const std::u16string pattern = u"Gr\u00FC\u00DFe 0123456789 \u00E9\u00E9\u00E9\u0001AB\u00FF";
    std::vector<quillion::Code128Unit> units;
    for (std::int64_t i = 0; i < state.range(0); ++i)
        units.push_back(pattern[static_cast<std::size_t>(i) % pattern.size()]);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            quillion::EncodeCode128Units(units, quillion::Code128CodeSet::Auto));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(EncodeShortestCode128)->Arg(10)->Arg(100)->Arg(1000)->ArgName("characters");

} // namespace
