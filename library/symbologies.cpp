#include "symbologies.h"

#include "symbols/code128_symbol.h"
#include "symbols/code39_symbol.h"
#include "symbols/datamatrix.h"
#include "symbols/gs1_elements.h"
#include "symbols/qr_code.h"
#include "symbols/upc_symbol.h"

#include <algorithm>
#include <cctype>

namespace quillion::library {
namespace {

// A GS1 2D symbol's human-readable text: the element string with its AIs in brackets, centred
// under the matrix (printed only when asked).
Encoded WithElementString(Encoded encoded, std::u16string_view text) {
    auto* symbol = std::get_if<Symbol>(&encoded);
    if (symbol == nullptr)
        return encoded;
    symbol->text.push_back(
        SymbolText{ParseGs1(text).hri, symbol->columns / 2.0, SymbolText::Anchor::Centre, 0, 0});
    symbol->textStyle = SymbolTextStyle{"Arial", 3, false, false, false, false, 1};
    return encoded;
}

Encoded EncodeDataMatrixText(std::u16string_view text, const EncodeOptions& options) {
    return EncodeDataMatrix(text, options, false);
}
Encoded EncodeGs1DataMatrix(std::u16string_view text, const EncodeOptions& options) {
    return WithElementString(EncodeDataMatrix(text, options, true), text);
}

Encoded EncodeQrText(std::u16string_view text, const EncodeOptions& options) {
    return EncodeQr(text, options, false);
}
Encoded EncodeGs1Qr(std::u16string_view text, const EncodeOptions& options) {
    return WithElementString(EncodeQr(text, options, true), text);
}

constexpr unsigned kLinearCaption = kOptNoCaption;

const std::array<SymbologyRow, 12> kRows = {{
    {api::Symbology::Code128,
     {"code128", "code-128", ""},
     "Code 128",
     "Code 128 (--code-set b: set B, the window's; auto: shortest)",
     EncodeCode128,
     "Code128",
     1,
     Symbology::Code128,
     kOptCodeSet | kOptCaptionStyle | kOptStandIns | kLinearCaption,
     0,
     0},
    {api::Symbology::Code39,
     {"code39", "code-39", ""},
     "Code 39",
     "Code 39 (--check-digit: modulo-43 check character)",
     EncodeCode39,
     "Code39",
     1,
     Symbology::Code39,
     kOptCheckDigit | kLinearCaption,
     0,
     0},
    {api::Symbology::UpcA,
     {"upca", "upc-a", ""},
     "UPC-A",
     "UPC-A, 12 digits",
     EncodeUpcA,
     "UPCA",
     2,
     Symbology::UpcA,
     kLinearCaption,
     0.264,
     0.660},
    {api::Symbology::UpcE,
     {"upce", "upc-e", ""},
     "UPC-E",
     "UPC-E, 6 digits (number system 0)",
     EncodeUpcE,
     "UPCE",
     2,
     Symbology::UpcE,
     kLinearCaption,
     0.264,
     0.660},
    {api::Symbology::Ean13,
     {"ean13", "ean-13", ""},
     "EAN-13",
     "EAN-13, 12 digits (check digit added) or 13",
     EncodeEan13,
     "EAN13",
     2,
     std::nullopt,
     kLinearCaption,
     0.264,
     0.660},
    {api::Symbology::Ean8,
     {"ean8", "ean-8", ""},
     "EAN-8",
     "EAN-8, 7 digits (check digit added) or 8",
     EncodeEan8,
     "EAN8",
     2,
     std::nullopt,
     kLinearCaption,
     0.264,
     0.660},
    {api::Symbology::Gs1_128,
     {"gs1-128", "gs1128", "ean128"},
     "GS1-128",
     "GS1-128 element string: (01)09501101530003(10)AB-123",
     EncodeGs1_128,
     "Code128",
     1,
     std::nullopt,
     kOptCaptionStyle | kLinearCaption,
     0.250,
     1.016},
    {api::Symbology::Code39FullAscii,
     {"code39-full", "code39-ascii", ""},
     "Code 39 Full ASCII",
     "Code 39 Full ASCII (all 128 ASCII characters)",
     EncodeCode39FullAscii,
     "Code39",
     1,
     std::nullopt,
     kOptCheckDigit | kLinearCaption,
     0,
     0},
    {api::Symbology::QrCode,
     {"qr", "qrcode", "qr-code"},
     "QR Code",
     "QR Code, any text (--ecc L|M|Q|H)",
     EncodeQrText,
     "QRCode",
     4,
     std::nullopt,
     kOptQr | kOptEci,
     0,
     0},
    {api::Symbology::DataMatrix,
     {"datamatrix", "data-matrix", "dm"},
     "Data Matrix",
     "Data Matrix ECC 200, any text (--dm-size RxC)",
     EncodeDataMatrixText,
     "DataMatrix",
     4,
     std::nullopt,
     kOptDataMatrix | kOptEci,
     0,
     0},
    {api::Symbology::Gs1QrCode,
     {"gs1-qr", "gs1-qrcode", ""},
     "GS1 QR Code",
     "GS1 QR Code: element string or Digital Link URI",
     EncodeGs1Qr,
     "QRCode",
     4,
     std::nullopt,
     kOptQr | kOptCaption,
     0.396,
     0.990},
    {api::Symbology::Gs1DataMatrix,
     {"gs1-datamatrix", "gs1-dm", ""},
     "GS1 DataMatrix",
     "GS1 DataMatrix: element string or Digital Link URI",
     EncodeGs1DataMatrix,
     "DataMatrix",
     4,
     std::nullopt,
     kOptDataMatrix | kOptCaption,
     0.254,
     0.990},
}};

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

bool SymbologyRow::Matrix() const {
    return Has(kOptQr) || Has(kOptDataMatrix);
}

std::span<const SymbologyRow> Symbologies() {
    return kRows;
}

const SymbologyRow* FindSymbology(api::Symbology id) {
    for (const SymbologyRow& row : kRows)
        if (row.id == id)
            return &row;
    return nullptr;
}

const SymbologyRow* FindSymbology(std::string_view name) {
    for (const SymbologyRow& row : kRows)
        for (const std::string_view n : row.names)
            if (!n.empty() && SameName(n, name))
                return &row;
    return nullptr;
}

} // namespace quillion::library
