// The one file writer: what each kind of target holds afterwards (regular files replaced whole,
// read-only ones refused, links followed for single files and replaced inside a batch folder,
// devices and FIFOs written into and still there), read back after every write.
#include "runtime/whole_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace quillion;

namespace {

using Folder = quillion::testing::TempFolder;

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

int Write(const std::string& path, const std::string& bytes) {
    return WriteFileContents(path, bytes.data(), bytes.size());
}

mode_t Mode(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

// Device nodes of the kernel's memory driver, made inside the test's own folder: minor 3
// (null) takes every byte, on minor 7 (full) every write fails with ENOSPC.
bool MakeNode(const std::string& path, unsigned minor) {
    return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

TEST(WriteFileContents, RegularFilesAndLinks) {
    Folder f;
    // 1: a new name; 2: an existing file is replaced and keeps its permissions.
    EXPECT_EQ(Write(f / "a.png", "first"), 0);
    ASSERT_EQ(::chmod((f / "a.png").c_str(), 0640), 0);
    EXPECT_EQ(Write(f / "a.png", "second"), 0);
    EXPECT_EQ(Read(f / "a.png"), "second");
    EXPECT_EQ(Mode(f / "a.png") & 0777, 0640u);
    // 3: a read-only file is refused and keeps its bytes, also for root.
    Put(f / "ro.png", "keep");
    ASSERT_EQ(::chmod((f / "ro.png").c_str(), 0444), 0);
    EXPECT_EQ(Write(f / "ro.png", "new"), kErrReadOnly);
    EXPECT_EQ(Read(f / "ro.png"), "keep");
    // 4: a link to a file: the file gets the bytes, the link stays a link.
    Put(f / "target.png", "old");
    fs::create_symlink(f / "target.png", f / "link.png");
    EXPECT_EQ(Write(f / "link.png", "through"), 0);
    EXPECT_TRUE(S_ISLNK(Mode(f / "link.png")));
    EXPECT_EQ(Read(f / "target.png"), "through");
    // 5: a folder and a dangling link fail and change nothing.
    fs::create_directory(f / "dir");
    EXPECT_EQ(Write(f / "dir", "x"), EISDIR);
    fs::create_symlink(f / "nowhere", f / "dangling");
    EXPECT_EQ(Write(f / "dangling", "x"), ENOENT);
    EXPECT_FALSE(fs::exists(f / "nowhere"));
    // No temporary file is left by any of them.
    EXPECT_EQ(f.Entries(), (std::vector<std::string>{"a.png", "dangling", "dir", "link.png",
                                                     "ro.png", "target.png"}));
}

TEST(WriteFileContents, FifoIsWrittenIntoAndNeverWaitsForAReader) {
    Folder f;
    const std::string fifo = f / "pipe.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Nobody reads: a clear failure at once, the FIFO still there.
    EXPECT_EQ(Write(fifo, "lost"), kErrNoReader);
    EXPECT_TRUE(S_ISFIFO(Mode(fifo)));
    // With a reader the bytes go through the FIFO, which stays a FIFO. The reader opens first;
    // the write is retried until its open has happened.
    auto reader = std::async(std::launch::async, [&] { return Read(fifo); });
    int status = kErrNoReader;
    for (int i = 0; i < 500 && status == kErrNoReader; ++i) {
        status = Write(fifo, "whole picture");
        if (status == kErrNoReader)
            ::usleep(10000);
    }
    EXPECT_EQ(status, 0);
    EXPECT_EQ(reader.get(), "whole picture");
    EXPECT_TRUE(S_ISFIFO(Mode(fifo)));
}

TEST(WriteFileContents, DevicesAreWrittenIntoNotReplaced) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mknod needs root";
    Folder f;
    ASSERT_TRUE(MakeNode(f / "null", 3));
    ASSERT_TRUE(MakeNode(f / "full", 7));
    fs::create_symlink(f / "full", f / "full-link");
    struct Row {
        int row;
        std::string target;
        int status;
    } rows[] = {{1, "null", 0}, {2, "full", ENOSPC}, {3, "full-link", ENOSPC}};
    for (const Row& r : rows) {
        EXPECT_EQ(Write(f / r.target, "picture"), r.status) << "row " << r.row;
        EXPECT_TRUE(S_ISCHR(Mode(f / (r.row == 3 ? "full" : r.target)))) << "row " << r.row;
    }
    EXPECT_TRUE(S_ISLNK(Mode(f / "full-link")));
}

// Writers replacing one name at once each get a temporary name of their own: none fails, and the
// name ends holding one writer's whole bytes.
TEST(ReplaceInFolder, WritersOfOneNameAtOnceAllSucceed) {
    Folder f;
    Put(f / "shared.png", "old");
    const int folder = ::open(f.Path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    const auto writer = [folder](std::string bytes) {
        int failures = 0;
        for (int i = 0; i < 300; ++i)
            failures += ReplaceInFolder(folder, "shared.png", bytes.data(), bytes.size()) != 0;
        return failures;
    };
    auto a = std::async(std::launch::async, writer, std::string(600, 'a'));
    auto b = std::async(std::launch::async, writer, std::string(600, 'b'));
    EXPECT_EQ(a.get() + b.get(), 0);
    ::close(folder);
    const std::string after = Read(f / "shared.png");
    EXPECT_TRUE(after == std::string(600, 'a') || after == std::string(600, 'b'));
    EXPECT_EQ(std::distance(fs::directory_iterator(f.Path()), fs::directory_iterator()), 1);
}

TEST(ReplaceInFolder, EntriesAreReplacedNeverOpened) {
    Folder f, outside;
    Put(outside / "victim", "victim bytes");
    fs::create_symlink(outside / "victim", f / "00001.png");
    ASSERT_EQ(::mkfifo((f / "00002.png").c_str(), 0600), 0);
    Put(f / "00003.png", "old");
    Put(f / "00004.png", "read-only");
    ASSERT_EQ(::chmod((f / "00004.png").c_str(), 0444), 0);
    fs::create_directory(f / "00005.png");
    const int folder = ::open(f.Path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    struct Row {
        int row;
        std::string name;
        int status;
        std::string after; // what the name holds afterwards
    } rows[] = {
        {1, "00001.png", 0, "new 1"}, // link replaced, its target untouched
        {2, "00002.png", 0, "new 2"}, // FIFO replaced without waiting for a reader
        {3, "00003.png", 0, "new 3"}, // file replaced
        {4, "00004.png", kErrReadOnly, "read-only"},
        {5, "00005.png", EISDIR, ""},
        {6, "00006.png", 0, "new 6"}, // a new name
    };
    for (const Row& r : rows) {
        const std::string bytes = "new " + std::to_string(r.row);
        EXPECT_EQ(ReplaceInFolder(folder, r.name, bytes.data(), bytes.size()), r.status)
            << "row " << r.row;
        if (r.status != EISDIR) {
            EXPECT_TRUE(S_ISREG(Mode(f / r.name))) << "row " << r.row;
            EXPECT_EQ(Read(f / r.name), r.after) << "row " << r.row;
        }
    }
    EXPECT_EQ(Read(outside / "victim"), "victim bytes");
    EXPECT_EQ(SyncFolder(folder), 0);
    ::close(folder);
    EXPECT_EQ(f.Entries(), (std::vector<std::string>{"00001.png", "00002.png", "00003.png",
                                                     "00004.png", "00005.png", "00006.png"}));
}

// A disk that fills up part way (files may grow to 16 bytes only): the write fails with EFBIG,
// the target keeps its bytes and no temporary file is left, for a single file, a link to one
// and a batch folder's existing name.
TEST(WriteFileContents, AWriteThatFailsPartWayLeavesNothingBehind) {
    Folder f;
    Put(f / "a.png", "old");
    Put(f / "target.png", "old");
    fs::create_symlink(f / "target.png", f / "link.png");
    Put(f / "00001.png", "old");
    const int folder = ::open(f.Path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    const std::string bytes(4096, 'x');
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 16;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const int single = Write(f / "a.png", bytes);
    const int linked = Write(f / "link.png", bytes);
    const int inFolder = ReplaceInFolder(folder, "00001.png", bytes.data(), bytes.size());
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    ::close(folder);
    EXPECT_EQ(single, EFBIG);
    EXPECT_EQ(linked, EFBIG);
    EXPECT_EQ(inFolder, EFBIG);
    EXPECT_EQ(Read(f / "a.png"), "old");
    EXPECT_EQ(Read(f / "target.png"), "old");
    EXPECT_EQ(Read(f / "00001.png"), "old");
    EXPECT_EQ(f.Entries(),
              (std::vector<std::string>{"00001.png", "a.png", "link.png", "target.png"}));
}

} // namespace
