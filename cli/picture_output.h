// Writing an exported picture to a file or to standard output: as "Save As JPG" would (JPEG,
// quality 80), as the same pixels in PNG, or as SVG drawn from what the renderer painted;
// enlarged by a whole scale, with the resolution that prints it at the window's size.
#pragma once

#include "color.h"
#include "options.h"
#include "paint_record.h"
#include "png_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillion::cli {

// One per thread: keeps the encoders and their buffers between pictures. Every way returns ""
// on success, else the reason (UTF-8), and never leaves a partial file.
class PictureWriter {
public:
    // scale: every picture pixel becomes scale x scale pixels. record: what the renderer
    // painted into the pictures to come (only SVG needs it); it must outlive the writer.
    explicit PictureWriter(int scale = 1, const PaintRecord* record = nullptr);

    // Encodes the picture in the format; the bytes stay in Bytes() until the next call.
    std::string Encode(const Image& picture, OutputFormat format);
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

    // One file, replaced whole or not at all (written to a temporary file that is renamed over
    // the target); "-" writes to standard output.
    std::string Write(const Image& picture, const std::string& path, OutputFormat format);

    // A file of a batch: name inside the open folder folderFd (whose path is folderPath, ending
    // in "/"), written in place, one file-system call fewer than a rename, and removed again
    // when a write fails.
    std::string WriteInFolder(const Image& picture, int folderFd, const std::string& folderPath,
                              const std::string& name, OutputFormat format);

private:
    int scale_;
    const PaintRecord* record_;
    PngEncoder png_;
    Image scaled_;
    std::string svg_;
    std::vector<std::uint8_t> bytes_;
};

// Writes size bytes to a new or truncated file name inside the folder folderFd (AT_FDCWD for
// the current folder); on failure removes the file and returns the errno value, else 0.
int WriteFileInPlace(int folderFd, const char* name, const void* data, std::size_t size);

// Writes all size bytes to the open file fd; returns 0 or the errno value of the failure.
int WriteAll(int fd, const void* data, std::size_t size);

} // namespace quillion::cli
