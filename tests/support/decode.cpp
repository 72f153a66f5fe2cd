#define ZX_USE_UTF8 // Result::text() as UTF-8 (ZXing-C++ 1.4)
#include "decode.h"

#include <ZXing/ReadBarcode.h>
#include <ZXing/TextUtfEncoding.h>

#include <cstdint>
#include <vector>

namespace quillion::testing {

Decoded DecodeImage(const Image& image, int margin) {
    return DecodeImage(image, ReadAs{}, margin);
}

Decoded DecodeImage(const Image& image, const ReadAs& how, int margin) {
    const int w = image.width + 2 * margin;
    const int h = image.height + 2 * margin;
    std::vector<std::uint8_t> gray(std::size_t(w) * std::size_t(h), 255);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const Pixel p = image.At(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            gray[std::size_t(y + margin) * std::size_t(w) + std::size_t(x + margin)] =
                static_cast<std::uint8_t>((r * 299 + g * 587 + b * 114) / 1000);
        }
    ZXing::DecodeHints hints;
    hints.setTryHarder(true);
    hints.setFormats(how.format.empty()
                         ? ZXing::BarcodeFormat::Code128 | ZXing::BarcodeFormat::Code39 |
                               ZXing::BarcodeFormat::UPCA | ZXing::BarcodeFormat::UPCE |
                               ZXing::BarcodeFormat::EAN13 | ZXing::BarcodeFormat::EAN8 |
                               ZXing::BarcodeFormat::DataMatrix | ZXing::BarcodeFormat::QRCode
                         : ZXing::BarcodeFormatFromString(how.format));
    hints.setTryCode39ExtendedMode(how.fullAscii);
    hints.setValidateCode39CheckSum(how.checkCharacter);
    hints.setReturnErrors(false);
    const auto result =
        ZXing::ReadBarcode(ZXing::ImageView(gray.data(), w, h, ZXing::ImageFormat::Lum), hints);
    Decoded d;
    if (!result.isValid())
        return d;
    d.ok = true;
    d.format = ZXing::ToString(result.format());
    d.text = result.text();
    d.bytes.assign(result.bytes().begin(), result.bytes().end());
    d.identifier = result.symbologyIdentifier();
    return d;
}

} // namespace quillion::testing
