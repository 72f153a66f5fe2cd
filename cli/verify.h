// --verify: every picture is read back with a barcode reader (ZXing-C++) before it is written,
// and must read as exactly what its symbol should carry. This file and verify.cpp are the only
// users of the reader, so that it could be loaded only when --verify is given.
#pragma once

#include "draw/color.h"
#include "seams.h"

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quillion::cli {

// What a picture must read as: the reader's format (ZXing-C++'s name, from the registry), the
// bytes a reader reports, the symbology identifier that must come with them (GS1), and how to
// read: Code 39 Full ASCII's shift pairs decoded, Code 39's check character checked and dropped,
// the symbol possibly turned.
struct VerifyTarget {
    std::u16string_view text; // what was encoded (for the tests' tamper)
    std::string_view reader;
    std::string expected;
    std::string identifier;
    bool fullAscii = false;
    bool checkCharacter = false;
    bool turned = false;
};

// "" when the lossless picture reads back as exactly the target (seen as printed: every pixel
// laid over white by its alpha); otherwise "does not scan as EXPECTED (read: WHAT)", WHAT being
// "nothing" when no symbol was found.
std::string VerifyPicture(const Image& picture, const VerifyTarget& target);

// Whether this program has the reader linked in. The static quillion-render has not (ZXing-C++
// comes only as a shared library): RunWithReader hands a run with --verify to
// quillion-render-verify, the same program with the reader, installed beside it.
bool ReaderLinkedIn();

// Replaces this process with quillion-render-verify from this program's folder, run with
// args (the arguments after the program name). Returns only when that fails: the exit status,
// after telling err why.
int RunWithReader(const std::vector<std::string>& args, std::ostream& err);

// For tests: a change made to a copy of each picture (of the given text) before it is read: a
// spoiled bar, say. Set it before verifying starts and reset it (nullptr) after; every thread
// calls it.
using VerifyTamper = std::function<void(Image& picture, std::u16string_view text)>;
void SetVerifyTamperForTesting(VerifyTamper tamper);

} // namespace quillion::cli
