// What an encoder may be asked beyond the text: each symbology reads the fields that apply to it
// and ignores the others.
#pragma once

#include "symbols/symbol.h"

#include <string_view>
#include <variant>

namespace quillion {

enum class QrEcc { L = 0, M = 1, Q = 2, H = 3 };

struct EncodeOptions {
    // Code 128: the shortest symbol over code sets A, B and C (else set B alone, as the window).
    bool autoCodeSet = false;
    // Code 128: the window's stand-ins, U+00B9 FNC1, U+00B2 FNC2, U+00B3 FNC3, U+00BC FNC4 (else
    // they are Latin-1 text like any other).
    bool windowStandIns = false;
    // Code 39 and Code 39 Full ASCII: the modulo-43 check character.
    bool checkDigit = false;

    // QR Code.
    QrEcc ecc = QrEcc::M;
    bool keepEcc = false; // do not raise the level when the version holds a higher one
    int qrVersion = 0;    // 1-40; 0: the smallest that holds the text
    int mask = -1;        // 0-7; -1: by the penalty rules

    // Data Matrix: a size (rows x columns, both 0 for the smallest), square sizes only, and
    // the rectangular extension sizes (DMRE).
    int dmRows = 0, dmColumns = 0;
    bool dmSquare = false;
    bool dmRectExtensions = false;

    // QR Code and Data Matrix: text beyond ISO 8859-1 as UTF-8 with the ECI designator 26 (else
    // UTF-8 bytes without it).
    bool eci = true;
};

using Encoded = std::variant<Symbol, Refusal>;

} // namespace quillion
