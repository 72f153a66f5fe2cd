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

// How a PNG file reaches the disk: through a temporary file renamed over the target (an
// existing file is replaced whole or not at all), or written in place (one file-system call
// fewer; the file is removed again when a write fails).
enum class Replace { Atomic, InPlace };

// One per thread: keeps the PNG encoder and its buffers between pictures.
class PictureWriter {
public:
    // Writes the picture; returns "" on success, else the reason (UTF-8). A failed write
    // leaves no partial file.
    std::string Write(const Image& picture, const std::string& path, OutputFormat format,
                      Replace replace);

private:
    PngEncoder png_;
    std::vector<std::uint8_t> bytes_;
};

// Writes size bytes to a new or truncated file at path; on failure removes the file and
// returns the errno value, else 0.
int WriteFileInPlace(const std::string& path, const void* data, std::size_t size);

} // namespace quillion::cli
