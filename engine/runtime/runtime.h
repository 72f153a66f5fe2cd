// VB-style run-time semantics used by the renderers: typed run-time errors, overflow-trapping
// 16- and 32-bit arithmetic, banker's rounding, Val-style number parsing.
#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quillion {

// A run-time failure with the host's error number and description. Thrown by the renderers and
// the save path; command handlers catch it and show the error report.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(std::int32_t number, std::string description)
        : std::runtime_error(description), number_(number), description_(std::move(description)) {}

    std::int32_t Number() const noexcept { return number_; }
    const std::string& Description() const noexcept { return description_; }

private:
    std::int32_t number_;
    std::string description_;
};

namespace err {
inline constexpr std::int32_t kInvalidCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kSubscript = 9;
inline constexpr std::int32_t kTypeMismatch = 13;
// A file the run needs (a caption's font) is missing or unusable.
inline constexpr std::int32_t kFileNotFound = 53;
} // namespace err

[[noreturn]] void RaiseOverflow();            // 6 "Overflow"
[[noreturn]] void RaiseSubscriptOutOfRange(); // 9 "Subscript out of range"
[[noreturn]] void RaiseTypeMismatch();        // 13 "Type mismatch"

// Overflow-trapping arithmetic. Each raises error 6 when the exact result leaves the type.
// Inline: the painters call them per bar and per pixel row.
inline std::int32_t To32(std::int64_t v) {
    if (v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max())
        RaiseOverflow();
    return static_cast<std::int32_t>(v);
}
inline std::int16_t To16(std::int64_t v) {
    if (v < std::numeric_limits<std::int16_t>::min() ||
        v > std::numeric_limits<std::int16_t>::max())
        RaiseOverflow();
    return static_cast<std::int16_t>(v);
}
// The operands are at most 32 bits wide, so their exact sum and product fit in 64 bits; the
// wide operand types only let callers pass an already-widened intermediate.
inline std::int32_t Add32(std::int64_t a, std::int64_t b) {
    return To32(std::int64_t{To32(a)} + To32(b));
}
inline std::int32_t Sub32(std::int64_t a, std::int64_t b) {
    return To32(std::int64_t{To32(a)} - To32(b));
}
inline std::int32_t Mul32(std::int64_t a, std::int64_t b) {
    return To32(std::int64_t{To32(a)} * To32(b));
}
inline std::int16_t Add16(std::int32_t a, std::int32_t b) {
    return To16(static_cast<std::int64_t>(a) + b);
}
inline std::int16_t Mul16(std::int32_t a, std::int32_t b) {
    return To16(static_cast<std::int64_t>(a) * b);
}

// Nearest integer, a value exactly halfway going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double v);
// Floating point to integer as the host converts: round half to even, then range-check.
// NaN and values outside the type raise error 6.
std::int16_t CInt(double v);
std::int32_t CLng(double v);

// The numeric value of the leading number of a text, as the host's Val does: leading blanks,
// tabs and line feeds skipped, optional sign, digits with one decimal point, optional exponent
// (E or D); blanks inside the number are ignored; "&H" and "&O" prefixes give hex and octal.
// "1abc" is 1, "" is 0, "abc" is 0.
double Val(std::u16string_view text);

} // namespace quillion
