// Saving a Code 128 picture of the window's picture-area size (427 x 73 pixels) as "Save As JPG"
// does: encoded at quality 80, written to a temporary file, flushed and renamed over the target.
// Measured on /dev/shm (memory) and on the work disk (the build folder).
#include "SaveAsJPG.h"

#include "draw/surface.h"
#include "symbols/Special128.h"
#include "symbols/code128_caption.h"
#include "symbols/code128_window_request.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

quillion::Image Code128Picture() {
    quillion::DrawingSurface surface(427, 73);
    quillion::BarcodeRequest request =
        quillion::WindowCode128Request(u"Coca Cola 12pk $6.99", true, quillion::kCaptionBottom, 0);
    quillion::DrawCode128(request, surface.hDC());
    // Keep the window's area size: the whole picture box is saved.
    return surface.GetImage();
}

std::u16string Utf16(const std::string& s) {
    return {s.begin(), s.end()}; // ASCII paths
}

void SaveCode128(benchmark::State& state, const std::string& folder) {
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/quillion-bench.jpg";
    const quillion::Image picture = Code128Picture();
    const std::u16string name = Utf16(path);
    for (auto _ : state) {
        quillion::SavePictureAsJpeg(picture, name, 80);
    }
    state.counters["bytes"] = double(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

void BM_SaveCode128_DevShm(benchmark::State& state) {
    SaveCode128(state, "/dev/shm/quillion-bench");
}
void BM_SaveCode128_WorkDisk(benchmark::State& state) {
    SaveCode128(state, std::filesystem::current_path().string() + "/quillion-bench");
}

BENCHMARK(BM_SaveCode128_DevShm)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveCode128_WorkDisk)->Unit(benchmark::kMicrosecond);

} // namespace
