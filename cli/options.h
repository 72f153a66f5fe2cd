// Command-line options of quillion-render.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillion::cli {

struct RenderOptions {
    bool caption = true;
    std::int32_t captionPosition = 1; // 1 below the bars, 2 above (the window's list index + 1)
    std::int32_t fontStyle = 0;       // the window's style list index
    std::string output;
    std::string text; // UTF-8
    bool help = false;
};

struct ParseResult {
    std::optional<RenderOptions> options; // empty when the arguments are bad
    std::string error;                    // why, when they are
};

// Parses the arguments after the program name. Options take their value as the next argument
// or after "=" ("--style=bold"); "--" ends the options, so a text may start with "-".
ParseResult ParseArguments(const std::vector<std::string>& args);

// The usage line.
std::string Usage();

} // namespace quillion::cli
