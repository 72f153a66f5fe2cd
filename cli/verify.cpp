#define ZX_USE_UTF8 // Result::text() as UTF-8 (ZXing-C++ 1.4); only bytes() is read here
#include "verify.h"

#include "runtime/ansi.h"

#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace quillion::cli {
namespace {

VerifyTamper& Tamper() {
    static VerifyTamper tamper;
    return tamper;
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

// Every pixel laid over white by its alpha, as a label shows it.
void OverWhite(Image& picture) {
    for (Pixel& p : picture.pixels) {
        const std::uint32_t a = p >> 24;
        if (a == 0xFF)
            continue;
        Pixel out = 0xFF000000u;
        for (int shift = 0; shift <= 16; shift += 8) {
            const std::uint32_t c = (p >> shift) & 0xFFu;
            out |= ((c * a + 255u * (255u - a) + 127u) / 255u) << shift;
        }
        p = out;
    }
}

bool HasAlpha(const Image& picture) {
    return std::any_of(picture.pixels.begin(), picture.pixels.end(),
                       [](Pixel p) { return (p >> 24) != 0xFF; });
}

} // namespace

std::string VerifyPicture(const Image& picture, const VerifyTarget& how) {
    const Image* read = &picture;
    Image copy;
    const auto& tamper = Tamper();
    if (tamper || HasAlpha(picture)) {
        copy = picture;
        OverWhite(copy);
        if (tamper)
            tamper(copy, how.text);
        read = &copy;
    }
    const std::string& expected = how.expected;
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormatFromString(std::string(how.reader)));
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

} // namespace quillion::cli
