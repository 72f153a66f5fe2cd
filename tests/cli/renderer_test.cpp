// quillion-render as a whole: the exit status of every kind of run, write errors on its own
// output streams, a batch stopped by a signal, a read error in the middle of the input, and
// lines too long to hold. Every case reads back what was written.
#include "batch.h"
#include "byte_sources.h"
#include "renderer.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>

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

TEST(BatchExitStatus, ASignalWinsThenAnyFailureIsOne) {
    const struct {
        int row;
        BatchOutcome outcome;
        int status;
    } rows[] = {
        {1, {}, 0},
        {2, {1, 0, false, 0, 0}, 1},
        {3, {0, EIO, false, 0, 0}, 1},
        {4, {0, 0, true, 0, 0}, 1},
        {5, {0, 0, false, 0, ENOSPC}, 1},
        {6, {0, 0, false, SIGTERM, 0}, 128 + SIGTERM},
        {7, {3, EIO, true, SIGINT, 0}, 128 + SIGINT},
    };
    for (const auto& r : rows)
        EXPECT_EQ(BatchExitStatus(r.outcome), r.status) << "row " << r.row;
}

TEST(RunRenderer, ExitStatuses) {
    Folder f;
    std::ofstream(f / "good.txt") << "AB\nCD\n";
    std::ofstream(f / "mixed.txt") << "AB\n\xE2\x82\xAC 5\n"; // the euro sign is not ISO 8859-1
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

// A batch of the source's lines into folder/out, two jobs (or `jobs`).
Outcome Batch(ByteSource& source, const Folder& folder, int jobs = 2, std::size_t size = 0,
              const char* name = "input") {
    RenderOptions options;
    options.batch = "test input";
    options.outDir = folder / "out";
    options.jobs = jobs;
    std::ostringstream err;
    const int status = RunBatchFrom(source, name, size, options, err, false);
    return {status, "", err.str()};
}

TEST(RunBatchFrom, SignalStopsTheBatchCleanly) {
    struct Row {
        int row;
        int signal;
        int status;
    } rows[] = {{1, SIGINT, 130}, {2, SIGTERM, 143}, {3, SIGHUP, 129}};
    for (const Row& r : rows) {
        Folder f;
        // Ctrl+C (or its kin) as line 41 is read.
        testing::LinePerReadSource source(200, 41, [&] { std::raise(r.signal); });
        const Outcome run = Batch(source, f);
        EXPECT_EQ(run.status, r.status) << "row " << r.row;
        // Every line up to the one named is written, whole; nothing after the line whose read
        // the signal came in (line 41) is taken; no temporary file is left.
        const auto at = run.err.find("interrupted after line ");
        ASSERT_NE(at, std::string::npos) << "row " << r.row << ": " << run.err;
        const int last = std::stoi(run.err.substr(at + 23));
        EXPECT_LE(last, 41) << "row " << r.row;
        EXPECT_EQ(int(f.Entries("out").size()), last) << "row " << r.row;
        for (int n = 1; n <= last; ++n) {
            EXPECT_TRUE(IsPng(f / ("out/" + BatchFileName(n, 0, OutputFormat::Png))))
                << "row " << r.row << " line " << n;
        }
    }
    // The handlers are gone afterwards, and a batch runs to its end again.
    Folder f;
    testing::LinePerReadSource source(3);
    EXPECT_EQ(Batch(source, f).status, 0);
    EXPECT_EQ(f.Entries("out").size(), 3u);
}

TEST(RunBatchFrom, TemporaryFilesOfAKilledBatchGoWhenTheyAreStale) {
    namespace fs = std::filesystem;
    Folder f;
    fs::create_directories(f / "out");
    const auto make = [&](const std::string& name, bool stale) {
        std::ofstream(f / ("out/" + name)) << "x";
        if (stale)
            fs::last_write_time(f / ("out/" + name),
                                fs::file_time_type::clock::now() - std::chrono::minutes(2));
    };
    make(".00001.png.0123456789ab.tmp", true);  // removed
    make(".x.fedcba987654.tmp", true);          // removed
    make(".00002.png.0123456789ab.tmp", false); // a running batch's: kept
    make(".00003.png.0123456789AB.tmp", true);  // not of that form: kept
    make(".00003.png.0123456789a.tmp", true);
    make("00004.png.0123456789ab.tmp", true);
    make(".0123456789ab.tmp", true);
    testing::LinePerReadSource source(1);
    EXPECT_EQ(Batch(source, f).status, 0);
    std::vector<std::string> kept = {".0123456789ab.tmp",
                                     ".00002.png.0123456789ab.tmp",
                                     ".00003.png.0123456789AB.tmp",
                                     ".00003.png.0123456789a.tmp",
                                     "00001.png",
                                     "00004.png.0123456789ab.tmp"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(f.Entries("out"), kept);
}

TEST(RunBatchFrom, ReadErrorKeepsWhatCameBeforeAndCutsNoLine) {
    Folder f;
    // The error strikes inside the third line: "L1550" must not become "L155".
    const std::string input = "L1\nL2\nL1550\nL4\n";
    testing::StringSource source(input, 2, input.find("550") + 1, EIO);
    const Outcome run = Batch(source, f, 2, 4, "input.txt");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("quillion-render: cannot read input.txt: Input/output error"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(f.Entries("out"), (std::vector<std::string>{"00001.png", "00002.png"}));
    EXPECT_TRUE(IsPng(f / "out/00001.png") && IsPng(f / "out/00002.png"));
}

TEST(RunBatchFrom, OutOfMemoryIsAFailure) {
    Folder f;
    testing::LinePerReadSource source(10, 3, [] { throw std::bad_alloc(); });
    const Outcome run = Batch(source, f, 1);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("quillion-render: out of memory\n"), std::string::npos) << run.err;
    EXPECT_EQ(f.Entries("out"), (std::vector<std::string>{"00001.png", "00002.png"}));
}

TEST(RunBatchFrom, LongLineFailsAloneAndTheBatchGoesOn) {
    Folder f;
    const std::string input = "AB\n" + std::string(kMaxLineBytes + 1, 'X') + "\n" +
                              std::string(kMaxLineBytes, 'Y') + "\r\nCD\n" +
                              std::string(3 * kMaxLineBytes, 'Z');
    testing::StringSource source(input, 4096);
    const auto [status, out, text] = Batch(source, f);
    EXPECT_EQ(status, 1);
    EXPECT_NE(text.find("line 2: longer than 65536 bytes\n"), std::string::npos) << text;
    EXPECT_NE(text.find("line 5: longer than 65536 bytes\n"), std::string::npos) << text;
    // Line 3 is exactly at the limit: it is taken (and refused by Code 128's arithmetic).
    EXPECT_EQ(text.find("line 3: longer"), std::string::npos) << text;
    EXPECT_TRUE(IsPng(f / "out/00001.png") && IsPng(f / "out/00004.png"));
}

TEST(LineReader, LimitsAndErrors) {
    constexpr auto End = InputLine::Kind::End, Failed = InputLine::Kind::Failed;
    constexpr auto none = std::string::npos;
    struct Row {
        int row;
        std::string input;
        std::size_t failAt;
        InputLine::Kind last;
        std::size_t count;
        std::vector<std::pair<std::size_t, std::string>> lines; // "" for a too-long line
    } rows[] = {
        {1, "12345678\n123456789\nab\n", none, End, 3, {{1, "12345678"}, {2, ""}, {3, "ab"}}},
        {2, "12345678\r\n", none, End, 1, {{1, "12345678"}}},
        {3, "ab\n1234567890123", none, End, 2, {{1, "ab"}, {2, ""}}},
        {4, "ab\ncd", 4, Failed, 1, {{1, "ab"}}},                       // "c" is not a line
        {5, "ab\n", 3, Failed, 1, {{1, "ab"}}},                         // error after a whole line
        {6, "ab\n123456789012\n", 14, Failed, 1, {{1, "ab"}, {2, ""}}}, // inside a long one
        {7, "", 0, Failed, 0, {}},
    };
    for (const Row& r : rows) {
        for (const std::size_t chunk : {std::size_t(1), std::size_t(64)}) {
            testing::StringSource source(r.input, chunk, r.failAt, EIO);
            const testing::ReadBack back = testing::ReadAllLines(source, 8);
            SCOPED_TRACE("row " + std::to_string(r.row) + ", chunk " + std::to_string(chunk));
            EXPECT_EQ(back.lines, r.lines);
            EXPECT_EQ(back.last, r.last);
            EXPECT_EQ(back.count, r.count);
            EXPECT_EQ(back.error, r.last == Failed ? EIO : 0);
        }
    }
}

} // namespace
} // namespace quillion::cli
