#include "png_writer.h"

#include <png.h>

#include <cstdint>
#include <vector>

namespace quillion::cli {

bool WritePng(const Image& image, const std::string& path, std::string& error) {
    if (image.width <= 0 || image.height <= 0) {
        error = "the image is empty";
        return false;
    }
    std::vector<std::uint8_t> rgb;
    rgb.reserve(image.pixels.size() * 3);
    for (const Pixel p : image.pixels) {
        rgb.push_back(static_cast<std::uint8_t>(p >> 16));
        rgb.push_back(static_cast<std::uint8_t>(p >> 8));
        rgb.push_back(static_cast<std::uint8_t>(p));
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr) == 0) {
        error = png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

} // namespace quillion::cli
