// The encodation as a shortest path. A state is a position in the text and the encodation in
// force there, at a codeword boundary (C40, Text and X12 after a whole triple, EDIFACT after a
// whole group of four values). Edges are whole codewords: one ASCII character or digit pair,
// one C40/Text triple (the characters whose values first fill a multiple of three), three X12
// characters, four EDIFACT characters, a latch or an unlatch at one position, EDIFACT's last
// one to three values with the unlatch value, and a whole Base 256 field (latch, length and
// bytes) from ASCII to ASCII. Every codeword costs one, so the shortest path is the fewest
// codewords; the end-of-data rules add the paths that are valid only when they fill the
// symbol exactly.
#include "symbols/dm_encodation.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>

namespace quillion::dm {
namespace {

enum Mode : std::uint8_t { kAscii, kC40, kText, kX12, kEdifact, kModes };

enum class Step : std::uint8_t {
    None,
    Latch,      // ASCII -> mode at one position
    Unlatch,    // mode -> ASCII at one position (254, or EDIFACT's value 31 alone)
    AsciiOne,   // one character in ASCII
    AsciiPair,  // two digits in ASCII
    Group,      // a C40/Text triple run, three X12 or four EDIFACT characters
    GroupEnd,   // C40/Text: the last characters, two values, padded with Shift 1
    EdifactOut, // EDIFACT: one to three characters and the unlatch value
    Base256,    // latch, length and bytes, back in ASCII
};

constexpr std::array<std::uint8_t, kModes> kLatchCodeword = {0, 230, 239, 238, 240};
constexpr int kMaxBase256 = 1555; // the most bytes any symbol holds in one field

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// C40 (text = false) and Text (text = true) values of a unit, appended to out; returns count.
int TripletValues(int c, bool text, std::uint8_t* out) {
    int n = 0;
    if (c == kFnc1) {
        out[n++] = 1;
        out[n++] = 27;
        return n;
    }
    if (c >= 128) {
        out[n++] = 1;
        out[n++] = 30;
        c -= 128;
    }
    if (c == ' ') {
        out[n++] = 3;
    } else if (IsDigit(c)) {
        out[n++] = std::uint8_t(c - '0' + 4);
    } else if (c >= 'A' && c <= 'Z') {
        if (text) {
            out[n++] = 2;
            out[n++] = std::uint8_t(c - 'A' + 1);
        } else {
            out[n++] = std::uint8_t(c - 'A' + 14);
        }
    } else if (c >= 'a' && c <= 'z') {
        if (text) {
            out[n++] = std::uint8_t(c - 'a' + 14);
        } else {
            out[n++] = 2;
            out[n++] = std::uint8_t(c - 'a' + 1);
        }
    } else if (c < 32) {
        out[n++] = 0;
        out[n++] = std::uint8_t(c);
    } else if (c <= 47) {
        out[n++] = 1;
        out[n++] = std::uint8_t(c - 33);
    } else if (c <= 64) {
        out[n++] = 1;
        out[n++] = std::uint8_t(c - 58 + 15);
    } else if (c <= 95) {
        out[n++] = 1;
        out[n++] = std::uint8_t(c - 91 + 22);
    } else if (c == 96) {
        out[n++] = 2;
        out[n++] = 0;
    } else {
        // {|}~ DEL: C40 27-31 after Shift 3 (after a-z), Text the same.
        out[n++] = 2;
        out[n++] = std::uint8_t(c - 96);
    }
    return n;
}

int TripletCount(int c, bool text) {
    std::uint8_t v[4];
    return TripletValues(c, text, v);
}

int X12Value(int c) {
    if (c == 13)
        return 0;
    if (c == '*')
        return 1;
    if (c == '>')
        return 2;
    if (c == ' ')
        return 3;
    if (IsDigit(c))
        return c - '0' + 4;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 14;
    return -1;
}

bool IsEdifact(int c) {
    return c >= 32 && c <= 94;
}

int AsciiCost(int c) {
    return c >= 128 && c != kFnc1 ? 2 : 1;
}

struct Pred {
    int from = -1;
    Mode mode = kAscii;
    Step step = Step::None;
};

class Graph {
public:
    Graph(std::span<const int> units, int start) : units_(units), n_(int(units.size())) {
        cost_.assign(std::size_t(n_ + 1) * kModes, INT_MAX);
        pred_.assign(cost_.size(), Pred{});
        Cost(0, kAscii) = start;
        for (int i = 0; i <= n_; ++i)
            Relax(i);
    }

    int& Cost(int i, Mode m) { return cost_[std::size_t(i) * kModes + m]; }
    Pred& PredOf(int i, Mode m) { return pred_[std::size_t(i) * kModes + m]; }

    // The steps from the start to (i, m), in order.
    std::vector<std::pair<int, Mode>> Path(int i, Mode m) {
        std::vector<std::pair<int, Mode>> states{{i, m}};
        while (PredOf(i, m).step != Step::None) {
            const Pred p = PredOf(i, m);
            i = p.from;
            m = p.mode;
            states.emplace_back(i, m);
        }
        std::reverse(states.begin(), states.end());
        return states;
    }

    std::span<const int> units_;
    int n_;

private:
    void Update(int to, Mode m, int cost, int from, Mode fromMode, Step step) {
        if (cost > Cost(to, m))
            return;
        // Between two ASCII paths of one cost, the one whose last step starts later: digit
        // pairs from the left, as the standard's own encoder makes them.
        const Pred& old = PredOf(to, m);
        const bool asciiTie = cost == Cost(to, m) && from > old.from &&
                              (step == Step::AsciiOne || step == Step::AsciiPair) &&
                              (old.step == Step::AsciiOne || old.step == Step::AsciiPair);
        if (cost < Cost(to, m) || asciiTie) {
            Cost(to, m) = cost;
            PredOf(to, m) = {from, fromMode, step};
        }
    }

    // Base 256 fields that end at j: from ASCII at i, latch, a length of one byte (up to 249
    // bytes) or two, and the bytes i..j-1, none of them FNC1. The cheapest start is the least
    // Cost(i, ASCII) - i over the last 249 positions (short) and the 1306 before them (long).
    class Window {
    public:
        void Clear() { head_ = at_.size(); }
        void Push(int i, int key) {
            while (at_.size() > head_ && keys_.back() >= key) {
                at_.pop_back();
                keys_.pop_back();
            }
            at_.push_back(i);
            keys_.push_back(key);
        }
        // The best start not before `from`, or -1.
        int Best(int from) {
            while (head_ < at_.size() && at_[head_] < from)
                ++head_;
            return head_ < at_.size() ? at_[head_] : -1;
        }

    private:
        std::vector<int> at_, keys_;
        std::size_t head_ = 0;
    };

    void ArriveByBase256(int j) {
        if (units_[std::size_t(j) - 1] == kFnc1) {
            lastFnc1_ = j - 1;
            short_.Clear();
            long_.Clear();
        }
        const auto push = [&](Window& w, int i) {
            if (i > lastFnc1_ && Cost(i, kAscii) != INT_MAX)
                w.Push(i, Cost(i, kAscii) - i);
        };
        push(short_, j - 1);
        if (j - 250 >= 0)
            push(long_, j - 250);
        if (const int i = short_.Best(j - 249); i >= 0)
            Update(j, kAscii, Cost(i, kAscii) + 2 + (j - i), i, kAscii, Step::Base256);
        if (const int i = long_.Best(j - kMaxBase256); i >= 0)
            Update(j, kAscii, Cost(i, kAscii) + 3 + (j - i), i, kAscii, Step::Base256);
    }

    void Relax(int i) {
        if (i > 0)
            ArriveByBase256(i);
        for (int m = kC40; m < kModes; ++m)
            if (Cost(i, Mode(m)) != INT_MAX)
                Update(i, kAscii, Cost(i, Mode(m)) + 1, i, Mode(m), Step::Unlatch);
        if (Cost(i, kAscii) != INT_MAX)
            for (int m = kC40; m < kModes; ++m)
                Update(i, Mode(m), Cost(i, kAscii) + 1, i, kAscii, Step::Latch);
        if (i == n_)
            return;
        const auto unit = [&](int k) { return units_[std::size_t(k)]; };

        if (const int c = Cost(i, kAscii); c != INT_MAX) {
            if (i + 1 < n_ && IsDigit(unit(i)) && IsDigit(unit(i + 1)))
                Update(i + 2, kAscii, c + 1, i, kAscii, Step::AsciiPair);
            Update(i + 1, kAscii, c + AsciiCost(unit(i)), i, kAscii, Step::AsciiOne);
        }
        for (const Mode m : {kC40, kText}) {
            const int c = Cost(i, m);
            if (c == INT_MAX)
                continue;
            int values = 0;
            for (int j = i; j < n_; ++j) {
                values += TripletCount(unit(j), m == kText);
                if (values % 3 == 0) {
                    Update(j + 1, m, c + values / 3 * 2, i, m, Step::Group);
                    break;
                }
                if (j + 1 == n_ && values == 2)
                    Update(n_, m, c + 2, i, m, Step::GroupEnd);
            }
        }
        if (const int c = Cost(i, kX12); c != INT_MAX && i + 3 <= n_ && X12Value(unit(i)) >= 0 &&
                                         X12Value(unit(i + 1)) >= 0 && X12Value(unit(i + 2)) >= 0)
            Update(i + 3, kX12, c + 2, i, kX12, Step::Group);
        if (const int c = Cost(i, kEdifact); c != INT_MAX) {
            for (int k = 1; k <= 4 && i + k <= n_ && IsEdifact(unit(i + k - 1)); ++k) {
                if (k == 4)
                    Update(i + 4, kEdifact, c + 3, i, kEdifact, Step::Group);
                else
                    Update(i + k, kAscii, c + (6 * (k + 1) + 7) / 8, i, kEdifact, Step::EdifactOut);
            }
        }
    }

    std::vector<int> cost_;
    std::vector<Pred> pred_;
    Window short_, long_;
    int lastFnc1_ = -1;
};

class Writer {
public:
    explicit Writer(std::span<const int> units) : units_(units) {}

    std::vector<std::uint8_t> out;

    void Ascii(int c) {
        if (c == kFnc1) {
            out.push_back(232);
        } else if (c >= 128) {
            out.push_back(235);
            out.push_back(std::uint8_t(c - 127));
        } else {
            out.push_back(std::uint8_t(c + 1));
        }
    }

    void Triplets(const std::vector<std::uint8_t>& v) {
        for (std::size_t k = 0; k + 2 < v.size(); k += 3) {
            const int value = 1600 * v[k] + 40 * v[k + 1] + v[k + 2] + 1;
            out.push_back(std::uint8_t(value / 256));
            out.push_back(std::uint8_t(value % 256));
        }
    }

    void Edifact(std::vector<std::uint8_t> v) {
        unsigned bits = 0;
        int count = 0;
        for (const std::uint8_t x : v) {
            bits = (bits << 6) | x;
            count += 6;
            while (count >= 8) {
                out.push_back(std::uint8_t(bits >> (count - 8)));
                count -= 8;
                bits &= (1u << count) - 1;
            }
        }
        if (count > 0)
            out.push_back(std::uint8_t(bits << (8 - count)));
    }

    void Randomized255(int value) {
        const int position = int(out.size()) + 1;
        int r = value + (149 * position) % 255 + 1;
        if (r > 255)
            r -= 256;
        out.push_back(std::uint8_t(r));
    }

    void Put(Step step, Mode from, Mode to, int i, int j) {
        switch (step) {
        case Step::None:
            break;
        case Step::Latch:
            out.push_back(kLatchCodeword[to]);
            break;
        case Step::Unlatch:
            if (from == kEdifact)
                Edifact({31});
            else
                out.push_back(254);
            break;
        case Step::AsciiOne:
            Ascii(units_[std::size_t(i)]);
            break;
        case Step::AsciiPair:
            out.push_back(std::uint8_t(130 + (units_[std::size_t(i)] - '0') * 10 +
                                       units_[std::size_t(i) + 1] - '0'));
            break;
        case Step::Group:
        case Step::GroupEnd:
        case Step::EdifactOut: {
            std::vector<std::uint8_t> v;
            for (int k = i; k < j; ++k) {
                const int c = units_[std::size_t(k)];
                if (from == kC40 || from == kText) {
                    std::uint8_t t[4];
                    v.insert(v.end(), t, t + TripletValues(c, from == kText, t));
                } else if (from == kX12) {
                    v.push_back(std::uint8_t(X12Value(c)));
                } else {
                    v.push_back(std::uint8_t(c & 0x3F));
                }
            }
            if (step == Step::GroupEnd)
                v.push_back(0);
            if (from == kEdifact) {
                if (step == Step::EdifactOut)
                    v.push_back(31);
                Edifact(v);
            } else {
                Triplets(v);
            }
            break;
        }
        case Step::Base256: {
            out.push_back(231);
            const int len = j - i;
            if (len <= 249) {
                Randomized255(len);
            } else {
                Randomized255(len / 250 + 249);
                Randomized255(len % 250);
            }
            for (int k = i; k < j; ++k)
                Randomized255(units_[std::size_t(k)]);
            break;
        }
        }
    }

private:
    std::span<const int> units_;
};

std::vector<std::uint8_t> Emit(Graph& graph, std::span<const std::uint8_t> prefix, int end,
                               Mode mode) {
    Writer w(graph.units_);
    w.out.assign(prefix.begin(), prefix.end());
    const auto states = graph.Path(end, mode);
    for (std::size_t k = 1; k < states.size(); ++k) {
        const auto [to, toMode] = states[k];
        const Pred p = graph.PredOf(to, toMode);
        w.Put(p.step, p.mode, toMode, p.from, to);
    }
    return w.out;
}

} // namespace

DataCodewords EncodeUnits(std::span<const int> units, std::span<const std::uint8_t> prefix) {
    Graph graph(units, int(prefix.size()));
    const int n = graph.n_;
    DataCodewords result;
    result.open = Emit(graph, prefix, n, kAscii);
    const int open = int(result.open.size());

    // Closed ends: C40, Text, X12 or EDIFACT at the end of the data without the unlatch, or
    // with the ASCII tail a reader takes when few codewords are left (C40, Text, X12: one;
    // EDIFACT: up to two, which the tail and the padding share).
    for (int m = kC40; m < kModes; ++m) {
        const int left = m == kEdifact ? 2 : 1;
        if (graph.Cost(n, Mode(m)) < open)
            result.closed.push_back({Emit(graph, prefix, n, Mode(m)), m == kEdifact ? left : 0});
        for (int k = 1; k <= 2 && k <= n; ++k) {
            const int from = n - k;
            const int c = graph.Cost(from, Mode(m));
            if (c == INT_MAX)
                continue;
            const bool pair = k == 2 && IsDigit(units[std::size_t(from)]) &&
                              IsDigit(units[std::size_t(from) + 1]);
            int tail = 0;
            for (int t = from; t < n; ++t)
                tail += units[std::size_t(t)] < 128 ? 1 : 3;
            if (pair)
                tail = 1;
            if (tail > left || c + tail >= open)
                continue;
            std::vector<std::uint8_t> cw = Emit(graph, prefix, from, Mode(m));
            Writer w(units);
            if (pair)
                w.Put(Step::AsciiPair, kAscii, kAscii, from, n);
            else
                for (int t = from; t < n; ++t)
                    w.Ascii(units[std::size_t(t)]);
            cw.insert(cw.end(), w.out.begin(), w.out.end());
            result.closed.push_back({std::move(cw), left - tail});
        }
    }
    return result;
}

const std::vector<std::uint8_t>* DataCodewords::For(int capacity) const {
    const std::vector<std::uint8_t>* best = int(open.size()) <= capacity ? &open : nullptr;
    for (const ClosedEnd& e : closed) {
        const int size = int(e.codewords.size());
        if (size <= capacity && capacity <= size + e.slack &&
            (best == nullptr || size < int(best->size())))
            best = &e.codewords;
    }
    return best;
}

int DataCodewords::Fewest() const {
    int fewest = int(open.size());
    for (const ClosedEnd& e : closed)
        fewest = std::min(fewest, int(e.codewords.size()));
    return fewest;
}

void AppendPadding(std::vector<std::uint8_t>& codewords, int capacity) {
    if (int(codewords.size()) < capacity)
        codewords.push_back(129);
    while (int(codewords.size()) < capacity) {
        const int position = int(codewords.size()) + 1;
        int r = 129 + (149 * position) % 253 + 1;
        if (r > 254)
            r -= 254;
        codewords.push_back(std::uint8_t(r));
    }
}

} // namespace quillion::dm
