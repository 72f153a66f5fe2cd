#include "symbols/upc_symbol.h"

#include "runtime/ansi.h"
#include "symbols/symbol_messages.h"
#include "symbols/upc_digits.h"
#include "symbols/upc_patterns.h"

#include <array>
#include <optional>
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

// The digits of a symbol, the check digit last.
template <std::size_t N> using DigitArray = std::array<int, N>;

// The digits of text when all are ASCII digits and there are N or N - 1 of them (the check
// digit then appended); else the refusal.
template <std::size_t N>
std::optional<Refusal> Digits(std::u16string_view text, std::u16string_view lengthMessage,
                              DigitArray<N>& digits) {
    if (text.empty())
        return Refusal{kErrorRejected, Utf16ToUtf8(kMsgNotNumeric)};
    for (const char16_t c : text)
        if (c < u'0' || c > u'9')
            return Refusal{kErrorRejected, Utf16ToUtf8(kMsgNotNumeric)};
    if (text.size() != N && text.size() != N - 1)
        return Refusal{kErrorRejected, Utf16ToUtf8(lengthMessage)};
    for (std::size_t i = 0; i + 1 < N; ++i)
        digits[i] = text[i] - u'0';
    const int check = Gs1CheckDigit(std::span<const int>(digits.data(), N - 1));
    if (text.size() == N && text.back() - u'0' != check)
        return Refusal{kErrorRejected, Utf16ToUtf8(kMsgUpcACheckDigit) + char('0' + check)};
    digits[N - 1] = check;
    return std::nullopt;
}

void AddText(Symbol& s, int digit, double x) {
    SymbolText& t = s.text.emplace_back();
    t.text.assign(1, char('0' + digit));
    t.x = x;
}

// The frame every symbol of the family shares, room made for its texts.
Symbol Frame(double barModules, QuietModules quiet, std::span<const int> digits,
             std::size_t texts) {
    Symbol s;
    s.barModules = barModules;
    s.guardModules = 5;
    s.quiet = quiet;
    s.textStyle.face = "Arial";
    s.textStyle.emModules = 11;
    s.textStyle.gapModules = -1.2;
    s.reading.reserve(digits.size());
    for (const int d : digits)
        s.reading += char('0' + d);
    s.text.reserve(texts);
    return s;
}

// The runs of a symbol of the family as they are built: bar and space in turn (no two
// neighbours of one colour meet), and which bars are long. At most 59 runs (30 bars).
class Runs {
public:
    // Widths in turn from the next colour; long makes their bars long.
    template <typename Range> void Add(const Range& widths, bool longBars) {
        for (const int w : widths) {
            if (size_ % 2 == 0 && longBars)
                long_ |= std::uint32_t{1} << (size_ / 2);
            runs_[size_++] = std::uint8_t(w);
        }
    }
    // Moves the runs into the symbol (its long bars up to its last bar).
    void Into(Symbol& s) const {
        s.runs.assign(runs_.begin(), runs_.begin() + std::ptrdiff_t(size_));
        const std::size_t bars = (size_ + 1) / 2;
        s.longBars.assign(bars, false);
        for (std::size_t b = 0; b < bars; ++b)
            if ((long_ >> b) & 1)
                s.longBars[b] = true;
    }

private:
    std::array<std::uint8_t, 59> runs_{};
    std::uint32_t long_ = 0; // bit b: bar b is long
    std::size_t size_ = 0;
};

// EAN-13, EAN-8 and UPC-A: guard, left digits (set A, or the parities given), centre guard,
// right digits, guard; longEnds makes the first and last digit's bars long (UPC-A).
void AddTwoHalves(Runs& runs, std::span<const int> digits, std::string_view parity, bool longEnds) {
    runs.Add(kSideGuard, true);
    const std::size_t half = digits.size() / 2;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i == half)
            runs.Add(kCentreGuard, true);
        const bool left = i < half;
        const bool longDigit = longEnds && (i == 0 || i + 1 == digits.size());
        runs.Add(DigitWidths(digits[i], left && parity[i] == 'G'), longDigit);
    }
    runs.Add(kSideGuard, true);
}

} // namespace

std::vector<std::uint8_t> UpcARuns(std::span<const int, 12> digits) {
    Runs runs;
    AddTwoHalves(runs, digits, "LLLLLL", true);
    Symbol s;
    runs.Into(s);
    return std::move(s.runs);
}

Encoded EncodeEan13(std::u16string_view text, const EncodeOptions&) {
    DigitArray<13> d;
    if (std::optional<Refusal> bad = Digits(text, kMsgEan13Length, d))
        return std::move(*bad);
    Symbol s = Frame(69.24, {11, 7, 0, 0}, d, 13);
    Runs runs;
    AddTwoHalves(runs, std::span<const int>(d).subspan(1), kLeadingParity[std::size_t(d[0])],
                 false);
    runs.Into(s);
    AddText(s, d[0], -6);
    for (std::size_t i = 1; i < 13; ++i)
        AddText(s, d[i], 3 + 7.0 * double(i - 1) + (i > 6 ? 5 : 0) + kDigitCentre);
    return s;
}

Encoded EncodeEan8(std::u16string_view text, const EncodeOptions&) {
    DigitArray<8> d;
    if (std::optional<Refusal> bad = Digits(text, kMsgEan8Length, d))
        return std::move(*bad);
    Symbol s = Frame(55.24, {7, 7, 0, 0}, d, 8);
    Runs runs;
    AddTwoHalves(runs, d, "LLLL", false);
    runs.Into(s);
    for (std::size_t i = 0; i < 8; ++i)
        AddText(s, d[i], 3 + 7.0 * double(i) + (i > 3 ? 5 : 0) + kDigitCentre);
    return s;
}

Encoded EncodeUpcA(std::u16string_view text, const EncodeOptions&) {
    DigitArray<12> d;
    if (std::optional<Refusal> bad = Digits(text, kMsgUpcALength, d))
        return std::move(*bad);
    Symbol s = Frame(69.24, {9, 9, 0, 0}, d, 12);
    Runs runs;
    AddTwoHalves(runs, d, "LLLLLL", true);
    runs.Into(s);
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
    Symbol s = Frame(69.24, {9, 7, 0, 0}, {}, 8);
    s.reading = UpcEReading(*digits);
    Runs runs;
    runs.Add(kSideGuard, true);
    for (std::size_t i = 0; i < 6; ++i)
        runs.Add(DigitWidths((*digits)[i], even[i]), false);
    runs.Add(kUpcEGuard, true);
    runs.Into(s);
    AddText(s, 0, -5);
    for (std::size_t i = 0; i < 6; ++i)
        AddText(s, (*digits)[i], 3 + 7.0 * double(i) + kDigitCentre);
    AddText(s, check, 51 + 4);
    return s;
}

} // namespace quillion
