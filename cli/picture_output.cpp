#include "picture_output.h"

#include "SaveAsJPG.h"
#include "ansi.h"
#include "atomic_file.h"
#include "form_core.h"
#include "runtime.h"
#include "utf8_text.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <system_error>
#include <unistd.h>

namespace quillion::cli {
namespace {

std::string ErrnoText(int error) {
    return std::generic_category().message(error);
}

} // namespace

int WriteFileInPlace(int folderFd, const char* name, const void* data, std::size_t size) {
    const int fd = ::openat(folderFd, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    const auto* p = static_cast<const std::uint8_t*>(data);
    int error = 0;
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            break;
        }
        p += n;
        size -= std::size_t(n);
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlinkat(folderFd, name, 0);
    return error;
}

std::string PictureWriter::SaveJpeg(const Image& picture, const std::string& path) {
    // The JPEG writer takes the name as 16-bit text: a name that is not UTF-8 would reach the
    // disk as another name.
    if (!IsWellFormedUtf8(path))
        return "the file name is not valid UTF-8";
    try {
        SavePictureAsJpeg(picture, Utf8ToUtf16(path), FormCore::kJpegQuality);
    } catch (const RuntimeError& e) {
        return e.Description();
    }
    return {};
}

bool PictureWriter::EncodePng(const Image& picture, std::string& error) {
    if (!png_.Encode(picture, bytes_)) {
        error = "the picture has no pixels";
        return false;
    }
    return true;
}

std::string PictureWriter::Write(const Image& picture, const std::string& path,
                                 OutputFormat format) {
    if (format == OutputFormat::Jpeg)
        return SaveJpeg(picture, path);
    std::string error;
    if (!EncodePng(picture, error))
        return error;
    const int status = ReplaceFileContents(path, bytes_.data(), bytes_.size());
    return status == 0 ? std::string() : ErrnoText(status);
}

std::string PictureWriter::WriteInFolder(const Image& picture, int folderFd,
                                         const std::string& folderPath, const std::string& name,
                                         OutputFormat format) {
    if (format == OutputFormat::Jpeg)
        return SaveJpeg(picture, folderPath + name);
    std::string error;
    if (!EncodePng(picture, error))
        return error;
    const int status = WriteFileInPlace(folderFd, name.c_str(), bytes_.data(), bytes_.size());
    return status == 0 ? std::string() : ErrnoText(status);
}

} // namespace quillion::cli
