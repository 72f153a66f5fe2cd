// Writing an exported picture to a file or to standard output: as "Save As JPG" would (JPEG,
// quality 80), as the same pixels in PNG, or as SVG drawn from what the renderer painted;
// enlarged by a whole scale, with the resolution that prints it at the window's size.
#pragma once

#include "draw/color.h"
#include "draw/paint_record.h"
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
    // scale: every picture pixel becomes scale x scale pixels. record: what the renderer
    // painted into the pictures to come (only SVG needs it); it must outlive the writer.
    explicit PictureWriter(int scale = 1, const PaintRecord* record = nullptr);

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
    int scale_;
    const PaintRecord* record_;
    PngEncoder png_;
    Image scaled_;
    std::string svg_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace quillion::cli
