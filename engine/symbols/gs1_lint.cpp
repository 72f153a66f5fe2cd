#include "symbols/gs1_lint.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

namespace quillion {
namespace {

constexpr std::string_view kCset82 = "!\"%&'()*+,-./0123456789:;<=>?ABCDEFGHIJKLMNOPQRSTUVWXYZ_"
                                     "abcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kCset32 = "23456789ABCDEFGHJKLMNPQRSTUVWXYZ";

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), Digit);
}

int Number(std::string_view s) {
    int n = 0;
    for (const char c : s)
        n = n * 10 + (c - '0');
    return n;
}

bool InBits(const std::array<std::uint64_t, 16>& bits, std::string_view code) {
    if (code.size() != 3 || !AllDigits(code))
        return false;
    const int v = Number(code);
    return (bits[std::size_t(v / 64)] >> (63 - v % 64) & 1U) != 0;
}

template <std::size_t N>
bool InList(const std::array<std::string_view, N>& list, std::string_view code) {
    return std::binary_search(list.begin(), list.end(), code);
}

constexpr std::array<const char*, 12> kMonths = {"January",   "February", "March",    "April",
                                                 "May",       "June",     "July",     "August",
                                                 "September", "October",  "November", "December"};

// "" when year (four digits), month and day name a day; day 0 passes when zeroDay.
std::string DateProblem(int year, int month, int day, bool zeroDay) {
    if (month < 1 || month > 12)
        return "month " + std::to_string(month) + " does not exist";
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int days = kDays[std::size_t(month - 1)] + (month == 2 && leap ? 1 : 0);
    if (day == 0 && zeroDay)
        return {};
    if (day < 1 || day > days)
        return std::to_string(day) + " " + kMonths[std::size_t(month - 1)] + " " +
               std::to_string(year) + " does not exist";
    return {};
}

// YYMMDD: the century by the GS1 rule for a two-digit year seen from 2000 (51-99: 19xx).
std::string YymmddProblem(std::string_view s, bool zeroDay) {
    const int yy = Number(s.substr(0, 2));
    return DateProblem(yy >= 51 ? 1900 + yy : 2000 + yy, Number(s.substr(2, 2)),
                       Number(s.substr(4, 2)), zeroDay);
}

std::string RangeProblem(std::string_view s, int max, const char* what) {
    if (Number(s) > max)
        return std::string(what) + " " + std::string(s) + " does not exist";
    return {};
}

std::string Gs1ModCheck(std::string_view s) {
    int sum = 0;
    const std::size_t n = s.size();
    for (std::size_t i = 0; i + 1 < n; ++i)
        sum += (s[i] - '0') * (((n - 1 - i) % 2 == 1) ? 3 : 1);
    const int check = (10 - sum % 10) % 10;
    if (s.back() - '0' != check)
        return "check digit must be " + std::to_string(check);
    return {};
}

std::string CsumAlphaProblem(std::string_view s) {
    if (s.size() < 2)
        return "too short for a check character pair";
    static constexpr std::array<int, 97> kPrimes = {
        2,   3,   5,   7,   11,  13,  17,  19,  23,  29,  31,  37,  41,  43,  47,  53,  59,
        61,  67,  71,  73,  79,  83,  89,  97,  101, 103, 107, 109, 113, 127, 131, 137, 139,
        149, 151, 157, 163, 167, 173, 179, 181, 191, 193, 197, 199, 211, 223, 227, 229, 233,
        239, 241, 251, 257, 263, 269, 271, 277, 281, 283, 293, 307, 311, 313, 317, 331, 337,
        347, 349, 353, 359, 367, 373, 379, 383, 389, 397, 401, 409, 419, 421, 431, 433, 439,
        443, 449, 457, 461, 463, 467, 479, 487, 491, 499, 503, 509};
    const std::size_t n = s.size() - 2;
    if (n > kPrimes.size())
        return "too long for a check character pair";
    long sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += long(kCset82.find(s[i])) * kPrimes[n - 1 - i];
    sum %= 1021;
    const std::string pair{kCset32[std::size_t(sum >> 5)], kCset32[std::size_t(sum & 31)]};
    if (s.substr(n) != pair)
        return "check character pair must be " + pair;
    return {};
}

std::string IbanProblem(std::string_view s) {
    if (s.size() < 5)
        return "an IBAN has at least 5 characters";
    for (const char c : s)
        if (!Digit(c) && !(c >= 'A' && c <= 'Z'))
            return "an IBAN has only digits and capital letters";
    if (!InList(kIso3166Alpha2, s.substr(0, 2)))
        return "an IBAN starts with an ISO 3166 country code, not " + std::string(s.substr(0, 2));
    if (!AllDigits(s.substr(2, 2)))
        return "an IBAN has two check digits after the country code";
    const std::string moved = std::string(s.substr(4)) + std::string(s.substr(0, 4));
    int rest = 0;
    for (const char c : moved) {
        const int v = Digit(c) ? c - '0' : c - 'A' + 10;
        rest = (v >= 10 ? rest * 100 : rest * 10) + v;
        rest %= 97;
    }
    if (rest != 1)
        return "IBAN check digits are wrong";
    return {};
}

// The North American coupon code of AI (8110).
std::string CouponCodeProblem(std::string_view s) {
    if (!AllDigits(s))
        return "a coupon code has only digits";
    std::size_t at = 0;
    const auto left = [&] { return s.size() - at; };
    const auto take = [&](std::size_t n, const char* what) -> std::string {
        if (left() < n)
            return std::string("coupon code ends in its ") + what;
        at += n;
        return {};
    };
    const auto vli = [&](int low, int high, int add, const char* what) -> std::string {
        if (left() == 0)
            return std::string("coupon code lacks the length of its ") + what;
        const int v = s[at] - '0';
        if (v < low || v > high)
            return std::string("coupon code has a wrong length for its ") + what;
        ++at;
        return take(std::size_t(v + add), what);
    };
    const auto code = [&](std::string_view allowed, const char* what) -> std::string {
        if (left() == 0)
            return std::string("coupon code lacks its ") + what;
        if (allowed.find(s[at]) == std::string_view::npos)
            return std::string("coupon code has a wrong ") + what;
        ++at;
        return {};
    };
    std::string why;
    const auto purchase = [&](const char* req, const char* reqCode, const char* family) {
        if (why.empty())
            why = vli(1, 5, 0, req);
        if (why.empty())
            why = code("012349", reqCode);
        if (why.empty())
            why = take(3, family);
    };
    why = vli(0, 6, 6, "company prefix");
    if (why.empty())
        why = take(6, "offer code");
    if (why.empty())
        why = vli(1, 5, 0, "save value");
    purchase("first purchase requirement", "first purchase requirement code",
             "first purchase family code");
    char last = '0';
    std::string expiry;
    while (why.empty() && left() > 0) {
        const char field = s[at];
        if (field <= last || std::string_view("123456789").find(field) == std::string_view::npos ||
            field == '7' || field == '8')
            return "coupon code has an unknown or repeated optional field " + std::string(1, field);
        last = field;
        ++at;
        if (field == '1' || field == '2') {
            if (field == '1')
                why = code("0123", "additional purchase rules code");
            purchase(field == '1' ? "second purchase requirement" : "third purchase requirement",
                     "purchase requirement code", "purchase family code");
            if (why.empty() && left() > 0 && s[at] == '9')
                ++at; // no company prefix: that of the first purchase
            else if (why.empty())
                why = vli(0, 6, 6, "purchase company prefix");
        } else if (field == '3' || field == '4') {
            const std::size_t from = at;
            why = take(6, field == '3' ? "expiration date" : "start date");
            if (why.empty() && !YymmddProblem(s.substr(from, 6), false).empty())
                why = std::string("coupon code has a wrong ") +
                      (field == '3' ? "expiration date" : "start date");
            if (why.empty() && field == '3')
                expiry = std::string(s.substr(from, 6));
            if (why.empty() && field == '4' && !expiry.empty() && expiry < s.substr(from, 6))
                why = "coupon code expires before it starts";
        } else if (field == '5') {
            why = vli(0, 9, 6, "serial number");
        } else if (field == '6') {
            why = vli(1, 7, 6, "retailer company prefix or GLN");
        } else { // '9'
            why = code("01256", "save value code");
            if (why.empty())
                why = code("012", "save value applies-to-item code");
            if (why.empty())
                why = take(1, "store coupon flag");
            if (why.empty())
                why = code("01", "don't multiply flag");
        }
    }
    return why;
}

// The positive offer file coupon code of AI (8112).
std::string CouponPosOfferProblem(std::string_view s) {
    if (!AllDigits(s))
        return "a coupon code has only digits";
    if (s.empty() || (s[0] != '0' && s[0] != '1'))
        return "coupon format code must be 0 or 1";
    if (s.size() < 2 || s[1] > '6')
        return "coupon code has a wrong funder length";
    std::size_t at = 2 + std::size_t(s[1] - '0' + 6);
    if (s.size() < at)
        return "coupon code ends in its funder ID";
    at += 6;
    if (s.size() < at)
        return "coupon code ends in its offer code";
    if (s.size() == at)
        return "coupon code lacks the length of its serial number";
    at += 1 + std::size_t(s[at] - '0' + 6);
    if (s.size() < at)
        return "coupon code ends in its serial number";
    if (s.size() > at)
        return "coupon code has data after its serial number";
    return {};
}

} // namespace

bool InGs1Set(char set, char16_t c) {
    if (c >= 128)
        return false;
    const char a = static_cast<char>(c);
    switch (set) {
    case 'N':
        return Digit(a);
    case 'X':
        return kCset82.find(a) != std::string_view::npos;
    case 'Y':
        return Digit(a) || (a >= 'A' && a <= 'Z') || a == '#' || a == '-' || a == '/';
    case 'Z':
        return Digit(a) || (a >= 'A' && a <= 'Z') || (a >= 'a' && a <= 'z') || a == '-' ||
               a == '_' || a == '=';
    default:
        return false;
    }
}

std::string Gs1LintProblem(Gs1Lint lint, std::string_view s) {
    switch (lint) {
    case Gs1Lint::None:
        return {};
    case Gs1Lint::Csum:
        return Gs1ModCheck(s);
    case Gs1Lint::Csumalpha:
        return CsumAlphaProblem(s);
    case Gs1Lint::Key:
    case Gs1Lint::Keyoff1: {
        const std::size_t off = lint == Gs1Lint::Keyoff1 ? 1 : 0;
        if (s.size() < off + 4 || !AllDigits(s.substr(off, 4)))
            return "does not start with a GS1 Company Prefix (at least 4 digits)";
        return {};
    }
    case Gs1Lint::Hasnondigit:
        return AllDigits(s) ? "needs a character that is not a digit" : std::string();
    case Gs1Lint::Yymmd0:
    case Gs1Lint::Yymmdd:
        return YymmddProblem(s, lint == Gs1Lint::Yymmd0);
    case Gs1Lint::Yyyymmdd:
        return DateProblem(Number(s.substr(0, 4)), Number(s.substr(4, 2)), Number(s.substr(6, 2)),
                           false);
    case Gs1Lint::Hh:
        return RangeProblem(s, 23, "hour");
    case Gs1Lint::Mi:
        return RangeProblem(s, 59, "minute");
    case Gs1Lint::Ss:
        return RangeProblem(s, 59, "second");
    case Gs1Lint::Hhmi: {
        std::string why = RangeProblem(s.substr(0, 2), 23, "hour");
        return why.empty() ? RangeProblem(s.substr(2, 2), 59, "minute") : why;
    }
    case Gs1Lint::Iso3166:
        return InBits(kIso3166Numeric, s) ? std::string()
                                          : std::string(s) + " is not an ISO 3166 country code";
    case Gs1Lint::Iso3166999:
        return s == "999" || InBits(kIso3166Numeric, s)
                   ? std::string()
                   : std::string(s) + " is not an ISO 3166 country code or 999";
    case Gs1Lint::Iso3166alpha2:
        return InList(kIso3166Alpha2, s)
                   ? std::string()
                   : std::string(s) + " is not an ISO 3166 alpha-2 country code";
    case Gs1Lint::Iso4217:
        return InBits(kIso4217Numeric, s) ? std::string()
                                          : std::string(s) + " is not an ISO 4217 currency code";
    case Gs1Lint::Iso5218:
        return s == "0" || s == "1" || s == "2" || s == "9"
                   ? std::string()
                   : "sex must be 0, 1, 2 or 9 (ISO/IEC 5218)";
    case Gs1Lint::Pcenc:
        for (std::size_t i = 0; i < s.size(); ++i)
            if (s[i] == '%') {
                const auto hex = [&](std::size_t k) {
                    return k < s.size() && std::isxdigit(static_cast<unsigned char>(s[k]));
                };
                if (!hex(i + 1) || !hex(i + 2))
                    return "\"%\" must be followed by two hexadecimal digits";
                i += 2;
            }
        return {};
    case Gs1Lint::Latitude:
        return s > "1800000000" ? "latitude beyond 90 degrees" : std::string();
    case Gs1Lint::Longitude:
        return s > "3600000000" ? "longitude beyond 180 degrees" : std::string();
    case Gs1Lint::Yesno:
        return s == "0" || s == "1" ? std::string() : "must be 0 (no) or 1 (yes)";
    case Gs1Lint::Hyphen:
        return s == "-" ? std::string() : "only \"-\" may follow the temperature";
    case Gs1Lint::Importeridx:
        return s.size() == 1 && (std::isalnum(static_cast<unsigned char>(s[0])) || s[0] == '-' ||
                                 s[0] == '_')
                   ? std::string()
                   : "importer index must be a letter, digit, \"-\" or \"_\"";
    case Gs1Lint::Packagetype:
        return InList(kPackageTypes, s) ? std::string()
                                        : std::string(s) + " is not a package type code";
    case Gs1Lint::Posinseqslash: {
        const std::size_t slash = s.find('/');
        if (slash == 0 || slash == std::string_view::npos || slash + 1 >= s.size() ||
            !AllDigits(s.substr(0, slash)) || !AllDigits(s.substr(slash + 1)))
            return "position in sequence must be POSITION/END";
        if (s[0] == '0' || s[slash + 1] == '0')
            return "position in sequence must not start with 0";
        const std::string_view p = s.substr(0, slash), e = s.substr(slash + 1);
        if (p.size() > e.size() || (p.size() == e.size() && p > e))
            return "position is after the end of the sequence";
        return {};
    }
    case Gs1Lint::Nonzero:
        return Number(s) == 0 && AllDigits(s) ? "must not be zero" : std::string();
    case Gs1Lint::Winding:
        return s == "0" || s == "1" || s == "9" ? std::string() : "winding must be 0, 1 or 9";
    case Gs1Lint::Zero:
        return s == "0" ? std::string() : "must be 0";
    case Gs1Lint::Pieceoftotal: {
        if (s.size() % 2 != 0)
            return "piece and total must have the same length";
        const int piece = Number(s.substr(0, s.size() / 2)), total = Number(s.substr(s.size() / 2));
        if (piece == 0 || total == 0)
            return "piece and total must not be zero";
        if (piece > total)
            return "piece " + std::to_string(piece) + " of " + std::to_string(total) +
                   " is beyond the total";
        return {};
    }
    case Gs1Lint::Iban:
        return IbanProblem(s);
    case Gs1Lint::Nozeroprefix:
        return s.size() > 1 && s[0] == '0' ? "must not start with 0" : std::string();
    case Gs1Lint::Mediatype: {
        const int v = Number(s);
        return (v >= 1 && v <= 10) || v >= 80 ? std::string()
                                              : std::string(s) + " is not an AIDC media type";
    }
    case Gs1Lint::Couponcode:
        return CouponCodeProblem(s);
    case Gs1Lint::Couponposoffer:
        return CouponPosOfferProblem(s);
    }
    return {};
}

} // namespace quillion
