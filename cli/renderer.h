// quillion-render's program, callable with any argument list and output streams.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace quillion::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Runs quillion-render with the arguments after the program name: usage and help go to out,
// messages and progress (shown when progress is set) to err. Returns the exit status: 0, 1
// (a failure, including a failed write to out or err), 2 (bad options), or 128 + the signal
// that stopped a batch.
int RunRenderer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                bool progress);

// The same with streams made on first use: a run that writes nothing to one never makes it
// (building a stream sets up the C++ locale, a good part of a single run's start-up).
using StreamMaker = std::function<std::ostream&()>;
int RunRenderer(const std::vector<std::string>& args, const StreamMaker& out,
                const StreamMaker& err, bool progress);

// Gives each of the descriptors 0, 1 and 2 that is closed a stand-in on which reading and
// writing fail, so that no file opened later takes its place (messages written into a picture,
// a folder read as input). Tells the batch reader when standard input was closed.
void GuardStandardDescriptors();

} // namespace quillion::cli
