// The fuzz targets' rules, replayed under the test build's sanitizers: every kept input of the
// seed corpus, and every input a fuzz run found failing (bytes inline, with what they decode to).
#include "harness/code128_auto_input.h"
#include "harness/code128_input.h"
#include "harness/code39_input.h"
#include "harness/corpus_folder.h"
#include "harness/datamatrix_input.h"
#include "harness/linear_input.h"
#include "harness/qr_input.h"
#include "harness/upc_input.h"

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

std::string Replay(RunInput run, const std::vector<std::uint8_t>& bytes) {
    return run(bytes.data(), bytes.size());
}

TEST(FuzzCorpus, EveryKeptInputKeepsItsTargetsRules) {
    struct Row {
        int line;
        const char* target;
        RunInput run;
    };
    const Row rows[] = {
        {1, "fuzz_code128", fuzz::RunCode128Input},
        {2, "fuzz_code39", fuzz::RunCode39Input},
        {3, "fuzz_upc", fuzz::RunUpcInput},
        {7, "fuzz_linear", fuzz::RunLinearInput},
        {4, "fuzz_code128_auto", fuzz::RunCode128AutoInput},
        {5, "fuzz_datamatrix", fuzz::RunDataMatrixInput},
        {6, "fuzz_qr", fuzz::RunQrInput},
    };
    for (const Row& row : rows) {
        const std::filesystem::path folder = fuzz::CorpusFolder(row.target);
        ASSERT_TRUE(std::filesystem::is_directory(folder)) << "row " << row.line << ": " << folder;
        int replayed = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::ifstream file(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
            EXPECT_EQ(Replay(row.run, bytes), "") << "row " << row.line << ": " << entry.path();
            ++replayed;
        }
        EXPECT_GT(replayed, 0) << "row " << row.line;
    }
}

} // namespace
} // namespace quillion
