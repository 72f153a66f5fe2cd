// The run-time error of a file that is there but cannot be read or written.
#pragma once

#include "runtime/runtime.h"

#include <cstdint>

namespace quillion {

inline constexpr std::int32_t kErrPathFileAccess = 75;

[[noreturn]] inline void RaisePathFileAccessError() {
    throw RuntimeError(kErrPathFileAccess, "Path/File access error");
}

} // namespace quillion
