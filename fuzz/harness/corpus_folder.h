// Where the kept inputs of a fuzz target live, for the tests that replay them.
#pragma once

#include <cstdlib>
#include <filesystem>

namespace quillion::fuzz {

// The folder of a target's seeds, in the source tree named by QUILLION_SOURCE_DIR or, without
// it, the one the test was built from (QUILLION_SOURCE_ROOT, defined by the build, since
// __FILE__ may be relative to the build folder, not to where the test runs) or this header's.
inline std::filesystem::path CorpusFolder(const char* target) {
    const char* source = std::getenv("QUILLION_SOURCE_DIR");
#ifdef QUILLION_SOURCE_ROOT
    const std::filesystem::path built = QUILLION_SOURCE_ROOT;
#else
    const std::filesystem::path built =
        std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
#endif
    const std::filesystem::path root = source != nullptr ? std::filesystem::path(source) : built;
    return root / "fuzz" / "corpus" / target;
}

} // namespace quillion::fuzz
