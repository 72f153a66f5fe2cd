// GS1 element strings, bracketed and as GS1 Digital Link URIs: one table of accepted and refused
// texts (every content check of the syntax dictionary, every kind of req= and ex=, brackets,
// escapes, URIs), the accepted ones painted as GS1-128 and read back by ZXing-C++ as ]C1.
#include "decode.h"
#include "harness/corpus_folder.h"
#include "harness/gs1_input.h"
#include "runtime/ansi.h"
#include "symbols/code128_patterns.h"
#include "symbols/gs1_ai_table.h"
#include "symbols/gs1_elements.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace quillion {
namespace {

constexpr const char16_t* kGtin = u"(01)09501101530003";

// GS1-128 of a parse, 2-pixel modules, for the reader.
Image PaintGs1_128(const Gs1Parse& parse) {
    std::vector<Code128Unit> units{kUnitFnc1};
    units.insert(units.end(), parse.units.begin(), parse.units.end());
    std::vector<std::uint8_t> runs;
    for (const std::uint8_t value : EncodeCode128Units(units, Code128CodeSet::Auto))
        for (const std::uint8_t w : *code128::PatternOf(value))
            runs.push_back(w);
    runs.insert(runs.end(), code128::kStopPattern.begin(), code128::kStopPattern.end());
    int modules = 0;
    for (const std::uint8_t r : runs)
        modules += r;
    Image image(modules * 2, 80, 0xFFFFFFFFu);
    int x = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        for (int k = 0; k < runs[i] * 2; ++k, ++x)
            if (i % 2 == 0)
                for (int y = 0; y < image.height; ++y)
                    image.At(x, y) = 0xFF000000u;
    }
    return image;
}

std::string Gs(std::string s) {
    for (char& c : s)
        if (c == '|')
            c = '\x1D';
    return s;
}

TEST(Gs1, ElementStringsAreCheckedAndReadBack) {
    struct Row {
        int line;
        std::u16string text;
        std::string error;   // "" when accepted
        std::string reading; // with '|' for GS
    };
    const std::u16string g = kGtin;
    const std::u16string sscc = u"(00)123456789012345675";
    const std::u16string gsrn = u"(8018)123456789012345675";
    const std::u16string gln = u"5412345000013";
    const Row rows[] = {
        {__LINE__, g + u"(17)250101(10)AB-123", "", "01095011015300031725010110AB-123"},
        {__LINE__, u"[01]09501101530003[10]AB-123[21]XYZ", "", "010950110153000310AB-123|21XYZ"},
        // Check digits and the GS1 Company Prefix.
        {__LINE__, u"(01)09501101530004", "GS1 element (01) 09501101530004: check digit must be 3",
         ""},
        {__LINE__, u"(401)ABC123",
         "GS1 element (401) ABC123: does not start with a GS1 Company Prefix (at least 4 digits)",
         ""},
        {__LINE__, u"(8013)1987654Ad4X4bL5ttr2310c2K", "", "80131987654Ad4X4bL5ttr2310c2K"},
        {__LINE__, u"(8013)1987654Ad4X4bL5ttr2310cXK",
         "GS1 element (8013) 1987654Ad4X4bL5ttr2310cXK: check character pair must be 2K", ""},
        {__LINE__, g + u"(8014)1000000123",
         "GS1 element (8014) 1000000123: needs a character that is not a digit", ""},
        // Dates and times.
        {__LINE__, g + u"(17)230229", "GS1 element (17) 230229: 29 February 2023 does not exist",
         ""},
        {__LINE__, g + u"(17)240229", "", "010950110153000317240229"},
        {__LINE__, g + u"(17)251300", "GS1 element (17) 251300: month 13 does not exist", ""},
        {__LINE__, g + u"(17)250100", "", "010950110153000317250100"},
        {__LINE__, g + u"(7006)250100", "GS1 element (7006) 250100: 0 January 2025 does not exist",
         ""},
        {__LINE__, g + u"(7003)2504312300",
         "GS1 element (7003) 2504312300: 31 April 2025 does not exist", ""},
        {__LINE__, g + u"(7003)2501012400", "GS1 element (7003) 2501012400: hour 24 does not exist",
         ""},
        {__LINE__, g + u"(7003)2501012360",
         "GS1 element (7003) 2501012360: minute 60 does not exist", ""},
        {__LINE__, g + u"(8008)25010125", "GS1 element (8008) 25010125: hour 25 does not exist",
         ""},
        {__LINE__, g + u"(8008)2501011260",
         "GS1 element (8008) 2501011260: minute 60 does not exist", ""},
        {__LINE__, g + u"(8008)250101125960",
         "GS1 element (8008) 250101125960: second 60 does not exist", ""},
        {__LINE__, g + u"(8008)2501011259", "", "010950110153000380082501011259"},
        {__LINE__, gsrn + u"(7250)20230229",
         "GS1 element (7250) 20230229: 29 February 2023 does not exist", ""},
        {__LINE__, gsrn + u"(7250)20000229", "", "8018123456789012345675|725020000229"},
        // Code lists.
        {__LINE__, g + u"(422)999", "GS1 element (422) 999: 999 is not an ISO 3166 country code",
         ""},
        {__LINE__, g + u"(7030)999ABC", "", "01095011015300037030999ABC"},
        {__LINE__, g + u"(7030)000ABC",
         "GS1 element (7030) 000ABC: 000 is not an ISO 3166 country code or 999", ""},
        {__LINE__, sscc + u"(4307)XX",
         "GS1 element (4307) XX: XX is not an ISO 3166 alpha-2 country code", ""},
        {__LINE__, u"(415)" + gln + u"(8020)ABC123(3911)000100",
         "GS1 element (3911) 000100: 000 is not an ISO 4217 currency code", ""},
        {__LINE__, u"(415)" + gln + u"(8020)ABC123(3911)978100", "",
         "4155412345000013"
         "8020ABC123|3911978100"},
        {__LINE__, gsrn + u"(7252)3",
         "GS1 element (7252) 3: sex must be 0, 1, 2 or 9 (ISO/IEC 5218)", ""},
        {__LINE__, u"(8017)123456789012345675(7241)11",
         "GS1 element (7241) 11: 11 is not an AIDC media type", ""},
        {__LINE__, u"(7041)QQQ", "GS1 element (7041) QQQ: QQQ is not a package type code", ""},
        {__LINE__, sscc + u"(7041)BX", "", "001234567890123456757041BX"},
        {__LINE__, u"(7040)1AB!",
         "GS1 element (7040) 1AB!: importer index must be a letter, digit, \"-\" or \"_\"", ""},
        // Content rules of their own.
        {__LINE__, sscc + u"(4300)ACME%2",
         "GS1 element (4300) ACME%2: \"%\" must be followed by two hexadecimal digits", ""},
        {__LINE__, sscc + u"(4309)18000000013600000000",
         "GS1 element (4309) 18000000013600000000: latitude beyond 90 degrees", ""},
        {__LINE__, sscc + u"(4309)18000000003600000001",
         "GS1 element (4309) 18000000003600000001: longitude beyond 180 degrees", ""},
        {__LINE__, sscc + u"(4321)2", "GS1 element (4321) 2: must be 0 (no) or 1 (yes)", ""},
        {__LINE__, sscc + u"(4330)001234+",
         "GS1 element (4330) 001234+: only \"-\" may follow the temperature", ""},
        {__LINE__, sscc + u"(4330)001234-", "", "001234567890123456754330001234-"},
        {__LINE__, gsrn + u"(7259)BABY(7258)2/1",
         "GS1 element (7258) 2/1: position is after the end of the sequence", ""},
        {__LINE__, g + u"(8001)00001000010011",
         "GS1 element (8001) 00001000010011: must not be zero", ""},
        {__LINE__, g + u"(8001)01000010000125",
         "GS1 element (8001) 01000010000125: winding must be 0, 1 or 9", ""},
        {__LINE__, u"(8003)112345678901280", "GS1 element (8003) 112345678901280: must be 0", ""},
        {__LINE__, u"(8006)095011015300030302",
         "GS1 element (8006) 095011015300030302: piece 3 of 2 is beyond the total", ""},
        {__LINE__, u"(415)" + gln + u"(8020)R1(8007)GB82WEST12345698765432", "",
         "4155412345000013"
         "8020R1|8007GB82WEST12345698765432"},
        {__LINE__, u"(415)" + gln + u"(8020)R1(8007)GB83WEST12345698765432",
         "GS1 element (8007) GB83WEST12345698765432: IBAN check digits are wrong", ""},
        {__LINE__, u"(8010)9501#ABC(8011)0123", "GS1 element (8011) 0123: must not start with 0",
         ""},
        {__LINE__, u"(8110)0614141123456250110123", "", "81100614141123456250110123"},
        {__LINE__, u"(8110)06141411234562501101237",
         "GS1 element (8110) 06141411234562501101237: coupon code has an unknown or repeated "
         "optional field 7",
         ""},
        {__LINE__, u"(8112)001234561234560123456", "", "8112001234561234560123456"},
        {__LINE__, u"(8112)201234561234560123456",
         "GS1 element (8112) 201234561234560123456: coupon format code must be 0 or 1", ""},
        // Character sets and lengths.
        {__LINE__, u"(8010)9501#abc",
         "GS1 element (8010) 9501#abc: \"a\" is not in GS1 character set 39", ""},
        {__LINE__, sscc + u"(8030)ab=c",
         "GS1 element (8030) ab=c: \"=\" may only pad the end of GS1 character set 64 data", ""},
        {__LINE__, g + u"(10)AB CD", "GS1 element (10) AB CD: \" \" is not in GS1 character set 82",
         ""},
        {__LINE__, g + u"(10)", "GS1 element (10): has no data", ""},
        {__LINE__, g + u"(10)ABCDEFGHIJKLMNOPQRSTU",
         "GS1 element (10) ABCDEFGHIJKLMNOPQRSTU: takes at most 20 characters, not 21", ""},
        {__LINE__, u"(01)0950110153000", "GS1 element (01) 0950110153000: needs 14 digits, not 13",
         ""},
        {__LINE__, u"(01)0950110153000A",
         "GS1 element (01) 0950110153000A: only digits are allowed, not \"A\"", ""},
        {__LINE__, g + u"(7007)250101250",
         "GS1 element (7007) 250101250: part 2 needs 6 digits, not 3", ""},
        {__LINE__, g + u"(23)1", "GS1 element (23): unknown application identifier", ""},
        {__LINE__, g + u"(1A)1", "GS1 element (1A): an application identifier is 2 to 4 digits",
         ""},
        // Mandatory associations (one, one of several, several keys, '+' groups, patterns).
        {__LINE__, u"(22)ABC", "GS1 element (22) needs (01) in the same message", ""},
        {__LINE__, u"(10)ABC",
         "GS1 element (10) needs one of (01), (02), (03), (8006) or (8026) in the same message",
         ""},
        {__LINE__, g + u"(250)X", "GS1 element (250) needs (21) in the same message", ""},
        {__LINE__, g + u"(8030)abc",
         "GS1 element (8030) needs one of (00), (01) with (21), (253), (255), (8003), (8004), "
         "(8006) with (21), (8010) with (8011), (8017) or (8018) in the same message",
         ""},
        {__LINE__, g + u"(21)7(8030)abc", "", "0109501101530003217|8030abc"},
        {__LINE__, g + u"(3922)1995",
         "GS1 element (3922) needs one of (30), (31nn), (32nn), (35nn) or (36nn) in the same "
         "message",
         ""},
        {__LINE__, g + u"(3103)000500(3922)1995", "", "0109501101530003310300050039221995"},
        // Invalid pairs (an AI, a pattern).
        {__LINE__, g + u"(02)09501101530003(37)5",
         "GS1 elements (01) and (37) cannot be in the same message", ""},
        {__LINE__, g + u"(3100)000100(3102)000200",
         "GS1 elements (3100) and (3102) cannot be in the same message", ""},
        // Repeated AIs: the same value counts once, another value is refused.
        {__LINE__, g + u"(10)A(10)A", "", "010950110153000310A"},
        {__LINE__, g + u"(10)A(10)B",
         "GS1 element (10) appears twice with different values, A and B", ""},
        // Brackets and escapes.
        {__LINE__, g + u"(10)AB\\(1", "", "010950110153000310AB(1"},
        {__LINE__, u"[01]09501101530003[10]A(B)", "", "010950110153000310A(B)"},
        {__LINE__, g + u"(10)A\\x",
         "GS1 element (10) A: \"\\\" escapes only \"(\", \"[\" and \"\\\" (write \"\\\\\" for a "
         "backslash)",
         ""},
        {__LINE__, g + u"(10", "GS1 data: \"(\" without \")\"", ""},
        // Element strings as a reader reports them, GS between elements.
        {__LINE__,
         u"010950110153000310AB-123\x1D"
         u"21XYZ",
         "", "010950110153000310AB-123|21XYZ"},
        {__LINE__,
         u"]C10109501101530003\x1D"
         u"17250101",
         "", "010950110153000317250101"},
        {__LINE__, u"01095011015300032312", "GS1 data: no application identifier at \"2312\"", ""},
        {__LINE__, u"]C1", "GS1 data: no element after the symbology identifier", ""},
        {__LINE__, u"]X10109501101530003", "GS1 data: \"]X1\" is not a GS1 symbology identifier",
         ""},
        {__LINE__, u"AB",
         "GS1 data starts with an application identifier in brackets, as (01) or [01], or is an "
         "element string as read (0109501101530003...) or a GS1 Digital Link URI",
         ""},
        // GS1 Digital Link URIs.
        {__LINE__, u"https://id.gs1.org/01/09501101530003/10/AB-123?17=250101", "",
         "010950110153000310AB-123|17250101"},
        {__LINE__, u"HTTP://example.com/some/prefix/01/9501101530003/21/A%2FB?foo=bar&99=Z", "",
         "010950110153000321A/B|99Z"},
        {__LINE__, u"https://example.com/01/09501101530003/21/X/10/Y",
         "GS1 Digital Link: qualifier (10) must come before (21) after (01)", ""},
        {__LINE__, u"https://example.com/01/09501101530003/22/X/235/Y",
         "GS1 Digital Link: qualifiers (22) and (235) of (01) cannot be used together", ""},
        {__LINE__, u"https://example.com/01/09501101530003/99/X",
         "GS1 Digital Link: (99) is not a qualifier of (01) in the path", ""},
        {__LINE__, u"https://example.com/01/09501101530003/ab/X",
         "GS1 Digital Link: unknown key \"ab\" in the path", ""},
        {__LINE__, u"https://example.com/01/09501101530003?21=X",
         "GS1 Digital Link: (21) may not be a query attribute", ""},
        {__LINE__, u"https://example.com/10/ABC",
         "GS1 Digital Link: no primary key in the path (as /01/09501101530003)", ""},
        {__LINE__, u"https://example.com/01/09501101530004",
         "GS1 element (01) 09501101530004: check digit must be 3", ""},
        {__LINE__, u"https://example.com/01/09501101530003/10/A%2",
         "GS1 Digital Link: (10) has a \"%\" without two hexadecimal digits", ""},
    };
    for (const Row& r : rows) {
        const Gs1Parse parse = ParseGs1(r.text);
        EXPECT_EQ(parse.error, r.error) << "line " << r.line;
        if (!r.error.empty()) {
            EXPECT_TRUE(parse.units.empty() && parse.elements.empty()) << "line " << r.line;
            continue;
        }
        EXPECT_EQ(parse.reading, Gs(r.reading)) << "line " << r.line;
        const auto decoded = testing::DecodeImage(PaintGs1_128(parse));
        EXPECT_TRUE(decoded.ok) << "line " << r.line;
        EXPECT_EQ(decoded.identifier, "]C1") << "line " << r.line;
        EXPECT_EQ(decoded.text, parse.reading) << "line " << r.line;
    }
}

TEST(Gs1, FormsLengthAndMessages) {
    // All three forms, from each of the three inputs.
    for (const std::u16string& text :
         {std::u16string(u"(01)09501101530003(17)250101(10)AB/1"),
          std::u16string(u"[01]09501101530003[10]AB/1[17]250101"),
          std::u16string(u"01095011015300031725010110AB/1"),
          std::u16string(u"https://x.org/01/09501101530003/10/AB%2F1?17=250101")}) {
        const Gs1Forms forms = DescribeGs1(text);
        EXPECT_EQ(forms.error, "");
        EXPECT_EQ(forms.digitalLink, "https://id.gs1.org/01/09501101530003/10/AB%2F1?17=250101");
        EXPECT_EQ(DescribeGs1(Utf8ToUtf16(forms.digitalLink)).digitalLink, forms.digitalLink);
        EXPECT_EQ(ParseGs1(Utf8ToUtf16(forms.hri)).reading, forms.elementString);
    }
    EXPECT_EQ(DescribeGs1(u"(01)09501101530003(10)AB(17)250101").hri,
              "(01)09501101530003(10)AB(17)250101");
    // No primary key: no URI, and why.
    std::string why;
    EXPECT_EQ(Gs1DigitalLinkUri(ParseGs1(u"(7040)1ABc"), "https://id.gs1.org", &why), "");
    EXPECT_NE(why, "");
    // (414) keys (254); (00) with a GTIN attribute.
    EXPECT_EQ(Gs1DigitalLinkUri(ParseGs1(u"(414)5412345000013(254)A1")),
              "https://id.gs1.org/414/5412345000013/254/A1");
    EXPECT_EQ(Gs1DigitalLinkUri(ParseGs1(u"(00)123456789012345675(02)09501101530003(37)12"),
                                "https://a.b/"),
              "https://a.b/00/123456789012345675?02=09501101530003&37=12");

    // GS1-128's 48 data characters: AIs and data, no FNC1.
    const Gs1Parse at48 = ParseGs1(u"(01)09501101530003(10)ABCDEFGHIJ0123456789(21)ABCDEFGH");
    EXPECT_EQ(at48.dataCharacters, 48u);
    EXPECT_EQ(Gs1_128LengthProblem(at48), "");
    const Gs1Parse at49 = ParseGs1(u"(01)09501101530003(10)ABCDEFGHIJ0123456789(21)ABCDEFGHI");
    EXPECT_EQ(Gs1_128LengthProblem(at49),
              "GS1-128 holds at most 48 data characters (AIs and data), not 49");
    // Units: no leading FNC1, FNC1 only after an element of a length that is not predefined.
    const std::vector<Code128Unit> units = ParseGs1(u"(10)A(01)09501101530003(21)B").units;
    ASSERT_EQ(units.size(), 3u + 1 + 16 + 3);
    EXPECT_EQ(units.front(), '1');
    EXPECT_EQ(units[3], kUnitFnc1);
    EXPECT_EQ(units[4 + 16], '2');

    // A huge element gives a short message, and control characters never go out raw.
    std::u16string huge = u"(01)09501101530003(10)";
    huge.append(1'000'000, u'A');
    EXPECT_EQ(ParseGs1(huge).error, "GS1 element (10) " + std::string(40, 'A') +
                                        "...: takes at most 20 characters, not 1000000");
    EXPECT_EQ(
        ParseGs1(u"(01)09501101530003(10)A\x1B\x85\u2028B").error,
        "GS1 element (10) A\\x1B\\u{0085}\\u{2028}B: \"\\x1B\" is not in GS1 character set 82");
    EXPECT_EQ(ParseGs1(u"(\x1B[31m)1").error,
              "GS1 element (\\x1B[31m): an application identifier is 2 to 4 digits");
}

// Every AI of the syntax dictionary kept in data/gs1/ is in the table, and nothing else.
TEST(Gs1, TableHoldsEveryAiOfTheDictionary) {
    const char* root = std::getenv("QUILLION_SOURCE_DIR");
    ASSERT_NE(root, nullptr);
    std::ifstream in(std::string(root) + "/data/gs1/gs1-syntax-dictionary.txt");
    ASSERT_TRUE(in);
    std::set<std::string> ais;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::string range = line.substr(0, line.find(' '));
        const auto dash = range.find('-');
        const std::string first = range.substr(0, dash);
        const std::string last = dash == std::string::npos ? first : range.substr(dash + 1);
        for (int n = std::stoi(first); n <= std::stoi(last); ++n) {
            std::string ai = std::to_string(n);
            ai.insert(0, first.size() - ai.size(), '0');
            ais.insert(ai);
            EXPECT_NE(FindGs1Ai(ai), nullptr) << ai;
        }
    }
    EXPECT_GT(ais.size(), 500u);
    EXPECT_EQ(ais.size(), kGs1AiTable.size());
}

// The fuzz target's rules on its seeds (replayed here under the test build's sanitizers).
TEST(Gs1, FuzzSeedsKeepTheTargetsRules) {
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(fuzz::CorpusFolder("fuzz_gs1"))) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
        EXPECT_EQ(fuzz::RunGs1Input(bytes.data(), bytes.size()), "") << entry.path();
        ++replayed;
    }
    EXPECT_GE(replayed, 5);
}

} // namespace
} // namespace quillion
