// quillion-render: generates barcodes as the window does, without a window, and writes what
// "Save As JPG" would write (or the same pixels as PNG); one barcode or a batch of them.
#include "quillion/quillion.hpp"
#include "renderer.h"

#include <csignal>
#include <cstdio>
#include <ext/stdio_sync_filebuf.h>
#include <optional>
#include <ostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Standard output or error as std::cout and std::cerr are (writes go straight to the C
// stream), made only when something is written: a run that writes only its picture file
// sets up no C++ stream at all.
struct StandardStream {
    explicit StandardStream(std::FILE* file) : buffer(file), stream(&buffer) {}
    __gnu_cxx::stdio_sync_filebuf<char> buffer;
    std::ostream stream;
};

} // namespace

int main(int argc, char** argv) {
    quillion::cli::GuardStandardDescriptors();
    quillion::api::KeepFontsBetweenRuns(); // one barcode per run: start-up is most of the time
    // A reader that goes away is a write error (EPIPE), reported like any other.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::optional<StandardStream> out, err;
    const int status = quillion::cli::RunRenderer(
        args, [&]() -> std::ostream& { return out.emplace(stdout).stream; },
        [&]() -> std::ostream& {
            // As std::cerr: flushed after every message, standard output flushed first.
            std::ostream& stream = err.emplace(stderr).stream;
            stream.setf(std::ios::unitbuf);
            if (out)
                stream.tie(&out->stream);
            return stream;
        },
        ::isatty(STDERR_FILENO) == 1);
    quillion::api::KeepRenderedGlyphs(); // the next run paints known captions without FreeType
    return status;
}
