// Reads the fields of a fuzz input in order. Past the end every read gives zero bytes, so any
// input, however short, decodes to something. Shared by the fuzz targets and the regression
// tests that replay the inputs they found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillion::fuzz {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool AtEnd() const { return pos_ >= size_; }

    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    std::uint16_t Uint16() {
        const std::uint16_t lo = Byte();
        return static_cast<std::uint16_t>(lo | (Byte() << 8));
    }

    std::uint32_t Uint32() {
        const std::uint32_t lo = Uint16();
        return lo | (static_cast<std::uint32_t>(Uint16()) << 16);
    }

    // A 32-bit field: a mode byte picks the typical value, or a value of 8, 16 or 32 signed
    // bits. Small values keep most inputs past the range checks; wide ones reach the overflows.
    std::int32_t Int32(std::int32_t typical) {
        switch (Byte() % 4) {
        case 0:
            return typical;
        case 1:
            return static_cast<std::int8_t>(Byte());
        case 2:
            return static_cast<std::int16_t>(Uint16());
        default:
            return static_cast<std::int32_t>(Uint32());
        }
    }

    // A text of at most maxUnits code units: a mode byte picks the typical text, the same text
    // as `same`, one byte per unit (Latin-1) or arbitrary UTF-16 (lone surrogates included).
    // The length is one byte below 0x80, else fifteen bits over two bytes; the text stops early
    // when the input runs out.
    std::u16string Text(std::size_t maxUnits, std::u16string_view typical,
                        std::u16string_view same = {}) {
        const std::uint8_t mode = Byte() % 4;
        if (mode == 0)
            return std::u16string(typical);
        if (mode == 1)
            return std::u16string(same);
        std::size_t length = Byte();
        if (length >= 0x80)
            length = ((length & 0x7F) << 8) | Byte();
        if (length > maxUnits)
            length = maxUnits;
        std::u16string text;
        text.reserve(length);
        while (text.size() < length && !AtEnd())
            text.push_back(mode == 2 ? static_cast<char16_t>(Byte())
                                     : static_cast<char16_t>(Uint16()));
        return text;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace quillion::fuzz
