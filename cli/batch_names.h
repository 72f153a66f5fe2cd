// The names of a batch's files and the line that sums a batch up.
#pragma once

#include "batch.h"
#include "options.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillion::cli {

inline constexpr std::size_t kMaxTextNameBytes = 100;

// A text made safe as a file name: ASCII letters, digits, "-", "_" and "." stay, every other
// byte becomes "_", a leading "." too (no hidden files); cut to kMaxTextNameBytes bytes.
std::string SafeFileStem(std::string_view text);

// The file names of the lines, in input order, under rule: the line number (BatchFileName), or
// the text made safe, a name already given getting "-2", "-3", ... before its ending. The same
// lines always get the same names.
std::vector<std::string> BatchFileNames(const std::vector<BatchLine>& lines, std::size_t lineCount,
                                        NameRule rule, OutputFormat format);

// "N written, M failed".
std::string BatchSummary(std::size_t written, std::size_t failed);

} // namespace quillion::cli
