#include "batch.h"

#include "atomic_file.h"
#include "batch_names.h"
#include "generator.h"
#include "interrupt.h"
#include "picture_output.h"
#include "utf8_text.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
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
// Lines read ahead of the workers: enough to keep them busy, few enough to keep memory flat.
constexpr std::size_t kQueuedLinesPerJob = 16;
constexpr std::size_t kCountChunkBytes = 65536;

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

// The lines between the reader and the workers, bounded.
class WorkQueue {
public:
    WorkQueue(std::size_t capacity, int workers) : capacity_(capacity), workers_(workers) {}

    // Waits for room; false when nobody will take the item (stopped, or no worker left).
    bool Push(WorkItem&& item) {
        std::unique_lock lock(mutex_);
        while (items_.size() >= capacity_ && workers_ > 0 && !InterruptWatch::Interrupted())
            changed_.wait_for(lock, kProgressInterval);
        if (workers_ == 0 || InterruptWatch::Interrupted())
            return false;
        items_.push_back(std::move(item));
        changed_.notify_all();
        return true;
    }
    // The next line, or false when the input is over or the batch was interrupted.
    bool Pop(WorkItem& item) {
        std::unique_lock lock(mutex_);
        while (items_.empty() && !closed_ && !InterruptWatch::Interrupted())
            changed_.wait_for(lock, kProgressInterval);
        if (items_.empty() || InterruptWatch::Interrupted())
            return false;
        item = std::move(items_.front());
        items_.pop_front();
        lastTaken_ = item.number;
        changed_.notify_all();
        return true;
    }
    void Close() {
        const std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }
    void WorkerEnded() {
        const std::lock_guard lock(mutex_);
        --workers_;
        changed_.notify_all();
    }
    // Waits up to the progress interval; true when every worker has ended.
    bool WaitForWorkers() {
        std::unique_lock lock(mutex_);
        if (workers_ > 0)
            changed_.wait_for(lock, kProgressInterval);
        return workers_ == 0;
    }
    // Every line up to this one has been taken, and a taken line is always finished.
    std::size_t LastTaken() const {
        const std::lock_guard lock(mutex_);
        return lastTaken_;
    }
    void Taken(std::size_t number) {
        const std::lock_guard lock(mutex_);
        lastTaken_ = number;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<WorkItem> items_;
    std::size_t capacity_;
    int workers_;
    bool closed_ = false;
    std::size_t lastTaken_ = 0;
};

// Messages on standard error, one whole line at a time from any thread.
class Reporter {
public:
    Reporter(std::ostream& err, bool showProgress) : err_(err), showProgress_(showProgress) {}
    void LineFailed(std::size_t number, const std::string& message) {
        const std::lock_guard lock(mutex_);
        EndProgress();
        err_ << "line " << number << ": " << message << '\n' << std::flush;
    }
    void Message(const std::string& message) { Line("quillion-render: " + message); }
    // A line as it stands (the summary).
    void Line(const std::string& line) {
        const std::lock_guard lock(mutex_);
        EndProgress();
        err_ << line << '\n' << std::flush;
    }
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
std::string RenderLine(Generator& generator, PictureWriter& writer, const WorkItem& line,
                       const Destination& to) {
    if (!line.failure.empty())
        return line.failure;
    const std::optional<std::u16string> text = DecodeUtf8(line.text);
    if (!text)
        return "the line is not valid UTF-8";
    const Generation generation = generator.Generate(*text);
    if (generation.picture == nullptr)
        return generation.message;
    const std::string error =
        writer.WriteInFolder(*generation.picture, to.folderFd, line.name, to.format);
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
    return true;
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
    WorkQueue queue(kQueuedLinesPerJob * std::size_t(jobs), jobs);
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> failed{0};
    std::atomic<bool> outOfMemory{false};
    const bool svg = options.format == OutputFormat::Svg;

    const auto process = [&](Generator& generator, PictureWriter& writer, const WorkItem& item) {
        std::string failure;
        try {
            failure = RenderLine(generator, writer, item, to);
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
    const auto worker = [&] {
        if (pin)
            StayOnProcessor(started++);
        try {
            Generator generator(options.controls, options.verify, svg);
            PictureWriter writer(options.scale, generator.Record());
            WorkItem item;
            while (queue.Pop(item))
                process(generator, writer, item);
        } catch (const std::bad_alloc&) {
            // No generator for this thread: the others take its lines.
            outOfMemory = true;
        }
        queue.WorkerEnded();
    };

    // The workers leave the stop signals to this thread, whose reads they interrupt.
    std::vector<std::thread> threads;
    InterruptWatch::BlockInThisThread(true);
    for (int j = 0; j < jobs; ++j) {
        try {
            threads.emplace_back(worker);
        } catch (const std::system_error&) {
            queue.WorkerEnded(); // fewer threads then; the work still gets done
        } catch (const std::bad_alloc&) {
            queue.WorkerEnded();
        }
    }
    InterruptWatch::BlockInThisThread(false);

    int readError = 0;
    std::size_t queued = 0;
    try {
        // Without a thread, this one renders.
        std::unique_ptr<Generator> generator;
        std::unique_ptr<PictureWriter> writer;
        if (threads.empty()) {
            generator = std::make_unique<Generator>(options.controls, options.verify, svg);
            writer = std::make_unique<PictureWriter>(options.scale, generator->Record());
        }
        LineReader reader(input);
        BatchNamer namer(options.names, lineCount, options.format);
        while (!InterruptWatch::Interrupted()) {
            const InputLine line = reader.Next();
            if (line.kind == InputLine::Kind::End)
                break;
            if (line.kind == InputLine::Kind::Failed) {
                if (line.error != EINTR || !InterruptWatch::Interrupted())
                    readError = line.error;
                break;
            }
            WorkItem item{
                line.number, std::string(line.bytes), {}, namer.Next(line.number, line.bytes)};
            if (line.kind == InputLine::Kind::TooLong)
                item.failure = "longer than " + std::to_string(kMaxLineBytes) + " bytes";
            ++queued;
            if (generator) {
                queue.Taken(item.number);
                process(*generator, *writer, item);
            } else if (!queue.Push(std::move(item))) {
                break;
            }
            reporter.Progress(done, queued, false);
        }
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    }
    queue.Close();
    while (!threads.empty() && !queue.WaitForWorkers())
        reporter.Progress(done, queued, false);
    for (std::thread& t : threads)
        t.join();
    reporter.Progress(done, queued, true);
    reporter.Finish();

    int status = failed > 0 ? 1 : 0;
    if (readError != 0) {
        reporter.Message("cannot read " + inputName + ": " + ErrnoText(readError));
        status = 1;
    }
    if (outOfMemory) {
        reporter.Message("out of memory");
        status = 1;
    }
    const std::string summary = BatchSummary(done - failed, failed);
    if (const int signal = InterruptWatch::Received(); signal != 0) {
        reporter.Message("interrupted after line " + std::to_string(queue.LastTaken()));
        reporter.Line(summary);
        return kExitAfterSignal + signal;
    }
    if (const int error = SyncFolder(to.folderFd); error != 0) {
        reporter.Message("cannot write " + options.outDir + " to the disk: " + ErrnoText(error));
        status = 1;
    }
    reporter.Line(summary);
    return status;
}

} // namespace quillion::cli
