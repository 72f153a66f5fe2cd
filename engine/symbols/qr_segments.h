// QR Code data: the text as units that the four modes may take, the shortest segmentation of
// them (numeric, alphanumeric, byte and Kanji segments) for a version class, and the bit
// stream of a segmentation.
#pragma once

#include "symbols/qr_tables.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillion {

// Which modes may carry a unit.
inline constexpr std::uint8_t kQrCanNumeric = 1, kQrCanAlphanumeric = 2, kQrCanByte = 4,
                              kQrCanKanji = 8;

// One character of the text (or GS1's FNC1).
struct QrUnit {
    std::uint8_t modes = 0;     // kQrCan... bits
    std::uint8_t alnum = 0;     // the alphanumeric value (the digit's value too)
    std::uint8_t byteCount = 0; // bytes it takes in byte mode (at QrData::bytes[byteStart])
    std::uint16_t kanji = 0;    // the 13-bit Kanji mode value
    std::uint32_t byteStart = 0;
};

struct QrData {
    std::vector<QrUnit> units;
    std::string bytes; // the byte mode bytes of every unit, in order
    int eci = 0;       // the ECI designator written first (0: none)
    bool fnc1 = false; // FNC1 in first position (GS1)
};

struct QrSegment {
    QrMode mode;
    int first = 0, end = 0; // units [first, end)
    int count = 0;          // the character count indicator's value
};

struct QrPlan {
    std::vector<QrSegment> segments;
    int bits = 0; // all data bits: ECI, FNC1, every segment (no terminator)
};

// The segmentation with the fewest bits for the character count widths of a version class
// (0: 1-9, 1: 10-26, 2: 27-40). A segment too long for its count indicator makes bits
// kQrNoFit.
inline constexpr int kQrNoFit = 1 << 30;
void PlanQrSegments(const QrData& data, int versionClass, QrPlan& plan);

// Appends the plan's bits to a codeword buffer.
class QrBitWriter {
public:
    explicit QrBitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Put(unsigned value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            if (used_ % 8 == 0)
                out_.push_back(0);
            if ((value >> i) & 1u)
                out_.back() = std::uint8_t(out_.back() | (0x80u >> (used_ % 8)));
            ++used_;
        }
    }
    int Bits() const { return used_; }

private:
    std::vector<std::uint8_t>& out_;
    int used_ = 0;
};

void WriteQrSegments(const QrData& data, const QrPlan& plan, int versionClass, QrBitWriter& out);

} // namespace quillion
