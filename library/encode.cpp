// The file encoders of the API over the PNG, JPEG and SVG writers. Each thread keeps its PNG
// encoder's buffers and its enlarged picture between calls.
#include "SaveAsJPG.h"
#include "picture_detail.h"
#include "pixel_scale.h"
#include "png_writer.h"
#include "runtime/runtime.h"
#include "svg_writer.h"

#include <cmath>

namespace quillion::api {
namespace {

constexpr double kMetresPerInch = 0.0254;
constexpr int kMaxJpegDpi = 65535;

std::vector<std::uint8_t> Failed(Error* error, std::int32_t number, std::string message) {
    if (error != nullptr)
        *error = Error{number, std::move(message)};
    return {};
}

// The picture's pixels at its scale: the painted image itself at scale 1.
const Image* ScaledPixels(const Picture::Detail& d, std::string& why) {
    if (d.scale == 1)
        return &d.image;
    thread_local Image scaled;
    why = cli::ScalePicture(d.image, d.scale, scaled);
    return why.empty() ? &scaled : nullptr;
}

} // namespace

std::vector<std::uint8_t> EncodePng(const Picture& picture, Error* error) {
    const Picture::Detail& d = picture.Internal();
    if (d.image.width <= 0 || d.image.height <= 0)
        return Failed(error, kErrorEncode, "the picture has no pixels");
    std::string why;
    const Image* pixels = ScaledPixels(d, why);
    if (pixels == nullptr)
        return Failed(error, kErrorTooLarge, why);
    thread_local cli::PngEncoder encoder;
    std::vector<std::uint8_t> bytes;
    encoder.Encode(*pixels, bytes, static_cast<std::uint32_t>(d.dpi / kMetresPerInch + 0.5));
    return bytes;
}

std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality, Error* error) {
    const Picture::Detail& d = picture.Internal();
    if (d.image.width <= 0 || d.image.height <= 0)
        return Failed(error, kErrorEncode, "the picture has no pixels");
    if (quality < 1 || quality > 100)
        return Failed(error, kErrorArgument, "the JPEG quality must be 1 to 100");
    const long dpi = std::lround(d.dpi);
    if (dpi < 1 || dpi > kMaxJpegDpi)
        return Failed(error, kErrorEncode, "JPEG records resolutions of 1 to 65535 dpi only");
    std::string why;
    const Image* pixels = ScaledPixels(d, why);
    if (pixels == nullptr)
        return Failed(error, kErrorTooLarge, why);
    std::vector<std::uint8_t> bytes;
    try {
        EncodePictureAsJpeg(*pixels, std::uint8_t(quality), bytes, int(dpi));
    } catch (const RuntimeError& e) {
        return Failed(error, kErrorEncode, e.Description());
    }
    return bytes;
}

std::vector<std::uint8_t> EncodeSvg(const Picture& picture, Error* error) {
    const Picture::Detail& d = picture.Internal();
    if (d.image.width <= 0 || d.image.height <= 0)
        return Failed(error, kErrorEncode, "the picture has no pixels");
    if (!d.record)
        return Failed(error, kErrorEncode,
                      "SVG needs the painting of the picture, which was "
                      "not recorded");
    std::string svg;
    if (std::string why = cli::EncodeSvg(*d.record, d.image.width, d.image.height, d.scale, svg);
        !why.empty())
        return Failed(error, kErrorEncode, why);
    return std::vector<std::uint8_t>(svg.begin(), svg.end());
}

} // namespace quillion::api
