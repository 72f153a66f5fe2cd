#include "symbols/code128_text.h"

#include "runtime/ansi.h"
#include "runtime/runtime.h"
#include "symbols/code128_patterns.h"

#include <algorithm>

namespace quillion {
namespace {

constexpr char16_t kDle = 0x10;
constexpr char16_t kDel = 0x7F;
constexpr std::uint8_t kDleValue = 80; // DLE in code set A
constexpr std::uint8_t kShift = 98;

// The values a character stands for: at most two (DLE is SHIFT, then its code set A value).
struct CharacterValues {
    int count = 0;
    std::uint8_t values[2] = {};
};

bool IsAnsiDigitOrLetter(char16_t c) {
    const char a = ToAnsiChar(c);
    return (a >= '0' && a <= '9') || (a >= 'A' && a <= 'Z') || (a >= 'a' && a <= 'z');
}

// Characters recognised by their exact code: space, punctuation, DEL, DLE and the four
// function characters. Digits and letters go through the ANSI code page instead.
CharacterValues ExactValues(char16_t c) {
    const bool punctuation = (c >= 0x20 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) ||
                             (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= kDel);
    if (punctuation)
        return {1, {static_cast<std::uint8_t>(c - 0x20)}};
    switch (c) {
    case kDle:
        return {2, {kShift, kDleValue}};
    case u'\u00B3': // FNC3
        return {1, {96}};
    case u'\u00B2': // FNC2
        return {1, {97}};
    case u'\u00BC': // FNC4
        return {1, {100}};
    case u'\u00B9': // FNC1
        return {1, {102}};
    default:
        return {};
    }
}

CharacterValues ValuesOf(char16_t c) {
    if (const CharacterValues exact = ExactValues(c); exact.count > 0)
        return exact;
    // Digits and letters, including those that reach the ANSI code page only through best fit
    // (fullwidth forms): they encode as the ANSI character they stand for, so that the bars,
    // the check symbol and the caption all show the same character.
    if (IsAnsiDigitOrLetter(c))
        return {1, {static_cast<std::uint8_t>(ToAnsiChar(c) - 0x20)}};
    return {};
}

} // namespace

bool CheckCode128Text(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) {
        return ExactValues(c).count > 0 || IsAnsiDigitOrLetter(c);
    });
}

Code128Sequence EncodeCode128(std::u16string_view text, std::int32_t checkCharacter) {
    Code128Sequence sequence;
    // More than 32767 characters always overflow the weight; do not reserve beyond that.
    sequence.reserve(std::min<std::size_t>(text.size(), 32768) + 2);
    sequence.push_back(code128::kStartB);
    std::int32_t sum = code128::kStartB;
    std::int16_t weight = 1;
    // Every symbol has its own position weight, SHIFT included: that is the sum a reader
    // checks.
    for (const char16_t c : text) {
        const CharacterValues v = ValuesOf(c);
        for (int i = 0; i < v.count; ++i) {
            sequence.push_back(v.values[i]);
            sum = Add32(sum, Mul16(weight, v.values[i]));
            weight = Add16(weight, 1);
        }
    }
    if (checkCharacter == 1)
        sequence.push_back(static_cast<std::uint8_t>(sum % code128::kDataSymbols));
    return sequence;
}

} // namespace quillion
