#include "png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace quillion::cli {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kColourGrey = 0;
constexpr std::uint8_t kColourRgb = 2;
constexpr std::uint8_t kFilterNone = 0;
constexpr std::uint8_t kFilterUp = 2;
constexpr Pixel kRgbMask = 0x00FFFFFFu;
constexpr Pixel kWhitePixel = 0x00FFFFFFu;
// Level 1 finds the long repeats of bar rows as well as the higher levels do, several times
// faster.
constexpr int kDeflateLevel = 1;

enum class Form { Bilevel, Grey, Rgb };

Form FormOf(const Image& image) {
    bool bilevel = true;
    for (const Pixel p : image.pixels) {
        const Pixel rgb = p & kRgbMask;
        if (rgb == 0 || rgb == kWhitePixel)
            continue;
        bilevel = false;
        if (((rgb >> 16) & 0xFF) != (rgb & 0xFF) || ((rgb >> 8) & 0xFF) != (rgb & 0xFF))
            return Form::Rgb;
    }
    return bilevel ? Form::Bilevel : Form::Grey;
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
    const uLong crc = crc32(crc32(0, nullptr, 0), out.data() + typeStart, uInt(length + 4));
    PutU32(out, std::uint32_t(crc));
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
    case Form::Rgb:
        break;
    }
    return std::size_t(width) * 3;
}

void PackRow(const Pixel* row, int width, Form form, std::uint8_t* out) {
    switch (form) {
    case Form::Bilevel: {
        // White (lowest bit of blue set) is 1, black 0; the first pixel is the highest bit.
        const int whole = width / 8;
        for (int i = 0; i < whole; ++i) {
            const Pixel* p = row + i * 8;
            out[i] = std::uint8_t(((p[0] & 1) << 7) | ((p[1] & 1) << 6) | ((p[2] & 1) << 5) |
                                  ((p[3] & 1) << 4) | ((p[4] & 1) << 3) | ((p[5] & 1) << 2) |
                                  ((p[6] & 1) << 1) | (p[7] & 1));
        }
        if (width % 8 != 0) {
            std::uint8_t last = 0;
            for (int x = whole * 8; x < width; ++x)
                last |= std::uint8_t((row[x] & 1) << (7 - x % 8));
            out[whole] = last;
        }
        return;
    }
    case Form::Grey:
        for (int x = 0; x < width; ++x)
            out[x] = std::uint8_t(row[x]);
        return;
    case Form::Rgb:
        for (int x = 0; x < width; ++x) {
            out[3 * x] = std::uint8_t(row[x] >> 16);
            out[3 * x + 1] = std::uint8_t(row[x] >> 8);
            out[3 * x + 2] = std::uint8_t(row[x]);
        }
        return;
    }
}

} // namespace

// One zlib stream kept for every image: deflateReset instead of a new stream each time.
struct PngEncoder::Deflater {
    z_stream stream{};
    bool ready = false;
    Deflater() { ready = deflateInit(&stream, kDeflateLevel) == Z_OK; }
    ~Deflater() {
        if (ready)
            deflateEnd(&stream);
    }
};

PngEncoder::PngEncoder() : deflater_(std::make_unique<Deflater>()) {}
PngEncoder::~PngEncoder() = default;

bool PngEncoder::Encode(const Image& image, std::vector<std::uint8_t>& out) {
    out.clear();
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != std::size_t(image.width) * std::size_t(image.height) ||
        !deflater_->ready)
        return false;
    const Form form = FormOf(image);
    const std::size_t rowBytes = RowBytes(image.width, form);
    const std::size_t stride = rowBytes + 1;
    raw_.resize(stride * std::size_t(image.height));
    // Rows equal to the row above (every bar row) become a filter byte "Up" and zeros, which
    // compress to almost nothing.
    std::uint8_t* previous = nullptr;
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t* line = raw_.data() + stride * std::size_t(y);
        PackRow(image.pixels.data() + std::size_t(y) * std::size_t(image.width), image.width, form,
                line + 1);
        if (previous != nullptr && std::memcmp(previous + 1, line + 1, rowBytes) == 0) {
            // Keep the row for the next comparison: filter it only once the next row is packed.
            line[0] = kFilterUp;
        } else {
            line[0] = kFilterNone;
        }
        previous = line;
    }
    // Up-filtered rows equal their predecessor, so their filtered bytes are all zero.
    for (int y = image.height - 1; y > 0; --y) {
        std::uint8_t* line = raw_.data() + stride * std::size_t(y);
        if (line[0] == kFilterUp)
            std::memset(line + 1, 0, rowBytes);
    }

    out.insert(out.end(), kSignature.begin(), kSignature.end());
    std::size_t chunk = OpenChunk(out, "IHDR");
    PutU32(out, std::uint32_t(image.width));
    PutU32(out, std::uint32_t(image.height));
    out.push_back(form == Form::Bilevel ? 1 : 8);
    out.push_back(form == Form::Rgb ? kColourRgb : kColourGrey);
    out.push_back(0); // deflate
    out.push_back(0); // adaptive filtering
    out.push_back(0); // no interlace
    CloseChunk(out, chunk);

    chunk = OpenChunk(out, "IDAT");
    z_stream& z = deflater_->stream;
    if (deflateReset(&z) != Z_OK)
        return false;
    const std::size_t dataStart = out.size();
    out.resize(dataStart + deflateBound(&z, uLong(raw_.size())));
    z.next_in = raw_.data();
    z.avail_in = uInt(raw_.size());
    z.next_out = out.data() + dataStart;
    z.avail_out = uInt(out.size() - dataStart);
    if (deflate(&z, Z_FINISH) != Z_STREAM_END)
        return false;
    out.resize(dataStart + z.total_out);
    CloseChunk(out, chunk);

    chunk = OpenChunk(out, "IEND");
    CloseChunk(out, chunk);
    return true;
}

} // namespace quillion::cli
