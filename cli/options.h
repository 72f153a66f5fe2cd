// Command-line options of quillion-render.
#pragma once

#include "seams.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillion::cli {

enum class OutputFormat { Png, Jpeg };

// What the window's controls hold when the barcode is generated.
struct ControlSettings {
    Symbology type = Symbology::Code128;
    bool caption = true;
    int captionPositionIndex = 0; // the window's list: 0 bottom, 1 top
    int fontStyleIndex = 0;       // 0 regular, 1 bold, 2 italic, 3 bold italic, 4 underline
};

struct RenderOptions {
    ControlSettings controls;
    // One barcode: the file (its ending chooses JPEG or PNG) and the text (UTF-8).
    std::string output;
    std::string text;
    // Batch mode: the input file ("-" for standard input), the folder and the files' format.
    std::string batch;
    std::string outDir;
    OutputFormat format = OutputFormat::Png;
    int jobs = 0;        // worker threads; 0: one per processor
    bool verify = false; // read every picture back before it is written
    bool help = false;

    bool IsBatch() const { return !batch.empty(); }
};

struct ParseResult {
    std::optional<RenderOptions> options; // empty when the arguments are bad
    std::string error;                    // why, when they are
};

// Parses the arguments after the program name. Options take their value as the next argument
// or after "=" ("--style=bold"); "--" ends the options, so a text may start with "-".
ParseResult ParseArguments(const std::vector<std::string>& args);

// The usage lines.
std::string Usage();

// The format an output file's name asks for: JPEG for ".jpg" and ".jpeg" (any case), PNG
// otherwise.
OutputFormat FormatOfFileName(const std::string& fileName);

} // namespace quillion::cli
