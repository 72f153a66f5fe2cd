// Where the kept inputs of a fuzz target live, for the tests that replay them.
#pragma once

#include <cstdlib>
#include <filesystem>

namespace quillion::fuzz {

// The folder of a target's seeds, in the source tree named by QUILLION_SOURCE_DIR or, without
// it, the one this header belongs to.
inline std::filesystem::path CorpusFolder(const char* target) {
    const char* source = std::getenv("QUILLION_SOURCE_DIR");
    const std::filesystem::path root =
        source != nullptr
            ? std::filesystem::path(source)
            : std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
    return root / "fuzz" / "corpus" / target;
}

} // namespace quillion::fuzz
