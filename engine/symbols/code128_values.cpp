#include "symbols/code128_values.h"

#include "runtime/ansi.h"
#include "symbols/code128_patterns.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <limits>

namespace quillion {
namespace {

enum Set { kA, kB, kC, kSets };

constexpr std::uint8_t kFnc1 = 102, kFnc2 = 97, kFnc3 = 96, kShift = 98;
constexpr std::uint8_t kCodeC = 99, kCodeB = 100, kCodeA = 101;
constexpr std::array<std::uint8_t, kSets> kStart = {103, 104, 105};
constexpr std::array<std::uint8_t, kSets> kFnc4 = {101, 100, 0}; // none in set C
constexpr std::array<std::uint8_t, kSets> kCode = {kCodeA, kCodeB, kCodeC};

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

// The symbols one unit takes in set A or B with the extended mode latched or not: a single FNC4
// when its extension differs from the latch, SHIFT when the other of A and B has the byte.
int UnitCost(Set set, bool latched, Code128Unit u) {
    if (u >= 256)
        return FunctionValue(set, u) >= 0 ? 1 : 0;
    const int fnc4 = (u >= 128) != latched ? 1 : 0;
    return 1 + fnc4 + (ValueIn(set, u & 0x7F) >= 0 ? 0 : 1);
}

// The values of the units [i, i + count) in a set, the extended mode latched or not.
void AppendUnits(Code128Sequence& out, Set set, bool latched, const std::vector<Code128Unit>& units,
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
    if ((u >= 128) != latched)
        out.push_back(kFnc4[set]);
    const Code128Unit low = u & 0x7F;
    if (const int v = ValueIn(set, low); v >= 0) {
        out.push_back(static_cast<std::uint8_t>(v));
        return;
    }
    out.push_back(kShift);
    out.push_back(static_cast<std::uint8_t>(ValueIn(set == kA ? kB : kA, low)));
}

void AppendCheck(Code128Sequence& sequence) {
    std::int64_t sum = sequence.front() % code128::kDataSymbols;
    for (std::size_t k = 1; k < sequence.size(); ++k)
        sum = (sum + static_cast<std::int64_t>(k) * sequence[k]) % code128::kDataSymbols;
    sequence.push_back(static_cast<std::uint8_t>(sum));
}

// The shortest path: states are (code set, extended mode latched), six per position.
constexpr int kStates = kSets * 2;
constexpr int kNoCost = std::numeric_limits<int>::max();

int StateOf(Set set, bool latched) {
    return set * 2 + (latched ? 1 : 0);
}
Set SetOf(int state) {
    return Set(state / 2);
}
bool LatchedIn(int state) {
    return state % 2 == 1;
}

// How the cheapest way into a state was taken.
enum class Step : std::uint8_t { None, Start, Switch, Latch, Unit };

// The order states are tried in: of two equally short ways the first found stays, so set B is
// preferred to A, and A to C, as other encoders do.
constexpr std::array<int, kStates> kOrder = {2, 3, 0, 1, 4, 5};

struct Node {
    int cost = kNoCost;
    Step step = Step::None;
    std::uint8_t from = 0;  // the state before the step
    std::uint8_t units = 0; // units the step consumed
};

bool Improve(Node& node, int cost, Step step, int from, std::size_t units) {
    if (cost >= node.cost)
        return false;
    node = {cost, step, static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(units)};
    return true;
}

bool IsLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Where an FNC1 may be encoded: anywhere, or only in code set A or B (after a single letter),
// or only in code set C (after two digits): there, as ISO/IEC 15417 Annex B has it, readers
// take it for an application indicator rather than GS.
enum class Fnc1Place : std::uint8_t { Any, AorB, C };

// Whether the symbol of the units may use code set C (and the extended-mode latch): not in set B
// alone, nor beside a bare FNC4 unit.
bool UsesSetC(const std::vector<Code128Unit>& units, Code128CodeSet set) {
    return set == Code128CodeSet::Auto &&
           std::find(units.begin(), units.end(), kUnitFnc4) == units.end();
}

// What a reader makes of the units.
struct UnitsRead {
    std::string bytes;
    std::vector<Fnc1Place> places; // for every unit (Any but for FNC1)
    // The symbology identifier's modifier, as the last FNC1 of those below sets it: '1' for
    // FNC1 before any data (GS1), '2' for an application indicator; '0' without either.
    char modifier = '0';
};

UnitsRead ReadUnits(const std::vector<Code128Unit>& units, Code128CodeSet set) {
    UnitsRead read;
    std::string& bytes = read.bytes;
    read.places.assign(units.size(), Fnc1Place::Any);
    const bool setC = UsesSetC(units, set);
    bool highAll = false, highNext = false;
    const auto fnc4 = [&] {
        if (highNext)
            highAll = !highAll;
        highNext = !highNext;
    };
    for (std::size_t k = 0; k < units.size(); ++k) {
        const Code128Unit u = units[k];
        if (u == kUnitFnc1) {
            const auto at = [&](std::size_t b) { return static_cast<unsigned char>(bytes[b]); };
            if (bytes.empty()) {
                read.modifier = '1';
            } else if (bytes.size() == 1 && IsLetter(at(0))) {
                read.places[k] = Fnc1Place::AorB;
                read.modifier = '2';
            } else if (bytes.size() == 2 && IsDigit(at(0)) && IsDigit(at(1)) && setC) {
                read.places[k] = Fnc1Place::C;
                read.modifier = '2';
            } else {
                bytes += '\x1D';
            }
        } else if (u == kUnitFnc4) {
            fnc4();
        } else if (u < 256) {
            if (u >= 128)
                fnc4();
            bytes += static_cast<char>((u & 0x7F) + (highAll != highNext ? 128 : 0));
            highNext = false;
        }
    }
    return read;
}

Code128Sequence EncodeSetB(const std::vector<Code128Unit>& units) {
    Code128Sequence sequence;
    sequence.reserve(units.size() * 2 + 2);
    sequence.push_back(kStart[kB]);
    for (std::size_t i = 0; i < units.size(); ++i)
        AppendUnits(sequence, kB, false, units, i, 1);
    AppendCheck(sequence);
    return sequence;
}

Code128Sequence EncodeShortest(const std::vector<Code128Unit>& units) {
    const std::size_t n = units.size();
    // A bare FNC4 unit has its own effect on the extended mode: leave the latch alone then, and
    // set C too (its digits take no FNC4), so that every character reads as the units say.
    const bool plain = !UsesSetC(units, Code128CodeSet::Auto);
    // Where each FNC1 may go, so that readers take it as the reading has it.
    const std::vector<Fnc1Place> places = ReadUnits(units, Code128CodeSet::Auto).places;
    std::vector<std::array<Node, kStates>> nodes(n + 1);
    for (const Set s : {kB, kA, kC})
        if (!plain || s != kC)
            nodes[0][StateOf(s, false)] = {1, Step::Start, 0, 0};
    for (std::size_t i = 0; i <= n; ++i) {
        auto& here = nodes[i];
        // Code set changes and latches at this position, until none makes a state cheaper
        // (at most three rounds: a change of set and a latch, in either order).
        for (bool changed = true; changed;) {
            changed = false;
            for (const int st : kOrder) {
                if (here[st].step == Step::None)
                    continue;
                const int cost = here[st].cost;
                const Set s = SetOf(st);
                const bool latched = LatchedIn(st);
                for (const Set t : {kB, kA, kC})
                    if (t != s && !(plain && t == kC))
                        changed |=
                            Improve(here[StateOf(t, latched)], cost + 1, Step::Switch, st, 0);
                if (!plain && s != kC)
                    changed |= Improve(here[StateOf(s, !latched)], cost + 2, Step::Latch, st, 0);
            }
        }
        if (i == n)
            break;
        const Code128Unit u = units[i];
        for (const int st : kOrder) {
            if (here[st].step == Step::None)
                continue;
            const int cost = here[st].cost;
            const Set s = SetOf(st);
            if (u == kUnitFnc1 && places[i] != Fnc1Place::Any &&
                (places[i] == Fnc1Place::C) != (s == kC))
                continue;
            if (s == kC) {
                if (u == kUnitFnc1)
                    Improve(nodes[i + 1][st], cost + 1, Step::Unit, st, 1);
                else if (i + 1 < n && IsDigit(u) && IsDigit(units[i + 1]))
                    Improve(nodes[i + 2][st], cost + 1, Step::Unit, st, 2);
            } else if (const int c = UnitCost(s, LatchedIn(st), u); c > 0) {
                Improve(nodes[i + 1][st], cost + c, Step::Unit, st, 1);
            }
        }
    }
    // Walk back from the cheapest end, then emit forwards.
    int state = StateOf(kB, false);
    for (const int st : kOrder)
        if (nodes[n][st].cost < nodes[n][state].cost)
            state = st;
    std::vector<std::pair<std::size_t, int>> path; // (position, state) after every step
    for (std::size_t i = n;;) {
        const Node& node = nodes[i][state];
        path.emplace_back(i, state);
        if (node.step == Step::Start)
            break;
        i -= node.units;
        state = node.from;
    }
    Code128Sequence sequence;
    sequence.reserve(path.size() * 2 + 2);
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        const auto [i, st] = *it;
        const Node& node = nodes[i][st];
        const Set s = SetOf(st);
        switch (node.step) {
        case Step::Start:
            sequence.push_back(kStart[s]);
            break;
        case Step::Switch:
            sequence.push_back(kCode[s]);
            break;
        case Step::Latch:
            sequence.insert(sequence.end(), 2, kFnc4[s]);
            break;
        case Step::Unit:
            AppendUnits(sequence, s, LatchedIn(st), units, i - node.units, node.units);
            break;
        case Step::None:
            break;
        }
    }
    AppendCheck(sequence);
    return sequence;
}

std::string CodePoint(char32_t c) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    return buffer;
}

} // namespace

Code128UnitText Code128Units(std::u16string_view text, Code128Reading reading) {
    Code128UnitText result;
    result.units.reserve(text.size());
    const auto refuse = [&](std::string why) {
        result.units.clear();
        result.refusal = std::move(why);
        return result;
    };
    std::size_t position = 0; // characters, a surrogate pair one
    for (std::size_t k = 0; k < text.size(); ++k) {
        ++position;
        const char16_t c = text[k];
        if (reading == Code128Reading::WindowSetB && c < 0x20 && c != 0x10)
            return refuse("the control character " + CodePoint(c) + " at position " +
                          std::to_string(position) +
                          " is not in the window's code set B, which holds DLE alone of them");
        if (reading != Code128Reading::Latin1) {
            const Code128Unit f = c == u'\u00B9'   ? kUnitFnc1
                                  : c == u'\u00B2' ? kUnitFnc2
                                  : c == u'\u00B3' ? kUnitFnc3
                                  : c == u'\u00BC' ? kUnitFnc4
                                                   : 0;
            if (f != 0) {
                result.units.push_back(f);
                continue;
            }
        }
        if (c <= 0xFF) {
            result.units.push_back(c);
            continue;
        }
        if (reading == Code128Reading::WindowSetB) {
            const auto a = static_cast<unsigned char>(ToAnsiChar(c));
            if ((a >= '0' && a <= '9') || (a >= 'A' && a <= 'Z') || (a >= 'a' && a <= 'z')) {
                result.units.push_back(a);
                continue;
            }
        }
        const bool pair = c >= 0xD800 && c < 0xDC00 && k + 1 < text.size() &&
                          text[k + 1] >= 0xDC00 && text[k + 1] < 0xE000;
        const bool lone = !pair && c >= 0xD800 && c < 0xE000;
        const char32_t cp = pair ? 0x10000 + ((c - 0xD800u) << 10) + (text[k + 1] - 0xDC00u) : c;
        const std::string shown = lone ? "lone surrogate " + CodePoint(cp)
                                       : "character '" + Utf16ToUtf8(text.substr(k, pair ? 2 : 1)) +
                                             "' (" + CodePoint(cp) + ")";
        return refuse("the " + shown + " at position " + std::to_string(position) +
                      " is not in ISO 8859-1; Code 128 holds ISO 8859-1 text");
    }
    return result;
}

Code128Sequence EncodeCode128Units(const std::vector<Code128Unit>& units, Code128CodeSet set) {
    const auto valid = [](Code128Unit u) { return u >= 0 && u <= kUnitFnc4; };
    if (!std::all_of(units.begin(), units.end(), valid)) {
        std::vector<Code128Unit> kept;
        std::copy_if(units.begin(), units.end(), std::back_inserter(kept), valid);
        return EncodeCode128Units(kept, set);
    }
    return set == Code128CodeSet::Auto ? EncodeShortest(units) : EncodeSetB(units);
}

std::string Code128UnitsReading(const std::vector<Code128Unit>& units, Code128CodeSet set) {
    return ReadUnits(units, set).bytes;
}

std::string Code128Identifier(const std::vector<Code128Unit>& units, Code128CodeSet set) {
    const char modifier = ReadUnits(units, set).modifier;
    return modifier == '0' ? std::string() : std::string("]C") + modifier;
}

std::size_t WindowSetBCapacity(const std::vector<Code128Unit>& units) {
    constexpr std::int64_t kMost = std::numeric_limits<std::int16_t>::max();
    Code128Sequence symbols;
    std::int64_t weight = 1;
    for (std::size_t i = 0; i < units.size(); ++i) {
        symbols.clear();
        AppendUnits(symbols, kB, false, units, i, 1);
        for (const std::uint8_t v : symbols) {
            if (weight * v > kMost || weight + 1 > kMost)
                return i;
            ++weight;
        }
    }
    return units.size();
}

} // namespace quillion
