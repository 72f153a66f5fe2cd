// The symbol model through the public API against libzint and ZXing-C++, stage by stage:
//   Encode*  : text to modules (api::Encode) vs ZBarcode_Encode on a fresh symbol (no buffer);
//   Picture* : text to a picture at 1 pixel per module without caption (api::Render, at its
//              usual height and at zint's) vs ZBarcode_Encode_and_Buffer without text (scale
//              0.5 = 1 px/module, as Quillion's; scale 1 = 2 px/module);
//   Png*     : text to the bytes of a PNG file (api::Render + api::EncodePng) vs ZXing-C++'s
//              writer (MultiFormatWriter to a BitMatrix, ToMatrix<uint8_t>, a 1-bit libpng
//              file written to memory) at the same width and height as Quillion's picture.
// Code 128 (automatic code sets) of "Coca-Cola-12pk-699" and EAN-13 take every stage; QR Code
// (a 60-character URL) and Data Matrix only the encoding, as does a 990-character Code 128. Run
// interleaved, e.g.
//   ./build-bench/bench/symbol_bench --benchmark_repetitions=9
//       --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
#include "quillion/quillion.hpp"

#include <ZXing/BarcodeFormat.h>
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>
#include <benchmark/benchmark.h>
#include <png.h>
#include <zint.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

namespace api = quillion::api;

const std::string kCode128 = "Coca-Cola-12pk-699";
const std::string kEan13 = "590123412345"; // check digit appended
// 990 characters in runs of digits and of letters (zint takes at most 160): with the 18 of
// kCode128, the cost per character of the shortest-path search, which should stay flat.
const std::string kCode128Long = [] {
    std::string text;
    for (int k = 0; text.size() < 990; ++k)
        text += k % 3 == 0 ? "20261208" : (k % 3 == 1 ? "Quill-" : "ab7");
    text.resize(990);
    return text;
}();
const std::string kUrl = "https://quillion.example/orders/2026/12/07?id=AB-1234567&q=1"; // 60

struct Case {
    api::Symbology symbology;
    int zint;
    ZXing::BarcodeFormat zxing;
    const std::string& text;
};
const Case kCode128Case{api::Symbology::Code128, BARCODE_CODE128, ZXing::BarcodeFormat::Code128,
                        kCode128};
const Case kCode128LongCase{api::Symbology::Code128, BARCODE_CODE128, ZXing::BarcodeFormat::Code128,
                            kCode128Long};
const Case kEan13Case{api::Symbology::Ean13, BARCODE_EANX, ZXing::BarcodeFormat::EAN13, kEan13};
const Case kQrCase{api::Symbology::QrCode, BARCODE_QRCODE, ZXing::BarcodeFormat::QRCode, kUrl};
const Case kDmCase{api::Symbology::DataMatrix, BARCODE_DATAMATRIX, ZXing::BarcodeFormat::DataMatrix,
                   kUrl};

api::Options PlainOptions() {
    api::Options options;
    options.caption = api::CaptionPosition::None;
    options.moduleWidth = 1;
    options.codeSet = api::CodeSet::Auto;
    return options;
}

void QuillionEncode(benchmark::State& state, const Case& c) {
    const api::Options options = PlainOptions();
    for (auto _ : state) {
        api::EncodeResult result = api::Encode(c.symbology, c.text, options);
        if (!result) {
            state.SkipWithError(result.error().message.c_str());
            break;
        }
        benchmark::DoNotOptimize(result);
    }
}

void ZintEncode(benchmark::State& state, const Case& c) {
    for (auto _ : state) {
        zint_symbol* symbol = ZBarcode_Create();
        symbol->symbology = c.zint;
        const int error = ZBarcode_Encode(
            symbol, reinterpret_cast<const unsigned char*>(c.text.data()), int(c.text.size()));
        if (error >= ZINT_ERROR) {
            state.SkipWithError(symbol->errtxt);
            ZBarcode_Delete(symbol);
            break;
        }
        benchmark::DoNotOptimize(symbol->encoded_data);
        ZBarcode_Delete(symbol);
    }
}

// barHeight 0: the usual height; else the bars' height in pixels (to match zint's picture).
void QuillionPicture(benchmark::State& state, const Case& c, int barHeight) {
    api::Options options = PlainOptions();
    options.barHeight = barHeight;
    int width = 0, height = 0;
    for (auto _ : state) {
        api::RenderResult result = api::Render(c.symbology, c.text, options);
        if (!result) {
            state.SkipWithError(result.error().message.c_str());
            break;
        }
        width = result.picture().Width();
        height = result.picture().Height();
        benchmark::DoNotOptimize(result);
    }
    state.counters["width"] = width;
    state.counters["height"] = height;
}

void ZintPicture(benchmark::State& state, const Case& c, float scale) {
    int width = 0, height = 0;
    for (auto _ : state) {
        zint_symbol* symbol = ZBarcode_Create();
        symbol->symbology = c.zint;
        symbol->show_hrt = 0;
        symbol->scale = scale;
        const int error = ZBarcode_Encode_and_Buffer(
            symbol, reinterpret_cast<const unsigned char*>(c.text.data()), int(c.text.size()), 0);
        if (error >= ZINT_ERROR) {
            state.SkipWithError(symbol->errtxt);
            ZBarcode_Delete(symbol);
            break;
        }
        width = symbol->bitmap_width;
        height = symbol->bitmap_height;
        benchmark::DoNotOptimize(symbol->bitmap);
        ZBarcode_Delete(symbol);
    }
    state.counters["width"] = width;
    state.counters["height"] = height;
}

void QuillionPng(benchmark::State& state, const Case& c) {
    const api::Options options = PlainOptions();
    std::size_t bytes = 0;
    for (auto _ : state) {
        api::RenderResult result = api::Render(c.symbology, c.text, options);
        if (!result) {
            state.SkipWithError(result.error().message.c_str());
            break;
        }
        const std::vector<std::uint8_t> png = api::EncodePng(result.picture());
        bytes = png.size();
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["bytes"] = double(bytes);
}

// quillion-render's default Code 128: the window's set B picture with its caption (the path of
// bench/peer_zint.sh), for comparison with the symbol model's picture above.
void QuillionPngWindowLook(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        api::RenderResult result = api::Render(api::Symbology::Code128, "Coca Cola 12pk $6.99!");
        if (!result) {
            state.SkipWithError(result.error().message.c_str());
            break;
        }
        const std::vector<std::uint8_t> png = api::EncodePng(result.picture());
        bytes = png.size();
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(QuillionPngWindowLook);

void AppendToVector(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

// A 1-bit grey matrix (rows of stride bytes, first pixel in the high bit) as a PNG, into memory.
// Nothing with a destructor lives across the setjmp.
bool WritePng1Bit(const png_byte* packed, int width, int height, std::size_t stride,
                  std::vector<std::uint8_t>* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, AppendToVector, nullptr);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 1, PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, packed + std::size_t(y) * stride);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// ToMatrix's bytes (0 black, 255 white) packed 8 pixels a byte, then written by libpng.
bool MatrixToPng(const ZXing::Matrix<std::uint8_t>& matrix, std::vector<std::uint8_t>& out) {
    const int width = matrix.width(), height = matrix.height();
    const std::size_t stride = std::size_t(width + 7) / 8;
    std::vector<png_byte> packed(stride * std::size_t(height), 0);
    const std::uint8_t* pixels = matrix.data();
    for (int y = 0; y < height; ++y) {
        png_byte* row = packed.data() + std::size_t(y) * stride;
        for (int x = 0; x < width; ++x)
            if (pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] != 0)
                row[std::size_t(x) / 8] |= png_byte(0x80u >> (x % 8));
    }
    return WritePng1Bit(packed.data(), width, height, stride, &out);
}

void ZxingPng(benchmark::State& state, const Case& c) {
    // The same size as Quillion's picture (ZXing draws 1-D symbols as tall as asked).
    const api::RenderResult reference = api::Render(c.symbology, c.text, PlainOptions());
    if (!reference) {
        state.SkipWithError(reference.error().message.c_str());
        return;
    }
    const int width = reference.picture().Width(), height = reference.picture().Height();
    std::size_t bytes = 0;
    for (auto _ : state) {
        ZXing::MultiFormatWriter writer(c.zxing);
        writer.setMargin(0);
        const ZXing::BitMatrix bits = writer.encode(c.text, width, height);
        const ZXing::Matrix<std::uint8_t> matrix = ZXing::ToMatrix<std::uint8_t>(bits);
        std::vector<std::uint8_t> png;
        if (!MatrixToPng(matrix, png)) {
            state.SkipWithError("libpng failed");
            break;
        }
        bytes = png.size();
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["bytes"] = double(bytes);
}

BENCHMARK_CAPTURE(QuillionEncode, Code128Auto, kCode128Case);
BENCHMARK_CAPTURE(ZintEncode, Code128Auto, kCode128Case);
BENCHMARK_CAPTURE(QuillionEncode, Code128Auto990, kCode128LongCase);
BENCHMARK_CAPTURE(QuillionEncode, Ean13, kEan13Case);
BENCHMARK_CAPTURE(ZintEncode, Ean13, kEan13Case);
BENCHMARK_CAPTURE(QuillionEncode, QrUrl60, kQrCase);
BENCHMARK_CAPTURE(ZintEncode, QrUrl60, kQrCase);
BENCHMARK_CAPTURE(QuillionEncode, DataMatrixUrl60, kDmCase);
BENCHMARK_CAPTURE(ZintEncode, DataMatrixUrl60, kDmCase);

BENCHMARK_CAPTURE(QuillionPicture, Code128Auto, kCode128Case, 0);
BENCHMARK_CAPTURE(QuillionPicture, Code128Auto_zintHeight, kCode128Case, 50);
BENCHMARK_CAPTURE(ZintPicture, Code128Auto_1px, kCode128Case, 0.5f);
BENCHMARK_CAPTURE(ZintPicture, Code128Auto_scale1, kCode128Case, 1.0f);
BENCHMARK_CAPTURE(QuillionPicture, Ean13, kEan13Case, 0);
BENCHMARK_CAPTURE(QuillionPicture, Ean13_zintHeight, kEan13Case, 50);
BENCHMARK_CAPTURE(ZintPicture, Ean13_1px, kEan13Case, 0.5f);
BENCHMARK_CAPTURE(ZintPicture, Ean13_scale1, kEan13Case, 1.0f);

BENCHMARK_CAPTURE(QuillionPng, Code128Auto, kCode128Case);
BENCHMARK_CAPTURE(ZxingPng, Code128Auto, kCode128Case);
BENCHMARK_CAPTURE(QuillionPng, Ean13, kEan13Case);
BENCHMARK_CAPTURE(ZxingPng, Ean13, kEan13Case);

} // namespace
