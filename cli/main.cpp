// quillion-render: generates barcodes as the window does, without a window, and writes what
// "Save As JPG" would write (or the same pixels as PNG); one barcode or a batch of them.
#include "renderer.h"

#include <csignal>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    quillion::cli::GuardStandardDescriptors();
    // A reader that goes away is a write error (EPIPE), reported like any other.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return quillion::cli::RunRenderer(args, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
}
