#include "picture_output.h"

#include "SaveAsJPG.h"
#include "atomic_file.h"
#include "form_core.h"
#include "pixel_scale.h"
#include "runtime/runtime.h"
#include "svg_writer.h"

namespace quillion::cli {

PictureWriter::PictureWriter(int scale, const PaintRecord* record, const LabelSettings& label)
    : scale_(scale), record_(record), dpi_(label.dpi), dpiGiven_(label.dpiGiven) {}

const std::vector<std::uint8_t>* PictureWriter::Encode(const Image& picture, OutputFormat format,
                                                       std::string& error,
                                                       const LabelFinish& finish) {
    bytes_.clear();
    if (picture.width <= 0 || picture.height <= 0) {
        error = "the picture has no pixels";
        return nullptr;
    }
    if (format == OutputFormat::Svg) {
        if (record_ == nullptr) {
            error = "SVG needs the painting of the picture, which was not recorded";
            return nullptr;
        }
        error = EncodeSvg(*record_, picture.width, picture.height, scale_, svg_, finish,
                          dpiGiven_ ? dpi_ : 0);
        if (!error.empty())
            return nullptr;
        bytes_.assign(svg_.begin(), svg_.end());
        return &bytes_;
    }
    const Image* pixels = &picture;
    if (!finish.IsNone()) {
        error = FinishPicture(picture, finish, kMaxScaledPixels, finished_);
        if (!error.empty())
            return nullptr;
        pixels = &finished_;
    }
    if (scale_ > 1) {
        error = ScalePicture(*pixels, scale_, scaled_);
        if (!error.empty())
            return nullptr;
        pixels = &scaled_;
    }
    if (format == OutputFormat::Jpeg) {
        try {
            EncodePictureAsJpeg(*pixels, FormCore::kJpegQuality, bytes_, DotsPerInch(scale_, dpi_));
        } catch (const RuntimeError& e) {
            error = e.Description();
            return nullptr;
        }
        return &bytes_;
    }
    if (!png_.Encode(*pixels, bytes_, PixelsPerMetre(scale_, dpi_), finish.HasAlpha())) {
        error = "the picture has no pixels";
        return nullptr;
    }
    return &bytes_;
}

std::string PictureWriter::Write(const Image& picture, const std::string& path, OutputFormat format,
                                 const LabelFinish& finish) {
    std::string error;
    const std::vector<std::uint8_t>* bytes = Encode(picture, format, error, finish);
    if (bytes == nullptr)
        return error;
    return FileErrorText(WriteFileContents(path, bytes->data(), bytes->size()));
}

std::string PictureWriter::WriteInFolder(const Image& picture, int folderFd,
                                         const std::string& name, OutputFormat format,
                                         const LabelFinish& finish) {
    std::string error;
    const std::vector<std::uint8_t>* bytes = Encode(picture, format, error, finish);
    if (bytes == nullptr)
        return error;
    return FileErrorText(ReplaceInFolder(folderFd, name, bytes->data(), bytes->size()));
}

} // namespace quillion::cli
