// Data Matrix: symbols compared module for module with zint's, every picture read back by
// ZXing-C++ (and a sample by dmtxread), the size choice, the capacity of 144x144 and the
// refusals.
#include "symbols/datamatrix.h"
#include "symbols/gs1_elements.h"

#include "decode.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <variant>

namespace quillion {
namespace {

std::u16string U16(std::string_view utf8) {
    std::u16string out;
    for (std::size_t k = 0; k < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[k]);
        const int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        for (int j = 1; j < len; ++j)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[k + std::size_t(j)]) & 0x3F);
        k += std::size_t(len);
        if (cp >= 0x10000) {
            out.push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

std::string Latin1(std::string_view utf8) {
    std::string out;
    for (const char16_t u : U16(utf8))
        out.push_back(char(u));
    return out;
}

EncodeOptions Size(int rows, int columns, bool extensions = false) {
    EncodeOptions o;
    o.dmRows = rows;
    o.dmColumns = columns;
    o.dmRectExtensions = extensions;
    return o;
}

// The rows as zint --dump writes them, spaces left out: hex digits of four modules, the last
// padded with light ones, rows joined by '/'.
std::string Hex(const Symbol& s) {
    std::string out;
    for (int r = 0; r < s.rows; ++r) {
        if (r > 0)
            out += '/';
        for (int c = 0; c < s.columns; c += 4) {
            int nibble = 0;
            for (int k = 0; k < 4; ++k)
                nibble = nibble * 2 + (c + k < s.columns && s.Dark(r, c + k) ? 1 : 0);
            out += "0123456789ABCDEF"[nibble];
        }
    }
    return out;
}

std::string Fnv1a(const std::string& text) {
    std::uint64_t h = 0xcbf29ce484222325u;
    for (const char c : text)
        h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    char buffer[19];
    std::snprintf(buffer, sizeof buffer, "0x%016llx", static_cast<unsigned long long>(h));
    return buffer;
}

// Two pixels a module, the one-module quiet zone included.
Image Paint(const Symbol& s, int px = 2) {
    Image image((s.columns + s.quiet.left + s.quiet.right) * px,
                (s.rows + s.quiet.top + s.quiet.bottom) * px, ToPixel(kWhite));
    for (int r = 0; r < s.rows; ++r)
        for (int c = 0; c < s.columns; ++c)
            if (s.Dark(r, c))
                for (int y = 0; y < px; ++y)
                    for (int x = 0; x < px; ++x)
                        image.At((c + s.quiet.left) * px + x, (r + s.quiet.top) * px + y) =
                            ToPixel(kBlack);
    return image;
}

// dmtxread's reading of the symbol (through a PGM file), or nothing when it is not installed.
std::optional<std::string> DmtxRead(const Symbol& s) {
    if (std::system("command -v dmtxread >/dev/null 2>&1") != 0)
        return std::nullopt;
    const testing::TempFolder folder;
    const Image image = Paint(s, 4);
    {
        std::ofstream pgm(folder / "symbol.pgm", std::ios::binary);
        pgm << "P5\n" << image.width << ' ' << image.height << "\n255\n";
        for (const Pixel p : image.pixels)
            pgm.put(char(p & 0xFF));
    }
    std::string out;
    if (FILE* pipe = ::popen(("dmtxread '" + folder / "symbol.pgm" + "'").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

Symbol Get(const Encoded& e) {
    if (const auto* r = std::get_if<Refusal>(&e)) {
        ADD_FAILURE() << "refused: " << r->message;
        return {};
    }
    return std::get<Symbol>(e);
}

// The expected matrices are zint 2.11's (the same size and the same encodation choice):
//   zint --barcode=71 --vers=V --dump -d TEXT | tr -d ' ' | paste -sd/
// and for the large sizes the FNV-1a 64 hash of that line.
TEST(DataMatrix, MatchesZintModuleForModuleAndReadsBack) {
    struct Row {
        int line;
        const char* text; // UTF-8 here, Latin-1 in the symbol
        int rows, columns, zintVersion;
        bool gs1;
        const char* expected;
    };
    const Row table[] = {
        {1, "123456", 0, 0, 1, false, "AA8/CB4/C10/C74/C20/83C/EC0/F64/9D0/FFC"},
        {2, "12345", 8, 18, 25, false, "AAAA8/D806C/C4930/CD294/E6C20/B0B5C/96B10/FFFFC"},
        {3, "Hello, World!", 0, 0, 4, false,
         "AAAA/F029/D944/FA99/CF44/F263/A598/DA81/FAB8/C8E1/E498/B8FF/BD54/8A85/DE92/FFFF"},
        {4, "ABCDEFGHIJKLMNOP", 16, 16, 4, false, // C40
         "AAAA/E129/C570/EC6B/A7D2/8DAB/ADE0/850B/C0EA/CEF5/BE82/A0B9/FA54/E3BD/B45A/FFFF"},
        {5, "lower case text only here", 18, 18, 5, false, // Text
         "AAAA8/F34AC/DDE30/F0B2C/D55D0/CF334/CD6E0/FCA74/9C798/8C984/A5D30/FEE34/92C08/C322C/"
         "95120/940F4/9A6B8/FFFFC"},
        {6, "X12*X12>X12*X12>X12*", 18, 18, 5, false, // X12
         "AAAA8/CDBAC/98B98/E210C/CDE28/FDC24/F92F0/EE734/AE8F0/85294/D05A0/B9F94/FFC60/BEFBC/"
         "83DE0/E1324/D5840/FFFFC"},
        {7, "@@@@@@@@@@@@", 16, 16, 4, false, // EDIFACT, no unlatch before the pads
         "AAAA/8021/802C/8161/80AA/84DF/80C6/8149/803C/831D/8844/837F/BBC0/9865/A81A/FFFF"},
        {8, "ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏ", 24, 24, 8, false, // Base 256
         "AAAAAA/85A92F/F8403C/CBB9AD/9C6E20/C178CF/EE6D04/F6557F/8E8AFE/9C7B59/94FACE/92E8BF/"
         "B35D9A/9E13C3/FAECEE/C1A0B3/DF6DCC/CC92B7/C39F3E/CEE149/BF6800/9D5E55/A80792/FFFFFF"},
        {9, "A1B2C3D4", 14, 14, 3, false,
         "AAA8/8344/8170/F3A4/8E58/B4B4/8A38/D85C/8E38/E364/C4A0/C62C/C6A8/FFFC"},
        {10, "http://www.example.com/path?q=1", 22, 22, 7, false,
         "AAAAA8/CB3E1C/96A538/8EFD5C/C1A1C0/C9B19C/C675B0/DEB5FC/D10250/A7877C/81E060/D229EC/"
         "E1DE80/CB8D9C/F685A8/EA4CAC/802B68/E14054/FAB7D0/EB6F54/DA6F08/FFFFFC"},
        {11, "DATA MATRIX 2D 12x36", 12, 36, 28, false,
         "AAAAAAAAA/A998FE255/D0572D12A/C44EFF09F/97623F9AC/9A2472A77/E1B62A1A6/B4026921D/"
         "862DBEEF4/DC70ED333/A6FABADAA/FFFFFFFFF"},
        {12, "lower case text only here", 8, 48, 31, false,
         "AAAAAAAAAAAA/F35FB9BF4B73/DDADA6D30886/F0BB2DCB5159/94D99AAA9592/CD28EFD67FD7/"
         "CEA2DCC3CFA4/FFFFFFFFFFFF"},
        {13, "1234567890", 26, 40, 46, false, "0xaa6116717080bc7b"},
        {14, "1234567890", 26, 48, 47, false, "0x14996b6beb45ff10"},
        {15, "1234567890", 52, 52, 15, false, "0xae3d3f2aad261263"},
        {16, "1234567890", 120, 120, 22, false, "0x28172e563388f14b"},
        {17, "1234567890", 144, 144, 24, false, "0x0ced7199ef059ab1"},
        {18, "(01)09501101530003(17)250101(10)AB-123", 22, 22, 7, true,
         "AAAAA8/CF504C/8A0578/B331CC/EA06A0/84E814/9BB5F8/D3351C/E8CA90/CF7B04/8A7518/D0ED2C/"
         "B34B38/9E189C/FAB310/C13E74/DE2800/CF9CCC/C4A960/C71F5C/8E6458/FFFFFC"},
    };
    for (const Row& row : table) {
        SCOPED_TRACE("row " + std::to_string(row.line) + ": " + row.text);
        const Symbol s =
            Get(EncodeDataMatrix(U16(row.text), Size(row.rows, row.columns, true), row.gs1));
        ASSERT_TRUE(s.IsMatrix());
        const std::string hex = Hex(s);
        EXPECT_EQ(std::string(row.expected).starts_with("0x") ? Fnv1a(hex) : hex, row.expected)
            << "zint --vers=" << row.zintVersion;
        EXPECT_EQ(s.quiet, (QuietModules{1, 1, 1, 1}));
        const testing::Decoded d = testing::DecodeImage(Paint(s));
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.format, "DataMatrix");
        EXPECT_EQ(d.bytes, s.reading);
        if (row.gs1) {
            EXPECT_EQ(s.reading, "0109501101530003172501011"
                                 "0AB-123");
            EXPECT_EQ(s.identifier, "]d2");
            EXPECT_EQ(d.identifier, "]d2");
        } else {
            EXPECT_EQ(s.reading, Latin1(row.text));
            EXPECT_EQ(s.identifier, "");
        }
    }
}

// Random texts over the character classes of the six encodations, at the smallest size and at
// the next larger sizes (the ends that leave the symbol full and those that pad), read back
// exactly; every eighth also by dmtxread.
TEST(DataMatrix, RandomTextsReadBackExactly) {
    const char* classes[] = {
        "0123456789", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz",
        " *>\r",      ":;<=>?@[\\]^!\"#$%&",        "\x01\x7f~`{\xe9\xfc\xdf"};
    std::mt19937 random(16022);
    int dmtxChecked = 0;
    for (int k = 0; k < 240; ++k) {
        std::string text;
        const int length = 1 + int(random() % 48);
        const char* a = classes[random() % 6];
        const char* b = classes[random() % 6];
        for (int i = 0; i < length; ++i) {
            const std::string_view pool = random() % 3 != 0 ? a : b;
            text.push_back(pool[random() % pool.size()]);
        }
        std::u16string u16;
        for (const char c : text)
            u16.push_back(char16_t(static_cast<unsigned char>(c)));
        EncodeOptions options;
        options.dmSquare = k % 2 == 0;
        const Symbol s = Get(EncodeDataMatrix(u16, options, false));
        SCOPED_TRACE("text " + std::to_string(k) + " " + std::to_string(s.rows) + "x" +
                     std::to_string(s.columns));
        EXPECT_EQ(s.reading, text);
        const testing::Decoded d = testing::DecodeImage(Paint(s));
        EXPECT_TRUE(d.ok);
        EXPECT_EQ(d.bytes, text);
        if (k % 8 == 0) {
            const auto read = DmtxRead(s);
            if (read) {
                EXPECT_EQ(*read, text);
                ++dmtxChecked;
            }
        }
    }
    if (dmtxChecked == 0)
        GTEST_SKIP() << "dmtxread (dmtx-utils) is not installed: ZXing-C++ alone read them";
}

TEST(DataMatrix, SmallestAreaTiesToSquare) {
    struct Row {
        int line;
        std::string text;
        bool square, extensions;
        int rows, columns;
    };
    const Row table[] = {
        {1, "123456", false, false, 10, 10},
        {2, "ABCDE", false, false, 12, 12}, // 5 codewords: 12x12 and 8x18 have one area
        {3, std::string(30, '7'), false, false, 12, 26}, // 15: 12x26 before 18x18
        {4, std::string(30, '7'), true, false, 18, 18},
        {5, std::string(100, '7'), false, false, 32, 32}, // 50
        {6, std::string(100, '7'), false, true, 20, 44},
        {7, std::string(100, '7'), true, true, 32, 32},
    };
    for (const Row& row : table) {
        EncodeOptions o;
        o.dmSquare = row.square;
        o.dmRectExtensions = row.extensions;
        const Symbol s = Get(EncodeDataMatrix(U16(row.text), o, false));
        EXPECT_EQ(s.rows, row.rows) << "row " << row.line;
        EXPECT_EQ(s.columns, row.columns) << "row " << row.line;
    }
}

TEST(DataMatrix, RefusalsSayWhy) {
    struct Row {
        int line;
        std::u16string text;
        EncodeOptions options;
        bool gs1;
        std::int32_t number;
        std::string message; // the start of it
    };
    EncodeOptions square = Size(8, 18);
    square.dmSquare = true;
    const Row table[] = {
        {1, u"", {}, false, kErrorArgument, "Data Matrix needs a text"},
        {2, u"a\xD800", {}, false, kErrorArgument, "Data Matrix text is not valid UTF-16"},
        {3, u"1", Size(11, 11), false, kErrorArgument, "Data Matrix has no size 11x11"},
        {4, u"1", Size(12, 0), false, kErrorArgument, "Data Matrix has no size 12x0"},
        {5, u"1", Size(8, 48), false, kErrorArgument, "Data Matrix 8x48 is a rectangular"},
        {6, u"1", square, false, kErrorArgument, "Data Matrix 8x18 is not square"},
        {7, u"12345678901234", Size(10, 10), false, kErrorTooLong,
         "too long for Data Matrix 10x10: 7 codewords of data, at most 3"},
        {8, u"(01)12345", {}, true, kErrorRejected, ParseGs1(u"(01)12345").error},
        {9,
         std::u16string(1600, u'\xC3'),
         {},
         false,
         kErrorTooLong,
         "too long for Data Matrix 144x144: 1,605 codewords of data"},
    };
    for (const Row& row : table) {
        const Encoded e = EncodeDataMatrix(row.text, row.options, row.gs1);
        ASSERT_TRUE(std::holds_alternative<Refusal>(e)) << "row " << row.line;
        const Refusal& r = std::get<Refusal>(e);
        EXPECT_EQ(r.number, row.number) << "row " << row.line;
        EXPECT_TRUE(r.message.starts_with(row.message)) << "row " << row.line << ": " << r.message;
    }
}

// The largest numeric (ASCII digit pairs), upper- and lower-case (C40, Text) and byte (Base 256)
// texts of 144x144 fit and read back; one character more is refused with the counts.
TEST(DataMatrix, CapacityOf144x144) {
    struct Row {
        int line;
        char first, last; // the characters cycled through
        int most;
        const char* oneMore;
    };
    const Row table[] = {
        {1, '0', '9', 3116, "at least 1,559 codewords of data, at most 1,558"},
        {2, 'A', 'Z', 2335, "1,559 codewords of data, at most 1,558"},
        {3, 'a', 'z', 2335, "1,559 codewords of data, at most 1,558"},
        {4, '\xA0', '\xFF', 1555, "1,560 codewords of data, at most 1,558"},
    };
    for (const Row& row : table) {
        std::u16string text;
        const int span =
            static_cast<unsigned char>(row.last) - static_cast<unsigned char>(row.first) + 1;
        for (int i = 0; i <= row.most; ++i)
            text.push_back(char16_t(static_cast<unsigned char>(row.first) + i % span));
        const Encoded tooLong = EncodeDataMatrix(text, {}, false);
        ASSERT_TRUE(std::holds_alternative<Refusal>(tooLong)) << "row " << row.line;
        EXPECT_EQ(std::get<Refusal>(tooLong).number, kErrorTooLong);
        EXPECT_EQ(std::get<Refusal>(tooLong).message,
                  std::string("too long for Data Matrix 144x144: ") + row.oneMore)
            << "row " << row.line;
        text.pop_back();
        const Symbol s = Get(EncodeDataMatrix(text, {}, false));
        EXPECT_EQ(s.rows, 144) << "row " << row.line;
        const testing::Decoded d = testing::DecodeImage(Paint(s));
        EXPECT_EQ(d.bytes, s.reading) << "row " << row.line;
        EXPECT_EQ(s.reading.size(), std::size_t(row.most)) << "row " << row.line;
    }
}

TEST(DataMatrix, TextBeyondLatin1IsUtf8WithEci26) {
    const std::string utf8 = "日本語 Grüße";
    EncodeOptions withEci, withoutEci;
    withoutEci.eci = false;
    const Symbol eci = Get(EncodeDataMatrix(U16(utf8), withEci, false));
    const Symbol plain = Get(EncodeDataMatrix(U16(utf8), withoutEci, false));
    EXPECT_EQ(eci.reading, utf8);
    EXPECT_EQ(plain.reading, utf8);
    EXPECT_NE(eci.matrix, plain.matrix); // the ECI designator is there or not
    for (const Symbol* s : {&eci, &plain}) {
        const testing::Decoded d = testing::DecodeImage(Paint(*s));
        EXPECT_EQ(d.bytes, utf8);
        EXPECT_EQ(d.text, utf8);
    }
    // ISO 8859-1 text is never given an ECI, whatever the option.
    const Symbol latin = Get(EncodeDataMatrix(u"Grüße", withEci, false));
    EXPECT_EQ(latin.matrix, Get(EncodeDataMatrix(u"Grüße", withoutEci, false)).matrix);
    EXPECT_EQ(latin.reading, "Gr\xFC\xDF"
                             "e");
    EXPECT_EQ(testing::DecodeImage(Paint(latin)).text, "Grüße");
    // A character beyond the BMP, as its surrogate pair.
    const Symbol emoji = Get(EncodeDataMatrix(U16("A\xF0\x9F\x98\x80"), withEci, false));
    EXPECT_EQ(testing::DecodeImage(Paint(emoji)).text, "A\xF0\x9F\x98\x80");
}

TEST(DataMatrix, Gs1SeparatorsReadAsGroupSeparators) {
    const Symbol s = Get(EncodeDataMatrix(u"(10)AB-123(01)09501101530003", {}, true));
    EXPECT_EQ(s.reading, "10AB-123\x1D"
                         "0109501101530003");
    EXPECT_EQ(s.identifier, "]d2");
    const testing::Decoded d = testing::DecodeImage(Paint(s));
    EXPECT_EQ(d.text, s.reading);
    EXPECT_EQ(d.identifier, "]d2");
    if (const auto read = DmtxRead(s)) {
        EXPECT_EQ(*read, "10AB-1230109501101530003"); // dmtxread leaves FNC1 out
    }
}

} // namespace
} // namespace quillion
