// The libm-free number reading and rounding against the standard library's own: std::from_chars,
// std::lround, std::nearbyint (the oracles), on chosen edges and on random inputs.
#include "runtime/plain_math.h"
#include "runtime/runtime.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

namespace quillion {
namespace {

void ExpectReadsAsFromChars(const std::string& text) {
    for (const bool exponent : {true, false}) {
        const auto format = exponent ? std::chars_format::general : std::chars_format::fixed;
        double expected = -7, got = -7;
        const char* first = text.data();
        const char* last = first + text.size();
        const auto e = std::from_chars(first, last, expected, format);
        const auto g = ReadDecimal(first, last, got, exponent);
        EXPECT_EQ(g.ec, e.ec) << '"' << text << "\" exponent " << exponent;
        EXPECT_EQ(g.ptr - first, e.ptr - first) << '"' << text << "\" exponent " << exponent;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(got), std::bit_cast<std::uint64_t>(expected))
            << '"' << text << "\" exponent " << exponent;
    }
}

TEST(PlainMath, ReadDecimalIsFromChars) {
    // Edges, '|' between them: signs, lone points, cut exponents, ranges, subnormals, rounding.
    const std::string edges =
        "0|-0|12.5|0.33mm|00012.50|1.|-.5|.5e2|.|-||+1| 1|1e|1e+|1E-2x|1.5e3.2|e5|-e5|1e400|"
        "-1e400|1e-400|1e-310|4.9e-324|2.5e-324|0e999999|1e-5000000000000|0x1p3|"
        "2.2250738585072011e-308|9007199254740993|0.1000000000000000055511151231257827|" +
        std::string(309, '9') + ".0";
    for (std::size_t at = 0, bar = 0; bar != std::string::npos; at = bar + 1) {
        bar = edges.find('|', at);
        ExpectReadsAsFromChars(edges.substr(at, bar == std::string::npos ? bar : bar - at));
    }
    std::mt19937 random(12345);
    const std::string alphabet = "0123456789.-e+E";
    for (int n = 0; n < 20000; ++n) {
        std::string text(random() % 24, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        ExpectReadsAsFromChars(text);
    }
}

TEST(PlainMath, RoundingIsTheStandardLibrarys) {
    std::vector<double> values = {0.5,
                                  -0.5,
                                  1.5,
                                  2.5,
                                  -2.5,
                                  0.49999999999999994,
                                  -0.49999999999999994,
                                  4503599627370495.5,
                                  4503599627370497.0,
                                  0x1p52,
                                  -0x1p52,
                                  0x1p62,
                                  -0x1p63,
                                  -0.0,
                                  1e-300};
    std::mt19937_64 random(99);
    for (int n = 0; n < 20000; ++n) {
        const double scale = std::ldexp(1.0, int(random() % 60));
        values.push_back((double(random() % 2000001) / 1000.0 - 1000.0) * scale / 1024);
        values.push_back(double(std::int64_t(random() % 4001) - 2000) / 2); // halves
    }
    for (const double v : values) {
        EXPECT_EQ(RoundToLong(v), std::lround(v)) << v;
        const double even = RoundHalfEven(v);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(even),
                  std::bit_cast<std::uint64_t>(std::nearbyint(v)))
            << v;
    }
}

} // namespace
} // namespace quillion
