// --verify: every picture is read back with a barcode reader (ZXing-C++) before it is written,
// and must read as exactly what its symbol should carry. This file and verify.cpp are the only
// users of the reader, so that it could be loaded only when --verify is given.
#pragma once

#include "draw/color.h"
#include "linear_symbols.h"
#include "seams.h"

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quillion::cli {

// "" when the lossless picture of text, generated as type, reads back as exactly
// ExpectedReading(type, text); otherwise "does not scan as EXPECTED (read: WHAT)", WHAT being
// "nothing" when no symbol was found.
// turned: the symbol may stand upright (the reader also tries the picture turned).
std::string VerifyPicture(const Image& picture, Symbology type, std::u16string_view text,
                          bool turned = false);

// The same for the types and options the window has not: the picture must read as
// LinearReading(options, text), GS1-128 with the GS1 symbology identifier (]C1), Code 39 with
// --check-digit by a reader that checks the check character.
std::string VerifyLinearPicture(const Image& picture, const LinearOptions& options,
                                std::u16string_view text, bool turned = false);

// What a reader delivers for the symbol of text, as bytes: the text for Code 128 (digits and
// letters in their ANSI form, DLE as byte 16; FNC1 as GS (29) except in first place, where it
// marks the symbol as GS1 and carries no byte; FNC2 and FNC3 carry none; FNC4 adds 128 to the
// next character), upper-cased for Code 39, the twelve digits for UPC-A, and for UPC-E the
// eight digits: number system 0, the six, the check digit.
std::string ExpectedReading(Symbology type, std::u16string_view text);

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
