// The stages of one quillion-render batch line: the window's generate handler (Code 128 with
// caption, a 21-character text), PNG encoding of the export picture, and writing the file to
// tmpfs under a temporary name renamed over the final one; and a line's picture and file bytes
// as the batch makes them (the library's Render and EncodePng: the painting kept and written at
// one bit per pixel).
#include "draw/bilevel.h"
#include "generator.h"
#include "picture_output.h"
#include "png_writer.h"
#include "quillion/quillion.hpp"
#include "runtime/whole_file.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace quillion;

const std::u16string kText = u"Coca Cola 12pk $6.99!";

void Generate(benchmark::State& state) {
    library::Generator generator(library::ControlSettings{});
    for (auto _ : state)
        benchmark::DoNotOptimize(generator.Generate(kText).picture);
}
BENCHMARK(Generate);

void EncodePng(benchmark::State& state) {
    library::Generator generator(library::ControlSettings{});
    const Image picture = *generator.Generate(kText).picture;
    library::PngEncoder encoder;
    std::vector<std::uint8_t> bytes;
    for (auto _ : state) {
        encoder.Encode(picture, bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(EncodePng);

void GenerateKeepingThePainting(benchmark::State& state) {
    library::Generator generator(library::ControlSettings{}, library::Generator::Keep::Painting);
    for (auto _ : state)
        benchmark::DoNotOptimize(generator.Generate(kText).painting);
}
BENCHMARK(GenerateKeepingThePainting);

void PaintingAtOneBit(benchmark::State& state) {
    library::Generator generator(library::ControlSettings{}, library::Generator::Keep::Painting);
    const library::Generation g = generator.Generate(kText);
    Bilevel bits;
    for (auto _ : state) {
        ReplayBilevel(*g.painting, g.width, g.height, bits);
        benchmark::DoNotOptimize(bits.bits.data());
    }
}
BENCHMARK(PaintingAtOneBit);

void EncodePngAtOneBit(benchmark::State& state) {
    library::Generator generator(library::ControlSettings{}, library::Generator::Keep::Painting);
    const library::Generation g = generator.Generate(kText);
    Bilevel bits;
    ReplayBilevel(*g.painting, g.width, g.height, bits);
    library::PngEncoder encoder;
    std::vector<std::uint8_t> bytes;
    for (auto _ : state) {
        encoder.Encode(bits, bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(EncodePngAtOneBit);

void RenderAndEncodePng(benchmark::State& state) {
    const std::string text = "Coca Cola 12pk $6.99!";
    for (auto _ : state) {
        const api::RenderResult r = api::Render(api::Symbology::Code128, text);
        benchmark::DoNotOptimize(api::EncodePng(r.picture()).data());
    }
}
BENCHMARK(RenderAndEncodePng);

void WriteFileOnTmpfs(benchmark::State& state) {
    const std::string name = "quillion-stage-bench-" + std::to_string(::getpid());
    const int folder = ::open("/dev/shm", O_RDONLY | O_DIRECTORY);
    const std::vector<std::uint8_t> bytes(std::size_t(state.range(0)), 0x55);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReplaceInFolder(folder, name, bytes.data(), bytes.size()));
    ::unlinkat(folder, name.c_str(), 0);
    ::close(folder);
}
BENCHMARK(WriteFileOnTmpfs)->Arg(500)->Arg(2500);

} // namespace
