#include "deflate_rle.h"

#include "checksums.h"

#include <array>
#include <bit>
#include <cstring>

namespace quillion::library {
namespace {

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;
constexpr unsigned kEndOfBlock = 256;
constexpr std::uint8_t kZlibHeader[2] = {0x78, 0x01}; // deflate, 32 KiB window, fastest

// A code as it goes into the stream: the bits in stream order (lowest first) and their count.
struct Code {
    std::uint32_t bits = 0;
    int length = 0;
};

constexpr std::uint32_t Reverse(std::uint32_t code, int length) {
    std::uint32_t r = 0;
    for (int i = 0; i < length; ++i)
        r |= ((code >> i) & 1u) << (length - 1 - i);
    return r;
}

// The fixed literal/length code of RFC 1951 section 3.2.6.
constexpr Code FixedCode(unsigned symbol) {
    if (symbol < 144)
        return {Reverse(0x30 + symbol, 8), 8};
    if (symbol < 256)
        return {Reverse(0x190 + symbol - 144, 9), 9};
    if (symbol < 280)
        return {Reverse(symbol - 256, 7), 7};
    return {Reverse(0xC0 + symbol - 280, 8), 8};
}

struct Tables {
    std::array<Code, 256> literal{};
    std::array<Code, kMaxMatch + 1> match{}; // length code, extra bits and distance 1 together
};

constexpr Tables MakeTables() {
    Tables t;
    for (unsigned v = 0; v < 256; ++v)
        t.literal[v] = FixedCode(v);
    // Length symbols 257..285: base lengths and extra bits (RFC 1951 section 3.2.5).
    constexpr std::array<int, 29> base = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                          15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                          67, 83, 99, 115, 131, 163, 195, 227, 258};
    constexpr std::array<int, 29> extra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    for (int length = kMinMatch; length <= kMaxMatch; ++length) {
        int s = 28;
        while (base[std::size_t(s)] > length)
            --s;
        const Code code = FixedCode(257u + unsigned(s));
        Code c = code;
        c.bits |= std::uint32_t(length - base[std::size_t(s)]) << c.length;
        c.length += extra[std::size_t(s)];
        c.length += 5; // distance code 0 (distance 1): five zero bits
        t.match[std::size_t(length)] = c;
    }
    return t;
}

constexpr Tables kTables = MakeTables();

// Writes codes into memory reserved beforehand (no bounds checks per code): the caller makes
// room for the longest stream the input can give, and eight bytes more.
class BitWriter {
public:
    explicit BitWriter(std::uint8_t* out) : start_(out), out_(out) {}
    // Every Put stores eight bytes and moves on by the whole bytes it filled: no branch on
    // how full the buffer is (a code is at most 18 bits, and at most 7 wait in the buffer).
    void Put(Code c) {
        buffer_ |= std::uint64_t(c.bits) << count_;
        count_ += c.length;
        std::uint8_t bytes[8];
        for (int k = 0; k < 8; ++k)
            bytes[k] = std::uint8_t(buffer_ >> (8 * k));
        std::memcpy(out_, bytes, 8);
        out_ += count_ >> 3;
        buffer_ >>= count_ & ~7;
        count_ &= 7;
    }
    // Writes the bits left, padded to a whole byte; returns the number of bytes written.
    std::size_t Finish() {
        if (count_ > 0)
            *out_++ = std::uint8_t(buffer_);
        return std::size_t(out_ - start_);
    }

private:
    std::uint8_t* start_;
    std::uint8_t* out_;
    std::uint64_t buffer_ = 0;
    int count_ = 0;
};

// The first position from i on whose byte is not byte (or size), eight bytes at a time.
std::size_t RunEnd(const std::uint8_t* data, std::size_t i, std::size_t size, std::uint8_t byte) {
    const std::uint64_t pattern = 0x0101010101010101ull * byte;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, 8);
        if (const std::uint64_t differs = word ^ pattern; differs != 0)
            return i + std::size_t(std::endian::native == std::endian::little
                                       ? std::countr_zero(differs)
                                       : std::countl_zero(differs)) /
                           8;
    }
    while (i < size && data[i] == byte)
        ++i;
    return i;
}

} // namespace

void DeflateRuns(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out) {
    out.insert(out.end(), std::begin(kZlibHeader), std::end(kZlibHeader));
    // At most 9 bits a byte (a literal above 143), the block header and its end, and the eight
    // bytes a Put writes from the last whole byte on.
    const std::size_t start = out.size();
    out.resize(start + size + size / 8 + 16);
    BitWriter writer(out.data() + start);
    writer.Put({0b011, 3}); // last block, fixed codes
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t byte = data[i++];
        writer.Put(kTables.literal[byte]);
        // Most bytes of a picture's text rows differ from the next: that test is predicted,
        // so the next byte need not wait for the run's end to be found.
        if (i == size || data[i] != byte)
            continue;
        const std::size_t end = RunEnd(data, i, size, byte);
        std::size_t run = end - i;
        while (run >= std::size_t(kMinMatch)) {
            std::size_t length = std::min<std::size_t>(run, kMaxMatch);
            if (run - length > 0 && run - length < std::size_t(kMinMatch))
                length -= kMinMatch; // leave a whole match for the rest
            writer.Put(kTables.match[length]);
            run -= length;
        }
        for (; run > 0; --run)
            writer.Put(kTables.literal[byte]);
        i = end;
    }
    writer.Put(FixedCode(kEndOfBlock));
    out.resize(start + writer.Finish());
    const std::uint32_t adler = Adler32(data, size);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(adler >> shift));
}

} // namespace quillion::library
