// Command-line options of quillion-render.
#pragma once

#include "label_finish.h"
#include "label_size.h"
#include "quillion/quillion.hpp"
#include "seams.h"
#include "symbols/code128_values.h"
#include "window_controls.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillion::cli {

enum class OutputFormat { Png, Jpeg, Svg };

// How a batch names its files: by line number, or after the line's text.
enum class NameRule { Line, Text };

inline constexpr int kMaxScale = 20;

// What the window has not: Code 128's code sets (--code-set) and stand-ins, Code 39's check
// character (--check-digit), the 2D symbols' options.
struct OtherSettings {
    Code128CodeSet codeSet = Code128CodeSet::B;
    bool checkDigit = false;
    bool windowStandIns = false;
    api::Ecc ecc = api::Ecc::M;
    bool keepEcc = false;
    int qrVersion = 0;
    int mask = -1;
    int dmRows = 0, dmColumns = 0;
    bool dmSquare = false;
    bool dmRectExtensions = false;
    bool eci = true;
    bool noQuietZones = false;
    bool captionGiven = false; // --caption was given (the GS1 2D symbols print text only then)
};

inline constexpr int kMaxDpi = 3200;

// The label's size, look and resolution beyond the window's. The lengths as given are made
// whole pixels at dpi once all options are read.
struct LabelSettings {
    std::optional<Length> moduleLength, heightLength, fitLength, marginLength;
    int moduleWidth = 0; // pixels per module; 0: the symbology's usual
    int barHeight = 0;   // pixels; 0: the usual for the module
    int fitWidth = 0;    // pixels the picture may take at most; 0: no limit
    int margin = 0;      // pixels of background all round
    bool quietZones = false;
    Pixel foreground = kOpaqueBlack;
    Pixel background = kOpaqueWhite;
    int rotation = 0;
    int dpi = 96;
    bool dpiGiven = false;

    bool HasAlpha() const { return (foreground >> 24) != 0xFF || (background >> 24) != 0xFF; }
};

struct RenderOptions {
    api::Symbology type = api::Symbology::Code128; // the registry's
    library::ControlSettings
        controls; // the caption choices; the type is the window's control, if any
    OtherSettings other;
    // One barcode: the file ("-" for standard output) and the text (UTF-8).
    std::string output;
    std::string text;
    // Batch mode: the input file ("-" for standard input), the folder and the files' names.
    std::string batch;
    std::string outDir;
    NameRule names = NameRule::Line;
    int jobs = 0; // worker threads; 0: one per processor
    // The files' format: --format, else the output name's ending; PNG for standard output and
    // batches without --format.
    OutputFormat format = OutputFormat::Png;
    LabelSettings label;
    int scale = 1;       // every picture pixel becomes scale x scale pixels
    bool verify = false; // read every picture back before it is written
    bool help = false;
    bool version = false;
    std::string gs1Show; // --gs1-show TEXT: the three forms of a GS1 text, nothing rendered

    bool IsBatch() const { return !batch.empty(); }
    bool ToStandardOutput() const { return output == "-"; }
};

struct ParseResult {
    std::optional<RenderOptions> options; // empty when the arguments are bad
    std::string error;                    // why, when they are
    std::vector<std::string> warnings;    // lengths far from their whole pixels
};

// Parses the arguments after the program name (getopt_long's rules): short options ("-t upca",
// "-tupca"), long ones with their value as the next argument or after "=" ("--style=bold"),
// words in any case; "--" ends the options, so a text may start with "-".
ParseResult ParseArguments(const std::vector<std::string>& args);

// The usage lines.
std::string Usage();
// --help: every option, one line each, by group.
std::string Help();
// "quillion-render VERSION".
std::string VersionLine();

// The format an output file's name asks for by its ending (any case): ".png", ".jpg" or
// ".jpeg", ".svg"; none for another ending or none.
std::optional<OutputFormat> FormatOfFileName(const std::string& fileName);

// The file name ending of a format, with its dot.
const char* FileEnding(OutputFormat format);

} // namespace quillion::cli
