// The names of a batch's files and the line that sums a batch up.
#pragma once

#include "options.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

namespace quillion::cli {

inline constexpr std::size_t kMaxTextNameBytes = 100;

// A text made safe as a file name: ASCII letters, digits, "-", "_" and "." stay, every other
// byte becomes "_", a leading "." too (no hidden files); cut to kMaxTextNameBytes bytes.
std::string SafeFileStem(std::string_view text);

// Names the lines of one batch, given in input order: by line number (BatchFileName), or by
// the text made safe, a name already given getting "-2", "-3", ... before its ending. The same
// lines always get the same names. Naming by text keeps every name given (memory grows with
// the names, about their length per line).
class BatchNamer {
public:
    BatchNamer(NameRule rule, std::size_t lineCount, OutputFormat format);
    std::string Next(std::size_t lineNumber, std::string_view text);

private:
    NameRule rule_;
    std::size_t lineCount_;
    OutputFormat format_;
    std::unordered_set<std::string> given_;
};

// "N written, M failed".
std::string BatchSummary(std::size_t written, std::size_t failed);

} // namespace quillion::cli
