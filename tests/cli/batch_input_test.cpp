// Batch input and command line: lines and their numbers, file names, strict UTF-8, the option
// combinations, and the one-line form of the window's messages.
#include "batch.h"
#include "byte_sources.h"
#include "generator.h"
#include "options.h"
#include "step_runner.h"
#include "utf8_text.h"

#include <gtest/gtest.h>

namespace quillion::cli {
namespace {
using namespace quillion::library;

TEST(LineReader, NumbersEveryLineAndKeepsTheNonEmptyOnes) {
    struct Row {
        int row;
        std::string input;
        std::vector<std::pair<std::size_t, std::string>> lines;
        std::size_t count;
    } rows[] = {
        {1, "", {}, 0},
        {2, "\n", {}, 1},
        {3, "a", {{1, "a"}}, 1},
        {4, "a\n", {{1, "a"}}, 1},
        {5, "a\r\nb\r\n", {{1, "a"}, {2, "b"}}, 2},
        {6, "\n\na\n\n", {{3, "a"}}, 4},
        {7,
         "a\r\r\n\r\nb",
         {{1, "a"}, {3, "b"}},
         3},                             // CRs at a line's end go, an empty one stays empty
        {8, "a\rb\n", {{1, "a\rb"}}, 1}, // a CR inside a line is the line's
        {9,
         "\xEF\xBB\xBF"
         "AB\n",
         {{1, "AB"}},
         1},                                       // byte order mark
        {10, " \n\t\n", {{1, " "}, {2, "\t"}}, 2}, // blanks are text
    };
    for (const Row& r : rows) {
        // Read whole, and one byte per read (every line and mark split across reads).
        for (const std::size_t chunk : {std::size_t(1), std::size_t(4096)}) {
            SCOPED_TRACE(::testing::Message() << "row " << r.row << ", chunk " << chunk);
            cli::testing::StringSource source(r.input, chunk);
            const cli::testing::ReadBack back = cli::testing::ReadAllLines(source);
            EXPECT_EQ(back.lines, r.lines);
            EXPECT_EQ(back.count, r.count);
            EXPECT_EQ(back.last, InputLine::Kind::End);
        }
    }
}

TEST(BatchFileName, FiveDigitsOrAsManyAsTheLastLineNeeds) {
    EXPECT_EQ(BatchFileName(1, 1, OutputFormat::Png), "00001.png");
    EXPECT_EQ(BatchFileName(12, 99999, OutputFormat::Jpeg), "00012.jpg");
    EXPECT_EQ(BatchFileName(12, 100000, OutputFormat::Png), "000012.png");
    EXPECT_EQ(BatchFileName(1234567, 1234567, OutputFormat::Png), "1234567.png");
}

TEST(Utf8, WellFormedOnly) {
    struct Row {
        int row;
        std::string bytes;
        bool ok;
    } rows[] = {
        {1, "", true},
        {2, "AB", true},
        {3, "caf\xC3\xA9", true},
        {4, "\xEF\xBF\xBD", true}, // U+FFFD itself is text
        {5, "\xF0\x9F\x98\x80", true},
        {6, "\xFF", false},
        {7, "\xC3", false},
        {8, "\xC0\xAF", false}, // overlong "/"
        {9, "\xE0\x80\xAF", false},
        {10, "\xED\xA0\x80", false},     // surrogate
        {11, "\xF4\x90\x80\x80", false}, // above U+10FFFF
        {12, "A\x80", false},
        {13, std::string("A\0B", 3), true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.row);
        EXPECT_EQ(IsWellFormedUtf8(r.bytes), r.ok);
        EXPECT_EQ(DecodeUtf8(r.bytes).has_value(), r.ok);
        Utf16Storage storage; // the same verdict and text whether it stays in storage or not
        const auto kept = DecodeUtf8(r.bytes, storage);
        ASSERT_EQ(kept.has_value(), r.ok);
        if (kept) {
            EXPECT_TRUE(*kept == *DecodeUtf8(r.bytes));
        }
    }
    EXPECT_EQ(*DecodeUtf8("caf\xC3\xA9"), u"café");
    // Around the 64 ASCII characters kept without allocation.
    for (const std::size_t n : {0, 63, 64, 65, 1000}) {
        const std::string ascii(n, 'A');
        Utf16Storage storage;
        EXPECT_TRUE(*DecodeUtf8(ascii, storage) == std::u16string(n, u'A')) << n;
        EXPECT_TRUE(*DecodeUtf8(ascii + "\xC3\xA9", storage) == std::u16string(n, u'A') + u"é")
            << n;
        EXPECT_FALSE(DecodeUtf8(ascii + "\x80", storage)) << n;
    }
}

TEST(ParseArguments, CombinationsAndValues) {
    struct Row {
        int row;
        std::vector<std::string> args;
        std::string error; // "" when the arguments are good
    } rows[] = {
        {1, {"--output", "a.png", "AB"}, ""},
        {2, {"--type=upce", "--output=a.jpg", "--", "-12"}, ""},
        {3, {"--batch", "-", "--out-dir", "d"}, ""},
        {4, {"--batch", "f", "--out-dir", "d", "--format", "jpeg", "--jobs", "2"}, ""},
        {5, {"--batch", "f"}, "--batch needs --out-dir DIR"},
        {6, {"--batch", "f", "--out-dir", "d", "AB"}, "a batch takes its texts from the file"},
        {7, {"--names", "text", "--output", "a.png", "AB"}, "--names is for batch mode"},
        {8, {"--jobs", "2", "--output", "a.png", "AB"}, "--jobs is for batch mode"},
        {9, {"--batch", "f", "--out-dir", "d", "--jobs", "x"}, "--jobs takes a number"},
        {10, {"--batch", "f", "--out-dir", "d", "--jobs", "65"}, "--jobs takes a number"},
        {11, {"--type", "pdf417", "--output", "a.png", "AB"}, "unknown type"},
        {12, {"--batch", "", "--out-dir", "d"}, "the batch file name is empty"},
        {13, {"--output", "a.png"}, "the TEXT to encode is missing"},
        // The options only some types take, at their limits.
        {14, {"-t", "qr", "--mask", "7", "--qr-version", "40", "-o", "a.png", "A"}, ""},
        {15, {"-t", "qr", "--mask", "8", "-o", "a.png", "A"}, "--mask takes a mask from 0 to 7"},
        {16, {"-t", "qr", "--qr-version", "41", "-o", "a.png", "A"}, "--qr-version takes"},
        {17, {"-t", "code128", "--ecc", "H", "-o", "a.png", "A"}, "--ecc is not for code128"},
        {18, {"-t", "upca", "--mask", "1", "-o", "a.png", "1"}, "--mask is not for upca"},
        {19, {"-t", "code39", "--check-digit", "-o", "a.png", "A"}, ""},
        {20, {"-t", "code39-full", "--check-digit", "-o", "a.png", "A"}, ""},
        {21, {"-t", "ean13", "--check-digit", "-o", "a.png", "1"}, "--check-digit is not for"},
        {22, {"-t", "code128", "--no-quiet-zones", "-o", "a.png", "A"}, "is for the 2D symbols"},
        {23, {"-t", "dm", "--quiet-zones", "--no-quiet-zones", "-o", "a.png", "A"}, "contradict"},
        {24, {"-t", "gs1-qr", "--no-caption", "-o", "a.png", "A"}, "only with --caption"},
        {25, {"-t", "qr", "--caption", "-o", "a.png", "A"}, "prints no text"},
        {26,
         {"-t", "dm", "--dm-size", "16x145", "-o", "a.png", "A"},
         "--dm-size takes ROWSxCOLUMNS"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.row);
        const ParseResult result = ParseArguments(r.args);
        EXPECT_EQ(result.options.has_value(), r.error.empty()) << result.error;
        if (!r.error.empty()) {
            EXPECT_NE(result.error.find(r.error), std::string::npos) << result.error;
        }
    }
    const RenderOptions o = *ParseArguments({"--type=code39", "--no-caption", "--position", "top",
                                             "--style", "underline", "--batch", "f", "--out-dir",
                                             "d", "--format", "jpg", "--jobs", "3"})
                                 .options;
    EXPECT_EQ(o.controls.type, Symbology::Code39);
    EXPECT_FALSE(o.controls.caption);
    EXPECT_EQ(o.controls.captionPositionIndex, 1);
    EXPECT_EQ(o.controls.fontStyleIndex, 4);
    EXPECT_EQ(o.format, OutputFormat::Jpeg);
    EXPECT_EQ(o.jobs, 3);
    const RenderOptions dm = *ParseArguments({"-t", "dm", "--dm-size", "16X48", "--no-eci",
                                              "--no-quiet-zones", "-o", "a.png", "A"})
                                  .options;
    EXPECT_EQ(dm.other.dmRows, 16);
    EXPECT_EQ(dm.other.dmColumns, 48);
    EXPECT_FALSE(dm.other.eci);
    EXPECT_TRUE(dm.other.noQuietZones);
}

TEST(FormatOfFileName, ByEndingOnly) {
    EXPECT_EQ(FormatOfFileName("a.jpg"), OutputFormat::Jpeg);
    EXPECT_EQ(FormatOfFileName("A.JPEG"), OutputFormat::Jpeg);
    EXPECT_EQ(FormatOfFileName("a.png"), OutputFormat::Png);
    EXPECT_EQ(FormatOfFileName("a.Svg"), OutputFormat::Svg);
    EXPECT_EQ(FormatOfFileName("jpg"), std::nullopt);
    EXPECT_EQ(FormatOfFileName("x.jpg/name"), std::nullopt); // a folder's ending
    EXPECT_EQ(FormatOfFileName("a.gif"), std::nullopt);
}

TEST(MessageLine, ErrorReportKeepsDescriptionAndPlace) {
    const MessageBoxRequest report{ApplicationErrorText(u"PushButton2_Click", 132, u"Overflow"),
                                   MsgBoxButtons::OkOnly, MsgBoxIcon::Exclamation,
                                   kErrorReportTitle};
    const std::string line = MessageLine(report);
    EXPECT_EQ(line.rfind("Application Error: Overflow (", 0), 0u) << line;
    EXPECT_NE(line.find("PushButton2_Click at line 132)"), std::string::npos) << line;
    EXPECT_EQ(line.find('\r'), std::string::npos);
    EXPECT_EQ(line.find("screenshot"), std::string::npos);
    EXPECT_EQ(MessageLine({u"two\r\nlines", MsgBoxButtons::OkOnly, MsgBoxIcon::None, u"Quillion"}),
              "two  lines");
}

// The generator goes on after a failed line with nothing of it left over.
TEST(Generator, FailureLeavesNoPictureAndTheNextLineIsWhole) {
    Generator generator(ControlSettings{});
    const Generation first = generator.Generate(u"AB");
    ASSERT_NE(first.picture, nullptr);
    const Image ab = *first.picture;
    EXPECT_EQ(ab.width, 57);
    const Generation bad = generator.Generate(u"caf\u20ac");
    EXPECT_EQ(bad.picture, nullptr);
    EXPECT_EQ(bad.message, "Error(54548):Illegal character for this symbology specified.");
    const Generation empty = generator.Generate(u"");
    EXPECT_EQ(empty.picture, nullptr);
    const Generation again = generator.Generate(u"AB");
    ASSERT_NE(again.picture, nullptr);
    EXPECT_EQ(*again.picture, ab);
}

} // namespace
} // namespace quillion::cli
