#include "picture_output.h"

#include "SaveAsJPG.h"
#include "atomic_file.h"
#include "form_core.h"
#include "pixel_scale.h"
#include "svg_writer.h"

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace quillion::cli {
namespace {

std::string ErrnoText(int error) {
    return std::generic_category().message(error);
}

} // namespace

int WriteAll(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        p += n;
        size -= std::size_t(n);
    }
    return 0;
}

int WriteFileInPlace(int folderFd, const char* name, const void* data, std::size_t size) {
    const int fd = ::openat(folderFd, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    int error = WriteAll(fd, data, size);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlinkat(folderFd, name, 0);
    return error;
}

PictureWriter::PictureWriter(int scale, const PaintRecord* record)
    : scale_(scale), record_(record) {}

std::string PictureWriter::Encode(const Image& picture, OutputFormat format) {
    bytes_.clear();
    if (picture.width <= 0 || picture.height <= 0)
        return "the picture has no pixels";
    if (format == OutputFormat::Svg) {
        if (record_ == nullptr)
            return "SVG needs the painting of the picture, which was not recorded";
        if (std::string error = EncodeSvg(*record_, picture.width, picture.height, scale_, svg_);
            !error.empty())
            return error;
        bytes_.assign(svg_.begin(), svg_.end());
        return {};
    }
    const Image* pixels = &picture;
    if (scale_ > 1) {
        if (std::string error = ScalePicture(picture, scale_, scaled_); !error.empty())
            return error;
        pixels = &scaled_;
    }
    if (format == OutputFormat::Jpeg) {
        const int status =
            EncodePictureAsJpeg(*pixels, FormCore::kJpegQuality, bytes_, DotsPerInch(scale_));
        if (status != 0)
            return "Cannot save the image. GDI+ Error:" + std::to_string(status);
        return {};
    }
    if (!png_.Encode(*pixels, bytes_, PixelsPerMetre(scale_)))
        return "the picture has no pixels";
    return {};
}

std::string PictureWriter::Write(const Image& picture, const std::string& path,
                                 OutputFormat format) {
    if (std::string error = Encode(picture, format); !error.empty())
        return error;
    const int status = path == "-" ? WriteAll(STDOUT_FILENO, bytes_.data(), bytes_.size())
                                   : ReplaceFileContents(path, bytes_.data(), bytes_.size());
    return status == 0 ? std::string() : ErrnoText(status);
}

std::string PictureWriter::WriteInFolder(const Image& picture, int folderFd, const std::string&,
                                         const std::string& name, OutputFormat format) {
    if (std::string error = Encode(picture, format); !error.empty())
        return error;
    const int status = WriteFileInPlace(folderFd, name.c_str(), bytes_.data(), bytes_.size());
    return status == 0 ? std::string() : ErrnoText(status);
}

} // namespace quillion::cli
