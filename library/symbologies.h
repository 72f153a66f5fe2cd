// The registry: one row per symbology, the only place that lists them. quillion-render's -t
// names and --help, the C and C++ ids, the encoder, the reader that --verify uses, the usual
// module, the options that apply and the window's own look all come from here.
#pragma once

#include "quillion/quillion.hpp"
#include "seams.h"
#include "symbols/encode_options.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace quillion::library {

// The options a symbology takes beyond size, look and caption (bits of SymbologyRow::options).
enum OptionBit : unsigned {
    kOptCodeSet = 1u << 0,      // --code-set
    kOptCheckDigit = 1u << 1,   // --check-digit
    kOptCaptionStyle = 1u << 2, // --position, --style
    kOptStandIns = 1u << 3,     // --window-stand-ins
    kOptQr = 1u << 4,           // --ecc, --keep-ecc, --qr-version, --mask
    kOptDataMatrix = 1u << 5,   // --dm-size, --square, --dmre
    kOptEci = 1u << 6,          // --no-eci
    kOptNoCaption = 1u << 7,    // the caption can be left out (it has one)
    kOptCaption = 1u << 8,      // --caption prints text that is off by default (GS1 2D)
};

struct SymbologyRow {
    api::Symbology id;
    std::array<std::string_view, 3> names; // quillion-render's -t names, its own first
    std::string_view title;                // "Code 128"
    std::string_view help;                 // one line for --help's type list
    Encoded (*encode)(std::u16string_view text, const EncodeOptions& options);
    std::string_view reader;         // ZXing-C++'s format name
    int usualModule;                 // pixels per module with no size asked
    std::optional<Symbology> window; // the window's control, when the window has the type
    unsigned options;
    // The module widths (mm) the GS1 General Specifications allow for the symbol's usual use;
    // 0 when they set none.
    double minModuleMm, maxModuleMm;
    bool Has(OptionBit bit) const { return (options & bit) != 0; }
    bool Matrix() const;
};

std::span<const SymbologyRow> Symbologies();
// The row of an id; null for a number no row has.
const SymbologyRow* FindSymbology(api::Symbology id);
// The row a name or alias stands for (any case); null when none.
const SymbologyRow* FindSymbology(std::string_view name);

} // namespace quillion::library
