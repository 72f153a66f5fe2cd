// Writing an exported picture to a file or to standard output: as "Save As JPG" would (JPEG,
// quality 80), as the same pixels in PNG, or as SVG drawn from what the renderer painted;
// finished as a label asks, enlarged by a whole scale, with the resolution that prints it at
// its size.
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
    // painted into the pictures to come (only SVG needs it); it must outlive the writer. label:
    // the resolution the files record (and the SVG's size in millimetres when it was given).
    explicit PictureWriter(int scale = 1, const PaintRecord* record = nullptr,
                           const LabelSettings& label = {});

    // The file's bytes in the format, the picture finished first (sides, colours, turn), or
    // null with error set. Valid until the next call.
    const std::vector<std::uint8_t>* Encode(const Image& picture, OutputFormat format,
                                            std::string& error, const LabelFinish& finish = {});

    // One file, through WriteFileContents: a regular file is replaced whole or not at all, a
    // device or FIFO is written into.
    std::string Write(const Image& picture, const std::string& path, OutputFormat format,
                      const LabelFinish& finish = {});

    // A file of a batch: name inside the open folder folderFd, through ReplaceInFolder (a new
    // file renamed over the name; nothing that stands there is opened).
    std::string WriteInFolder(const Image& picture, int folderFd, const std::string& name,
                              OutputFormat format, const LabelFinish& finish = {});

private:
    int scale_;
    const PaintRecord* record_;
    int dpi_;
    bool dpiGiven_;
    Image finished_;
    PngEncoder png_;
    Image scaled_;
    std::string svg_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace quillion::cli
