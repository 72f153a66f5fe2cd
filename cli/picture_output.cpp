#include "picture_output.h"

#include "SaveAsJPG.h"
#include "atomic_file.h"
#include "form_core.h"
#include "runtime.h"

namespace quillion::cli {

const std::vector<std::uint8_t>* PictureWriter::Encode(const Image& picture, OutputFormat format,
                                                       std::string& error) {
    if (format == OutputFormat::Jpeg) {
        try {
            EncodePictureAsJpeg(picture, FormCore::kJpegQuality, bytes_);
        } catch (const RuntimeError& e) {
            error = e.Description();
            return nullptr;
        }
        return &bytes_;
    }
    if (!png_.Encode(picture, bytes_)) {
        error = "the picture has no pixels";
        return nullptr;
    }
    return &bytes_;
}

std::string PictureWriter::Write(const Image& picture, const std::string& path,
                                 OutputFormat format) {
    std::string error;
    const std::vector<std::uint8_t>* bytes = Encode(picture, format, error);
    if (bytes == nullptr)
        return error;
    return FileErrorText(WriteFileContents(path, bytes->data(), bytes->size()));
}

std::string PictureWriter::WriteInFolder(const Image& picture, int folderFd,
                                         const std::string& name, OutputFormat format) {
    std::string error;
    const std::vector<std::uint8_t>* bytes = Encode(picture, format, error);
    if (bytes == nullptr)
        return error;
    return FileErrorText(ReplaceInFolder(folderFd, name, bytes->data(), bytes->size()));
}

} // namespace quillion::cli
