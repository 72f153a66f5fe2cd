#include "symbols/upc_symbol.h"

#include "runtime/ansi.h"
#include "symbols/linear_runs.h"
#include "symbols/symbol_messages.h"
#include "symbols/upc_digits.h"
#include "symbols/upc_patterns.h"

#include <array>
#include <span>
#include <utility>
#include <vector>

namespace quillion {
namespace {

constexpr std::array<int, 3> kSideGuard = {1, 1, 1};          // bar, space, bar
constexpr std::array<int, 5> kCentreGuard = {1, 1, 1, 1, 1};  // space, bar, ... space
constexpr std::array<int, 6> kUpcEGuard = {1, 1, 1, 1, 1, 1}; // space, bar, ... bar
constexpr double kDigitCentre = 3.5;                          // a digit's 7 modules

// The parity of EAN-13's first six digits by its leading digit ('G': number set B).
constexpr std::array<std::string_view, 10> kLeadingParity = {
    "LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
    "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL",
};

// A digit's widths: set A (space first on the left, bar first on the right); set B the same
// widths in reverse order.
std::array<int, 4> DigitWidths(int digit, bool setB) {
    std::array<int, 4> w = UpcDigitPatterns[std::size_t(digit)];
    if (setB)
        w = {w[3], w[2], w[1], w[0]};
    return w;
}

// The digits of text when all are ASCII digits and there are full or full - 1 of them (the
// check digit then appended); else the refusal.
Encoded Digits(std::u16string_view text, std::size_t full, std::u16string_view lengthMessage,
               std::vector<int>& digits) {
    if (text.empty())
        return Refusal{kErrorRejected, Utf16ToUtf8(kMsgNotNumeric)};
    for (const char16_t c : text)
        if (c < u'0' || c > u'9')
            return Refusal{kErrorRejected, Utf16ToUtf8(kMsgNotNumeric)};
    if (text.size() != full && text.size() != full - 1)
        return Refusal{kErrorRejected, Utf16ToUtf8(lengthMessage)};
    digits.clear();
    for (const char16_t c : text.substr(0, full - 1))
        digits.push_back(c - u'0');
    const int check = Gs1CheckDigit(digits);
    if (text.size() == full && text.back() - u'0' != check)
        return Refusal{kErrorRejected, Utf16ToUtf8(kMsgUpcACheckDigit) + char('0' + check)};
    digits.push_back(check);
    return Symbol{};
}

void AddText(Symbol& s, int digit, double x) {
    s.text.push_back(
        SymbolText{std::string(1, char('0' + digit)), x, SymbolText::Anchor::Centre, 0, 0});
}

// The frame every symbol of the family shares.
Symbol Frame(double barModules, QuietModules quiet, const std::vector<int>& digits) {
    Symbol s;
    s.barModules = barModules;
    s.guardModules = 5;
    s.quiet = quiet;
    s.textStyle = SymbolTextStyle{"Arial", 11, false, false, false, false, -1.2};
    for (const int d : digits)
        s.reading += char('0' + d);
    return s;
}

// EAN-13, EAN-8 and UPC-A: guard, left digits (set A, or the parities given), centre guard,
// right digits, guard; longEnds makes the first and last digit's bars long (UPC-A).
void AddTwoHalves(Symbol& s, std::span<const int> digits, std::string_view parity, bool longEnds) {
    RunBuilder runs(s);
    runs.Alternate(kSideGuard, true, true);
    const std::size_t half = digits.size() / 2;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i == half)
            runs.Alternate(kCentreGuard, false, true);
        const bool left = i < half;
        const bool longDigit = longEnds && (i == 0 || i + 1 == digits.size());
        runs.Alternate(DigitWidths(digits[i], left && parity[i] == 'G'), !left, longDigit);
    }
    runs.Alternate(kSideGuard, true, true);
}

} // namespace

std::vector<std::uint8_t> UpcARuns(std::span<const int, 12> digits) {
    Symbol s;
    AddTwoHalves(s, digits, "LLLLLL", true);
    return std::move(s.runs);
}

Encoded EncodeEan13(std::u16string_view text, const EncodeOptions&) {
    std::vector<int> d;
    if (Encoded bad = Digits(text, 13, kMsgEan13Length, d); std::holds_alternative<Refusal>(bad))
        return bad;
    Symbol s = Frame(69.24, {11, 7, 0, 0}, d);
    AddTwoHalves(s, std::span(d).subspan(1), kLeadingParity[std::size_t(d[0])], false);
    AddText(s, d[0], -6);
    for (std::size_t i = 1; i < 13; ++i)
        AddText(s, d[i], 3 + 7.0 * double(i - 1) + (i > 6 ? 5 : 0) + kDigitCentre);
    return s;
}

Encoded EncodeEan8(std::u16string_view text, const EncodeOptions&) {
    std::vector<int> d;
    if (Encoded bad = Digits(text, 8, kMsgEan8Length, d); std::holds_alternative<Refusal>(bad))
        return bad;
    Symbol s = Frame(55.24, {7, 7, 0, 0}, d);
    AddTwoHalves(s, d, "LLLL", false);
    for (std::size_t i = 0; i < 8; ++i)
        AddText(s, d[i], 3 + 7.0 * double(i) + (i > 3 ? 5 : 0) + kDigitCentre);
    return s;
}

Encoded EncodeUpcA(std::u16string_view text, const EncodeOptions&) {
    std::vector<int> d;
    if (Encoded bad = Digits(text, 12, kMsgUpcALength, d); std::holds_alternative<Refusal>(bad))
        return bad;
    Symbol s = Frame(69.24, {9, 9, 0, 0}, d);
    AddTwoHalves(s, d, "LLLLLL", true);
    AddText(s, d[0], -5);
    for (std::size_t i = 1; i < 11; ++i)
        AddText(s, d[i], 3 + 7.0 * double(i) + (i > 5 ? 5 : 0) + kDigitCentre);
    AddText(s, d[11], 95 + 5);
    return s;
}

Encoded EncodeUpcE(std::u16string_view text, const EncodeOptions&) {
    if (text.empty())
        return Refusal{kErrorRejected, Utf16ToUtf8(kMsgNotNumeric)};
    for (const char16_t c : text)
        if (c < u'0' || c > u'9')
            return Refusal{kErrorRejected, Utf16ToUtf8(kMsgNotNumeric)};
    const std::optional<UpcEDigits> digits = AsciiDigits<6>(text);
    if (!digits)
        return Refusal{kErrorRejected, Utf16ToUtf8(kMsgUpcELength)};
    const int check = UpcECheckDigit(*digits);
    const std::array<bool, 6> even = UpcEEvenParity(check);
    Symbol s = Frame(69.24, {9, 7, 0, 0}, {});
    s.reading = UpcEReading(*digits);
    RunBuilder runs(s);
    runs.Alternate(kSideGuard, true, true);
    for (std::size_t i = 0; i < 6; ++i)
        runs.Alternate(DigitWidths((*digits)[i], even[i]), false);
    runs.Alternate(kUpcEGuard, false, true);
    AddText(s, 0, -5);
    for (std::size_t i = 0; i < 6; ++i)
        AddText(s, (*digits)[i], 3 + 7.0 * double(i) + kDigitCentre);
    AddText(s, check, 51 + 4);
    return s;
}

} // namespace quillion
