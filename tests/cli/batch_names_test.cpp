// Batch file names: texts made safe byte by byte, cut to 100 bytes, clashes numbered -2, -3 in
// input order whatever the texts look like, the same input giving the same names; line numbers
// as before; the summary line.
#include "batch_names.h"

#include <gtest/gtest.h>

namespace quillion::cli {
namespace {

TEST(SafeFileStem, KeepsLettersDigitsDashUnderscoreDot) {
    const struct {
        int row;
        std::string text, stem;
    } rows[] = {
        {1, "AB-12_x.y", "AB-12_x.y"},
        {2, "a b/c\\d", "a_b_c_d"},
        {3, "caf\xC3\xA9", "caf__"}, // each byte of a UTF-8 sequence
        {4, ".hidden", "_hidden"},
        {5, "..", "_."},
        {6, "$6.99 & <1>", "_6.99____1_"},
        {7, std::string(150, 'x'), std::string(100, 'x')},
        {8, std::string(99, 'x') + "\xC3\xA9", std::string(99, 'x') + "_"},
        {9, std::string("a\0b", 3), "a_b"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        EXPECT_EQ(SafeFileStem(r.text), r.stem);
    }
}

// The names a batch of these texts gets.
std::vector<std::string> Names(const std::vector<std::string>& texts, NameRule rule,
                               OutputFormat format, std::size_t lineCount) {
    BatchNamer namer(rule, lineCount, format);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < texts.size(); ++i)
        names.push_back(namer.Next(i + 1, texts[i]));
    return names;
}

TEST(BatchFileNames, ClashesAreNumberedInInputOrder) {
    const std::vector<std::string> texts = {"AB",
                                            "AB",
                                            "a b",
                                            "a_b",
                                            "AB-2",
                                            "AB",
                                            "ab",
                                            ".x",
                                            "_x",
                                            std::string(120, 'z'),
                                            "z/z",
                                            "AB-2",
                                            std::string(130, 'z')};
    const std::vector<std::string> want = {"AB.svg",
                                           "AB-2.svg",
                                           "a_b.svg",
                                           "a_b-2.svg",
                                           "AB-2-2.svg",
                                           "AB-3.svg",
                                           "ab.svg",
                                           "_x.svg",
                                           "_x-2.svg",
                                           std::string(100, 'z') + ".svg",
                                           "z_z.svg",
                                           "AB-2-3.svg",
                                           std::string(100, 'z') + "-2.svg"};
    const auto names = Names(texts, NameRule::Text, OutputFormat::Svg, texts.size());
    ASSERT_EQ(names.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(names[i], want[i]) << "row " << i + 1;
    // A re-run gives the same names.
    EXPECT_EQ(Names(texts, NameRule::Text, OutputFormat::Svg, 0), names);
}

TEST(BatchFileNames, LineRuleNamesByNumber) {
    EXPECT_EQ(Names({"AB", "AB"}, NameRule::Line, OutputFormat::Jpeg, 100000),
              (std::vector<std::string>{"000001.jpg", "000002.jpg"}));
    EXPECT_EQ(BatchSummary(3, 0), "3 written, 0 failed");
    EXPECT_EQ(BatchSummary(0, 12), "0 written, 12 failed");
}

} // namespace
} // namespace quillion::cli
