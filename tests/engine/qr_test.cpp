// QR Code symbols: module for module against zint, read back by ZXing-C++ to exactly their
// text, the capacity of version 40 at every level, the version, level and mask chosen.
#define ZX_USE_UTF8 // Result::text() as UTF-8 (ZXing-C++ 1.4)
#include "qr_zint_rows.h"
#include "runtime/ansi.h"
#include "symbols/qr_code.h"
#include "symbols/qr_matrix.h"

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace quillion {
namespace {

struct QrRead {
    bool ok = false;
    std::string text, bytes, identifier;
};

// Paints the symbol at 2 pixels a module inside its quiet zone and reads it with ZXing-C++.
QrRead ReadQr(const Symbol& s) {
    const int scale = s.rows > 100 ? 4 : 2,
              side = (s.columns + s.quiet.left + s.quiet.right) * scale;
    std::vector<std::uint8_t> gray(std::size_t(side) * std::size_t(side), 255);
    for (int r = 0; r < s.rows; ++r)
        for (int c = 0; c < s.columns; ++c)
            if (s.Dark(r, c))
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx)
                        gray[std::size_t((r + s.quiet.top) * scale + dy) * std::size_t(side) +
                             std::size_t((c + s.quiet.left) * scale + dx)] = 0;
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    const auto result = ZXing::ReadBarcode(
        ZXing::ImageView(gray.data(), side, side, ZXing::ImageFormat::Lum), hints);
    QrRead read;
    read.ok = result.isValid();
    read.text = result.text();
    read.bytes.assign(result.bytes().begin(), result.bytes().end());
    read.identifier = result.symbologyIdentifier();
    return read;
}

EncodeOptions Options(QrEcc ecc, int version = 0, int mask = -1, bool keepEcc = false) {
    EncodeOptions o;
    o.ecc = ecc;
    o.qrVersion = version;
    o.mask = mask;
    o.keepEcc = keepEcc;
    return o;
}

Symbol Encode(std::string_view utf8, const EncodeOptions& o, bool gs1 = false) {
    Encoded e = EncodeQr(Utf8ToUtf16(utf8), o, gs1);
    if (auto* r = std::get_if<Refusal>(&e)) {
        ADD_FAILURE() << utf8 << ": " << r->message;
        return {};
    }
    return std::get<Symbol>(std::move(e));
}

Refusal Refuse(std::u16string_view text, const EncodeOptions& o, bool gs1 = false) {
    Encoded e = EncodeQr(text, o, gs1);
    if (auto* r = std::get_if<Refusal>(&e))
        return *r;
    ADD_FAILURE() << "encoded: " << Utf16ToUtf8(text);
    return {};
}

int Version(const Symbol& s) {
    return (s.rows - 17) / 4;
}

// The level from the format information (bits 14 and 13 next to the top left finder).
QrEcc Level(const Symbol& s) {
    const int bits = ((s.Dark(8, 0) ? 2 : 0) | (s.Dark(8, 1) ? 1 : 0)) ^ 2; // 0x5412's top bits
    static constexpr QrEcc kByBits[] = {QrEcc::M, QrEcc::L, QrEcc::H, QrEcc::Q};
    return kByBits[bits];
}

TEST(QrZint, SameModulesAsZint) {
    for (const auto& row : testing::kQrZintRows) {
        SCOPED_TRACE(row.text);
        const Symbol s = Encode(row.text, Options(QrEcc(row.level), row.version, row.mask, true));
        ASSERT_EQ(s.rows, 17 + 4 * row.version);
        std::string dump;
        for (int r = 0; r < s.rows; ++r) {
            std::string bits;
            for (int c = 0; c < s.columns; ++c)
                bits.push_back(s.Dark(r, c) ? '1' : '0');
            bits.resize((bits.size() + 3) / 4 * 4, '0');
            for (std::size_t i = 0; i < bits.size(); i += 4) {
                static constexpr char kHex[] = "0123456789ABCDEF";
                dump.push_back(kHex[std::stoi(bits.substr(i, 4), nullptr, 2)]);
            }
            dump.push_back('\n');
        }
        unsigned long long digest = 0xCBF29CE484222325ull; // FNV-1a 64, as the table's
        for (const char c : dump)
            digest = (digest ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
        EXPECT_EQ(digest, row.dump) << "our dump:\n" << dump;
        EXPECT_EQ(ReadQr(s).text, row.text);
        EXPECT_EQ(s.quiet, (QuietModules{4, 4, 4, 4}));
        EXPECT_TRUE(s.text.empty());
    }
}

struct ReadRow {
    std::string text;    // UTF-8
    bool eci;            // options.eci
    std::string reading; // the bytes the symbol carries
};

TEST(QrReadBack, EveryCharacterSetReadsBackExactly) {
    const std::vector<ReadRow> rows = {
        {"0", true, "0"},
        {"HTTPS://QUILLION.EXAMPLE/A1", true, "HTTPS://QUILLION.EXAMPLE/A1"},
        {"https://quillion.example/order?id=1234567890&q=ABC", true,
         "https://quillion.example/order?id=1234567890&q=ABC"},
        {"Grüße, Ærø & Ñandú ½ ÷ ÿ", true,
         "Gr\xFC\xDF"
         "e, \xC6r\xF8 & \xD1"
         "and\xFA \xBD \xF7 \xFF"},
        // ISO 8859-1 that a guessing reader would take for UTF-8 or Shift JIS (ECI 3).
        {"Ã©", true, "\xC3\xA9"},
        {"ÀÉ", true, "\xC0\xC9"},
        {"\xC2\x85 next line", true, "\x85 next line"},
        {"Київ, Україна", true, "Київ, Україна"}, // ї is not Shift JIS: UTF-8
        {"Київ, Україна", false, "Київ, Україна"},
        {"Привет, мир", true, "\x84P\x84\x82\x84y\x84r\x84u\x84\x84, \x84}\x84y\x84\x82"},
        {"emoji 😀 and € 42", true, "emoji 😀 and € 42"},
        {"emoji 😀 and € 42", false, "emoji 😀 and € 42"},
        {"漢字テスト", true, "\x8A\xBF\x8E\x9A\x83\x65\x83\x58\x83\x67"},
        {"点数 100 ABC 漢字 xyz", false, "\x93\x5F\x90\x94 100 ABC \x8A\xBF\x8E\x9A xyz"},
        {"温度 20°", true, "\x89\xB7\x93\x78 20\x81\x8B"},
        {"漢字 and é", true, "漢字 and é"}, // é is not Shift JIS: UTF-8
    };
    for (const ReadRow& row : rows) {
        SCOPED_TRACE(row.text + (row.eci ? " (ECI)" : " (no ECI)"));
        EncodeOptions o;
        o.eci = row.eci;
        const Symbol s = Encode(row.text, o);
        EXPECT_EQ(s.reading, row.reading);
        const QrRead read = ReadQr(s);
        EXPECT_TRUE(read.ok);
        EXPECT_EQ(read.text, row.text);
        EXPECT_EQ(read.bytes, s.reading);
        EXPECT_EQ(read.identifier, "]Q1");
        EXPECT_EQ(s.identifier, "");
    }
}

TEST(QrReadBack, Gs1CarriesFnc1AndSeparators) {
    struct Row {
        std::string text, reading;
    };
    const std::vector<Row> rows = {
        {"(01)09501101530003(17)250101(10)AB-123", "010950110153000317250101"
                                                   "10AB-123"},
        {"(01)09501101530003(10)ABC%DEF(21)12345", "010950110153000310ABC%DEF\x1D"
                                                   "2112345"},
        {"(01)09501101530003(21)abc-def(99)1234", "010950110153000321abc-def\x1D"
                                                  "991234"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const Symbol s = Encode(row.text, EncodeOptions{}, true);
        EXPECT_EQ(s.reading, row.reading);
        EXPECT_EQ(s.identifier, "]Q3");
        const QrRead read = ReadQr(s);
        EXPECT_EQ(read.text, row.reading);
        EXPECT_EQ(read.identifier, "]Q3");
    }
    const Refusal r = Refuse(u"(01)12345", EncodeOptions{}, true);
    EXPECT_EQ(r.number, kErrorRejected);
    EXPECT_NE(r.message.find("(01)"), std::string::npos) << r.message;
}

TEST(QrCapacity, Version40HoldsItsMostAndRefusesOneMore) {
    struct Row {
        QrEcc ecc;
        int digits, characters, bytes;
        const char* tooLong; // the message for one byte more
    };
    const Row rows[] = {
        {QrEcc::L, 7089, 4296, 2953, "too long for QR Code at level L: 2,954 bytes, at most 2,953"},
        {QrEcc::M, 5596, 3391, 2331, "too long for QR Code at level M: 2,332 bytes, at most 2,331"},
        {QrEcc::Q, 3993, 2420, 1663, "too long for QR Code at level Q: 1,664 bytes, at most 1,663"},
        {QrEcc::H, 3057, 1852, 1273, "too long for QR Code at level H: 1,274 bytes, at most 1,273"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.ecc));
        const EncodeOptions o = Options(row.ecc);
        const std::u16string digits(std::size_t(row.digits), u'7');
        const std::u16string characters(std::size_t(row.characters), u'Q');
        const std::u16string bytes(std::size_t(row.bytes), u'q');
        for (const auto* text : {&digits, &characters, &bytes}) {
            const Encoded e = EncodeQr(*text, o, false);
            ASSERT_TRUE(std::holds_alternative<Symbol>(e));
            EXPECT_EQ(Version(std::get<Symbol>(e)), 40);
            EXPECT_EQ(Level(std::get<Symbol>(e)), row.ecc);
            const Refusal r = Refuse(*text + text->substr(0, 1), o);
            EXPECT_EQ(r.number, kErrorTooLong);
        }
        EXPECT_EQ(Refuse(bytes + u"q", o).message, row.tooLong);
        EXPECT_NE(Refuse(digits + u"7", o).message.find(" digits, at most "), std::string::npos);
        const Refusal kanji = Refuse(std::u16string(std::size_t(row.bytes), u'\u6f22'), o);
        EXPECT_NE(kanji.message.find(" Kanji characters, at most "), std::string::npos)
            << kanji.message;
    }
    // The largest byte symbol reads back.
    const std::string big(1273, 'z');
    EXPECT_EQ(ReadQr(Encode(big, Options(QrEcc::H))).text, big);
}

TEST(QrChoice, SmallestVersionHighestFreeLevelAndForcedVersion) {
    // 17 digits fill version 1 at H (41 digits at most at L).
    Symbol s = Encode("12345678901234567", Options(QrEcc::L));
    EXPECT_EQ(Version(s), 1);
    EXPECT_EQ(Level(s), QrEcc::H);
    s = Encode("12345678901234567", Options(QrEcc::L, 0, -1, true));
    EXPECT_EQ(Level(s), QrEcc::L);
    // 18 digits: still version 1, at Q.
    EXPECT_EQ(Level(Encode("123456789012345678", Options(QrEcc::M))), QrEcc::Q);
    // 42 digits: version 2 at L.
    s = Encode(std::string(42, '1'), Options(QrEcc::L, 0, -1, true));
    EXPECT_EQ(Version(s), 2);
    s = Encode("A", Options(QrEcc::M, 12));
    EXPECT_EQ(Version(s), 12);
    EXPECT_EQ(ReadQr(s).text, "A");
    const Refusal r = Refuse(std::u16string(30, u'x'), Options(QrEcc::H, 2));
    EXPECT_EQ(r.number, kErrorTooLong);
    EXPECT_EQ(r.message, "too long for QR Code version 2 at level H: 30 bytes, at most 14");
}

TEST(QrMask, ForcedMasksReadAndTheChosenOneHasTheLeastPenalty) {
    const std::string text = "QUILLION mask test 0123456789";
    int least = 1 << 30, bestMask = -1;
    for (int mask = 0; mask < 8; ++mask) {
        const Symbol s = Encode(text, Options(QrEcc::M, 0, mask));
        EXPECT_EQ(ReadQr(s).text, text) << mask;
        const int p = QrPenalty(s.matrix.data(), s.rows);
        if (p < least) {
            least = p;
            bestMask = mask;
        }
    }
    const Symbol chosen = Encode(text, Options(QrEcc::M));
    EXPECT_EQ(chosen.matrix, Encode(text, Options(QrEcc::M, 0, bestMask)).matrix);
}

// The penalty as first written, a module at a time along every row and column: the reference
// the packed scorer must equal. Rules 1 and 3 keep a line's run and its last 15 modules (the
// newest in bit 0, outside the symbol light); a finder-like core with four light modules before
// or after it counts once.
struct RefLine {
    unsigned window = 0;
    int run = 0;
    unsigned last = 2;
};

int RefFinder(unsigned w) {
    const bool before = (w & 0x7FFu) == 0x05Du, after = (w & 0x7FFu) == 0x5D0u;
    return (int(before) + int(after) - int((w & 0x7FFFu) == 0x05D0u)) * 40;
}

int RefStep(RefLine& s, unsigned v) {
    int penalty = 0;
    if (v == s.last) {
        ++s.run;
    } else {
        penalty += s.run >= 5 ? s.run - 2 : 0;
        s.run = 1;
        s.last = v;
    }
    s.window = ((s.window << 1) | v) & 0x7FFFu;
    return penalty + RefFinder(s.window);
}

int RefFinish(RefLine& s) {
    int penalty = s.run >= 5 ? s.run - 2 : 0;
    for (int i = 0; i < 4; ++i) {
        s.window = (s.window << 1) & 0x7FFFu;
        penalty += RefFinder(s.window);
    }
    return penalty;
}

int ReferencePenalty(const std::vector<std::uint8_t>& m, int size) {
    const auto s = std::size_t(size);
    std::vector<RefLine> columns(s);
    int penalty = 0, dark = 0;
    for (std::size_t y = 0; y < s; ++y) {
        const std::uint8_t* row = m.data() + y * s;
        RefLine across;
        for (std::size_t x = 0; x < s; ++x) {
            const unsigned v = row[x];
            dark += int(v);
            penalty += RefStep(across, v) + RefStep(columns[x], v);
            if (y > 0 && x > 0 && row[x - 1] == v && row[x - s] == v && row[x - s - 1] == v)
                penalty += 3;
        }
        penalty += RefFinish(across);
    }
    for (auto& column : columns)
        penalty += RefFinish(column);
    const int total = size * size;
    return penalty + std::abs(dark * 2 - total) * 10 / total * 10;
}

// Random matrices of every size, dense, sparse and in long runs (rules 1 and 3 on word
// boundaries, finder-like cores at the edges): the packed scorer equals the reference.
TEST(QrMask, PackedPenaltyEqualsTheReferenceOnRandomMatrices) {
    std::mt19937 random(7);
    for (int version = 1; version <= 40; ++version)
        for (int kind = 0; kind < 6; ++kind) {
            const int size = 17 + 4 * version;
            std::vector<std::uint8_t> m(std::size_t(size) * std::size_t(size));
            std::uint8_t v = 0;
            for (auto& module : m) {
                const unsigned r = random() % 100;
                if (kind < 3)
                    v = r < unsigned(20 + 30 * kind) ? 1 : 0; // 20, 50 and 80% dark
                else if (r < unsigned(10 * kind - 20))        // runs of about 10, 5 and 3
                    v ^= 1;
                module = v;
            }
            EXPECT_EQ(QrPenalty(m.data(), size), ReferencePenalty(m, size))
                << "version " << version << " kind " << kind;
        }
}

// Random texts at every version and level: the penalty of each of the 8 forced masks equals the
// reference's, and the mask chosen is the reference's lowest (the first of equals).
TEST(QrMask, ChosenMaskIsTheReferencesLowestAtEveryVersionAndLevel) {
    std::mt19937 random(11);
    const std::string alphabet =
        "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:abcdefghijklmnopqrstuvwxyz";
    for (int version = 1; version <= 40; ++version)
        for (int level = 0; level < 4; ++level)
            for (int round = 0; round < 2; ++round) {
                std::string text;
                const std::size_t length = 1 + random() % (std::size_t(version) * 30);
                for (std::size_t i = 0; i < length; ++i)
                    text.push_back(alphabet[random() % alphabet.size()]);
                Encoded chosen =
                    EncodeQr(Utf8ToUtf16(text), Options(QrEcc(level), version, -1, true), false);
                while (std::holds_alternative<Refusal>(chosen)) { // too long for this version
                    text.resize(text.size() / 2);
                    chosen = EncodeQr(Utf8ToUtf16(text), Options(QrEcc(level), version, -1, true),
                                      false);
                }
                SCOPED_TRACE(text + " version " + std::to_string(version) + " level " +
                             std::to_string(level));
                int least = 1 << 30;
                std::vector<std::uint8_t> best;
                for (int mask = 0; mask < 8; ++mask) {
                    const Symbol s = Encode(text, Options(QrEcc(level), version, mask, true));
                    const int p = ReferencePenalty(s.matrix, s.rows);
                    EXPECT_EQ(QrPenalty(s.matrix.data(), s.rows), p) << "mask " << mask;
                    if (p < least) {
                        least = p;
                        best = s.matrix;
                    }
                }
                EXPECT_EQ(std::get<Symbol>(chosen).matrix, best);
            }
}

// ZXing-C++'s writer puts a text of one kind in one segment of the smallest version, as
// Quillion does, and picks the mask by the same four penalty rules: the symbols must be equal.
TEST(QrMask, ChosenMaskIsTheOneZxingsWriterChooses) {
    const std::string texts[] = {
        "hello, world",
        "HELLO WORLD 123",
        "01234567890123456789",
        "https://quillion.example/orders?id=abc&q=x",
        std::string(180, 'x') + "yz",
        std::string(400, '5'),
        "QUILLION $%*+-./: 0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ",
    };
    static constexpr int kZxingLevel[] = {1, 4, 6, 8}; // its 0-8 scale for L, M, Q, H
    for (const std::string& text : texts)
        for (int level = 0; level < 4; ++level) {
            SCOPED_TRACE(text + " level " + std::to_string(level));
            const ZXing::BitMatrix zx = ZXing::MultiFormatWriter(ZXing::BarcodeFormat::QRCode)
                                            .setEccLevel(kZxingLevel[level])
                                            .setMargin(0)
                                            .encode(text, 0, 0);
            const Symbol s = Encode(text, Options(QrEcc(level), 0, -1, true));
            ASSERT_EQ(s.rows, zx.width());
            int differ = 0;
            for (int y = 0; y < s.rows; ++y)
                for (int x = 0; x < s.columns; ++x)
                    differ += s.Dark(y, x) != zx.get(x, y);
            EXPECT_EQ(differ, 0);
        }
}

TEST(QrRefusals, ArgumentsOutOfRange) {
    EXPECT_EQ(Refuse(u"", EncodeOptions{}).number, kErrorArgument);
    EXPECT_EQ(Refuse(u"a\xD800z", EncodeOptions{}).number, kErrorArgument);
    EXPECT_EQ(Refuse(u"a", Options(QrEcc::M, 41)).number, kErrorArgument);
    EXPECT_EQ(Refuse(u"a", Options(QrEcc::M, 0, 8)).number, kErrorArgument);
    EXPECT_EQ(Refuse(u"a", Options(QrEcc(7))).number, kErrorArgument);
    const Refusal huge = Refuse(std::u16string(100000, u'1'), Options(QrEcc::L));
    EXPECT_EQ(huge.message, "too long for QR Code at level L: 100,000 digits, at most 7,089");
}

} // namespace
} // namespace quillion
