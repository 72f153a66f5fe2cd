// quillion-render: paints a barcode as the window does and writes it to a PNG file.
#include "Special128.h"
#include "ansi.h"
#include "code128_render.h"
#include "options.h"
#include "png_writer.h"
#include "runtime.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Run(const quillion::cli::RenderOptions& options) {
    using namespace quillion;
    const BarcodeRequest request = cli::WindowCode128Request(
        Utf8ToUtf16(options.text), options.caption, options.captionPosition, options.fontStyle);
    cli::Code128Render render;
    try {
        render = cli::RenderCode128(request);
    } catch (const RuntimeError& e) {
        std::cerr << "quillion-render: " << e.Description() << '\n';
        return kExitFailed;
    }
    if (render.code != 0) {
        std::cerr << Code128ErrorText(render.code) << '\n';
        return kExitFailed;
    }
    if (render.image.width == 0 || render.image.height == 0) {
        std::cerr << "quillion-render: nothing was painted (the text is empty); no file written\n";
        return kExitFailed;
    }
    std::string error;
    if (!cli::WritePng(render.image, options.output, error)) {
        std::cerr << "quillion-render: cannot write " << options.output << ": " << error << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto parsed = quillion::cli::ParseArguments(args);
    if (!parsed.options) {
        std::cerr << "quillion-render: " << parsed.error << '\n' << quillion::cli::Usage() << '\n';
        return kExitUsage;
    }
    if (parsed.options->help) {
        std::cout << quillion::cli::Usage() << '\n';
        return kExitOk;
    }
    return Run(*parsed.options);
}
