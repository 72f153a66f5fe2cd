#include "batch.h"

#include "batch_names.h"
#include "interrupt.h"
#include "picture_output.h"
#include "runtime/whole_file.h"
#include "utf8_text.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <new>
#include <pthread.h>
#include <sched.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quillion::cli {
namespace {

constexpr std::size_t kMinNameDigits = 5;
constexpr auto kProgressInterval = std::chrono::milliseconds(200);
constexpr std::size_t kCountChunkBytes = 65536;
// How often the waiting thread looks for a stop request, and how long after one it waits for
// the lines in progress before it leaves them unfinished.
constexpr auto kStopPollInterval = std::chrono::milliseconds(50);
constexpr auto kStopGrace = std::chrono::milliseconds(500);

bool standardInputClosed = false;

std::string ErrnoText(int error) {
    return std::generic_category().message(error);
}

struct WorkItem {
    std::size_t number = 0;
    std::string text;    // the line's bytes
    std::string failure; // set when the line failed before rendering
    std::string name;    // its file's name
};

// The input shared by the workers: each takes the next line under the lock, so lines are
// taken in order and every line up to the last one taken is finished once the workers end.
class SharedInput {
public:
    SharedInput(ByteSource& source, BatchNamer namer, int workers)
        : reader_(source), namer_(std::move(namer)), inFlight_(std::size_t(workers)) {}

    // The next line for worker slot, or false when the input is over (read error included),
    // the batch was interrupted or memory ran out. The line counts as in progress until
    // Finished(slot).
    bool Take(WorkItem& item, int slot) {
        const std::lock_guard lock(mutex_);
        if (ended_ || InterruptWatch::Interrupted())
            return false;
        const InputLine line = reader_.Next();
        if (line.kind == InputLine::Kind::End || line.kind == InputLine::Kind::Failed) {
            ended_ = true;
            // A read stopped by the interrupt is no read error.
            if (line.kind == InputLine::Kind::Failed &&
                (line.error != EINTR || !InterruptWatch::Interrupted()))
                error_ = line.error;
            return false;
        }
        item.number = line.number;
        item.text.assign(line.bytes);
        item.failure.clear();
        item.name = namer_.Next(line.number, line.bytes);
        if (line.kind == InputLine::Kind::TooLong)
            item.failure = "longer than " + std::to_string(kMaxLineBytes) + " bytes";
        inFlight_[std::size_t(slot)] = line.number;
        lastTaken_ = line.number;
        ++taken_;
        return true;
    }
    void Finished(int slot) { inFlight_[std::size_t(slot)] = 0; }
    // The last line such that it and every line before it are done. Takes no lock: a worker
    // may be stuck while it holds it.
    std::size_t DoneUpTo() const {
        std::size_t upTo = lastTaken_;
        for (const std::atomic<std::size_t>& number : inFlight_)
            if (const std::size_t n = number; n != 0)
                upTo = std::min(upTo, n - 1);
        return upTo;
    }
    void Stop() {
        const std::lock_guard lock(mutex_);
        ended_ = true;
    }
    int Error() const {
        const std::lock_guard lock(mutex_);
        return error_;
    }
    // Takes no lock either: a worker holds it while it waits for the input.
    std::size_t Taken() const { return taken_; }
    // Whether a line is being rendered or written (rather than the input being waited for).
    bool AnyInProgress() const {
        for (const std::atomic<std::size_t>& number : inFlight_)
            if (number != 0)
                return true;
        return false;
    }

private:
    mutable std::mutex mutex_;
    LineReader reader_;
    BatchNamer namer_; // names the lines in the order they are taken
    bool ended_ = false;
    int error_ = 0;
    std::atomic<std::size_t> lastTaken_ = 0;
    std::atomic<std::size_t> taken_ = 0;
    std::vector<std::atomic<std::size_t>> inFlight_; // per worker: its line, or 0
};

// Messages on standard error, one whole line at a time from any thread.
class Reporter {
public:
    Reporter(std::ostream& err, bool showProgress) : err_(err), showProgress_(showProgress) {}
    void LineFailed(std::size_t number, const std::string& message) {
        Write("line " + std::to_string(number) + ": " + message + '\n');
    }
    void Message(const std::string& message) { Write("quillion-render: " + message + '\n'); }
    // A line as it stands (the summary).
    void Line(const std::string& line) { Write(line + '\n'); }
    void Progress(std::size_t done, std::size_t total, bool force) {
        if (!showProgress_)
            return;
        const auto now = std::chrono::steady_clock::now();
        const std::lock_guard lock(mutex_);
        if (!force && now - lastProgress_ < kProgressInterval)
            return;
        lastProgress_ = now;
        err_ << "\rquillion-render: " << done << " of " << total << " lines" << std::flush;
        progressShown_ = true;
    }
    // One write per message: standard error is unbuffered, and a line written in pieces could
    // be interleaved with another process's output.
    void Write(const std::string& text) {
        const std::lock_guard lock(mutex_);
        EndProgress();
        err_.write(text.data(), std::streamsize(text.size()));
        err_.flush();
    }
    void EndProgress() {
        if (progressShown_)
            err_ << '\n';
        progressShown_ = false;
    }
    void Finish() {
        const std::lock_guard lock(mutex_);
        EndProgress();
    }

private:
    std::mutex mutex_;
    std::ostream& err_;
    bool showProgress_;
    bool progressShown_ = false;
    std::chrono::steady_clock::time_point lastProgress_{};
};

// Where a batch's files go.
struct Destination {
    int folderFd = -1;
    std::string folderPath; // ending in "/"
    OutputFormat format = OutputFormat::Png;
    std::size_t lineCount = 0;
    ~Destination() {
        if (folderFd >= 0)
            ::close(folderFd);
    }
};

// Renders and writes one line; returns "" or the reason it failed.
std::string RenderLine(const RenderOptions& options, PictureWriter& writer, const WorkItem& line,
                       const Destination& to) {
    if (!line.failure.empty())
        return line.failure;
    const std::optional<std::u16string> text = library::DecodeUtf8(line.text);
    if (!text)
        return "the line is not valid UTF-8";
    api::Picture picture;
    if (std::string failure = RenderText(options, *text, line.text, picture); !failure.empty())
        return failure;
    const std::string error = writer.WriteInFolder(picture, to.folderFd, line.name, to.format);
    return error.empty() ? error : "cannot write " + to.folderPath + line.name + ": " + error;
}

// Keeps the calling thread on the n-th processor it may use. Threads started together tend to
// stay on the processor that started them while another one is busy (with a low-priority job,
// say); one processor each spreads the work.
void StayOnProcessor(int n) {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0 || n >= CPU_COUNT(&allowed))
        return;
    for (int cpu = 0, seen = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (!CPU_ISSET(cpu, &allowed) || seen++ != n)
            continue;
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(cpu, &one);
        pthread_setaffinity_np(pthread_self(), sizeof one, &one);
        return;
    }
}

int ProcessorCount() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    return sched_getaffinity(0, sizeof allowed, &allowed) == 0 ? CPU_COUNT(&allowed) : 1;
}

int JobCount(int requested, std::size_t lineCount) {
    std::size_t jobs = requested > 0 ? std::size_t(requested) : std::size_t(ProcessorCount());
    if (lineCount > 0)
        jobs = std::min(jobs, lineCount);
    return int(std::max<std::size_t>(1, jobs));
}

// The number of lines of a regular file (for the width of the names), read in chunks; 0 when
// it cannot be counted. The file is rewound.
std::size_t CountLines(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    std::vector<char> chunk(kCountChunkBytes);
    std::size_t lines = 0;
    char last = '\n';
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR && !InterruptWatch::Interrupted())
            continue;
        if (n < 0) {
            lines = 0;
            break;
        }
        if (n == 0)
            break;
        lines += std::size_t(std::count(chunk.data(), chunk.data() + n, '\n'));
        last = chunk[std::size_t(n) - 1];
    }
    if (last != '\n')
        ++lines;
    return ::lseek(fd, 0, SEEK_SET) == 0 ? lines : 0;
}

bool OpenDestination(const RenderOptions& options, std::size_t lineCount, Destination& to,
                     Reporter& reporter) {
    std::error_code ec;
    std::filesystem::create_directories(options.outDir, ec);
    if (ec || !std::filesystem::is_directory(options.outDir, ec)) {
        reporter.Message("cannot create the folder " + options.outDir + ": " +
                         (ec ? ec.message() : "a file of that name is in the way"));
        return false;
    }
    to.folderFd = ::open(options.outDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    to.folderPath = options.outDir.back() == '/' ? options.outDir : options.outDir + "/";
    to.format = options.format;
    to.lineCount = lineCount;
    if (to.folderFd < 0) {
        reporter.Message("cannot open the folder " + options.outDir + ": " + ErrnoText(errno));
        return false;
    }
    // What a batch killed while writing left behind; a running batch's files are younger.
    RemoveStaleTemporaries(to.folderFd);
    return true;
}

// Reports how the batch ended (read error, memory, interruption, the folder's sync, the
// summary) and returns its exit status. The folder is synced unless a signal stopped the batch.
int FinishBatch(BatchOutcome outcome, std::size_t written, std::size_t lastTaken,
                const std::string& inputName, const std::string& outDir, int folderFd,
                Reporter& reporter) {
    if (outcome.readError != 0)
        reporter.Message("cannot read " + inputName + ": " + ErrnoText(outcome.readError));
    if (outcome.outOfMemory)
        reporter.Message("out of memory");
    const std::string summary = BatchSummary(written, outcome.failedLines);
    if (outcome.signal != 0) {
        reporter.Message("interrupted after line " + std::to_string(lastTaken));
    } else if ((outcome.syncError = SyncFolder(folderFd)) != 0) {
        reporter.Message("cannot write " + outDir +
                         " to the disk: " + ErrnoText(outcome.syncError));
    }
    reporter.Line(summary);
    return BatchExitStatus(outcome);
}

} // namespace

void SetStandardInputClosed(bool closed) {
    standardInputClosed = closed;
}

std::string BatchFileName(std::size_t lineNumber, std::size_t lineCount, OutputFormat format) {
    const std::size_t digits = std::max(kMinNameDigits, std::to_string(lineCount).size());
    std::string name = std::to_string(lineNumber);
    if (name.size() < digits)
        name.insert(0, digits - name.size(), '0');
    return name + FileEnding(format);
}

int RunBatch(const RenderOptions& options, std::ostream& err, bool showProgress) {
    const bool standardInput = options.batch == "-";
    const std::string name = standardInput ? "standard input" : options.batch;
    int fd = standardInput ? STDIN_FILENO : ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (standardInput && standardInputClosed) {
        fd = -1;
        errno = EBADF;
    }
    if (fd < 0) {
        err << "quillion-render: cannot read " << name << ": " << ErrnoText(errno) << '\n';
        return 1;
    }
    const std::size_t lineCount = CountLines(fd);
    FdSource source(fd, &InterruptWatch::Interrupted);
    const int status = RunBatchFrom(source, name, lineCount, options, err, showProgress);
    if (!standardInput)
        ::close(fd);
    return status;
}

int RunBatchFrom(ByteSource& input, const std::string& inputName, std::size_t lineCount,
                 const RenderOptions& options, std::ostream& err, bool showProgress) {
    Reporter reporter(err, showProgress);
    Destination to;
    if (!OpenDestination(options, lineCount, to, reporter))
        return 1;

    const InterruptWatch watch;
    const int jobs = JobCount(options.jobs, lineCount);
    std::unique_ptr<SharedInput> shared;
    try {
        shared = std::make_unique<SharedInput>(
            input, BatchNamer(options.names, lineCount, options.format), jobs);
    } catch (const std::bad_alloc&) {
        reporter.Message("out of memory");
        return 1;
    }
    SharedInput& lines = *shared;
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> failed{0};
    std::atomic<bool> outOfMemory{false};
    const auto process = [&](PictureWriter& writer, const WorkItem& item) {
        std::string failure;
        try {
            failure = RenderLine(options, writer, item, to);
        } catch (const std::bad_alloc&) {
            failure = "Out of memory";
        }
        if (!failure.empty()) {
            ++failed;
            reporter.LineFailed(item.number, failure);
        }
        ++done;
    };
    // One processor each when there are enough (and more than one thread).
    const bool pin = jobs > 1 && jobs <= ProcessorCount();
    std::atomic<int> started{0};
    std::mutex mutex;
    std::condition_variable workerEnded;
    int running = jobs;
    const auto worker = [&] {
        const int slot = started++;
        if (pin)
            StayOnProcessor(slot);
        try {
            PictureWriter writer;
            WorkItem item;
            while (lines.Take(item, slot)) {
                process(writer, item);
                lines.Finished(slot);
            }
        } catch (const std::bad_alloc&) {
            // No generator for this thread (or no room for a line): the others go on.
            lines.Finished(slot);
            outOfMemory = true;
        }
        const std::lock_guard lock(mutex);
        if (--running == 0)
            lines.Stop();
        workerEnded.notify_all();
    };

    std::vector<std::thread> threads;
    for (int j = 0; j < jobs; ++j) {
        try {
            threads.emplace_back(worker);
        } catch (const std::system_error&) {
            const std::lock_guard lock(mutex); // fewer threads then; the work still gets done
            --running;
        }
    }
    if (threads.empty()) {
        ++running;
        worker(); // not even one thread: work here, without progress
    } else {
        // This thread waits, shows progress and answers a stop request. Lines in progress get a
        // moment to finish; a worker still busy after it (blocked on a file, say) is left, and
        // the program ends without it.
        std::unique_lock lock(mutex);
        while (running > 0) {
            reporter.Progress(done, lines.Taken(), true);
            workerEnded.wait_for(lock, showProgress ? kProgressInterval : kStopPollInterval);
            if (InterruptWatch::Interrupted() &&
                !workerEnded.wait_for(lock, kStopGrace, [&] { return running == 0; })) {
                lock.unlock();
                reporter.Finish();
                reporter.Message("interrupted after line " + std::to_string(lines.DoneUpTo()) +
                                 (lines.AnyInProgress()
                                      ? "; lines still in progress were left unfinished"
                                      : ""));
                reporter.Line(BatchSummary(done - failed, failed));
                std::_Exit(kExitAfterSignal + InterruptWatch::Received());
            }
        }
    }
    for (std::thread& t : threads)
        t.join();
    reporter.Progress(done, lines.Taken(), true);
    reporter.Finish();
    return FinishBatch(BatchOutcome{failed, lines.Error(), outOfMemory, InterruptWatch::Received()},
                       done - failed, lines.DoneUpTo(), inputName, options.outDir, to.folderFd,
                       reporter);
}

int BatchExitStatus(const BatchOutcome& outcome) {
    if (outcome.signal != 0)
        return kExitAfterSignal + outcome.signal;
    const bool anyFailure = outcome.failedLines > 0 || outcome.readError != 0 ||
                            outcome.outOfMemory || outcome.syncError != 0;
    return anyFailure ? 1 : 0;
}

} // namespace quillion::cli
