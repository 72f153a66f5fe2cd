// quillion_read_png FILE...: prints the text ZXing-C++ reads in each PNG, one line each; exits 1
// when a file cannot be loaded or holds no barcode. Script tests read the files other programs
// wrote with it.
#include "decode.h"

#include <png.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        png_image png{};
        png.version = PNG_IMAGE_VERSION;
        std::vector<png_byte> rgb;
        bool loaded = png_image_begin_read_from_file(&png, argv[i]) != 0;
        if (loaded) {
            png.format = PNG_FORMAT_RGB;
            rgb.resize(PNG_IMAGE_SIZE(png));
            loaded = png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr) != 0;
        }
        if (!loaded) {
            std::fprintf(stderr, "%s: cannot load\n", argv[i]);
            status = 1;
            continue;
        }
        quillion::Image image(int(png.width), int(png.height), 0);
        for (std::size_t p = 0; p < image.pixels.size(); ++p)
            image.pixels[p] = 0xFF000000u | std::uint32_t(rgb[3 * p]) << 16 |
                              std::uint32_t(rgb[3 * p + 1]) << 8 | rgb[3 * p + 2];
        const quillion::testing::Decoded read = quillion::testing::DecodeImage(image);
        if (!read.ok)
            status = 1;
        std::printf("%s\n", read.ok ? read.text.c_str() : "");
    }
    return status;
}
