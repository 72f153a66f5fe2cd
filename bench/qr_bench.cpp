// QR Code encoding against libzint: a 60-character URL at level M (version 4), a 500-character
// text (version 15) and the largest version 40 byte symbol at level L. zint's figure is
// ZBarcode_Encode on a fresh symbol (as one call of the library makes it); Quillion's is
// EncodeQr up to the finished Symbol (matrix, reading).
//   ./build/bench/qr_bench --benchmark_filter=Url
#include "symbols/qr_code.h"

#include <benchmark/benchmark.h>
#include <zint.h>

#include <string>

namespace {

const std::string kUrl = "https://quillion.example/orders/2026/12/07?id=AB-1234567&q=1"; // 60
const std::string kText500 = [] {
    std::string s;
    while (s.size() < 500)
        s += "The quick brown fox jumps over the lazy dog 0123456789. ";
    s.resize(500);
    return s;
}();
const std::string kBytes2953(2953, 'q');

void Quillion(benchmark::State& state, const std::string& text, quillion::QrEcc ecc) {
    const std::u16string u16(text.begin(), text.end());
    quillion::EncodeOptions options;
    options.ecc = ecc;
    for (auto _ : state) {
        quillion::Encoded e = quillion::EncodeQr(u16, options, false);
        benchmark::DoNotOptimize(e);
    }
}

void Zint(benchmark::State& state, const std::string& text, int level) {
    for (auto _ : state) {
        zint_symbol* symbol = ZBarcode_Create();
        symbol->symbology = BARCODE_QRCODE;
        symbol->option_1 = level;
        const int error = ZBarcode_Encode(
            symbol, reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
        if (error >= ZINT_ERROR)
            state.SkipWithError(symbol->errtxt);
        benchmark::DoNotOptimize(symbol->encoded_data);
        ZBarcode_Delete(symbol);
    }
}

void BM_QuillionUrl(benchmark::State& s) {
    Quillion(s, kUrl, quillion::QrEcc::M);
}
void BM_ZintUrl(benchmark::State& s) {
    Zint(s, kUrl, 2);
}
void BM_QuillionText500(benchmark::State& s) {
    Quillion(s, kText500, quillion::QrEcc::M);
}
void BM_ZintText500(benchmark::State& s) {
    Zint(s, kText500, 2);
}
void BM_QuillionVersion40(benchmark::State& s) {
    Quillion(s, kBytes2953, quillion::QrEcc::L);
}
void BM_ZintVersion40(benchmark::State& s) {
    Zint(s, kBytes2953, 1);
}

BENCHMARK(BM_QuillionUrl);
BENCHMARK(BM_ZintUrl);
BENCHMARK(BM_QuillionText500);
BENCHMARK(BM_ZintText500);
BENCHMARK(BM_QuillionVersion40);
BENCHMARK(BM_ZintVersion40);

} // namespace
