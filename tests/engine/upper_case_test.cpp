// Upper-casing of 16-bit text for Code 39: one-to-one mappings only, length kept.
#include "runtime/upper_case.h"

#include <gtest/gtest.h>

namespace quillion {
namespace {

TEST(UpperCase, MapsEachCodeUnit) {
    struct Row {
        int line;
        std::u16string in;
        std::u16string out;
    };
    const Row rows[] = {
        {1, u"abc-12 $/+%.xyz", u"ABC-12 $/+%.XYZ"},
        {2, u"\u00e0\u00e9\u00fe\u00f7", u"\u00c0\u00c9\u00de\u00f7"}, // division sign stays
        {3, u"\u00ff\u00b5", u"\u0178\u039c"},                         // to letters outside Latin-1
        {4, u"\u00df", u"\u00df"},             // sharp s would grow to "SS": kept
        {5, u"\u0131\u017f", u"IS"},           // dotless i, long s
        {6, u"\uff41\uff5a", u"\uff21\uff3a"}, // fullwidth letters
        {7, u"\u03c2\u0451", u"\u03a3\u0401"}, // Greek final sigma, Cyrillic io
        {8, u"\U0001044f", u"\U0001044f"},     // surrogate pair left as it is
        {9,
         u"\xd800"
         u"a",
         u"\xd800"
         u"A"}, // lone surrogate
        {10, u"", u""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        EXPECT_EQ(ToUpperCase(r.in), r.out);
    }
}

} // namespace
} // namespace quillion
