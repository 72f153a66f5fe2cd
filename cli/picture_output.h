// Writing an exported picture to a file or to standard output: as "Save As JPG" would (JPEG,
// quality 80), as the same pixels in PNG, or as SVG drawn from what the renderer painted;
// enlarged by a whole scale, with the resolution that prints it at the window's size.
#pragma once

#include "options.h"
#include "quillion/quillion.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillion::cli {

// The options of the library that give the picture the command line asks for.
api::Options ApiOptions(const RenderOptions& options);

// The picture of text as the options ask, read back first with --verify: "" and out set, or
// the reason there is none (the window's messages, the reader's verdict).
std::string RenderText(const RenderOptions& options, const std::u16string& text,
                       std::string_view utf8Text, api::Picture& out);

// One per thread. Every picture is encoded by Encode (the library's encoders) and then written;
// the write ways return "" on success, else the reason (UTF-8), and never leave a partial file.
class PictureWriter {
public:
    // The file's bytes in the format, or null with error set. Valid until the next call.
    const std::vector<std::uint8_t>* Encode(const api::Picture& picture, OutputFormat format,
                                            std::string& error);

    // One file, through WriteFileContents: a regular file is replaced whole or not at all, a
    // device or FIFO is written into.
    std::string Write(const api::Picture& picture, const std::string& path, OutputFormat format);

    // A file of a batch: name inside the open folder folderFd, through ReplaceInFolder (a new
    // file renamed over the name; nothing that stands there is opened).
    std::string WriteInFolder(const api::Picture& picture, int folderFd, const std::string& name,
                              OutputFormat format);

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace quillion::cli
