#define ZX_USE_UTF8 // Result::text() as UTF-8 (ZXing-C++ 1.4); only bytes() is read here
#include "verify.h"

#include "runtime/ansi.h"
#include "symbols/upc_digits.h"

#include <ZXing/ReadBarcode.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace quillion::cli {
namespace {

constexpr char16_t kDle = 0x10;
constexpr char16_t kFnc1 = u'\u00B9', kFnc2 = u'\u00B2', kFnc3 = u'\u00B3', kFnc4 = u'\u00BC';
constexpr char kGroupSeparator = 29;

VerifyTamper& Tamper() {
    static VerifyTamper tamper;
    return tamper;
}

ZXing::BarcodeFormat ReaderFormat(Symbology type) {
    switch (type) {
    case Symbology::Code128:
        return ZXing::BarcodeFormat::Code128;
    case Symbology::Code39:
        return ZXing::BarcodeFormat::Code39;
    case Symbology::UpcA:
        return ZXing::BarcodeFormat::UPCA;
    case Symbology::UpcE:
        return ZXing::BarcodeFormat::UPCE;
    case Symbology::None:
        break;
    }
    return ZXing::BarcodeFormat::None;
}

// The function characters as ISO/IEC 15417 has them read: FNC1 first in the symbol (GS1) or
// right after a single letter (an application indicator) carries no byte, elsewhere it is GS;
// FNC2 and FNC3 carry none; FNC4 adds 128 to the next character, two in a row to every
// character up to the next pair.
std::string Code128Reading(std::u16string_view text) {
    std::string bytes;
    bool highAll = false, highNext = false;
    for (const char16_t c : text) {
        switch (c) {
        case kFnc1: {
            const bool indicator = bytes.size() == 1 && ((bytes[0] >= 'A' && bytes[0] <= 'Z') ||
                                                         (bytes[0] >= 'a' && bytes[0] <= 'z'));
            if (!bytes.empty() && !indicator)
                bytes += kGroupSeparator;
            continue;
        }
        case kFnc2:
        case kFnc3:
            continue;
        case kFnc4:
            if (highNext)
                highAll = !highAll;
            highNext = !highNext;
            continue;
        default:
            break;
        }
        const auto byte = static_cast<unsigned char>(c == kDle ? char(kDle) : ToAnsiChar(c));
        bytes += static_cast<char>(highAll != highNext ? byte + 128 : byte);
        highNext = false;
    }
    return bytes;
}

std::string Code39Reading(std::u16string_view text) {
    std::string bytes;
    for (const char16_t c : text)
        bytes += static_cast<char>(c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c);
    return bytes;
}

// Printable ASCII as it is, every other byte as \xNN.
std::string Shown(const std::string& bytes) {
    std::string shown;
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        if (u >= 0x20 && u < 0x7F) {
            shown += b;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned(u));
            shown += escaped;
        }
    }
    return shown;
}

} // namespace

std::string ExpectedReading(Symbology type, std::u16string_view text) {
    switch (type) {
    case Symbology::Code128:
        return Code128Reading(text);
    case Symbology::Code39:
        return Code39Reading(text);
    case Symbology::UpcA:
        return Utf16ToUtf8(text);
    case Symbology::UpcE:
        if (const auto digits = AsciiDigits<6>(text))
            return UpcEReading(*digits);
        return Utf16ToUtf8(text);
    case Symbology::None:
        break;
    }
    return {};
}

bool ReaderLinkedIn() {
    return true;
}

void SetVerifyTamperForTesting(VerifyTamper tamper) {
    Tamper() = std::move(tamper);
}

// The reader takes the picture as it is (32-bit pixels, blue byte first in memory), without a
// grey copy: it converts only the rows it scans. The edge of the picture stands for the white
// around a printed label. The picture holds one straight symbol and its caption, so one scan
// line through the bars is read, as a hand scanner reads it.
namespace {

struct ReadBack {
    ZXing::BarcodeFormat format = ZXing::BarcodeFormat::None;
    bool fullAscii = false;      // Code 39 Full ASCII
    bool checkCharacter = false; // Code 39's modulo-43 character, checked and dropped
    std::string identifier;      // the symbology identifier that must come with it, if any
    bool turned = false;         // the symbol may stand upright: the reader tries turns too
};

std::string Verify(const Image& picture, const ReadBack& how, std::u16string_view text,
                   const std::string& expected) {
    const Image* read = &picture;
    Image tampered;
    if (const auto& tamper = Tamper()) {
        tampered = picture;
        tamper(tampered, text);
        read = &tampered;
    }
    ZXing::DecodeHints hints;
    hints.setFormats(how.format);
    hints.setTryCode39ExtendedMode(how.fullAscii);
    hints.setValidateCode39CheckSum(how.checkCharacter);
    hints.setTryRotate(how.turned);
    hints.setTryDownscale(false);
    hints.setIsPure(true);
    hints.setMinLineCount(1);
    hints.setMaxNumberOfSymbols(1);
    hints.setBinarizer(ZXing::Binarizer::FixedThreshold);
    const ZXing::Result result = ZXing::ReadBarcode(
        ZXing::ImageView(reinterpret_cast<const std::uint8_t*>(read->pixels.data()), read->width,
                         read->height, ZXing::ImageFormat::BGRX),
        hints);

    const std::string got = result.isValid()
                                ? std::string(result.bytes().begin(), result.bytes().end())
                                : std::string();
    const bool identified =
        how.identifier.empty() || result.symbologyIdentifier() == how.identifier;
    if (result.isValid() && got == expected && identified)
        return {};
    const std::string as = how.identifier.empty() ? "" : how.identifier + " ";
    const std::string gotAs =
        how.identifier.empty() || !result.isValid() ? "" : result.symbologyIdentifier() + " ";
    return "does not scan as " + as + Shown(expected) +
           " (read: " + (result.isValid() ? gotAs + Shown(got) : std::string("nothing")) + ")";
}

} // namespace

std::string VerifyPicture(const Image& picture, Symbology type, std::u16string_view text,
                          bool turned) {
    ReadBack how;
    how.format = ReaderFormat(type);
    how.turned = turned;
    return Verify(picture, how, text, ExpectedReading(type, text));
}

std::string VerifyLinearPicture(const Image& picture, const LinearOptions& options,
                                std::u16string_view text, bool turned) {
    ReadBack how;
    how.turned = turned;
    switch (options.type) {
    case LinearType::Code128:
        how.format = ZXing::BarcodeFormat::Code128;
        break;
    case LinearType::Gs1_128:
        how.format = ZXing::BarcodeFormat::Code128;
        how.identifier = "]C1";
        break;
    case LinearType::Code39:
    case LinearType::Code39FullAscii:
        how.format = ZXing::BarcodeFormat::Code39;
        how.fullAscii = options.type == LinearType::Code39FullAscii;
        how.checkCharacter = options.checkDigit;
        break;
    case LinearType::Ean13:
        how.format = ZXing::BarcodeFormat::EAN13;
        break;
    case LinearType::Ean8:
        how.format = ZXing::BarcodeFormat::EAN8;
        break;
    }
    return Verify(picture, how, text, LinearReading(options, text));
}

} // namespace quillion::cli
