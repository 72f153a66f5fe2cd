// quillion-render as a whole: the exit status of every kind of run, write errors on its own
// output streams, a batch stopped by a signal, a read error in the middle of the input, and
// lines too long to hold. Every case reads back what was written.
#include "batch.h"
#include "byte_sources.h"
#include "renderer.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace quillion::cli {
namespace {

using Folder = quillion::testing::TempFolder;

bool IsPng(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    return bytes.size() > 100 && bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0;
}

struct Outcome {
    int status;
    std::string out, err;
};

Outcome Render(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunRenderer(args, out, err, false);
    return {status, out.str(), err.str()};
}

TEST(RunRenderer, ExitStatuses) {
    Folder f;
    std::ofstream(f / "good.txt") << "AB\nCD\n";
    std::ofstream(f / "mixed.txt") << "AB\ncaf\xC3\xA9\n";
    fs::create_directory(f / "dir");
    struct Row {
        int row;
        std::vector<std::string> args;
        int status;
        std::string err; // part of standard error
    } rows[] = {
        {1, {"--help"}, 0, ""},
        {2, {}, 2, "usage"},
        {3, {"--type", "pdf417", "--output", f / "x.png", "AB"}, 2, "pdf417"},
        {4, {"--output", f / "one.png", "AB"}, 0, ""},
        {5, {"--type", "upca", "--output", f / "u.png", "123"}, 1, "Barcode me be 12 digit"},
        {6, {"--output", f / "empty.png", ""}, 1, ""},
        {7, {"--format", "png", "--output", f / "dir", "AB"}, 1, "cannot write"},
        {8, {"--batch", f / "good.txt", "--out-dir", f / "b8"}, 0, ""},
        {9, {"--batch", f / "mixed.txt", "--out-dir", f / "b9"}, 1, "line 2: "},
        {10, {"--batch", f / "missing.txt", "--out-dir", f / "b10"}, 1, "cannot read "},
        {11, {"--batch", f / "dir", "--out-dir", f / "b11"}, 1, "Is a directory"},
        {12, {"--batch", f / "good.txt", "--out-dir", f / "good.txt"}, 1, "cannot create"},
    };
    for (const Row& r : rows) {
        const Outcome run = Render(r.args);
        EXPECT_EQ(run.status, r.status) << "row " << r.row << ": " << run.err;
        EXPECT_NE(run.err.find(r.err), std::string::npos) << "row " << r.row << ": " << run.err;
        if (r.row == 1) {
            EXPECT_NE(run.out.find("--batch"), std::string::npos) << "usage on standard output";
        }
    }
    EXPECT_TRUE(IsPng(f / "one.png"));
    EXPECT_FALSE(fs::exists(f / "empty.png"));
    EXPECT_TRUE(IsPng(f / "b8/00001.png") && IsPng(f / "b8/00002.png"));
    EXPECT_TRUE(IsPng(f / "b9/00001.png"));
    EXPECT_FALSE(fs::exists(f / "b9/00002.png"));
}

TEST(RunRenderer, WriteErrorOnItsOwnOutputIsAFailure) {
    Folder f;
    std::stringbuf sink;
    std::ostream good(&sink);
    std::ostream broken(nullptr); // every write fails
    EXPECT_EQ(RunRenderer({"--help"}, broken, good, false), kExitFailed);
    // A message that cannot be shown keeps its failure status; a usage error stays 2.
    EXPECT_EQ(RunRenderer({"--type", "upca", "--output", f / "u.png", "1"}, good, broken, false),
              kExitFailed);
    EXPECT_EQ(RunRenderer({"--bogus"}, good, broken, false), kExitUsage);
    // A good render with working streams still succeeds.
    EXPECT_EQ(RunRenderer({"--output", f / "ok.png", "AB"}, good, good, false), kExitOk);
    EXPECT_TRUE(IsPng(f / "ok.png"));
}

RenderOptions BatchInto(const std::string& folder) {
    RenderOptions options;
    options.batch = "test input";
    options.outDir = folder;
    options.jobs = 2;
    return options;
}

// Gives its lines one read at a time and raises a signal once a number of reads is done, as a
// user pressing Ctrl+C in the middle of a batch would.
class SignallingSource : public ByteSource {
public:
    SignallingSource(int lines, int signalAfter, int signal)
        : lines_(lines), signalAfter_(signalAfter), signal_(signal) {}
    long Read(char* buffer, std::size_t size) override {
        if (reads_ == signalAfter_)
            std::raise(signal_);
        if (reads_ >= lines_)
            return 0;
        const std::string line = "L" + std::to_string(++reads_) + "\n";
        line.copy(buffer, std::min(size, line.size()));
        return long(line.size());
    }

private:
    int lines_, reads_ = 0, signalAfter_, signal_;
};

TEST(RunBatchFrom, SignalStopsTheBatchCleanly) {
    struct Row {
        int row;
        int signal;
        int status;
    } rows[] = {{1, SIGINT, 130}, {2, SIGTERM, 143}, {3, SIGHUP, 129}};
    for (const Row& r : rows) {
        Folder f;
        SignallingSource source(200, 40, r.signal);
        std::ostringstream err;
        const int status = RunBatchFrom(source, "input", 0, BatchInto(f / "out"), err, false);
        EXPECT_EQ(status, r.status) << "row " << r.row;
        // Every line up to the one named is written, whole; nothing after the line whose read
        // the signal came in (line 41) is taken; no temporary file is left.
        const std::string text = err.str();
        const auto at = text.find("interrupted after line ");
        ASSERT_NE(at, std::string::npos) << "row " << r.row << ": " << text;
        const int last = std::stoi(text.substr(at + 23));
        EXPECT_LE(last, 41) << "row " << r.row;
        const std::vector<std::string> names = f.Entries("out");
        EXPECT_EQ(int(names.size()), last) << "row " << r.row;
        for (int n = 1; n <= last; ++n) {
            EXPECT_TRUE(IsPng(f / ("out/" + BatchFileName(n, 0, OutputFormat::Png))))
                << "row " << r.row << " line " << n;
        }
        for (const std::string& name : names) {
            EXPECT_NE(name.front(), '.') << "row " << r.row << ": " << name;
        }
    }
    // The handlers are gone afterwards, and a batch runs to its end again.
    Folder f;
    SignallingSource source(3, -1, 0);
    std::ostringstream err;
    EXPECT_EQ(RunBatchFrom(source, "input", 0, BatchInto(f / "out"), err, false), 0);
    EXPECT_EQ(f.Entries("out").size(), 3u);
}

TEST(RunBatchFrom, ReadErrorKeepsWhatCameBeforeAndCutsNoLine) {
    Folder f;
    // The error strikes inside the third line: "L1550" must not become "L155".
    const std::string input = "L1\nL2\nL1550\nL4\n";
    testing::StringSource source(input, 2, input.find("550") + 1, EIO);
    std::ostringstream err;
    EXPECT_EQ(RunBatchFrom(source, "input.txt", 4, BatchInto(f / "out"), err, false), 1);
    EXPECT_NE(err.str().find("quillion-render: cannot read input.txt: Input/output error"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(f.Entries("out"), (std::vector<std::string>{"00001.png", "00002.png"}));
    EXPECT_TRUE(IsPng(f / "out/00001.png") && IsPng(f / "out/00002.png"));
}

// Runs out of memory on its second read.
class StarvedSource : public ByteSource {
public:
    long Read(char* buffer, std::size_t size) override {
        if (++reads_ == 2)
            throw std::bad_alloc();
        if (reads_ > 2)
            return 0;
        const std::string lines = "AB\nCD\n";
        lines.copy(buffer, std::min(size, lines.size()));
        return long(lines.size());
    }

private:
    int reads_ = 0;
};

TEST(RunBatchFrom, OutOfMemoryIsAFailure) {
    Folder f;
    StarvedSource source;
    std::ostringstream err;
    RenderOptions options = BatchInto(f / "out");
    options.jobs = 1;
    EXPECT_EQ(RunBatchFrom(source, "input", 0, options, err, false), 1);
    EXPECT_NE(err.str().find("quillion-render: out of memory\n"), std::string::npos) << err.str();
    EXPECT_EQ(f.Entries("out"), (std::vector<std::string>{"00001.png", "00002.png"}));
}

TEST(RunBatchFrom, LongLineFailsAloneAndTheBatchGoesOn) {
    Folder f;
    const std::string input = "AB\n" + std::string(kMaxLineBytes + 1, 'X') + "\n" +
                              std::string(kMaxLineBytes, 'Y') + "\r\nCD\n" +
                              std::string(3 * kMaxLineBytes, 'Z');
    testing::StringSource source(input, 4096);
    std::ostringstream err;
    EXPECT_EQ(RunBatchFrom(source, "input", 0, BatchInto(f / "out"), err, false), 1);
    const std::string text = err.str();
    EXPECT_NE(text.find("line 2: longer than 65536 bytes\n"), std::string::npos) << text;
    EXPECT_NE(text.find("line 5: longer than 65536 bytes\n"), std::string::npos) << text;
    // Line 3 is exactly at the limit: it is taken (and refused by Code 128's arithmetic).
    EXPECT_EQ(text.find("line 3: longer"), std::string::npos) << text;
    EXPECT_TRUE(IsPng(f / "out/00001.png") && IsPng(f / "out/00004.png"));
}

TEST(LineReader, LimitsAndErrors) {
    using Kind = InputLine::Kind;
    struct Row {
        int row;
        std::string input;
        std::size_t failAt;
        std::vector<std::pair<std::size_t, std::string>> lines; // "" for a too-long line
        Kind last;
        std::size_t count;
    } rows[] = {
        {1,
         "12345678\n123456789\nab\n",
         std::string::npos,
         {{1, "12345678"}, {2, ""}, {3, "ab"}},
         Kind::End,
         3},
        {2, "12345678\r\n", std::string::npos, {{1, "12345678"}}, Kind::End, 1},
        {3, "ab\n1234567890123", std::string::npos, {{1, "ab"}, {2, ""}}, Kind::End, 2},
        {4, "ab\ncd", 4, {{1, "ab"}}, Kind::Failed, 1}, // "c" is not a line
        {5, "ab\n", 3, {{1, "ab"}}, Kind::Failed, 1},   // error after a whole line
        {6, "ab\n123456789012\n", 14, {{1, "ab"}, {2, ""}}, Kind::Failed, 1}, // inside a long one
        {7, "", 0, {}, Kind::Failed, 0},
    };
    for (const Row& r : rows) {
        for (const std::size_t chunk : {std::size_t(1), std::size_t(64)}) {
            testing::StringSource source(r.input, chunk, r.failAt, EIO);
            const testing::ReadBack back = testing::ReadAllLines(source, 8);
            EXPECT_EQ(back.lines, r.lines) << "row " << r.row << ", chunk " << chunk;
            EXPECT_EQ(back.last, r.last) << "row " << r.row << ", chunk " << chunk;
            EXPECT_EQ(back.count, r.count) << "row " << r.row << ", chunk " << chunk;
            if (r.last == Kind::Failed) {
                EXPECT_EQ(back.error, EIO) << "row " << r.row;
            }
        }
    }
}

} // namespace
} // namespace quillion::cli
