#include "symbols/datamatrix.h"

#include "runtime/ansi.h"
#include "symbols/dm_encodation.h"
#include "symbols/dm_placement.h"
#include "symbols/dm_tables.h"
#include "symbols/gs1_elements.h"
#include "symbols/reed_solomon.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillion {
namespace {

// ASCII digit pairs hold two characters a codeword: no symbol holds more units than this.
constexpr std::size_t kMaxUnits = 2 * dm::kMaxDataCodewords;

std::string Thousands(long long value) {
    const std::string digits = std::to_string(value);
    const std::size_t sign = digits[0] == '-' ? 1 : 0;
    std::string out(digits, 0, sign);
    for (std::size_t i = sign; i < digits.size(); ++i) {
        if (i > sign && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::string SizeName(int rows, int columns) {
    return std::to_string(rows) + "x" + std::to_string(columns);
}

Refusal TooLong(const dm::SymbolSize& size, long long needed, bool atLeast) {
    return {kErrorTooLong, "too long for Data Matrix " + SizeName(size.rows, size.columns) + ": " +
                               (atLeast ? "at least " : "") + Thousands(needed) +
                               " codewords of data, at most " + Thousands(size.dataCodewords)};
}

// The code points of UTF-16 text; nothing for an unpaired surrogate.
std::optional<std::u32string> CodePoints(std::u16string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            return std::nullopt;
        } else {
            out.push_back(u);
        }
    }
    return out;
}

// The sizes in the order they are tried: smallest area first, a square before a rectangle of
// the same area, then the one holding more.
std::vector<const dm::SymbolSize*> Candidates(const EncodeOptions& options) {
    std::vector<const dm::SymbolSize*> list;
    for (const dm::SymbolSize& s : dm::kSizes)
        if ((s.Square() || !options.dmSquare) && (!s.extension || options.dmRectExtensions))
            list.push_back(&s);
    std::stable_sort(list.begin(), list.end(), [](const auto* a, const auto* b) {
        if (a->Area() != b->Area())
            return a->Area() < b->Area();
        if (a->Square() != b->Square())
            return a->Square();
        return a->dataCodewords > b->dataCodewords;
    });
    return list;
}

std::vector<std::uint8_t> WithErrorCorrection(const dm::SymbolSize& size,
                                              std::vector<std::uint8_t> data) {
    static const ReedSolomon rs(0x12D, 1);
    const std::size_t blocks = std::size_t(size.blocks);
    const std::size_t dataCount = data.size();
    data.resize(dataCount + blocks * std::size_t(size.eccPerBlock));
    std::vector<std::uint8_t> block;
    for (std::size_t b = 0; b < blocks; ++b) {
        block.clear();
        for (std::size_t k = b; k < dataCount; k += blocks)
            block.push_back(data[k]);
        const std::vector<std::uint8_t> ecc = rs.Remainder(block, size.eccPerBlock);
        // The codewords of all blocks go round in turn, data then error correction: after
        // unequal data (144x144: eight blocks of 156, two of 155) the turn goes on with the
        // first shorter block.
        const std::size_t turn = (b + blocks - dataCount % blocks) % blocks;
        for (std::size_t j = 0; j < ecc.size(); ++j)
            data[dataCount + j * blocks + turn] = ecc[j];
    }
    return data;
}

} // namespace

Encoded EncodeDataMatrix(std::u16string_view text, const EncodeOptions& options, bool gs1) {
    if (text.empty())
        return Refusal{kErrorArgument, "Data Matrix needs a text"};

    const dm::SymbolSize* forced = nullptr;
    if (options.dmRows != 0 || options.dmColumns != 0) {
        for (const dm::SymbolSize& s : dm::kSizes)
            if (s.rows == options.dmRows && s.columns == options.dmColumns)
                forced = &s;
        const std::string name = SizeName(options.dmRows, options.dmColumns);
        if (forced == nullptr)
            return Refusal{kErrorArgument, "Data Matrix has no size " + name};
        if (options.dmSquare && !forced->Square())
            return Refusal{kErrorArgument, "Data Matrix " + name + " is not square"};
        if (forced->extension && !options.dmRectExtensions)
            return Refusal{kErrorArgument, "Data Matrix " + name +
                                               " is a rectangular extension size (DMRE), "
                                               "which is not turned on"};
    }

    Symbol symbol;
    std::vector<int> units;
    std::vector<std::uint8_t> prefix;
    if (gs1) {
        const Gs1Parse parse = ParseGs1(text);
        if (!parse.error.empty())
            return Refusal{kErrorRejected, parse.error};
        units.assign(parse.units.begin(), parse.units.end());
        if (!units.empty() && units.front() == dm::kFnc1)
            units.erase(units.begin()); // the leading FNC1, written as the prefix
        prefix.push_back(232);
        symbol.reading = parse.reading;
        symbol.identifier = "]d2";
    } else {
        const std::optional<std::u32string> points = CodePoints(text);
        if (!points)
            return Refusal{kErrorArgument, "Data Matrix text is not valid UTF-16"};
        const bool latin1 =
            std::all_of(points->begin(), points->end(), [](char32_t c) { return c <= 0xFF; });
        for (const char32_t c : *points) {
            if (latin1)
                symbol.reading.push_back(char(c));
            else
                AppendUtf8(symbol.reading, c);
        }
        for (const char ch : symbol.reading)
            units.push_back(static_cast<unsigned char>(ch));
        if (!latin1 && options.eci)
            prefix = {241, 27}; // ECI 26: UTF-8
    }

    const dm::SymbolSize& largest = forced != nullptr ? *forced : dm::kSizes[23];
    if (units.size() > kMaxUnits)
        return TooLong(largest, (long long)(prefix.size() + (units.size() + 1) / 2), true);

    const dm::DataCodewords data = dm::EncodeUnits(units, prefix);
    const dm::SymbolSize* chosen = nullptr;
    const std::vector<std::uint8_t>* codewords = nullptr;
    if (forced != nullptr) {
        chosen = forced;
        codewords = data.For(forced->dataCodewords);
    } else {
        for (const dm::SymbolSize* s : Candidates(options))
            if ((codewords = data.For(s->dataCodewords)) != nullptr) {
                chosen = s;
                break;
            }
    }
    if (codewords == nullptr) {
        const long long needed = data.Fewest();
        return TooLong(largest, needed, false);
    }

    std::vector<std::uint8_t> all = *codewords;
    dm::AppendPadding(all, chosen->dataCodewords);
    all = WithErrorCorrection(*chosen, std::move(all));
    symbol.rows = chosen->rows;
    symbol.columns = chosen->columns;
    symbol.matrix = dm::PlaceModules(*chosen, all);
    symbol.quiet = {1, 1, 1, 1};
    return symbol;
}

} // namespace quillion
