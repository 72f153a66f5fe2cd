#include "runtime/runtime.h"

#include "runtime/plain_math.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace quillion {

void RaiseOverflow() {
    throw RuntimeError(err::kOverflow, "Overflow");
}
void RaiseSubscriptOutOfRange() {
    throw RuntimeError(err::kSubscript, "Subscript out of range");
}
void RaiseTypeMismatch() {
    throw RuntimeError(err::kTypeMismatch, "Type mismatch");
}

double RoundHalfEven(double v) {
    // Adding and taking away 2^52 leaves no fraction, rounded to even in the default rounding
    // mode: std::nearbyint without the maths library (runtime/plain_math.h).
    if (!(std::fabs(v) < 0x1p52))
        return v; // whole already, infinite or NaN
    const double big = std::copysign(0x1p52, v);
    return std::copysign((v + big) - big, v);
}

std::int16_t CInt(double v) {
    if (!std::isfinite(v))
        RaiseOverflow();
    const double r = RoundHalfEven(v);
    if (r < -32768.0 || r > 32767.0)
        RaiseOverflow();
    return static_cast<std::int16_t>(r);
}

std::int32_t CLng(double v) {
    if (!std::isfinite(v))
        RaiseOverflow();
    const double r = RoundHalfEven(v);
    if (r < -2147483648.0 || r > 2147483647.0)
        RaiseOverflow();
    return static_cast<std::int32_t>(r);
}

namespace {

bool IsValBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

double ValRadix(std::u16string_view s, std::size_t i, int radix) {
    // &H / &O: digits of the radix, as a signed 32-bit value when it fits in 32 bits.
    std::uint64_t acc = 0;
    bool any = false;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i];
        int d = -1;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (radix == 16 && c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else if (radix == 16 && c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        if (d < 0 || d >= radix)
            break;
        any = true;
        acc = acc * static_cast<unsigned>(radix) + static_cast<unsigned>(d);
        if (acc > 0xFFFFFFFFull)
            return static_cast<double>(acc); // too wide to be a 32-bit pattern: keep its value
    }
    if (!any)
        return 0.0;
    if (acc <= 0xFFFFull)
        return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(acc)));
    return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(acc)));
}

} // namespace

double Val(std::u16string_view s) {
    std::size_t i = 0;
    while (i < s.size() && IsValBlank(s[i]))
        ++i;
    if (i + 1 < s.size() && s[i] == u'&') {
        const char16_t p = s[i + 1];
        if (p == u'H' || p == u'h')
            return ValRadix(s, i + 2, 16);
        if (p == u'O' || p == u'o')
            return ValRadix(s, i + 2, 8);
    }
    // Collect an ASCII number, skipping blanks inside it, then let strtod read it.
    std::string num;
    bool seenDigit = false, seenPoint = false, seenExp = false;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        if (c >= u'0' && c <= u'9') {
            num.push_back(static_cast<char>(c));
            seenDigit = true;
        } else if ((c == u'+' || c == u'-') && (num.empty() || num.back() == 'e')) {
            num.push_back(static_cast<char>(c));
        } else if (c == u'.' && !seenPoint && !seenExp) {
            num.push_back('.');
            seenPoint = true;
        } else if ((c == u'e' || c == u'E' || c == u'd' || c == u'D') && seenDigit && !seenExp) {
            num.push_back('e');
            seenExp = true;
        } else {
            break;
        }
        if (num.size() > 4096)
            break;
    }
    // Trim an incomplete exponent ("1e", "1e+") so it reads as the mantissa alone.
    while (!num.empty() && (num.back() == 'e' || num.back() == '+' || num.back() == '-'))
        num.pop_back();
    if (num.empty())
        return 0.0;
    // ReadDecimal reads the C locale's number whatever the process locale is.
    double v = 0.0;
    const char* first = num.c_str();
    if (*first == '+')
        ++first;
    const auto res = ReadDecimal(first, num.c_str() + num.size(), v);
    if (res.ec == std::errc::result_out_of_range)
        v = (*first == '-') ? -HUGE_VAL : HUGE_VAL;
    return std::isfinite(v)
               ? v
               : (v > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max());
}

} // namespace quillion
