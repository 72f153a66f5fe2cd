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

int WriteFileInPlace(const std::string& path, const void* data, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
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
        ::unlink(path.c_str());
    return error;
}

std::string PictureWriter::Write(const Image& picture, const std::string& path, OutputFormat format,
                                 Replace replace) {
    if (format == OutputFormat::Jpeg) {
        // The JPEG writer takes the name as 16-bit text: a name that is not UTF-8 would reach
        // the disk as another name.
        if (!IsWellFormedUtf8(path))
            return "the file name is not valid UTF-8";
        try {
            SavePictureAsJpeg(picture, Utf8ToUtf16(path), FormCore::kJpegQuality);
        } catch (const RuntimeError& e) {
            return e.Description();
        } catch (const std::bad_alloc&) {
            return "Out of memory";
        }
        return {};
    }
    try {
        if (!png_.Encode(picture, bytes_))
            return "the PNG encoder failed";
    } catch (const std::bad_alloc&) {
        return "Out of memory";
    }
    const int error = replace == Replace::Atomic
                          ? ReplaceFileContents(path, bytes_.data(), bytes_.size())
                          : WriteFileInPlace(path, bytes_.data(), bytes_.size());
    return error == 0 ? std::string() : std::generic_category().message(error);
}

} // namespace quillion::cli
