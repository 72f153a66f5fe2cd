// Batch mode: one barcode per line of a text file, written to numbered files in a folder.
#pragma once

#include "line_reader.h"
#include "options.h"

#include <cstddef>
#include <ostream>
#include <string>

namespace quillion::cli {

// The file name of a line: its number with at least five digits, more when the input has more
// lines (lineCount, 0 when unknown), so the names sort in line order ("00001.png").
std::string BatchFileName(std::size_t lineNumber, std::size_t lineCount, OutputFormat format);

// Exit statuses of a batch beyond 0 (every line written and synced) and 1 (a line failed, or
// the input, the folder or the sync did): 128 + the signal that stopped it.
inline constexpr int kExitAfterSignal = 128;

// How a batch ended, and the exit status that gives: 128 + the signal that stopped it, else 1
// when a line, the input, the memory or the folder's sync failed, else 0.
struct BatchOutcome {
    std::size_t failedLines = 0;
    int readError = 0; // errno of a failed read of the input
    bool outOfMemory = false;
    int signal = 0;    // the signal that stopped the batch
    int syncError = 0; // errno of the folder's sync
};
int BatchExitStatus(const BatchOutcome& outcome);

// Renders every line of options.batch ("-": standard input) into options.outDir (created when
// missing). The input is read as a stream in a fixed amount of memory; failing lines are
// reported on err as "line N: message" as they happen and the batch goes on. Each file is
// written under a temporary name and renamed over its final name, so every name holds a whole
// file; the folder is synced once at the end. SIGINT, SIGTERM or SIGHUP stop the batch: the
// lines in progress are finished, "interrupted after line N" is reported (every line up to N
// is done) and the status is 128 + the signal. Lines still in progress half a second after the
// signal are left: the program then ends at once (std::_Exit) with that status. Temporary files
// a killed batch left in the folder are removed once they are a minute old. A progress line goes to
// err while rendering when showProgress is set. Returns the exit status.
int RunBatch(const RenderOptions& options, std::ostream& err, bool showProgress);

// RunBatch over an open input: inputName names it in messages, lineCount (0 when unknown) sets
// the width of the file names.
int RunBatchFrom(ByteSource& input, const std::string& inputName, std::size_t lineCount,
                 const RenderOptions& options, std::ostream& err, bool showProgress);

// Set when the program started with its standard input closed: reading "-" then fails with
// EBADF instead of reading whatever was opened in its place.
void SetStandardInputClosed(bool closed);

} // namespace quillion::cli
