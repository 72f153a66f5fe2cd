#include "picture_output.h"

#include "SaveAsJPG.h"
#include "atomic_file.h"
#include "form_core.h"
#include "pixel_scale.h"
#include "runtime.h"
#include "svg_writer.h"

namespace quillion::cli {

namespace {

// The largest side the JPEG encoder writes (libjpeg's bound, a little below the 65,535 of the
// format's 16-bit sizes).
constexpr std::int64_t kMaxJpegSide = 65500;

// Whether the picture at the scale fits the format; checked before anything is made at size.
std::string CheckPictureSize(const Image& picture, int scale, OutputFormat format) {
    const std::int64_t w = std::int64_t{picture.width} * scale;
    const std::int64_t h = std::int64_t{picture.height} * scale;
    if (format == OutputFormat::Jpeg && (w > kMaxJpegSide || h > kMaxJpegSide))
        return "too large for JPEG (" + std::to_string(w) + " x " + std::to_string(h) +
               "; at most 65,500)";
    if (format != OutputFormat::Svg && w * h > kMaxScaledPixels)
        return "the picture at scale " + std::to_string(scale) + " would have " +
               std::to_string(w) + " x " + std::to_string(h) + " pixels, more than " +
               std::to_string(kMaxScaledPixels);
    return {};
}

} // namespace

PictureWriter::PictureWriter(int scale, const PaintRecord* record)
    : scale_(scale), record_(record) {}

const std::vector<std::uint8_t>* PictureWriter::Encode(const Image& picture, OutputFormat format,
                                                       std::string& error) {
    bytes_.clear();
    if (picture.width <= 0 || picture.height <= 0) {
        error = "the picture has no pixels";
        return nullptr;
    }
    error = CheckPictureSize(picture, scale_, format);
    if (!error.empty())
        return nullptr;
    if (format == OutputFormat::Svg) {
        if (record_ == nullptr) {
            error = "SVG needs the painting of the picture, which was not recorded";
            return nullptr;
        }
        error = EncodeSvg(*record_, picture.width, picture.height, scale_, svg_);
        if (!error.empty())
            return nullptr;
        bytes_.assign(svg_.begin(), svg_.end());
        return &bytes_;
    }
    const Image* pixels = &picture;
    if (scale_ > 1) {
        error = ScalePicture(picture, scale_, scaled_);
        if (!error.empty())
            return nullptr;
        pixels = &scaled_;
    }
    if (format == OutputFormat::Jpeg) {
        try {
            EncodePictureAsJpeg(*pixels, FormCore::kJpegQuality, bytes_, DotsPerInch(scale_));
        } catch (const RuntimeError& e) {
            error = e.Description();
            return nullptr;
        }
        return &bytes_;
    }
    if (!png_.Encode(*pixels, bytes_, PixelsPerMetre(scale_))) {
        error = "the picture has no pixels";
        return nullptr;
    }
    return &bytes_;
}

std::string PictureWriter::Write(const Image& picture, const std::string& path,
                                 OutputFormat format) {
    std::string error;
    const std::vector<std::uint8_t>* bytes = Encode(picture, format, error);
    if (bytes == nullptr)
        return error;
    return FileErrorText(WriteFileContents(path, bytes->data(), bytes->size()));
}

std::string PictureWriter::WriteInFolder(const Image& picture, int folderFd,
                                         const std::string& name, OutputFormat format) {
    std::string error;
    const std::vector<std::uint8_t>* bytes = Encode(picture, format, error);
    if (bytes == nullptr)
        return error;
    return FileErrorText(ReplaceInFolder(folderFd, name, bytes->data(), bytes->size()));
}

} // namespace quillion::cli
