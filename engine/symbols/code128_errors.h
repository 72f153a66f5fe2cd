// Error codes of the Code 128 engine and the validation of a request's fields.
#pragma once

#include "symbols/Special128.h"

#include <cstdint>

namespace quillion {

inline constexpr std::int32_t kCode128Ok = 0;
inline constexpr std::int32_t kCode128InvalidDeviceContext = 54540; // never raised
inline constexpr std::int32_t kCode128InvalidWidth = 54541;
inline constexpr std::int32_t kCode128InvalidHeight = 54542;
inline constexpr std::int32_t kCode128UnknownSymbology = 54543;
inline constexpr std::int32_t kCode128FontError = 54544;
inline constexpr std::int32_t kCode128OutOfMemory = 54545; // never raised
inline constexpr std::int32_t kCode128InvalidAlignment = 54546;
inline constexpr std::int32_t kCode128InvalidPosition = 54547;
inline constexpr std::int32_t kCode128IllegalCharacter = 54548;

inline constexpr std::int32_t kSymbologyCode128 = 16;

// The code of the first field rule the request breaks, in the engine's order; 0 when all hold.
// The text is not looked at here.
std::int32_t ValidateCode128Request(const BarcodeRequest& request);

} // namespace quillion
