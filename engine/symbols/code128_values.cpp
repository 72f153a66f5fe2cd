#include "symbols/code128_values.h"

#include "runtime/ansi.h"
#include "symbols/code128_patterns.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <limits>
#include <utility>

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

// The values of the units [i, i + count) in a set, the extended mode latched or not, into out
// (room for three); returns how many.
std::size_t UnitValues(std::uint8_t* out, Set set, bool latched,
                       const std::vector<Code128Unit>& units, std::size_t i, std::size_t count) {
    const Code128Unit u = units[i];
    if (set == kC && count == 2) {
        out[0] = static_cast<std::uint8_t>((u - '0') * 10 + (units[i + 1] - '0'));
        return 1;
    }
    if (const int f = FunctionValue(set, u); f >= 0) {
        out[0] = static_cast<std::uint8_t>(f);
        return 1;
    }
    std::size_t k = 0;
    if ((u >= 128) != latched)
        out[k++] = kFnc4[set];
    const Code128Unit low = u & 0x7F;
    if (const int v = ValueIn(set, low); v >= 0) {
        out[k++] = static_cast<std::uint8_t>(v);
        return k;
    }
    out[k++] = kShift;
    out[k++] = static_cast<std::uint8_t>(ValueIn(set == kA ? kB : kA, low));
    return k;
}

void AppendUnits(Code128Sequence& out, Set set, bool latched, const std::vector<Code128Unit>& units,
                 std::size_t i, std::size_t count) {
    std::uint8_t values[3];
    out.insert(out.end(), values, values + UnitValues(values, set, latched, units, i, count));
}

void AppendCheck(Code128Sequence& sequence) {
    // Far below the 64-bit limit for any length a vector holds in practice (k * 105 per value).
    std::uint64_t sum = sequence.front();
    for (std::size_t k = 1; k < sequence.size(); ++k)
        sum += static_cast<std::uint64_t>(k) * sequence[k];
    sequence.push_back(static_cast<std::uint8_t>(sum % code128::kDataSymbols));
}

// The shortest path: states are (code set, extended mode latched), six per position.
constexpr int kStates = kSets * 2;
constexpr int kFar = 1 << 20; // no way into the state: far beyond any symbol's count

constexpr int StateOf(Set set, bool latched) {
    return set * 2 + (latched ? 1 : 0);
}
Set SetOf(int state) {
    return Set(state / 2);
}
bool LatchedIn(int state) {
    return state % 2 == 1;
}

constexpr int kA0 = StateOf(kA, false), kA1 = StateOf(kA, true), kB0 = StateOf(kB, false),
              kB1 = StateOf(kB, true), kC0 = StateOf(kC, false), kC1 = StateOf(kC, true);

// How the cheapest way into a state at a position was taken, one byte: the step in the high
// bits, in the low ones the state before a change of set or latch, or the units a unit step took.
enum Step : std::uint8_t {
    kStepStart = 0x00,
    kStepUnit = 0x10,
    kStepSwitch = 0x20,
    kStepLatch = 0x30
};
constexpr std::uint8_t kStepMask = 0xF0;

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

// places: whether to say where each FNC1 may go (read.places stays empty otherwise).
UnitsRead ReadUnits(const std::vector<Code128Unit>& units, Code128CodeSet set, bool places) {
    UnitsRead read;
    std::string& bytes = read.bytes;
    bytes.reserve(units.size());
    if (places)
        read.places.assign(units.size(), Fnc1Place::Any);
    // ASCII alone (the usual text): every unit is its byte.
    if (std::all_of(units.begin(), units.end(), [](Code128Unit u) { return u >= 0 && u < 128; })) {
        bytes.assign(units.begin(), units.end());
        return read;
    }
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
                if (places)
                    read.places[k] = Fnc1Place::AorB;
                read.modifier = '2';
            } else if (bytes.size() == 2 && IsDigit(at(0)) && IsDigit(at(1)) && setC) {
                if (places)
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

void EncodeSetB(const std::vector<Code128Unit>& units, Code128Sequence& sequence) {
    sequence.clear();
    sequence.reserve(units.size() * 2 + 2);
    sequence.push_back(kStart[kB]);
    for (std::size_t i = 0; i < units.size(); ++i)
        AppendUnits(sequence, kB, false, units, i, 1);
    AppendCheck(sequence);
}

// The ways into the states at each position, on the stack for the usual short texts.
class WayTable {
public:
    explicit WayTable(std::size_t positions) {
        if (positions * kStates > local_.size()) {
            heap_.resize(positions * kStates);
            ways_ = heap_.data();
        }
    }
    std::uint8_t* At(std::size_t position) { return ways_ + position * kStates; }

private:
    std::array<std::uint8_t, 64 * kStates> local_;
    std::vector<std::uint8_t> heap_;
    std::uint8_t* ways_ = local_.data();
};

// Which states a text needs: sets A and B alone beside a bare FNC4 unit; no latched state when
// no character is beyond 127 (a latch then only costs symbols).
enum class Reach { Plain, Unlatched, All };

// A state's cheapest cost and the way it was taken, in one number: the cost times 256 plus the
// way, so that one comparison with the way cleared says whether a cost is lower.
constexpr int kWayBits = 8;
constexpr int kCostMask = ~0xFF;
constexpr int kFarPacked = kFar << kWayBits;

constexpr int Packed(int costOf, int add, int way) {
    return (costOf & kCostMask) + (add << kWayBits) + way;
}

// The cheapest costs at one position of a text without characters beyond 127 once the code set
// is changed there (one symbol, from the costs the units gave; no latch ever pays). Of two
// equally cheap ways the unit step stays, then the set tried first: B before A before C, as
// SettleLatched finds them.
void Settle(int* cost, Reach reach) {
    const int arrived[kStates] = {cost[0], cost[1], cost[2], cost[3], cost[4], cost[5]};
    const auto relax = [&](int to, int candidate) {
        cost[to] = candidate < (cost[to] & kCostMask) ? candidate : cost[to];
    };
    const auto change = [&](int from, int to, const int* costs) {
        relax(to, Packed(costs[from], 1, kStepSwitch | from));
    };
    if (reach == Reach::Plain) {
        change(kA0, kB0, arrived);
        change(kB0, kA0, arrived);
        return;
    }
    change(kA0, kB0, arrived);
    change(kC0, kB0, arrived);
    change(kB0, kA0, arrived);
    change(kC0, kA0, arrived);
    change(kB0, kC0, arrived);
    change(kA0, kC0, arrived);
}

// As Settle, for a text with characters beyond 127: changes of set and latches tried state by
// state (B, then A, then C, unlatched first) until none makes a state cheaper, so that of equally
// short ways the first found stays.
void SettleLatched(int* cost) {
    for (bool changed = true; changed;) {
        changed = false;
        const auto relax = [&](int to, int candidate) {
            if (candidate < (cost[to] & kCostMask)) {
                cost[to] = candidate;
                changed = true;
            }
        };
        for (const int st : {kB0, kB1, kA0, kA1, kC0, kC1}) {
            const Set s = SetOf(st);
            const bool latched = LatchedIn(st);
            for (const Set t : {kB, kA, kC})
                if (t != s)
                    relax(StateOf(t, latched), Packed(cost[st], 1, kStepSwitch | st));
            if (s != kC)
                relax(StateOf(s, !latched), Packed(cost[st], 2, kStepLatch | st));
        }
    }
}

// The search over the units, row by row, with the ways into every state kept in ways; returns
// the costs at the end (one of rows).
template <Reach kReach>
const int* Search(const std::vector<Code128Unit>& units, const std::vector<Fnc1Place>& places,
                  WayTable& ways, int (&rows)[3][kStates]) {
    const std::size_t n = units.size();
    const bool fnc1 = !places.empty();
    int* here = rows[0];
    int* next = rows[1];
    int* after = rows[2];
    for (std::size_t i = 0;; ++i, std::swap(here, next), std::swap(next, after)) {
        if constexpr (kReach == Reach::All)
            SettleLatched(here);
        else
            Settle(here, kReach);
        std::uint8_t* way = ways.At(i);
        for (int s = 0; s < kStates; ++s)
            way[s] = std::uint8_t(here[s]);
        if (i == n)
            break;
        std::fill(after, after + kStates, kFarPacked);
        const Code128Unit u = units[i];
        const Fnc1Place place = fnc1 ? places[i] : Fnc1Place::Any;
        constexpr int kOne = kStepUnit | 1;
        if (u >= 256) {
            // Every function character is one symbol in set A or B; FNC1 alone is in set C.
            for (const int s : {kB0, kB1, kA0, kA1})
                if (kReach == Reach::All || !LatchedIn(s))
                    next[s] = place == Fnc1Place::C ? kFarPacked : Packed(here[s], 1, kOne);
            if (u == kUnitFnc1 && place != Fnc1Place::AorB)
                for (const int s : {kC0, kC1})
                    next[s] = Packed(here[s], 1, kOne);
            continue;
        }
        const Code128Unit low = u & 0x7F;
        const int high = u >= 128 ? 1 : 0;
        const int shiftA = low >= 96 ? 1 : 0, shiftB = low < 32 ? 1 : 0;
        next[kB0] = Packed(here[kB0], 1 + high + shiftB, kOne);
        next[kA0] = Packed(here[kA0], 1 + high + shiftA, kOne);
        if constexpr (kReach == Reach::All) {
            next[kB1] = Packed(here[kB1], 2 - high + shiftB, kOne);
            next[kA1] = Packed(here[kA1], 2 - high + shiftA, kOne);
        }
        if (i + 1 < n && IsDigit(u) && IsDigit(units[i + 1]) && kReach != Reach::Plain)
            for (const int s : {kC0, kC1})
                after[s] = Packed(here[s], 1, kStepUnit | 2);
    }
    return here;
}

void EncodeShortest(const std::vector<Code128Unit>& units, Code128Sequence& sequence) {
    const std::size_t n = units.size();
    // A bare FNC4 unit has its own effect on the extended mode: leave the latch alone then, and
    // set C too (its digits take no FNC4), so that every character reads as the units say.
    bool plain = false, fnc1 = false, extended = false;
    for (const Code128Unit u : units) {
        plain |= u == kUnitFnc4;
        fnc1 |= u == kUnitFnc1;
        extended |= u >= 128 && u < 256;
    }
    const Reach reach = plain ? Reach::Plain : extended ? Reach::All : Reach::Unlatched;
    // Where each FNC1 may go, so that readers take it as the reading has it.
    std::vector<Fnc1Place> places;
    if (fnc1)
        places = ReadUnits(units, Code128CodeSet::Auto, true).places;
    WayTable ways(n + 1);
    // The costs at positions i, i + 1 and i + 2.
    int rows[3][kStates];
    for (auto& row : rows)
        std::fill(std::begin(row), std::end(row), kFarPacked);
    rows[0][kB0] = rows[0][kA0] = Packed(0, 1, kStepStart);
    if (!plain)
        rows[0][kC0] = Packed(0, 1, kStepStart);
    const int* here = reach == Reach::All ? Search<Reach::All>(units, places, ways, rows)
                      : reach == Reach::Unlatched
                          ? Search<Reach::Unlatched>(units, places, ways, rows)
                          : Search<Reach::Plain>(units, places, ways, rows);
    // Walk back from the cheapest end, the values of every step last first: a unit takes at
    // most three, the changes of set and latches before it at most four, the start one.
    int state = kB0;
    for (const int st : {kB0, kB1, kA0, kA1, kC0, kC1})
        if ((here[st] & kCostMask) < (here[state] & kCostMask))
            state = st;
    const std::size_t most = 7 * n + 8;
    std::array<std::uint8_t, 512> local;
    std::vector<std::uint8_t> heap;
    if (most > local.size())
        heap.resize(most);
    std::uint8_t* const backwards = heap.empty() ? local.data() : heap.data();
    std::size_t count = 0;
    for (std::size_t i = n;;) {
        const std::uint8_t way = ways.At(i)[state];
        const Set s = SetOf(state);
        const std::uint8_t step = way & kStepMask;
        if (step == kStepStart) {
            backwards[count++] = kStart[s];
            break;
        }
        if (step == kStepUnit) {
            const std::size_t taken = way & 0x0F;
            std::uint8_t values[3];
            for (std::size_t k = UnitValues(values, s, LatchedIn(state), units, i - taken, taken);
                 k-- > 0;)
                backwards[count++] = values[k];
            i -= taken;
            continue;
        }
        backwards[count++] = step == kStepSwitch ? kCode[s] : kFnc4[s];
        if (step == kStepLatch)
            backwards[count++] = kFnc4[s];
        state = way & 0x0F;
    }
    sequence.clear();
    sequence.reserve(count + 1);
    sequence.assign(std::make_reverse_iterator(backwards + count),
                    std::make_reverse_iterator(backwards));
    AppendCheck(sequence);
}

std::string CodePoint(char32_t c) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    return buffer;
}

} // namespace

Code128UnitText Code128Units(std::u16string_view text, Code128Reading reading) {
    Code128UnitText result;
    Code128Units(text, reading, result);
    return result;
}

void Code128Units(std::u16string_view text, Code128Reading reading, Code128UnitText& result) {
    result.units.clear();
    result.refusal.clear();
    result.units.reserve(text.size());
    const auto refuse = [&](std::string why) {
        result.units.clear();
        result.refusal = std::move(why);
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
}

void EncodeCode128Units(const std::vector<Code128Unit>& units, Code128CodeSet set,
                        Code128Sequence& sequence) {
    const auto valid = [](Code128Unit u) { return u >= 0 && u <= kUnitFnc4; };
    if (!std::all_of(units.begin(), units.end(), valid)) {
        std::vector<Code128Unit> kept;
        std::copy_if(units.begin(), units.end(), std::back_inserter(kept), valid);
        EncodeCode128Units(kept, set, sequence);
        return;
    }
    if (set == Code128CodeSet::Auto)
        EncodeShortest(units, sequence);
    else
        EncodeSetB(units, sequence);
}

Code128Sequence EncodeCode128Units(const std::vector<Code128Unit>& units, Code128CodeSet set) {
    Code128Sequence sequence;
    EncodeCode128Units(units, set, sequence);
    return sequence;
}

std::string Code128UnitsReading(const std::vector<Code128Unit>& units, Code128CodeSet set) {
    return ReadUnits(units, set, false).bytes;
}

std::string Code128Identifier(const std::vector<Code128Unit>& units, Code128CodeSet set) {
    return ReadCode128Units(units, set).identifier;
}

Code128Read ReadCode128Units(const std::vector<Code128Unit>& units, Code128CodeSet set) {
    UnitsRead read = ReadUnits(units, set, false);
    Code128Read result{std::move(read.bytes), {}};
    if (read.modifier != '0')
        result.identifier = {']', 'C', read.modifier};
    return result;
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
