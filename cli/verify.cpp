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
std::string VerifyPicture(const Image& picture, Symbology type, std::u16string_view text,
                          bool turned) {
    const Image* read = &picture;
    Image tampered;
    if (const auto& tamper = Tamper()) {
        tampered = picture;
        tamper(tampered, text);
        read = &tampered;
    }
    ZXing::DecodeHints hints;
    hints.setFormats(ReaderFormat(type));
    hints.setTryRotate(turned);
    hints.setTryDownscale(false);
    hints.setIsPure(true);
    hints.setMinLineCount(1);
    hints.setMaxNumberOfSymbols(1);
    hints.setBinarizer(ZXing::Binarizer::FixedThreshold);
    const ZXing::Result result = ZXing::ReadBarcode(
        ZXing::ImageView(reinterpret_cast<const std::uint8_t*>(read->pixels.data()), read->width,
                         read->height, ZXing::ImageFormat::BGRX),
        hints);

    const std::string expected = ExpectedReading(type, text);
    const std::string got = result.isValid()
                                ? std::string(result.bytes().begin(), result.bytes().end())
                                : std::string();
    if (result.isValid() && got == expected)
        return {};
    return "does not scan as " + Shown(expected) +
           " (read: " + (result.isValid() ? Shown(got) : std::string("nothing")) + ")";
}

} // namespace quillion::cli
