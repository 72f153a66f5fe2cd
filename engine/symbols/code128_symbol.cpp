#include "symbols/code128_symbol.h"

#include "runtime/ansi.h"
#include "symbols/Special128.h"
#include "symbols/code128_errors.h"
#include "symbols/code128_patterns.h"
#include "symbols/gs1_elements.h"
#include "symbols/symbol_messages.h"

#include <algorithm>
#include <utility>

namespace quillion {
namespace {

// The window's Code 128 at module width 1: 40-pixel bars, Courier New 10 pt (an em of 13.3
// pixels at 96 dpi), a 4-pixel gap between bars and caption.
constexpr double kBarModules = 40;
constexpr double kEmModules = 13;
constexpr double kGapModules = 4;
constexpr int kQuietModules = 10;

// The symbol of a sequence with its text under the bars.
Symbol MakeSymbol(const Code128Sequence& sequence, std::string text, std::string reading,
                  std::string identifier) {
    Symbol symbol;
    symbol.runs = Code128Runs(sequence);
    symbol.barModules = kBarModules;
    symbol.quiet = {kQuietModules, kQuietModules, 0, 0};
    SymbolText caption;
    caption.text = std::move(text);
    caption.x = symbol.WidthModules() / 2.0;
    caption.anchor = SymbolText::Anchor::Centre;
    symbol.text.push_back(std::move(caption));
    symbol.textStyle.face = "Courier New";
    symbol.textStyle.emModules = kEmModules;
    symbol.textStyle.gapModules = kGapModules;
    symbol.reading = std::move(reading);
    symbol.identifier = std::move(identifier);
    return symbol;
}

// The human-readable GS1 text: the parser's own when it has one, else the application
// identifiers in round brackets before their data.
template <class Parse> std::string Gs1Text(const Parse& parse) {
    if constexpr (requires { parse.hri; }) {
        return parse.hri;
    } else {
        std::string text;
        for (const auto& element : parse.elements)
            text += "(" + element.ai + ")" + element.data;
        return text;
    }
}

} // namespace

std::vector<std::uint8_t> Code128Runs(const Code128Sequence& sequence) {
    std::vector<std::uint8_t> runs(sequence.size() * 6 + code128::kStopPattern.size());
    std::uint8_t* out = runs.data();
    for (const std::uint8_t value : sequence)
        if (const code128::SymbolPattern* pattern = code128::PatternOf(value))
            out = std::copy(pattern->begin(), pattern->end(), out);
    out = std::copy(code128::kStopPattern.begin(), code128::kStopPattern.end(), out);
    runs.resize(std::size_t(out - runs.data())); // values without a pattern left out
    return runs;
}

Encoded EncodeCode128(std::u16string_view text, const EncodeOptions& options) {
    if (text.empty())
        return Refusal{kErrorRejected, kMsgEmpty};
    const Code128CodeSet set = options.autoCodeSet ? Code128CodeSet::Auto : Code128CodeSet::B;
    const bool window = options.windowStandIns && set == Code128CodeSet::B;
    const Code128Reading how = window                   ? Code128Reading::WindowSetB
                               : options.windowStandIns ? Code128Reading::Latin1StandIns
                                                        : Code128Reading::Latin1;
    // Each thread keeps the storage of its units and values between texts.
    thread_local Code128UnitText read;
    thread_local Code128Sequence sequence;
    Code128Units(text, how, read);
    if (!read.Ok() && set == Code128CodeSet::B) // set B refuses as the window's engine does
        return Refusal{kCode128IllegalCharacter, Code128ErrorText(kCode128IllegalCharacter)};
    if (!read.Ok())
        return Refusal{kErrorRejected, std::move(read.refusal)};
    // Set B takes no control character but DLE, as the window's set B.
    if (set == Code128CodeSet::B)
        for (const char16_t c : text)
            if (c < 0x20 && c != 0x10)
                return Refusal{kCode128IllegalCharacter,
                               Code128ErrorText(kCode128IllegalCharacter)};
    const std::vector<Code128Unit>& units = read.units;
    const std::size_t most = window ? WindowSetBCapacity(units) : kCode128MaxCharacters;
    if (units.size() > most)
        return TooLong("Code 128", units.size(), most, "characters");
    Code128Read reading = ReadCode128Units(units, set);
    EncodeCode128Units(units, set, sequence);
    return MakeSymbol(sequence, Utf16ToUtf8(text), std::move(reading.reading),
                      std::move(reading.identifier));
}

Encoded EncodeGs1_128(std::u16string_view text, const EncodeOptions&) {
    if (text.empty())
        return Refusal{kErrorRejected, kMsgEmpty};
    Gs1Parse parse = ParseGs1(text);
    if (!parse.error.empty())
        return Refusal{kErrorRejected, std::move(parse.error)};
    std::size_t data = 0;
    for (const Code128Unit u : parse.units)
        data += u < 256 ? 1 : 0;
    if (data > kGs1_128MaxDataCharacters)
        return TooLong("GS1-128", data, kGs1_128MaxDataCharacters, "data characters");
    // FNC1 in first position marks the symbol as GS1-128.
    if (parse.units.empty() || parse.units.front() != kUnitFnc1)
        parse.units.insert(parse.units.begin(), kUnitFnc1);
    return MakeSymbol(EncodeCode128Units(parse.units, Code128CodeSet::Auto), Gs1Text(parse),
                      std::move(parse.reading), "]C1");
}

} // namespace quillion
