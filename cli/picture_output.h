// Writing an exported picture to a file as "Save As JPG" would (JPEG, quality 80) or as the same
// pixels in PNG.
#pragma once

#include "color.h"
#include "options.h"
#include "png_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillion::cli {

// One per thread: keeps the PNG encoder and its buffers between pictures. Both ways return ""
// on success, else the reason (UTF-8), and never leave a partial file.
class PictureWriter {
public:
    // One file, replaced whole or not at all (written to a temporary file that is renamed over
    // the target).
    std::string Write(const Image& picture, const std::string& path, OutputFormat format);

    // A file of a batch: name inside the open folder folderFd (whose path is folderPath, ending
    // in "/"). PNG files are written in place, one file-system call fewer than a rename, and
    // removed again when a write fails; JPEG files are written as Write does.
    std::string WriteInFolder(const Image& picture, int folderFd, const std::string& folderPath,
                              const std::string& name, OutputFormat format);

private:
    std::string SaveJpeg(const Image& picture, const std::string& path);
    bool EncodePng(const Image& picture, std::string& error);

    PngEncoder png_;
    std::vector<std::uint8_t> bytes_;
};

// Writes size bytes to a new or truncated file name inside the folder folderFd (AT_FDCWD for
// the current folder); on failure removes the file and returns the errno value, else 0.
int WriteFileInPlace(int folderFd, const char* name, const void* data, std::size_t size);

} // namespace quillion::cli
