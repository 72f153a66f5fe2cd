#include "png_writer.h"

#include "checksums.h"
#include "deflate_rle.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace quillion::library {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kColourGrey = 0;
constexpr std::uint8_t kColourRgb = 2;
constexpr std::uint8_t kColourRgba = 6;
constexpr std::uint8_t kFilterNone = 0;
constexpr std::uint8_t kFilterUp = 2;
constexpr Pixel kRgbMask = 0x00FFFFFFu;

constexpr std::size_t kMaxChunkData = std::size_t(1) << 30;

enum class Form { Bilevel, Grey, Rgb, Rgba };

// Grey or RGB: the form of an image that is not purely black and white.
Form GreyOrRgb(const Image& image) {
    for (const Pixel p : image.pixels) {
        const Pixel rgb = p & kRgbMask;
        if (((rgb >> 16) & 0xFF) != (rgb & 0xFF) || ((rgb >> 8) & 0xFF) != (rgb & 0xFF))
            return Form::Rgb;
    }
    return Form::Grey;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v >> 24));
    out.push_back(std::uint8_t(v >> 16));
    out.push_back(std::uint8_t(v >> 8));
    out.push_back(std::uint8_t(v));
}

// Appends a chunk whose data the caller has already appended at out[dataStart...].
void CloseChunk(std::vector<std::uint8_t>& out, std::size_t typeStart) {
    const std::size_t length = out.size() - typeStart - 4;
    const std::uint32_t be = std::uint32_t(length);
    const std::uint8_t lengthBytes[4] = {std::uint8_t(be >> 24), std::uint8_t(be >> 16),
                                         std::uint8_t(be >> 8), std::uint8_t(be)};
    std::memcpy(out.data() + typeStart - 4, lengthBytes, 4);
    PutU32(out, Crc32(out.data() + typeStart, length + 4));
}

std::size_t OpenChunk(std::vector<std::uint8_t>& out, std::string_view type) {
    PutU32(out, 0); // length, set by CloseChunk
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type.begin(), type.end());
    return typeStart;
}

// One scanline's bytes after the filter byte.
std::size_t RowBytes(int width, Form form) {
    switch (form) {
    case Form::Bilevel:
        return (std::size_t(width) + 7) / 8;
    case Form::Grey:
        return std::size_t(width);
    case Form::Rgba:
        return std::size_t(width) * 4;
    case Form::Rgb:
        break;
    }
    return std::size_t(width) * 3;
}

void PackRow(const Pixel* row, int width, Form form, std::uint8_t* out) {
    if (form == Form::Grey) {
        for (int x = 0; x < width; ++x)
            out[x] = std::uint8_t(row[x]);
        return;
    }
    if (form == Form::Rgba) {
        for (int x = 0; x < width; ++x) {
            out[4 * x] = std::uint8_t(row[x] >> 16);
            out[4 * x + 1] = std::uint8_t(row[x] >> 8);
            out[4 * x + 2] = std::uint8_t(row[x]);
            out[4 * x + 3] = std::uint8_t(row[x] >> 24);
        }
        return;
    }
    for (int x = 0; x < width; ++x) {
        out[3 * x] = std::uint8_t(row[x] >> 16);
        out[3 * x + 1] = std::uint8_t(row[x] >> 8);
        out[3 * x + 2] = std::uint8_t(row[x]);
    }
}

bool PackRows(const Image& image, Form form, std::vector<std::uint8_t>& raw_) {
    const std::size_t rowBytes = RowBytes(image.width, form);
    const std::size_t stride = rowBytes + 1;
    const std::size_t width = std::size_t(image.width);
    raw_.resize(stride * std::size_t(image.height));
    // A row of the same pixels as the row above (every bar row) is filtered "Up": a filter
    // byte and zeros, which compress to almost nothing, and it need not be packed.
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t* line = raw_.data() + stride * std::size_t(y);
        const Pixel* pixels = image.pixels.data() + std::size_t(y) * width;
        if (y > 0 && std::memcmp(pixels - width, pixels, width * sizeof(Pixel)) == 0) {
            line[0] = kFilterUp;
            std::memset(line + 1, 0, rowBytes);
            continue;
        }
        line[0] = kFilterNone;
        if (form == Form::Bilevel) {
            if (!PackBilevelRow(pixels, image.width, line + 1))
                return false;
        } else {
            PackRow(pixels, image.width, form, line + 1);
        }
    }
    return true;
}

// The rows of a 1-bit raster, filtered as PackRows filters them.
void BilevelRows(const Bilevel& image, std::vector<std::uint8_t>& raw_) {
    const std::size_t rowBytes = image.stride;
    const std::size_t stride = rowBytes + 1;
    raw_.resize(stride * std::size_t(image.height));
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t* line = raw_.data() + stride * std::size_t(y);
        const std::uint8_t* bits = image.Row(y);
        if (y > 0 && std::memcmp(bits - rowBytes, bits, rowBytes) == 0) {
            line[0] = kFilterUp;
            std::memset(line + 1, 0, rowBytes);
        } else {
            line[0] = kFilterNone;
            std::memcpy(line + 1, bits, rowBytes);
        }
    }
}

} // namespace

PngEncoder::PngEncoder() = default;
PngEncoder::~PngEncoder() = default;

bool PngEncoder::Encode(const Image& image, std::vector<std::uint8_t>& out,
                        std::uint32_t pixelsPerMetre, bool alpha) {
    out.clear();
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != std::size_t(image.width) * std::size_t(image.height))
        return false;
    // Packed at one bit per pixel first; an image with any other colour is packed again.
    Form form = alpha ? Form::Rgba : Form::Bilevel;
    if (!PackRows(image, form, raw_))
        PackRows(image, form = GreyOrRgb(image), raw_);
    WriteFile(image.width, image.height, form == Form::Bilevel ? 1 : 8,
              form == Form::Rgba  ? kColourRgba
              : form == Form::Rgb ? kColourRgb
                                  : kColourGrey,
              pixelsPerMetre, out);
    return true;
}

bool PngEncoder::Encode(const Bilevel& image, std::vector<std::uint8_t>& out,
                        std::uint32_t pixelsPerMetre) {
    out.clear();
    if (image.width <= 0 || image.height <= 0 ||
        image.bits.size() != image.stride * std::size_t(image.height) ||
        image.stride != (std::size_t(image.width) + 7) / 8)
        return false;
    BilevelRows(image, raw_);
    WriteFile(image.width, image.height, 1, kColourGrey, pixelsPerMetre, out);
    return true;
}

void PngEncoder::WriteFile(int width, int height, std::uint8_t depth, std::uint8_t colour,
                           std::uint32_t pixelsPerMetre, std::vector<std::uint8_t>& out) {
    compressed_.clear();
    DeflateRuns(raw_.data(), raw_.size(), compressed_);
    // The file's size is known now: one allocation (a chunk is 12 bytes around its data).
    constexpr std::size_t kChunk = 12;
    const std::size_t idats = (compressed_.size() + kMaxChunkData - 1) / kMaxChunkData;
    out.reserve(kSignature.size() + kChunk + 13 + kChunk + 9 + compressed_.size() + idats * kChunk +
                kChunk);
    out.insert(out.end(), kSignature.begin(), kSignature.end());
    std::size_t chunk = OpenChunk(out, "IHDR");
    PutU32(out, std::uint32_t(width));
    PutU32(out, std::uint32_t(height));
    out.push_back(depth);
    out.push_back(colour);
    out.push_back(0); // deflate
    out.push_back(0); // adaptive filtering
    out.push_back(0); // no interlace
    CloseChunk(out, chunk);
    if (pixelsPerMetre > 0) {
        chunk = OpenChunk(out, "pHYs");
        PutU32(out, pixelsPerMetre);
        PutU32(out, pixelsPerMetre);
        out.push_back(1); // unit: the metre
        CloseChunk(out, chunk);
    }

    // A chunk holds less than 2 GiB: a very large image takes several.
    for (std::size_t start = 0; start < compressed_.size(); start += kMaxChunkData) {
        chunk = OpenChunk(out, "IDAT");
        const std::size_t n = std::min(kMaxChunkData, compressed_.size() - start);
        out.insert(out.end(), compressed_.begin() + std::ptrdiff_t(start),
                   compressed_.begin() + std::ptrdiff_t(start + n));
        CloseChunk(out, chunk);
    }

    chunk = OpenChunk(out, "IEND");
    CloseChunk(out, chunk);
}

} // namespace quillion::library
