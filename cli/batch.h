// Batch mode: one barcode per line of a text file, written to numbered files in a folder.
#pragma once

#include "options.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quillion::cli {

struct BatchLine {
    std::size_t number = 0; // 1-based line number in the input
    std::string_view bytes; // the line without its line end
};

// Splits input into its non-empty lines: LF ends a line, a CR before it (or any run of CRs
// at its end) is stripped, a UTF-8 byte order mark at the very start is dropped. lineCount gets
// the number of lines including the empty ones.
std::vector<BatchLine> SplitLines(std::string_view input, std::size_t& lineCount);

// The file name of a line: its number with at least five digits, more when the input has more
// lines, so the names sort in line order ("00001.png").
std::string BatchFileName(std::size_t lineNumber, std::size_t lineCount, OutputFormat format);

// Renders every line of options.batch into options.outDir (created when missing). Failing
// lines are reported on err as "line N: message" in line order after the others are done; a
// progress line goes to err while rendering when showProgress is set. Returns the exit status:
// 0 when every line was written, 1 otherwise.
int RunBatch(const RenderOptions& options, std::ostream& err, bool showProgress);

} // namespace quillion::cli
