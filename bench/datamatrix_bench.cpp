// Data Matrix encoding of a 60-character URL: Quillion's EncodeDataMatrix against libzint's
// ZBarcode_Encode (when the build found libzint), both from the text to the module matrix.
//   ./build/bench/datamatrix_bench --benchmark_filter=Url
#include "symbols/datamatrix.h"

#include <benchmark/benchmark.h>

#include <string>
#include <variant>

#ifdef QUILLION_HAVE_ZINT
#include <zint.h>
#endif

namespace {

constexpr char kUrl[] = "https://www.example.com/products/item?id=123456&lang=en#spec";
static_assert(sizeof kUrl - 1 == 60);

void BM_QuillionDataMatrixUrl(benchmark::State& state) {
    const std::u16string text(kUrl, kUrl + sizeof kUrl - 1);
    const quillion::EncodeOptions options;
    for (auto _ : state) {
        const quillion::Encoded e = quillion::EncodeDataMatrix(text, options, false);
        benchmark::DoNotOptimize(std::get<quillion::Symbol>(e).matrix.data());
    }
}
BENCHMARK(BM_QuillionDataMatrixUrl);

// Long texts, where the shortest path has the most states: 1000 mixed characters.
void BM_QuillionDataMatrixMixed1000(benchmark::State& state) {
    std::u16string text;
    for (int i = 0; i < 1000; ++i)
        text.push_back(u"AB12 cd*>\xe9:;"[i % 12]);
    const quillion::EncodeOptions options;
    for (auto _ : state) {
        const quillion::Encoded e = quillion::EncodeDataMatrix(text, options, false);
        benchmark::DoNotOptimize(std::get<quillion::Symbol>(e).matrix.data());
    }
}
BENCHMARK(BM_QuillionDataMatrixMixed1000);

#ifdef QUILLION_HAVE_ZINT
void BM_ZintDataMatrixUrl(benchmark::State& state) {
    for (auto _ : state) {
        zint_symbol* symbol = ZBarcode_Create();
        symbol->symbology = BARCODE_DATAMATRIX;
        const int error = ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(kUrl),
                                          int(sizeof kUrl - 1));
        benchmark::DoNotOptimize(error);
        benchmark::DoNotOptimize(symbol->encoded_data);
        ZBarcode_Delete(symbol);
    }
}
BENCHMARK(BM_ZintDataMatrixUrl);
#endif

} // namespace
