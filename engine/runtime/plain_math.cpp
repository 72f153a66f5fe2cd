#include "runtime/plain_math.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <string>

namespace quillion {

namespace {

bool Digit(const char* p, const char* last) {
    return p < last && *p >= '0' && *p <= '9';
}

// The C locale, for a decimal point whatever the process locale is (glibc's is static).
locale_t CLocale() {
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

} // namespace

std::from_chars_result ReadDecimal(const char* first, const char* last, double& value,
                                   bool exponent) {
    const char* p = first;
    if (p < last && *p == '-')
        ++p;
    const char* const digits = p;
    while (Digit(p, last))
        ++p;
    bool any = p != digits;
    if (p < last && *p == '.') {
        const char* q = p + 1;
        while (Digit(q, last))
            ++q;
        if (any || q != p + 1) {
            any = true;
            p = q;
        }
    }
    if (!any)
        return {first, std::errc::invalid_argument};
    if (exponent && p < last && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q < last && (*q == '+' || *q == '-'))
            ++q;
        if (Digit(q, last)) {
            while (Digit(q, last))
                ++q;
            p = q;
        }
    }
    // strtod_l reads exactly this span: only digits, '.', '-', 'e' and an exponent sign.
    const std::string text(first, p);
    const locale_t c = CLocale(); // glibc's C locale is static: never null in practice
    const int savedErrno = errno;
    errno = 0;
    const double read = c != locale_t(nullptr) ? ::strtod_l(text.c_str(), nullptr, c)
                                               : std::strtod(text.c_str(), nullptr);
    const bool range = errno == ERANGE && (read == 0 || read > DBL_MAX || read < -DBL_MAX);
    errno = savedErrno;
    if (range)
        return {p, std::errc::result_out_of_range};
    value = read;
    return {p, std::errc()};
}

long RoundToLong(double v) {
    // Every double in [-2^63, 2^63) truncates to a long; from 2^52 on it is whole already.
    if (!(v < 0x1p63))
        return v != v ? LONG_MIN : LONG_MAX;
    if (v < -0x1p63)
        return LONG_MIN;
    long whole = static_cast<long>(v);                  // towards zero
    const double rest = v - static_cast<double>(whole); // exact
    if (rest >= 0.5)
        ++whole;
    else if (rest <= -0.5)
        --whole;
    return whole;
}

} // namespace quillion
