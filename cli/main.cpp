// quillion-render: generates barcodes as the window does, without a window, and writes what
// "Save As JPG" would write, the same pixels as PNG, or SVG; one barcode or a batch of them.
#include "batch.h"
#include "generator.h"
#include "options.h"
#include "picture_output.h"
#include "utf8_text.h"

#include <csignal>
#include <iostream>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int RenderOne(const quillion::cli::RenderOptions& options) {
    using namespace quillion::cli;
    const std::optional<std::u16string> text = DecodeUtf8(options.text);
    if (!text) {
        std::cerr << "quillion-render: the text is not valid UTF-8\n";
        return kExitFailed;
    }
    Generator generator(options.controls, options.verify, options.format == OutputFormat::Svg);
    const Generation generation = generator.Generate(*text);
    if (generation.picture == nullptr) {
        std::cerr << generation.message << '\n';
        return kExitFailed;
    }
    PictureWriter writer(options.scale, generator.Record());
    const std::string error = writer.Write(*generation.picture, options.output, options.format);
    if (!error.empty()) {
        std::cerr << "quillion-render: cannot write "
                  << (options.ToStandardOutput() ? "to standard output" : options.output) << ": "
                  << error << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    using namespace quillion::cli;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParseResult parsed = ParseArguments(args);
    if (!parsed.options) {
        std::cerr << "quillion-render: " << parsed.error << '\n' << Usage() << '\n';
        return kExitUsage;
    }
    if (parsed.options->help || parsed.options->version) {
        std::cout << (parsed.options->help ? Usage() : VersionLine()) << '\n' << std::flush;
        return std::cout ? kExitOk : kExitFailed;
    }
    // A reader that goes away is a failed write (exit status 1), not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        if (parsed.options->IsBatch())
            return RunBatch(*parsed.options, std::cerr, ::isatty(STDERR_FILENO) == 1);
        return RenderOne(*parsed.options);
    } catch (const std::bad_alloc&) {
        std::cerr << "quillion-render: out of memory\n";
        return kExitFailed;
    }
}
