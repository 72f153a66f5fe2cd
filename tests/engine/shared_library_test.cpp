// A library opened by soname: its functions are found and called; a missing library or
// function is a message naming it, never a crash.
#include "runtime/shared_library.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillion {
namespace {

TEST(SharedLibrary, FindsFunctionsOrSaysWhatIsMissing) {
    struct Row {
        int row;
        const char* soname;
        const char* function;
        bool found;
        const char* problem; // a part of Problem(), "" for none
    };
    const Row rows[] = {
        {1, "libm.so.6", "cos", true, ""},
        {2, "libm.so.6", "quillion_no_such_function", false,
         "libm.so.6 has no function quillion_no_such_function"},
        {3, "libquillion-no-such-library.so.9", "cos", false,
         "cannot load libquillion-no-such-library.so.9: "},
    };
    for (const Row& r : rows) {
        SharedLibrary library(r.soname);
        double (*function)(double) = &::cos;
        EXPECT_EQ(library.Find(r.function, function), r.found) << "row " << r.row;
        if (r.found)
            EXPECT_EQ(function(0.0), 1.0) << "row " << r.row;
        else
            EXPECT_EQ(function, nullptr) << "row " << r.row;
        if (*r.problem)
            EXPECT_NE(library.Problem().find(r.problem), std::string::npos)
                << "row " << r.row << ": " << library.Problem();
        else
            EXPECT_EQ(library.Problem(), "") << "row " << r.row;
    }
}

} // namespace
} // namespace quillion
