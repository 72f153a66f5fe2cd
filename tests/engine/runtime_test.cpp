// Run-time semantics: overflow trapping at the exact type boundaries, banker's rounding and
// Val-style number parsing.
#include "runtime/runtime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace quillion {
namespace {

constexpr std::int64_t kMax32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMin32 = std::numeric_limits<std::int32_t>::min();

int ErrorOf(auto&& action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

TEST(Checked, SixteenBitBoundaries) {
    EXPECT_EQ(Add16(32766, 1), 32767);
    EXPECT_EQ(ErrorOf([] { Add16(32767, 1); }), err::kOverflow);
    EXPECT_EQ(Add16(-32767, -1), -32768);
    EXPECT_EQ(ErrorOf([] { Add16(-32768, -1); }), err::kOverflow);
    EXPECT_EQ(Mul16(15, 2184), 32760);
    EXPECT_EQ(ErrorOf([] { Mul16(15, 2185); }), err::kOverflow);
    EXPECT_EQ(Mul16(-128, 256), -32768);
    EXPECT_EQ(ErrorOf([] { Mul16(128, 256); }), err::kOverflow);
    EXPECT_EQ(To16(-32768), -32768);
    EXPECT_EQ(ErrorOf([] { To16(32768); }), err::kOverflow);
}

TEST(Checked, ThirtyTwoBitBoundaries) {
    EXPECT_EQ(Add32(kMax32 - 1, 1), kMax32);
    EXPECT_EQ(ErrorOf([] { Add32(kMax32, 1); }), err::kOverflow);
    EXPECT_EQ(Sub32(kMin32 + 1, 1), kMin32);
    EXPECT_EQ(ErrorOf([] { Sub32(kMin32, 1); }), err::kOverflow);
    EXPECT_EQ(ErrorOf([] { Sub32(0, kMin32); }), err::kOverflow);
    EXPECT_EQ(Mul32(-65536, 32768), kMin32);
    EXPECT_EQ(ErrorOf([] { Mul32(65536, 32768); }), err::kOverflow);
    EXPECT_EQ(ErrorOf([] { Mul32(kMin32, -1); }), err::kOverflow);
    // Operands that are themselves outside 32 bits are refused, whatever the result.
    EXPECT_EQ(ErrorOf([] { Add32(kMax32 + 1, -1); }), err::kOverflow);
    EXPECT_EQ(ErrorOf([] { To32(kMin32 - 1); }), err::kOverflow);
}

TEST(Errors, NumbersAndDescriptions) {
    struct Row {
        int row;
        void (*raise)();
        int number;
        const char* text;
    };
    const Row rows[] = {{1, RaiseOverflow, 6, "Overflow"},
                        {2, RaiseSubscriptOutOfRange, 9, "Subscript out of range"},
                        {3, RaiseTypeMismatch, 13, "Type mismatch"}};
    for (const Row& row : rows) {
        try {
            row.raise();
            ADD_FAILURE() << "row " << row.row;
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), row.number) << "row " << row.row;
            EXPECT_EQ(e.Description(), row.text) << "row " << row.row;
            EXPECT_STREQ(e.what(), row.text) << "row " << row.row;
        }
    }
}

TEST(Rounding, HalfToEven) {
    struct Row {
        int row;
        double in;
        double out;
    };
    const Row rows[] = {{1, 2.5, 2},  {2, 3.5, 4},    {3, -2.5, -2},  {4, -3.5, -4},
                        {5, 0.5, 0},  {6, 1.5, 2},    {7, 2.4999, 2}, {8, 2.5001, 3},
                        {9, -0.5, 0}, {10, 12.5, 12}, {11, 13.5, 14}};
    for (const Row& r : rows) {
        EXPECT_EQ(RoundHalfEven(r.in), r.out) << "row " << r.row;
        EXPECT_EQ(CInt(r.in), r.out) << "row " << r.row;
        EXPECT_EQ(CLng(r.in), r.out) << "row " << r.row;
    }
}

TEST(Rounding, ConversionRanges) {
    EXPECT_EQ(CInt(32767.4), 32767);
    EXPECT_EQ(ErrorOf([] { CInt(32767.5); }), err::kOverflow);
    EXPECT_EQ(CInt(-32768.5), -32768); // halfway goes to the even -32768
    EXPECT_EQ(ErrorOf([] { CInt(-32768.51); }), err::kOverflow);
    EXPECT_EQ(CLng(2147483647.4), kMax32);
    EXPECT_EQ(ErrorOf([] { CLng(2147483647.5); }), err::kOverflow);
    EXPECT_EQ(CLng(-2147483648.5), kMin32);
    EXPECT_EQ(ErrorOf([] { CLng(std::nan("")); }), err::kOverflow);
    EXPECT_EQ(ErrorOf([] { CInt(std::numeric_limits<double>::infinity()); }), err::kOverflow);
    EXPECT_EQ(ErrorOf([] { CLng(-std::numeric_limits<double>::infinity()); }), err::kOverflow);
}

TEST(Val, LeadingNumber) {
    struct Row {
        int row;
        std::u16string text;
        double value;
    };
    const Row rows[] = {
        {1, u"1abc", 1},
        {2, u"", 0},
        {3, u" 12 34", 1234},
        {4, u"1e3", 1000},
        {5, u"&H10", 16},
        {6, u"-3.5", -3.5},
        {7, u"abc", 0},
        {8, u"  \t\n42", 42},
        {9, u"+7", 7},
        {10, u"1.5.5", 1.5},
        {11, u"2d2", 200},
        {12, u"1e", 1},
        {13, u"1e+", 1},
        {14, u"&O17", 15},
        {15, u"&HFFFF", -1},
        {16, u"&H7FFF", 32767},
        {17, u"&H10000", 65536},
        {18, u"&HFFFFFFFF", -1},
        {19, u"&", 0},
        {20, u"&Hxyz", 0},
        {21, u"&O8", 0},
        {22, u".5", 0.5},
        {23, u"- 4", -4},
        {24, u"1-2", 1},
        {25, u"3E-2", 0.03},
        {26, u"--1", 0},
        {27, u"\uFF11", 0},
        {28, u"1e400", std::numeric_limits<double>::max()},
        {29, u"-1e400", -std::numeric_limits<double>::max()},
        {30, std::u16string(10000, u'9'), std::numeric_limits<double>::max()},
    };
    for (const Row& r : rows)
        EXPECT_DOUBLE_EQ(Val(r.text), r.value) << "row " << r.row;
}

} // namespace
} // namespace quillion
