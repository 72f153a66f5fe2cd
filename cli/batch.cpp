#include "batch.h"

#include "batch_names.h"
#include "generator.h"
#include "picture_output.h"
#include "utf8_text.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <mutex>
#include <new>
#include <pthread.h>
#include <sched.h>
#include <sstream>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace quillion::cli {
namespace {

constexpr std::size_t kMinNameDigits = 5;
constexpr auto kProgressInterval = std::chrono::milliseconds(200);
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool ReadInput(const std::string& source, std::string& input, std::string& error) {
    if (source == "-") {
        input.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        if (std::cin.bad()) {
            error = "cannot read standard input";
            return false;
        }
        return true;
    }
    std::ifstream file(source, std::ios::binary);
    if (!file) {
        error = "cannot open " + source;
        return false;
    }
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad()) {
        error = "cannot read " + source;
        return false;
    }
    input = std::move(content).str();
    return true;
}

// Where a batch's files go.
struct Destination {
    int folderFd;
    std::string folderPath; // ending in "/"
    OutputFormat format;
};

struct CloseFolder {
    void operator()(const Destination* d) const { ::close(d->folderFd); }
};

// Renders and writes one line; returns "" or the reason it failed.
std::string RenderLine(Generator& generator, PictureWriter& writer, const BatchLine& line,
                       const std::string& name, const Destination& to) {
    const std::optional<std::u16string> text = DecodeUtf8(line.bytes);
    if (!text)
        return "the line is not valid UTF-8";
    const Generation generation = generator.Generate(*text);
    if (generation.picture == nullptr)
        return generation.message;
    const std::string error =
        writer.WriteInFolder(*generation.picture, to.folderFd, to.folderPath, name, to.format);
    return error.empty() ? error : "cannot write " + to.folderPath + name + ": " + error;
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

int JobCount(int requested, std::size_t work) {
    const std::size_t jobs = requested > 0 ? std::size_t(requested) : std::size_t(ProcessorCount());
    return int(std::max<std::size_t>(1, std::min(jobs, work)));
}

} // namespace

std::vector<BatchLine> SplitLines(std::string_view input, std::size_t& lineCount) {
    if (input.starts_with(kByteOrderMark))
        input.remove_prefix(kByteOrderMark.size());
    std::vector<BatchLine> lines;
    lineCount = 0;
    std::size_t start = 0;
    while (start < input.size()) {
        std::size_t end = input.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? input.size() : end + 1;
        if (end == std::string_view::npos)
            end = input.size();
        std::string_view line = input.substr(start, end - start);
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ++lineCount;
        if (!line.empty())
            lines.push_back({lineCount, line});
        start = next;
    }
    return lines;
}

std::string BatchFileName(std::size_t lineNumber, std::size_t lineCount, OutputFormat format) {
    const std::size_t digits = std::max(kMinNameDigits, std::to_string(lineCount).size());
    std::string name = std::to_string(lineNumber);
    if (name.size() < digits)
        name.insert(0, digits - name.size(), '0');
    return name + FileEnding(format);
}

int RunBatch(const RenderOptions& options, std::ostream& err, bool showProgress) {
    std::string input, error;
    if (!ReadInput(options.batch, input, error)) {
        err << "quillion-render: " << error << '\n';
        return 1;
    }
    std::error_code ec;
    std::filesystem::create_directories(options.outDir, ec);
    if (ec || !std::filesystem::is_directory(options.outDir, ec)) {
        err << "quillion-render: cannot create the folder " << options.outDir << ": "
            << (ec ? ec.message() : "a file of that name is in the way") << '\n';
        return 1;
    }
    std::size_t lineCount = 0;
    const std::vector<BatchLine> lines = SplitLines(input, lineCount);
    const Destination to{::open(options.outDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC),
                         options.outDir.back() == '/' ? options.outDir : options.outDir + "/",
                         options.format};
    if (to.folderFd < 0) {
        err << "quillion-render: cannot open the folder " << options.outDir << ": "
            << std::generic_category().message(errno) << '\n';
        return 1;
    }
    const std::unique_ptr<const Destination, CloseFolder> closeFolder(&to);

    const std::vector<std::string> names =
        BatchFileNames(lines, lineCount, options.names, options.format);
    std::vector<std::string> failures(lines.size());
    std::vector<char> finished(lines.size(), 0);
    std::atomic<std::size_t> next{0}, done{0};
    const auto work = [&] {
        try {
            Generator generator(options.controls, options.verify,
                                options.format == OutputFormat::Svg);
            PictureWriter writer(options.scale, generator.Record());
            for (std::size_t i = next++; i < lines.size(); i = next++) {
                try {
                    failures[i] = RenderLine(generator, writer, lines[i], names[i], to);
                } catch (const std::bad_alloc&) {
                    failures[i] = "Out of memory";
                }
                finished[i] = 1;
                ++done;
            }
        } catch (const std::bad_alloc&) {
            // No generator for this thread: the others take its lines; lines nobody took are
            // reported below.
        }
    };

    const int jobs = JobCount(options.jobs, lines.size());
    std::mutex mutex;
    std::condition_variable workerEnded;
    int running = jobs;
    // One processor each when there are enough (and more than one thread).
    const bool pin = jobs > 1 && jobs <= ProcessorCount();
    std::atomic<int> started{0};
    const auto worker = [&] {
        if (pin)
            StayOnProcessor(started++);
        work();
        const std::lock_guard lock(mutex);
        --running;
        workerEnded.notify_all();
    };
    std::vector<std::thread> threads;
    // Without progress to show, this thread is one of the workers.
    for (int j = showProgress ? 0 : 1; j < jobs; ++j) {
        try {
            threads.emplace_back(worker);
        } catch (const std::system_error&) {
            const std::lock_guard lock(mutex); // fewer threads then; the work still gets done
            --running;
        }
    }
    if (showProgress && threads.empty())
        worker(); // not even one thread: work here, without progress
    if (showProgress) {
        std::unique_lock lock(mutex);
        while (running > 0) {
            err << "\rquillion-render: " << done << " of " << lines.size() << " lines"
                << std::flush;
            workerEnded.wait_for(lock, kProgressInterval);
        }
        err << "\rquillion-render: " << done << " of " << lines.size() << " lines\n";
    } else {
        worker();
    }
    for (std::thread& t : threads)
        t.join();

    std::size_t failed = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!finished[i])
            failures[i] = "not rendered (out of memory)";
        if (!failures[i].empty()) {
            err << "line " << lines[i].number << ": " << failures[i] << '\n';
            ++failed;
        }
    }
    err << BatchSummary(lines.size() - failed, failed) << '\n';
    return failed == 0 ? 0 : 1;
}

} // namespace quillion::cli
