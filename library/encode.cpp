// The file encoders of the API over the PNG, JPEG and SVG writers. Each thread keeps its PNG
// encoder's buffers and its enlarged picture between calls.
#include "SaveAsJPG.h"
#include "picture_detail.h"
#include "pixel_scale.h"
#include "png_writer.h"
#include "runtime/plain_math.h"
#include "runtime/runtime.h"
#include "svg_writer.h"
#include "symbol_painter.h"

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

// The picture's pixels at its scale: the painted image itself at scale 1, else scaled.
const Image* ScaledPixels(const Picture::Detail& d, Image& scaled, std::string& why) {
    if (d.scale == 1)
        return &d.Pixels();
    why = library::ScalePicture(d.Pixels(), d.scale, scaled);
    return why.empty() ? &scaled : nullptr;
}

// The dark boxes of a painted symbol: its bars (long ones reaching further), or each row's runs
// of dark modules.
std::vector<PixelBox> DarkBoxes(const quillion::Symbol& s, const SymbolLayout& l) {
    std::vector<PixelBox> boxes;
    const int m = l.module;
    if (s.IsMatrix()) {
        for (int r = 0; r < s.rows; ++r)
            for (int c = 0; c < s.columns;) {
                if (!s.Dark(r, c)) {
                    ++c;
                    continue;
                }
                const int start = c;
                while (c < s.columns && s.Dark(r, c))
                    ++c;
                boxes.push_back(PixelBox{std::int64_t(l.x0) + std::int64_t(start) * m,
                                         std::int64_t(l.y0) + std::int64_t(r) * m,
                                         std::int64_t(l.x0) + std::int64_t(c) * m,
                                         std::int64_t(l.y0) + std::int64_t(r + 1) * m});
            }
        return boxes;
    }
    std::int64_t x = l.x0;
    for (std::size_t i = 0; i < s.runs.size(); ++i) {
        const std::int64_t w = std::int64_t(s.runs[i]) * m;
        if (i % 2 == 0) {
            const bool longBar = i / 2 < s.longBars.size() && s.longBars[i / 2];
            boxes.push_back(PixelBox{
                x, l.y0, x + w, std::int64_t(l.y0) + l.barHeight + (longBar ? l.guardHeight : 0)});
        }
        x += w;
    }
    return boxes;
}

// The largest side the JPEG encoder writes (libjpeg's bound, a little below the 65,535 of the
// format's 16-bit sizes).
constexpr std::int64_t kMaxJpegSide = 65500;

// Why the picture at its scale is too large for the format, or "": checked before anything is
// made at size.
std::string SizeError(const Picture::Detail& d, bool jpeg) {
    const std::int64_t w = std::int64_t{d.Width()} * d.scale;
    const std::int64_t h = std::int64_t{d.Height()} * d.scale;
    if (jpeg && (w > kMaxJpegSide || h > kMaxJpegSide))
        return "too large for JPEG (" + std::to_string(w) + " x " + std::to_string(h) +
               "; at most 65,500)";
    if (w * h > library::kMaxScaledPixels)
        return "the picture at scale " + std::to_string(d.scale) + " would have " +
               std::to_string(w) + " x " + std::to_string(h) + " pixels, more than " +
               std::to_string(library::kMaxScaledPixels);
    return {};
}

} // namespace

std::vector<std::uint8_t> EncodePng(const Picture& picture, Error* error) {
    const Picture::Detail& d = PictureAccess::Of(picture);
    if (d.Width() <= 0 || d.Height() <= 0)
        return Failed(error, kErrorEncode, "the picture has no pixels");
    if (std::string why = SizeError(d, false); !why.empty())
        return Failed(error, kErrorTooLarge, why);
    thread_local library::PngEncoder encoder;
    std::vector<std::uint8_t> bytes;
    const auto pixelsPerMetre = static_cast<std::uint32_t>(d.dpi / kMetresPerInch + 0.5);
    if (d.bilevel.width > 0 && d.scale == 1) {
        encoder.Encode(d.bilevel, bytes, pixelsPerMetre);
        return bytes;
    }
    std::string why;
    Image scaled;
    const Image* pixels = ScaledPixels(d, scaled, why);
    if (pixels == nullptr)
        return Failed(error, kErrorTooLarge, why);
    encoder.Encode(*pixels, bytes, pixelsPerMetre, d.finish.HasAlpha());
    return bytes;
}

std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality, Error* error) {
    const Picture::Detail& d = PictureAccess::Of(picture);
    if (d.Width() <= 0 || d.Height() <= 0)
        return Failed(error, kErrorEncode, "the picture has no pixels");
    if (quality < 1 || quality > 100)
        return Failed(error, kErrorArgument, "the JPEG quality must be 1 to 100");
    if (d.finish.HasAlpha())
        return Failed(error, kErrorEncode, "JPEG has no transparency: encode PNG or SVG");
    const long dpi = RoundToLong(d.dpi);
    if (dpi < 1 || dpi > kMaxJpegDpi)
        return Failed(error, kErrorEncode, "JPEG records resolutions of 1 to 65535 dpi only");
    if (std::string why = SizeError(d, true); !why.empty())
        return Failed(error, kErrorTooLarge, why);
    std::string why;
    Image scaled;
    const Image* pixels = ScaledPixels(d, scaled, why);
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
    const Picture::Detail& d = PictureAccess::Of(picture);
    if (d.Width() <= 0 || d.Height() <= 0)
        return Failed(error, kErrorEncode, "the picture has no pixels");
    std::string svg;
    // At another resolution than the screen's the drawing has its size in millimetres.
    const double screenDpi = 96.0 * d.scale;
    const double dpi = d.dpi != screenDpi ? d.dpi / d.scale : 0;
    std::string why;
    if (d.symbol) {
        std::vector<PaintedText> texts;
        for (const SymbolLayout::Placed& p : d.layout.text)
            texts.push_back(
                PaintedText{p.x, d.layout.textTop, p.ansi, d.layout.font, kBlack, 0, {}});
        why = library::EncodeSymbolSvg(DarkBoxes(*d.symbol, d.layout), texts, d.paintedWidth,
                                       d.paintedHeight, d.scale, svg, d.finish, dpi);
    } else if (d.window) {
        const std::shared_ptr<const PaintRecord> record = RecordWindowLook(*d.window);
        if (!record)
            return Failed(error, kErrorEncode, "the picture's painting could not be recorded");
        why = library::EncodeSvg(*record, d.paintedWidth, d.paintedHeight, d.scale, svg, d.finish,
                                 dpi);
    } else {
        why = "the picture has no symbol to draw";
    }
    if (!why.empty())
        return Failed(error, kErrorEncode, why);
    return std::vector<std::uint8_t>(svg.begin(), svg.end());
}

} // namespace quillion::api
