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

// One per thread: keeps the encoders' buffers between pictures. Every picture is encoded by
// Encode and then written; the write ways return "" on success, else the reason (UTF-8), and
// never leave a partial file.
class PictureWriter {
public:
    // The file's bytes in the format, or null with error set. Valid until the next call.
    const std::vector<std::uint8_t>* Encode(const Image& picture, OutputFormat format,
                                            std::string& error);

    // One file, through WriteFileContents: a regular file is replaced whole or not at all, a
    // device or FIFO is written into.
    std::string Write(const Image& picture, const std::string& path, OutputFormat format);

    // A file of a batch: name inside the open folder folderFd, through ReplaceInFolder (a new
    // file renamed over the name; nothing that stands there is opened).
    std::string WriteInFolder(const Image& picture, int folderFd, const std::string& name,
                              OutputFormat format);

private:
    PngEncoder png_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace quillion::cli
