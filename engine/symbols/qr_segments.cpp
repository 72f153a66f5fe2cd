#include "symbols/qr_segments.h"

#include <algorithm>
#include <array>

namespace quillion {
namespace {

// Costs in sixths of a bit, so that numeric (10/3) and alphanumeric (11/2) are whole.
constexpr int kNumericCost = 20, kAlnumCost = 33, kByteCost = 48, kKanjiCost = 78;
constexpr int kInfinite = 1 << 29;

constexpr int CeilSixths(int cost) {
    return (cost + 5) / 6 * 6;
}

int UnitCost(const QrUnit& u, int mode) {
    switch (mode) {
    case 0:
        return (u.modes & kQrCanNumeric) ? kNumericCost : kInfinite;
    case 1:
        return (u.modes & kQrCanAlphanumeric) ? kAlnumCost : kInfinite;
    case 2:
        return (u.modes & kQrCanByte) ? kByteCost * u.byteCount : kInfinite;
    default:
        return (u.modes & kQrCanKanji) ? kKanjiCost : kInfinite;
    }
}

int UnitCount(const QrUnit& u, QrMode mode) {
    switch (mode) {
    case QrMode::Numeric:
    case QrMode::Alphanumeric:
    case QrMode::Kanji:
        return 1;
    case QrMode::Byte:
        return u.byteCount;
    }
    return 1;
}

} // namespace

void PlanQrSegments(const QrData& data, int versionClass, QrPlan& plan) {
    const auto n = data.units.size();
    const auto vc = std::size_t(versionClass);
    std::array<int, kQrModes> head{};
    for (std::size_t m = 0; m < kQrModes; ++m)
        head[m] = (4 + kQrCountBits[m][vc]) * 6;

    // from[i * 4 + m]: the mode of the segment before unit i when unit i is in a segment of
    // mode m that it continues (== m) or starts (!= m; 4 when it is the first segment).
    std::vector<std::uint8_t> from(n * kQrModes, 0);
    std::array<int, kQrModes> cost{};
    for (std::size_t i = 0; i < n; ++i) {
        const QrUnit& u = data.units[i];
        std::array<int, kQrModes> next{};
        int bestClosed = kInfinite;
        std::uint8_t bestClosedMode = 4;
        if (i == 0)
            bestClosed = 0;
        else
            for (std::size_t k = 0; k < kQrModes; ++k)
                if (cost[k] < kInfinite && CeilSixths(cost[k]) < bestClosed) {
                    bestClosed = CeilSixths(cost[k]);
                    bestClosedMode = std::uint8_t(k);
                }
        for (std::size_t m = 0; m < kQrModes; ++m) {
            const int c = UnitCost(u, int(m));
            if (c >= kInfinite) {
                next[m] = kInfinite;
                continue;
            }
            int best = kInfinite;
            std::uint8_t fromMode = 4;
            if (i > 0 && cost[m] < kInfinite) {
                best = cost[m] + c;
                fromMode = std::uint8_t(m);
            }
            // A new segment after the cheapest closed one (a new segment of the same mode is
            // never cheaper than continuing).
            if (bestClosed < kInfinite && bestClosed + head[m] + c < best) {
                best = bestClosed + head[m] + c;
                fromMode = bestClosedMode;
            }
            next[m] = best;
            from[i * kQrModes + m] = fromMode;
        }
        cost = next;
    }

    plan.segments.clear();
    plan.bits = (data.eci > 0 ? 12 : 0) + (data.fnc1 ? 4 : 0);
    if (n == 0)
        return;
    std::size_t mode = 0;
    for (std::size_t m = 1; m < kQrModes; ++m)
        if (CeilSixths(cost[m]) < CeilSixths(cost[mode]))
            mode = m;
    if (cost[mode] >= kInfinite) {
        plan.bits = kQrNoFit;
        return;
    }
    plan.bits += CeilSixths(cost[mode]) / 6;
    // Walk back: every unit's mode, segments closed where the mode before differs.
    int end = int(n);
    for (std::size_t i = n; i-- > 0;) {
        const std::uint8_t f = from[i * kQrModes + mode];
        if (f != mode) {
            plan.segments.push_back({QrMode(mode), int(i), end, 0});
            end = int(i);
            if (f == 4)
                break;
            mode = f;
        }
    }
    std::reverse(plan.segments.begin(), plan.segments.end());
    for (QrSegment& s : plan.segments) {
        for (int i = s.first; i < s.end; ++i)
            s.count += UnitCount(data.units[std::size_t(i)], s.mode);
        if (s.count >= (1 << kQrCountBits[std::size_t(s.mode)][vc]))
            plan.bits = kQrNoFit;
    }
}

void WriteQrSegments(const QrData& data, const QrPlan& plan, int versionClass, QrBitWriter& out) {
    const auto vc = std::size_t(versionClass);
    if (data.eci > 0) {
        out.Put(0x7, 4);
        out.Put(unsigned(data.eci), 8); // designators below 128 take one byte
    }
    if (data.fnc1)
        out.Put(0x5, 4);
    std::array<std::uint8_t, 2> pending{};
    for (const QrSegment& s : plan.segments) {
        const auto m = std::size_t(s.mode);
        out.Put(kQrModeIndicator[m], 4);
        out.Put(unsigned(s.count), kQrCountBits[m][vc]);
        int held = 0;
        unsigned acc = 0;
        for (int i = s.first; i < s.end; ++i) {
            const QrUnit& u = data.units[std::size_t(i)];
            switch (s.mode) {
            case QrMode::Numeric:
                acc = acc * 10 + u.alnum;
                if (++held == 3) {
                    out.Put(acc, 10);
                    acc = 0;
                    held = 0;
                }
                break;
            case QrMode::Alphanumeric:
                pending[std::size_t(held)] = u.alnum;
                if (++held == 2) {
                    out.Put(unsigned(pending[0]) * 45 + pending[1], 11);
                    held = 0;
                }
                break;
            case QrMode::Byte:
                for (int k = 0; k < u.byteCount; ++k)
                    out.Put(std::uint8_t(data.bytes[u.byteStart + std::size_t(k)]), 8);
                break;
            case QrMode::Kanji:
                out.Put(u.kanji, 13);
                break;
            }
        }
        if (s.mode == QrMode::Numeric && held > 0)
            out.Put(acc, held == 1 ? 4 : 7);
        if (s.mode == QrMode::Alphanumeric && held == 1)
            out.Put(pending[0], 6);
    }
}

} // namespace quillion
