#include "symbols/code39_symbol.h"

#include "runtime/ansi.h"
#include "runtime/upper_case.h"
#include "symbols/code39_patterns.h"
#include "symbols/code39_text.h"
#include "symbols/linear_runs.h"
#include "symbols/symbol_messages.h"

#include <utility>

namespace quillion {
namespace {

// The most characters a symbol takes (check character included): about what the window's own
// Code 39 paints before its 16-bit arithmetic overflows.
constexpr std::size_t kMaxCharacters = 1000;

// Appends one character's pattern (see code39_patterns.h): a narrow space before each bar, a
// blank widens the next space.
void AddPattern(RunBuilder& runs, std::string_view pattern) {
    for (const char symbol : pattern) {
        runs.Add(false, 1);
        if (symbol == '1')
            runs.Add(true, 1);
        else if (symbol == '2')
            runs.Add(true, 2);
    }
}

// The symbol of Code 39 characters (already checked), captioned with caption.
Encoded Code39Symbol(std::u16string_view characters, std::u16string_view caption,
                     std::string reading) {
    if (characters.size() > kMaxCharacters)
        return TooLong("Code 39", characters.size(), kMaxCharacters, "characters");
    Symbol s;
    s.runs = Code39Runs(characters);
    s.quiet = {10, 10, 0, 0};
    s.barModules = 40;
    s.textStyle = SymbolTextStyle{"Arial", 13, true, false, false, false, 3};
    const double width = s.WidthModules();
    s.text.push_back(SymbolText{Utf16ToUtf8(caption), width / 2, SymbolText::Anchor::Centre, 0, 0});
    s.reading = std::move(reading);
    return s;
}

bool IsCode39Character(char16_t c) {
    return c < Code39PatternTable.size() && c != kCode39StartCode && c != kCode39StopCode &&
           c != '*' && !Code39PatternTable[c].empty();
}

} // namespace

std::vector<std::uint8_t> Code39Runs(std::u16string_view codes) {
    Symbol s;
    RunBuilder runs(s);
    AddPattern(runs, Code39PatternTable[kCode39StartCode]);
    for (const char16_t c : codes)
        if (c < Code39PatternTable.size())
            AddPattern(runs, Code39PatternTable[c]);
    AddPattern(runs, Code39PatternTable[kCode39StopCode]);
    return std::move(s.runs);
}

Encoded EncodeCode39(std::u16string_view text, const EncodeOptions& options) {
    if (text.empty())
        return Refusal{kErrorRejected, kMsgEmpty};
    std::u16string characters = ToUpperCase(text);
    for (const char16_t c : characters)
        if (!IsCode39Character(c))
            return Refusal{kErrorRejected, Utf16ToUtf8(kMsgCode39Characters)};
    const std::u16string caption = characters;
    if (options.checkDigit)
        characters += Code39CheckCharacter(characters);
    return Code39Symbol(characters, caption, Utf16ToUtf8(caption));
}

Encoded EncodeCode39FullAscii(std::u16string_view text, const EncodeOptions& options) {
    if (text.empty())
        return Refusal{kErrorRejected, kMsgEmpty};
    std::optional<std::u16string> characters = Code39FullAscii(text);
    if (!characters)
        return Refusal{kErrorRejected, Utf16ToUtf8(kMsgAsciiOnly)};
    if (options.checkDigit)
        *characters += Code39CheckCharacter(*characters);
    // The caption shows the text, not its shift pairs; control characters as spaces.
    std::u16string caption(text);
    for (char16_t& c : caption)
        if (c < 0x20 || c == 0x7F)
            c = u' ';
    return Code39Symbol(*characters, caption, Utf16ToUtf8(text));
}

} // namespace quillion
