// The application fuzz targets' rules, replayed under the test build's sanitizers: every kept
// input of the .cur reader's and the settings read-back's seed corpus.
#include "harness/corpus_folder.h"
#include "harness/cursor_input.h"
#include "harness/settings_input.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace quillion {
namespace {

using RunInput = std::string (*)(const std::uint8_t*, std::size_t);

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

TEST(AppFuzzCorpus, EveryKeptInputKeepsItsTargetsRules) {
    struct Row {
        int line;
        const char* target;
        RunInput run;
    };
    const Row rows[] = {
        {1, "fuzz_app_cursor", fuzz::RunCursorInput},
        {2, "fuzz_app_settings", fuzz::RunSettingsInput},
    };
    for (const Row& row : rows) {
        const std::filesystem::path folder = fuzz::CorpusFolder(row.target);
        ASSERT_TRUE(std::filesystem::is_directory(folder)) << "row " << row.line << ": " << folder;
        int replayed = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::vector<std::uint8_t> bytes = ReadBytes(entry.path());
            EXPECT_EQ(row.run(bytes.data(), bytes.size()), "")
                << "row " << row.line << ": " << entry.path();
            ++replayed;
        }
        EXPECT_GT(replayed, 0) << "row " << row.line;
    }
}

// Inputs the fuzz runs found failing, kept as they were found.
TEST(AppFuzzCorpus, FoundInputs) {
    struct Row {
        int line;
        RunInput run;
        std::vector<std::uint8_t> bytes;
    };
    const Row rows[] = {
        // Settings: a stored text that starts with U+FEFF (then U+0211, 21 NULs, U+0017) came
        // back without it: QString::fromStdU16String takes a leading U+FEFF or U+FFFE for a
        // byte-order mark, dropping it or byte-swapping the rest.
        {1, fuzz::RunSettingsInput, {0xff, 0xff, 0xff, 0xff, 0xfe, 0x11, 0x02, 0, 0, 0,   0, 0, 0,
                                     0,    0,    0,    0,    0,    0,    0,    0, 0, 0,   0, 0, 0,
                                     0,    0,    0,    0,    0,    0,    0,    0, 0, 0,   0, 0, 0,
                                     0,    0,    0,    0,    0,    0,    0,    0, 0, 0x17}},
        // Settings: U+FFFE first, then "AB" (UTF-16 text of 3 units).
        {2, fuzz::RunSettingsInput, {0x03, 0x03, 0xfe, 0xff, 0x41, 0x00, 0x42, 0x00}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.run(row.bytes.data(), row.bytes.size()), "") << "row " << row.line;
}

// The cursor seeds are real cursor files (all but the truncated one): the fuzzer starts from
// inputs that reach the pixel decoding.
TEST(AppFuzzCorpus, CursorSeedsParse) {
    for (const auto& entry :
         std::filesystem::directory_iterator(fuzz::CorpusFolder("fuzz_app_cursor"))) {
        if (entry.path().filename() == "truncated")
            continue;
        const std::vector<std::uint8_t> bytes = ReadBytes(entry.path());
        EXPECT_NO_THROW(ParseCursorFile(
            QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()))))
            << entry.path();
    }
}

} // namespace
} // namespace quillion
