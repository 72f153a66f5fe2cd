// One fuzz input for EncodeQr: a flags byte (level in bits 0-1, keep the level 2, no ECI 3,
// GS1 4), the version (byte modulo 42: 0 for the smallest, 41 out of range), the mask (byte
// modulo 10, minus 2: -2, 8 and 9 are out of range) and the text (arbitrary UTF-16, at most
// 3000 units). The encoder must refuse with a known number and a message, or give a
// well-formed symbol of the version, level and mask asked for.
#pragma once

#include "byte_reader.h"
#include "symbols/qr_code.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quillion::fuzz {

inline constexpr std::size_t kMaxQrTextUnits = 3000;

// The 15 format bits read next to the top left finder, unmasked: level bits and mask.
inline int QrFormatData(const Symbol& s) {
    int bits = 0;
    for (int i = 0; i < 6; ++i)
        bits |= (s.Dark(i, 8) ? 1 : 0) << i;
    bits |= (s.Dark(7, 8) ? 1 : 0) << 6 | (s.Dark(8, 8) ? 1 : 0) << 7 | (s.Dark(8, 7) ? 1 : 0) << 8;
    for (int i = 9; i < 15; ++i)
        bits |= (s.Dark(8, 14 - i) ? 1 : 0) << i;
    return (bits ^ 0x5412) >> 10;
}

inline std::string RunQrInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const std::uint8_t flags = in.Byte();
    EncodeOptions options;
    options.ecc = QrEcc(flags & 3);
    options.keepEcc = (flags & 4) != 0;
    options.eci = (flags & 8) == 0;
    const bool gs1 = (flags & 16) != 0;
    options.qrVersion = in.Byte() % 42;
    options.mask = in.Byte() % 10 - 2;
    const std::u16string text = in.Text(kMaxQrTextUnits, gs1 ? u"(01)09501101530003(10)AB%12"
                                                             : u"https://quillion.example/A-1?q=2");

    bool loneSurrogate = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000)
            ++i;
        else if (c >= 0xD800 && c < 0xE000)
            loneSurrogate = true;
    }
    const bool argumentsFine = !text.empty() && !loneSurrogate && options.qrVersion <= 40 &&
                               options.mask >= -1 && options.mask <= 7;

    const Encoded encoded = EncodeQr(text, options, gs1);
    if (const auto* refusal = std::get_if<Refusal>(&encoded)) {
        if (refusal->message.empty())
            return "refusal without a message";
        if (refusal->number == kErrorArgument)
            return argumentsFine ? "argument error on good arguments" : "";
        if (refusal->number == kErrorRejected)
            return gs1 ? "" : "rejected without GS1";
        if (refusal->number != kErrorTooLong)
            return "refusal number " + std::to_string(refusal->number);
        return argumentsFine ? "" : "too long before the arguments were checked";
    }
    if (!argumentsFine)
        return "symbol from arguments out of range";
    const Symbol& s = std::get<Symbol>(encoded);
    const int version = (s.rows - 17) / 4;
    if (s.rows != s.columns || (s.rows - 17) % 4 != 0 || version < 1 || version > 40)
        return "bad size";
    if (s.matrix.size() != std::size_t(s.rows) * std::size_t(s.columns))
        return "matrix size";
    for (const std::uint8_t m : s.matrix)
        if (m > 1)
            return "module not 0 or 1";
    if (options.qrVersion > 0 && version != options.qrVersion)
        return "version not the one asked for";
    if (s.quiet != QuietModules{4, 4, 4, 4} || !s.text.empty() || !s.runs.empty())
        return "quiet zones or text";
    if (s.identifier != (gs1 ? "]Q3" : ""))
        return "identifier";
    // Finder pattern: the top left 7 x 7 ring and centre, the separator light.
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            const int d = std::max(r > 3 ? r - 3 : 3 - r, c > 3 ? c - 3 : 3 - c);
            if (s.Dark(r, c) != (d != 2 && d != 4))
                return "finder pattern";
        }
    const int format = QrFormatData(s);
    static constexpr int kLevelOf[] = {1, 0, 3, 2}; // format bits 00 M, 01 L, 10 H, 11 Q
    const int level = kLevelOf[format >> 3];
    if (options.mask >= 0 && (format & 7) != options.mask)
        return "mask not the one asked for";
    if (level < int(options.ecc) || (options.keepEcc && level != int(options.ecc)))
        return "level";
    if (s.reading.empty())
        return "empty reading";
    return {};
}

} // namespace quillion::fuzz
