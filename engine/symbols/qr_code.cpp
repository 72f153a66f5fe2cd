#include "symbols/qr_code.h"

#include "runtime/ansi.h"
#include "symbols/gs1_elements.h"
#include "symbols/qr_kanji_table.h"
#include "symbols/qr_matrix.h"
#include "symbols/qr_segments.h"
#include "symbols/reed_solomon.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

namespace quillion {
namespace {

constexpr std::string_view kAlphanumeric = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
// The modes a character of Kanji mode may take: Kanji mode only, since a reader takes the
// Shift JIS bytes of a byte segment without ECI for another character set.
constexpr std::uint8_t kKanjiModes = kQrCanKanji;
constexpr std::array<char, 4> kLevelNames = {'L', 'M', 'Q', 'H'};

int AlphanumericValue(unsigned c) {
    if (c >= 0x80)
        return -1;
    const auto at = kAlphanumeric.find(char(c));
    return at == std::string_view::npos ? -1 : int(at);
}

// The Shift JIS code of a character of Kanji mode, or 0.
unsigned ShiftJis(char32_t c) {
    if (c > 0xFFFF)
        return 0;
    const auto it =
        std::lower_bound(kQrKanji.begin(), kQrKanji.end(), c,
                         [](const QrKanjiPair& p, char32_t v) { return p.unicode < v; });
    return it == kQrKanji.end() || it->unicode != c ? 0 : it->sjis;
}

// The 13-bit Kanji mode value of a Shift JIS code.
std::uint16_t KanjiValue(unsigned sjis) {
    const unsigned v = sjis - (sjis <= 0x9FFC ? 0x8140u : 0xC140u);
    return std::uint16_t((v >> 8) * 0xC0u + (v & 0xFFu));
}

void AddByteUnit(QrData& data, std::string_view bytes, int alnum = -1) {
    QrUnit u;
    u.byteStart = std::uint32_t(data.bytes.size());
    u.byteCount = std::uint8_t(bytes.size());
    data.bytes += bytes;
    u.modes = kQrCanByte;
    if (bytes.size() == 1 && alnum < 0)
        alnum = AlphanumericValue(std::uint8_t(bytes[0]));
    if (alnum >= 0) {
        u.modes |= kQrCanAlphanumeric;
        u.alnum = std::uint8_t(alnum);
        if (alnum < 10)
            u.modes |= kQrCanNumeric;
    }
    data.units.push_back(u);
}

// A literal % of GS1 data: "%%" in alphanumeric mode, but ZXing-C++ 1.4 reads "%%" as "%" and
// drops the rest of the segment, so it goes in byte mode only.
void AddLiteralPercent(QrData& data) {
    AddByteUnit(data, "%");
    data.units.back().modes = kQrCanByte;
}

// Whether ISO 8859-1 bytes could be taken for another character set by a reader that guesses
// (no ECI), as ZXing-C++ does: C1 controls, or bytes that also pass for UTF-8 with a multi-byte
// sequence, or for Shift JIS throughout.
bool Latin1Ambiguous(std::string_view bytes) {
    bool high = false;
    for (const char ch : bytes) {
        const auto b = std::uint8_t(ch);
        if (b >= 0x80 && b < 0xA0)
            return true;
        high = high || b >= 0x80;
    }
    if (!high)
        return false;
    // UTF-8 as a guessing reader checks it: a lead byte followed by as many bytes with the top
    // bit set (not necessarily 10xxxxxx).
    bool utf8 = true;
    std::size_t left = 0;
    for (const char ch : bytes) {
        const auto b = std::uint8_t(ch);
        if (left > 0) {
            utf8 = (b & 0x80) != 0;
            --left;
        } else if (b & 0x80) {
            left = (b & 0x40) == 0   ? 9
                   : (b & 0x20) == 0 ? 1
                   : (b & 0x10) == 0 ? 2
                   : (b & 0x08) == 0 ? 3
                                     : 9;
            utf8 = left != 9;
        }
        if (!utf8)
            break;
    }
    utf8 = utf8 && left == 0;
    if (utf8)
        return true;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = std::uint8_t(bytes[i]);
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF))
            continue;
        if (!((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF)) || i + 1 >= bytes.size())
            return false;
        const auto t = std::uint8_t(bytes[++i]);
        if (t < 0x40 || t == 0x7F || t > 0xFC)
            return false;
    }
    return true;
}

std::string Thousands(long long n) {
    std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

Refusal Argument(std::string message) {
    return Refusal{kErrorArgument, std::move(message)};
}

// Builds the units of the text; returns a refusal message or "".
struct Prepared {
    QrData data;
    std::string reading;
    std::string what; // "digits", "characters" or "bytes", for capacity messages
    long long count = 0;
    std::optional<Refusal> refusal;
};

void Prepare(std::u16string_view text, const EncodeOptions& options, bool gs1, Prepared& p) {
    QrData& data = p.data;
    if (gs1) {
        Gs1Parse parse = ParseGs1(text);
        if (!parse.error.empty()) {
            p.refusal = Refusal{kErrorRejected, parse.error};
            return;
        }
        data.fnc1 = true;
        data.units.reserve(parse.units.size());
        // A leading FNC1 would be the mode (FNC1 in first position), not a unit.
        const std::size_t first = !parse.units.empty() && parse.units[0] == kUnitFnc1 ? 1 : 0;
        for (std::size_t i = first; i < parse.units.size(); ++i) {
            const Code128Unit u = parse.units[i];
            if (u == kUnitFnc1)
                AddByteUnit(data, "\x1D", 38); // % in alphanumeric mode
            else if (u == '%')
                AddLiteralPercent(data);
            else if (u >= 0 && u < 256)
                AddByteUnit(data, std::string_view(std::string(1, char(u))));
        }
        p.reading = std::move(parse.reading);
        p.what = "bytes";
        p.count = static_cast<long long>(p.reading.size());
        return;
    }

    std::u32string points;
    points.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            points.push_back(0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            p.refusal = Argument("the text holds a lone UTF-16 surrogate");
            return;
        } else {
            points.push_back(c);
        }
    }
    data.units.reserve(points.size());
    const bool latin1 =
        std::all_of(points.begin(), points.end(), [](char32_t c) { return c < 0x100; });
    const bool kanji = !latin1 && std::all_of(points.begin(), points.end(), [](char32_t c) {
        return c < 0x80 || ShiftJis(c) != 0;
    });
    bool allDigits = true, allAlnum = true;
    for (const char32_t c : points) {
        allDigits = allDigits && c >= '0' && c <= '9';
        allAlnum = allAlnum && AlphanumericValue(unsigned(c)) >= 0;
    }
    std::string encoded;
    for (const char32_t c : points) {
        std::string bytes;
        if (latin1) {
            bytes.push_back(char(c));
        } else if (kanji && c >= 0x80) {
            const unsigned sjis = ShiftJis(c);
            bytes.push_back(char(sjis >> 8));
            bytes.push_back(char(sjis & 0xFF));
            encoded += bytes;
            QrUnit u;
            u.modes = kKanjiModes;
            u.kanji = KanjiValue(sjis);
            u.byteStart = std::uint32_t(data.bytes.size());
            u.byteCount = 2;
            data.bytes += bytes;
            data.units.push_back(u);
            continue;
        } else {
            AppendUtf8(bytes, c);
        }
        encoded += bytes;
        AddByteUnit(data, bytes);
    }
    if (!latin1 && !kanji && options.eci)
        data.eci = 26;
    if (latin1 && options.eci && Latin1Ambiguous(data.bytes))
        data.eci = 3;
    p.reading = std::move(encoded);
    const bool allKanji =
        kanji && std::all_of(points.begin(), points.end(), [](char32_t c) { return c >= 0x80; });
    p.what = allDigits  ? "digits"
             : allAlnum ? "characters"
             : allKanji ? "Kanji characters"
                        : "bytes";
    p.count = allDigits || allAlnum || allKanji ? static_cast<long long>(points.size())
                                                : static_cast<long long>(p.reading.size());
}

// The most of p.what that a version holds at a level (with p's ECI and FNC1).
long long CapacityOf(const Prepared& p, int version, QrEcc ecc) {
    const int vc = QrVersionClass(version);
    int bits =
        QrDataCodewords(version, ecc) * 8 - (p.data.eci > 0 ? 12 : 0) - (p.data.fnc1 ? 4 : 0);
    if (p.what == "digits") {
        bits -= 4 + kQrCountBits[0][std::size_t(vc)];
        const int n = bits / 10 * 3 + (bits % 10 >= 7 ? 2 : bits % 10 >= 4 ? 1 : 0);
        return n;
    }
    if (p.what == "characters") {
        bits -= 4 + kQrCountBits[1][std::size_t(vc)];
        return bits / 11 * 2 + (bits % 11 >= 6 ? 1 : 0);
    }
    if (p.what == "Kanji characters") {
        bits -= 4 + kQrCountBits[3][std::size_t(vc)];
        return bits / 13;
    }
    bits -= 4 + kQrCountBits[2][std::size_t(vc)];
    return bits / 8;
}

} // namespace

Encoded EncodeQr(std::u16string_view text, const EncodeOptions& options, bool gs1) {
    if (text.empty())
        return Argument("no text to encode");
    if (int(options.ecc) < 0 || int(options.ecc) > 3)
        return Argument("QR Code error correction level out of range");
    if (options.qrVersion != 0 &&
        (options.qrVersion < kQrMinVersion || options.qrVersion > kQrMaxVersion))
        return Argument("QR Code version " + std::to_string(options.qrVersion) +
                        " out of range (1 to 40)");
    if (options.mask < -1 || options.mask > 7)
        return Argument("QR Code mask " + std::to_string(options.mask) + " out of range (0 to 7)");

    Prepared p;
    Prepare(text, options, gs1, p);
    if (p.refusal)
        return *p.refusal;

    QrEcc ecc = options.ecc;
    QrPlan plan;
    int version = 0;
    // No symbol holds more than 7,089 characters (digits at version 40-L): longer texts are
    // refused without planning their segments.
    constexpr std::size_t kMostCharacters = 7089;
    const bool mayFit = p.data.units.size() <= kMostCharacters;
    if (mayFit && options.qrVersion > 0) {
        PlanQrSegments(p.data, QrVersionClass(options.qrVersion), plan);
        if (plan.bits <= QrDataCodewords(options.qrVersion, ecc) * 8)
            version = options.qrVersion;
    } else if (mayFit) {
        static constexpr std::array<int, 4> kClassFirst = {1, 10, 27, 41};
        for (int vc = 0; vc < 3 && version == 0; ++vc) {
            PlanQrSegments(p.data, vc, plan);
            if (plan.bits > QrDataCodewords(kClassFirst[std::size_t(vc) + 1] - 1, ecc) * 8)
                continue;
            for (int v = kClassFirst[std::size_t(vc)]; v < kClassFirst[std::size_t(vc) + 1]; ++v)
                if (plan.bits <= QrDataCodewords(v, ecc) * 8) {
                    version = v;
                    break;
                }
        }
    }
    if (version == 0) {
        const int v = options.qrVersion > 0 ? options.qrVersion : kQrMaxVersion;
        std::string where = "QR Code";
        if (options.qrVersion > 0)
            where += " version " + std::to_string(v);
        return Refusal{kErrorTooLong, "too long for " + where + " at level " +
                                          std::string(1, kLevelNames[std::size_t(ecc)]) + ": " +
                                          Thousands(p.count) + " " + p.what + ", at most " +
                                          Thousands(std::max(0LL, CapacityOf(p, v, ecc)))};
    }
    if (!options.keepEcc)
        for (int l = 3; l > int(ecc); --l)
            if (plan.bits <= QrDataCodewords(version, QrEcc(l)) * 8) {
                ecc = QrEcc(l);
                break;
            }

    // Data codewords: segments, terminator, pad bits and pad codewords.
    const int dataCodewords = QrDataCodewords(version, ecc);
    std::vector<std::uint8_t> data;
    data.reserve(std::size_t(QrTotalCodewords(version)));
    QrBitWriter writer(data);
    WriteQrSegments(p.data, plan, QrVersionClass(version), writer);
    writer.Put(0, std::min(4, dataCodewords * 8 - writer.Bits()));
    for (std::uint8_t pad = 0xEC; int(data.size()) < dataCodewords; pad ^= 0xEC ^ 0x11)
        data.push_back(pad);

    // Blocks: the short ones first, each with its error correction; then interleaved.
    const auto l = std::size_t(ecc), vi = std::size_t(version);
    const int blocks = kQrBlocks[l][vi], eccLen = kQrEccPerBlock[l][vi];
    const int total = QrTotalCodewords(version);
    const int shortBlocks = blocks - total % blocks;
    const int shortData = total / blocks - eccLen;
    static const ReedSolomon rs(0x11D, 0);
    std::vector<std::uint8_t> eccBytes(std::size_t(blocks) * std::size_t(eccLen));
    std::vector<int> starts(std::size_t(blocks) + 1, 0);
    for (int b = 0; b < blocks; ++b)
        starts[std::size_t(b) + 1] =
            starts[std::size_t(b)] + shortData + (b >= shortBlocks ? 1 : 0);
    for (int b = 0; b < blocks; ++b) {
        const auto first = std::size_t(starts[std::size_t(b)]);
        const auto len = std::size_t(starts[std::size_t(b) + 1]) - first;
        const std::vector<std::uint8_t> r =
            rs.Remainder(std::span<const std::uint8_t>(data).subspan(first, len), eccLen);
        std::copy(r.begin(), r.end(), eccBytes.begin() + std::ptrdiff_t(b) * eccLen);
    }
    std::vector<std::uint8_t> codewords;
    codewords.reserve(std::size_t(total));
    for (int i = 0; i <= shortData; ++i)
        for (int b = 0; b < blocks; ++b)
            if (i < shortData || b >= shortBlocks)
                codewords.push_back(data[std::size_t(starts[std::size_t(b)] + i)]);
    for (int i = 0; i < eccLen; ++i)
        for (int b = 0; b < blocks; ++b)
            codewords.push_back(eccBytes[std::size_t(b) * std::size_t(eccLen) + std::size_t(i)]);

    Symbol symbol;
    symbol.rows = symbol.columns = QrSize(version);
    BuildQrMatrix(version, ecc, codewords, options.mask, symbol.matrix);
    symbol.quiet = QuietModules{4, 4, 4, 4};
    symbol.reading = std::move(p.reading);
    symbol.identifier = gs1 ? "]Q3" : "";
    return symbol;
}

} // namespace quillion
