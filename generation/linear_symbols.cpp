#include "linear_symbols.h"

#include "form_core.h"
#include "messages.h"
#include "runtime/ansi.h"
#include "runtime/upper_case.h"
#include "symbols/Special128.h"
#include "symbols/bar39.h"
#include "symbols/code128_caption.h"
#include "symbols/code128_errors.h"
#include "symbols/code128_sequence.h"
#include "symbols/code128_window_request.h"
#include "symbols/code39_text.h"
#include "symbols/ean.h"
#include "symbols/gs1_elements.h"
#include "symbols/upc_digits.h"
#include "text_checks.h"

#include <span>
#include <vector>

namespace quillion {
namespace {

constexpr int kCode128AreaWidthPx = FormCore::kCode128AreaWidth / 15;
constexpr int kCode128AreaHeightPx = FormCore::kCode128AreaHeight / 15;
constexpr int kCode39HeightPx = 56;
constexpr char16_t kMsgAsciiOnly[] = u"Barcode must use only ASCII characters";

LinearOutcome Refused(std::u16string_view message, std::int32_t number = 0) {
    return {number, Utf16ToUtf8(message)};
}

// As the window: paint on its Code 128 area, paint again on a larger one when the symbol needs
// it, then cut the picture to the painted size.
LinearOutcome PaintCode128(const LinearOptions& options, std::u16string_view text,
                           const Code128Sequence& sequence, DrawingSurface& surface) {
    surface.ResizePixels(kCode128AreaWidthPx, kCode128AreaHeightPx);
    for (int pass = 0; pass < 2; ++pass) {
        surface.Cls();
        BarcodeRequest request =
            WindowCode128Request(std::u16string(text), options.caption,
                                 options.captionPositionIndex == 1 ? kCaptionTop : kCaptionBottom,
                                 options.fontStyleIndex);
        if (const std::int32_t code = DrawCode128Sequence(request, sequence, surface.hDC()))
            return {code, Code128ErrorText(code)};
        if (request.Width <= surface.WidthPx() && request.Height <= surface.HeightPx()) {
            surface.ResizePixels(request.Width, request.Height);
            return {};
        }
        surface.ResizePixels(request.Width, request.Height);
    }
    return {};
}

// The digits with their check digit: given (and verified) or appended.
LinearOutcome EanDigits(std::u16string_view text, std::size_t full, std::u16string& digits) {
    if (!IsAllDigits(text))
        return Refused(kMsgNotNumeric);
    if (text.size() != full && text.size() != full - 1)
        return Refused(full == 13 ? u"Barcode must be 12 or 13 digits"
                                  : u"Barcode must be 7 or 8 digits");
    std::vector<int> values;
    for (const char16_t c : text.substr(0, full - 1))
        values.push_back(c - u'0');
    const auto check = static_cast<char16_t>(u'0' + Gs1CheckDigit(values));
    if (text.size() == full && text.back() != check)
        return Refused(kMsgUpcACheckDigit + std::u16string(1, check));
    digits = std::u16string(text.substr(0, full - 1)) + check;
    return {};
}

// The Code 39 characters of the symbol, or why the text has none.
LinearOutcome Code39Characters(const LinearOptions& options, std::u16string_view text,
                               std::u16string& encoded) {
    if (options.type == LinearType::Code39FullAscii) {
        const auto full = Code39FullAscii(text);
        if (!full)
            return Refused(kMsgAsciiOnly);
        encoded = *full;
    } else {
        if (!IsCode39Text(text))
            return Refused(kMsgCode39Characters);
        encoded = ToUpperCase(text);
    }
    if (options.checkDigit)
        encoded += Code39CheckCharacter(encoded);
    return {};
}

} // namespace

bool WindowPaints(const LinearOptions& options, std::u16string_view text) {
    switch (options.type) {
    case LinearType::Code128:
        return options.codeSet == Code128CodeSet::B && CheckCode128Text(text);
    case LinearType::Code39:
        return !options.checkDigit;
    default:
        return false;
    }
}

LinearOutcome PaintLinear(const LinearOptions& options, std::u16string_view text,
                          DrawingSurface& surface) {
    surface.SetContainerScaleMode(ScaleMode::Pixels);
    surface.SetScaleMode(ScaleMode::Pixels);
    switch (options.type) {
    case LinearType::Code128:
    case LinearType::Gs1_128: {
        Code128Sequence sequence;
        if (LinearOutcome refused = LinearCode128Sequence(options, text, sequence);
            !refused.Painted())
            return refused;
        if (options.type == LinearType::Gs1_128) // the caption is the HRI, "(01)..."
            return PaintCode128(options, Utf8ToUtf16(ParseGs1(text).hri), sequence, surface);
        return PaintCode128(options, text, sequence, surface);
    }
    case LinearType::Code39:
    case LinearType::Code39FullAscii: {
        std::u16string encoded;
        if (LinearOutcome refused = Code39Characters(options, text, encoded); !refused.Painted())
            return refused;
        surface.ResizePixels(std::max(surface.WidthPx(), 1), kCode39HeightPx);
        surface.SetFontSize(10);
        surface.Cls();
        const bool full = options.type == LinearType::Code39FullAscii;
        DrawCode39(encoded, surface, {}, full ? text : std::u16string_view());
        return {};
    }
    case LinearType::Ean13:
    case LinearType::Ean8: {
        const bool ean13 = options.type == LinearType::Ean13;
        std::u16string digits;
        if (LinearOutcome refused = EanDigits(text, ean13 ? 13 : 8, digits); !refused.Painted())
            return refused;
        // The last EAN's picture goes, or Cls would bring it (and its painting) back.
        surface.ClearPicture();
        surface.ResizePixels(std::max(surface.WidthPx(), 1), FormCore::kUpcHeightPx);
        surface.Cls();
        DrawEan(surface, digits, ean13 ? EanVariant::Ean13 : EanVariant::Ean8);
        return {};
    }
    }
    return {};
}

LinearOutcome LinearCode128Sequence(const LinearOptions& options, std::u16string_view text,
                                    Code128Sequence& sequence) {
    if (text.empty())
        return {0, "nothing was painted (the text is empty)"};
    if (options.type == LinearType::Gs1_128) {
        const Gs1Parse parse = ParseGs1(text);
        if (!parse.error.empty())
            return {0, parse.error};
        if (std::string longer = Gs1_128LengthProblem(parse); !longer.empty())
            return {0, longer};
        std::vector<Code128Unit> units{kUnitFnc1}; // GS1-128's leading FNC1
        units.insert(units.end(), parse.units.begin(), parse.units.end());
        sequence = EncodeCode128Units(units, Code128CodeSet::Auto);
        return {};
    }
    const auto units = Code128Units(text, options.codeSet == Code128CodeSet::B);
    if (!units)
        return {kCode128IllegalCharacter, Code128ErrorText(kCode128IllegalCharacter)};
    sequence = EncodeCode128Units(*units, options.codeSet);
    return {};
}

std::string LinearReading(const LinearOptions& options, std::u16string_view text) {
    switch (options.type) {
    case LinearType::Code128: {
        const auto units = Code128Units(text, options.codeSet == Code128CodeSet::B);
        if (!units)
            return {};
        // The function characters as ISO/IEC 15417 has them read: FNC1 first (GS1) or after a
        // single letter carries no byte, elsewhere it is GS; FNC2 and FNC3 carry none; FNC4
        // adds 128 to the next character, two in a row to every character up to the next pair.
        std::string bytes;
        bool highAll = false, highNext = false;
        const auto fnc4 = [&] {
            if (highNext)
                highAll = !highAll;
            highNext = !highNext;
        };
        for (const Code128Unit u : *units) {
            if (u == kUnitFnc1) {
                const bool indicator = bytes.size() == 1 && ((bytes[0] >= 'A' && bytes[0] <= 'Z') ||
                                                             (bytes[0] >= 'a' && bytes[0] <= 'z'));
                if (!bytes.empty() && !indicator)
                    bytes += '\x1D';
            } else if (u == kUnitFnc4) {
                fnc4();
            } else if (u < 256) {
                if (u >= 128)
                    fnc4();
                bytes += static_cast<char>((u & 0x7F) + (highAll != highNext ? 128 : 0));
                highNext = false;
            }
        }
        return bytes;
    }
    case LinearType::Gs1_128:
        return ParseGs1(text).reading;
    case LinearType::Code39:
    case LinearType::Code39FullAscii: // a reader that checks the check character drops it
        return Utf16ToUtf8(options.type == LinearType::Code39FullAscii ? text : ToUpperCase(text));
    case LinearType::Ean13:
    case LinearType::Ean8: {
        std::u16string digits;
        EanDigits(text, options.type == LinearType::Ean13 ? 13 : 8, digits);
        return Utf16ToUtf8(digits);
    }
    }
    return {};
}

} // namespace quillion
