// The PNG encoder: libpng reads back exactly the pixels for every form (1-bit, 8-bit grey, RGB),
// odd widths, repeated and single rows; the run-length deflate stream inflates with zlib to its
// input for data of every kind.
#include "deflate_rle.h"
#include "png_writer.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <random>

namespace quillion::library {
namespace {

// Decodes PNG bytes with libpng into 0xFFRRGGBB pixels.
Image DecodePng(const std::vector<std::uint8_t>& bytes, int& bitDepth, int& colourType) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size()))
        return {};
    bitDepth = bytes.size() > 25 ? bytes[24] : 0;
    colourType = bytes.size() > 25 ? bytes[25] : 0;
    png.format = PNG_FORMAT_BGRA;
    Image image(int(png.width), int(png.height), 0);
    if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr))
        return {};
    return image;
}

Image Pattern(int w, int h, int kind, std::uint32_t seed) {
    std::mt19937 random(seed);
    Image image(w, h, 0xFFFFFFFFu);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t r = random();
            const Pixel bw = (r & 1) ? 0xFFFFFFFFu : 0xFF000000u;
            const Pixel grey = 0xFF000000u | (r & 0xFF) * 0x010101u;
            const Pixel rgb = 0xFF000000u | (r & 0xFFFFFFu);
            // Rows 3..6 repeat row 2, as the rows of a bar do.
            image.At(x, y) = y >= 3 && y <= 6 ? image.At(x, 2)
                             : kind == 0      ? bw
                             : kind == 1      ? grey
                                              : rgb;
        }
    return image;
}

TEST(PngEncoder, ReadsBackExactlyInTheSmallestForm) {
    struct Row {
        int row, width, height, kind; // kind: 0 black and white, 1 grey, 2 colour
        int depth, colourType;
    } rows[] = {
        {1, 1, 1, 0, 1, 0},   {2, 7, 9, 0, 1, 0},    {3, 8, 9, 0, 1, 0},    {4, 9, 9, 0, 1, 0},
        {5, 17, 12, 0, 1, 0}, {6, 266, 61, 0, 1, 0}, {7, 5, 9, 1, 8, 0},    {8, 33, 9, 1, 8, 0},
        {9, 5, 9, 2, 8, 2},   {10, 31, 9, 2, 8, 2},  {11, 300, 3, 0, 1, 0}, {12, 1, 300, 2, 8, 2},
    };
    PngEncoder encoder; // one encoder for all: buffers are reused between images
    for (const Row& r : rows) {
        SCOPED_TRACE(r.row);
        const Image image = Pattern(r.width, r.height, r.kind, std::uint32_t(r.row));
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(encoder.Encode(image, bytes));
        int depth = 0, colourType = 0;
        EXPECT_EQ(DecodePng(bytes, depth, colourType), image);
        EXPECT_EQ(depth, r.depth);
        EXPECT_EQ(colourType, r.colourType);
    }
}

TEST(PngEncoder, OneGreyPixelMakesTheWholeImageGrey) {
    Image image = Pattern(20, 10, 0, 7);
    image.At(19, 9) = 0xFF808080u; // the last pixel of all
    std::vector<std::uint8_t> bytes;
    PngEncoder encoder;
    ASSERT_TRUE(encoder.Encode(image, bytes));
    int depth = 0, colourType = 0;
    EXPECT_EQ(DecodePng(bytes, depth, colourType), image);
    EXPECT_EQ(depth, 8);
    image.At(0, 0) = 0xFF010203u; // and one colour pixel makes it RGB
    ASSERT_TRUE(encoder.Encode(image, bytes));
    EXPECT_EQ(DecodePng(bytes, depth, colourType), image);
    EXPECT_EQ(colourType, 2);
}

TEST(PngEncoder, NoImageNoBytes) {
    PngEncoder encoder;
    std::vector<std::uint8_t> bytes = {1, 2, 3};
    EXPECT_FALSE(encoder.Encode(Image(), bytes));
    EXPECT_FALSE(encoder.Encode(Image(0, 5, 0), bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(DeflateRuns, InflatesToItsInput) {
    std::mt19937 random(42);
    const auto make = [&](std::size_t n, int kind) {
        std::vector<std::uint8_t> data(n);
        for (std::size_t i = 0; i < n; ++i)
            data[i] = kind == 0   ? 0
                      : kind == 1 ? std::uint8_t(random())
                      : kind == 2 ? std::uint8_t(i / 300) // runs just over the longest match
                                  : std::uint8_t((random() % 7 == 0) ? random() : 0);
        return data;
    };
    struct Row {
        int row;
        std::size_t size;
        int kind; // 0 zeros, 1 random, 2 long runs, 3 sparse
    } rows[] = {{1, 0, 0},     {2, 1, 1},     {3, 3, 0},      {4, 4, 0},      {5, 258, 0},
                {6, 259, 0},   {7, 260, 0},   {8, 261, 0},    {9, 262, 0},    {10, 517, 0},
                {11, 5000, 1}, {12, 9000, 2}, {13, 70000, 3}, {14, 100000, 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.row);
        const std::vector<std::uint8_t> data = make(r.size, r.kind);
        std::vector<std::uint8_t> stream;
        DeflateRuns(data.data(), data.size(), stream);
        std::vector<std::uint8_t> back(data.size() + 1);
        uLongf backSize = uLongf(back.size());
        ASSERT_EQ(uncompress(back.data(), &backSize, stream.data(), uLong(stream.size())), Z_OK);
        back.resize(backSize);
        EXPECT_EQ(back, data);
        if (r.kind == 0) {
            EXPECT_LT(stream.size(), 20 + r.size / 100); // runs cost almost nothing
        }
    }
}

} // namespace
} // namespace quillion::library
