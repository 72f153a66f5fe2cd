#include "symbols/code128_values.h"

#include "runtime/ansi.h"
#include "runtime/runtime.h"
#include "symbols/code128_patterns.h"

#include <array>
#include <limits>

namespace quillion {
namespace {

enum Set { kA, kB, kC, kSets };

constexpr std::uint8_t kFnc1 = 102, kFnc2 = 97, kFnc3 = 96, kShift = 98;
constexpr std::uint8_t kCodeC = 99, kCodeB = 100, kCodeA = 101;
constexpr std::array<std::uint8_t, kSets> kStart = {103, 104, 105};
constexpr std::array<std::uint8_t, kSets> kFnc4 = {101, 100, 0}; // none in set C

bool IsDigit(Code128Unit u) {
    return u >= '0' && u <= '9';
}

// The value of a byte 0..127 in set A or B; -1 when the set has none for it.
int ValueIn(Set set, Code128Unit b) {
    if (set == kA)
        return b < 32 ? b + 64 : (b < 96 ? b - 32 : -1);
    if (set == kB)
        return b >= 32 && b < 128 ? b - 32 : -1;
    return -1;
}

// The function characters' values in a set; -1 when it has none.
int FunctionValue(Set set, Code128Unit u) {
    switch (u) {
    case kUnitFnc1:
        return kFnc1;
    case kUnitFnc2:
        return set == kC ? -1 : kFnc2;
    case kUnitFnc3:
        return set == kC ? -1 : kFnc3;
    case kUnitFnc4:
        return set == kC ? -1 : kFnc4[set];
    default:
        return -1;
    }
}

// How a step of the shortest path was taken.
enum class Step : std::uint8_t { None, Start, Switch, Unit };

struct Node {
    int cost = std::numeric_limits<int>::max();
    Step step = Step::None;
    Set from = kB;
    std::size_t units = 0; // units the step consumed
};

// The values of the units [i, i + count) in a set (SHIFT, FNC4 and pairs included).
void AppendUnits(Code128Sequence& out, Set set, const std::vector<Code128Unit>& units,
                 std::size_t i, std::size_t count) {
    const Code128Unit u = units[i];
    if (set == kC && count == 2) {
        out.push_back(static_cast<std::uint8_t>((u - '0') * 10 + (units[i + 1] - '0')));
        return;
    }
    if (const int f = FunctionValue(set, u); f >= 0) {
        out.push_back(static_cast<std::uint8_t>(f));
        return;
    }
    Code128Unit low = u;
    if (u >= 128) {
        out.push_back(kFnc4[set]);
        low = u - 128;
    }
    if (int v = ValueIn(set, low); v >= 0) {
        out.push_back(static_cast<std::uint8_t>(v));
        return;
    }
    out.push_back(kShift);
    out.push_back(static_cast<std::uint8_t>(ValueIn(set == kA ? kB : kA, low)));
}

// The symbols a unit takes in a set (A or B), SHIFT and FNC4 included; 0 when it cannot go.
int UnitCost(Set set, Code128Unit u) {
    if (u >= 256)
        return FunctionValue(set, u) >= 0 ? 1 : 0;
    const int fnc4 = u >= 128 ? 1 : 0;
    const Code128Unit low = u - 128 * fnc4;
    if (ValueIn(set, low) >= 0)
        return 1 + fnc4;
    return 2 + fnc4; // SHIFT to the other of A and B, which has every other byte
}

} // namespace

std::optional<std::vector<Code128Unit>> Code128Units(std::u16string_view text, bool windowSetB) {
    std::vector<Code128Unit> units;
    units.reserve(text.size());
    for (const char16_t c : text) {
        if (windowSetB) {
            if (c < 0x20 && c != 0x10)
                return std::nullopt;
            const Code128Unit f = c == u'\u00B9'   ? kUnitFnc1
                                  : c == u'\u00B2' ? kUnitFnc2
                                  : c == u'\u00B3' ? kUnitFnc3
                                  : c == u'\u00BC' ? kUnitFnc4
                                                   : 0;
            if (f != 0) {
                units.push_back(f);
                continue;
            }
        }
        if (c <= 0xFF) {
            units.push_back(c);
            continue;
        }
        const auto a = static_cast<unsigned char>(ToAnsiChar(c));
        const bool digitOrLetter =
            (a >= '0' && a <= '9') || (a >= 'A' && a <= 'Z') || (a >= 'a' && a <= 'z');
        if (!digitOrLetter)
            return std::nullopt;
        units.push_back(a);
    }
    return units;
}

Code128Sequence EncodeCode128Units(const std::vector<Code128Unit>& units, Code128CodeSet codeSet) {
    const std::size_t n = units.size();
    const bool all = codeSet == Code128CodeSet::Auto;
    // nodes[i][s]: the fewest symbols that encode the first i units and leave set s in force.
    std::vector<std::array<Node, kSets>> nodes(n + 1);
    for (int s = 0; s < kSets; ++s)
        if (all || s == kB)
            nodes[0][s] = {1, Step::Start, Set(s), 0};
    for (std::size_t i = 0; i <= n; ++i) {
        auto& here = nodes[i];
        if (all && i > 0) {
            const auto before = here;
            for (int t = 0; t < kSets; ++t)
                for (int s = 0; s < kSets; ++s)
                    if (s != t && before[s].step != Step::None && before[s].cost + 1 < here[t].cost)
                        here[t] = {before[s].cost + 1, Step::Switch, Set(s), 0};
        }
        if (i == n)
            break;
        const auto relax = [&](Set s, std::size_t count, int cost) {
            Node& next = nodes[i + count][s];
            if (here[s].cost + cost < next.cost)
                next = {here[s].cost + cost, Step::Unit, s, count};
        };
        for (int s = 0; s < kSets; ++s) {
            if (here[s].step == Step::None)
                continue;
            const Set set = Set(s);
            if (set == kC) {
                if (units[i] == kUnitFnc1)
                    relax(kC, 1, 1);
                else if (i + 1 < n && IsDigit(units[i]) && IsDigit(units[i + 1]))
                    relax(kC, 2, 1);
            } else if (const int cost = UnitCost(set, units[i]); cost > 0) {
                relax(set, 1, cost);
            }
        }
    }
    // Walk back from the cheapest end, then emit forwards.
    Set set = kB;
    for (int s = 0; s < kSets; ++s)
        if (nodes[n][s].cost < nodes[n][set].cost)
            set = Set(s);
    std::vector<std::pair<std::size_t, Set>> path; // (position, set) of every step
    for (std::size_t i = n;;) {
        const Node& node = nodes[i][set];
        path.emplace_back(i, set);
        if (node.step == Step::Start)
            break;
        i -= node.units;
        set = node.from;
    }
    Code128Sequence sequence;
    sequence.reserve(path.size() * 2 + 2);
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        const auto [i, s] = *it;
        const Node& node = nodes[i][s];
        if (node.step == Step::Start)
            sequence.push_back(kStart[s]);
        else if (node.step == Step::Switch)
            sequence.push_back(s == kA ? kCodeA : s == kB ? kCodeB : kCodeC);
        else
            AppendUnits(sequence, s, units, i - node.units, node.units);
    }
    std::int64_t sum = sequence.front();
    for (std::size_t k = 1; k < sequence.size(); ++k)
        sum = (sum + static_cast<std::int64_t>(k) * sequence[k]) % code128::kDataSymbols;
    sequence.push_back(static_cast<std::uint8_t>(sum));
    return sequence;
}

} // namespace quillion
