#include "draw/bilevel.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cstring>

namespace quillion {
namespace {

constexpr Pixel kBlackPixel = ToPixel(kBlack);
constexpr Pixel kWhitePixel = ToPixel(kWhite);

// Applies op (byte, mask) to the bytes that hold pixels [left, right) of a row, right > left >= 0.
template <class Op>
void ApplyBits(std::uint8_t* row, std::int64_t left, std::int64_t right, Op op) {
    const auto l = std::size_t(left), r = std::size_t(right - 1); // inside the row: unsigned
    const std::size_t first = l / 8, last = r / 8;
    const auto head = std::uint8_t(0xFFu >> (l % 8));
    const auto tail = std::uint8_t(0xFFu << (7 - r % 8));
    if (first == last) {
        op(row[first], std::uint8_t(head & tail));
        return;
    }
    op(row[first], head);
    for (std::size_t i = first + 1; i < last; ++i)
        op(row[i], std::uint8_t{0xFF});
    op(row[last], tail);
}

void SetBits(std::uint8_t& byte, std::uint8_t mask) {
    byte |= mask;
}
void ClearBits(std::uint8_t& byte, std::uint8_t mask) {
    byte &= std::uint8_t(~mask);
}

// Fills that follow one another over the same rows in the same colour (a symbol's bars) are
// gathered in one row mask and put on their rows together.
class FillGroup {
public:
    explicit FillGroup(Bilevel& raster) : raster_(raster), mask_(raster.stride, 0) {}

    // box is clipped to the raster and not empty.
    void Add(const PixelBox& box, bool white) {
        if (open_ && (box.top != top_ || box.bottom != bottom_ || white != white_))
            Flush();
        if (!open_) {
            open_ = true;
            top_ = box.top;
            bottom_ = box.bottom;
            white_ = white;
            first_ = std::size_t(box.left) / 8;
            last_ = first_;
        }
        ApplyBits(mask_.data(), box.left, box.right, SetBits);
        first_ = std::min(first_, std::size_t(box.left) / 8);
        last_ = std::max(last_, std::size_t(box.right - 1) / 8);
    }

    void Flush() {
        if (!open_)
            return;
        open_ = false;
        const std::uint8_t* const mask = mask_.data();
        for (std::int64_t y = top_; y < bottom_; ++y) {
            std::uint8_t* const row = raster_.bits.data() + std::size_t(y) * raster_.stride;
            if (white_)
                for (std::size_t i = first_; i <= last_; ++i)
                    row[i] |= mask[i];
            else
                for (std::size_t i = first_; i <= last_; ++i)
                    row[i] &= std::uint8_t(~mask[i]);
        }
        std::fill(mask_.begin() + std::ptrdiff_t(first_), mask_.begin() + std::ptrdiff_t(last_ + 1),
                  std::uint8_t{0});
    }

private:
    Bilevel& raster_;
    std::vector<std::uint8_t> mask_;
    bool open_ = false;
    bool white_ = false;
    std::int64_t top_ = 0, bottom_ = 0;
    std::size_t first_ = 0, last_ = 0; // the mask's bytes in use
};

// Draws the text on the raster, or, for a font that cannot, with its own painter on a 32-bit
// copy of the whole bytes it may touch, then takes them back; false when it left a pixel neither
// black nor white.
bool PaintText(const PaintedText& t, Bilevel& raster) {
    const COLORREF rgb = t.color & 0xFFFFFFu;
    if (rgb != kBlack && rgb != kWhite)
        return false;
    const PixelBox image{0, 0, raster.width, raster.height};
    const PixelBox clip =
        Intersect(PixelBox{t.clip.left, t.clip.top, t.clip.right, t.clip.bottom}, image);
    const PixelBox box = Intersect(t.font->InkBox(t.x, t.y, t.ansi, t.charExtra), clip);
    if (box.Empty())
        return true;
    if (t.font->DrawBilevel(raster, t.x, t.y, t.ansi, rgb == kWhite, t.charExtra, t.clip))
        return true;
    const std::size_t firstByte = std::size_t(box.left / 8);
    const std::size_t bytes = std::size_t((box.right + 7) / 8) - firstByte;
    const std::int64_t left = std::int64_t(firstByte) * 8, top = box.top;
    const int w = int(bytes * 8), h = int(box.bottom - box.top);
    Image tile;
    tile.width = w;
    tile.height = h;
    tile.pixels.resize(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y)
        UnpackBilevelRow(raster.Row(int(top) + y) + firstByte, w,
                         tile.pixels.data() + std::size_t(y) * std::size_t(w));
    // The spare bits past the width stay black (0): the clip keeps the text off them.
    t.font->Draw(tile, t.x - left, t.y - top, t.ansi, t.color, t.charExtra,
                 TextClip{clip.left - left, clip.top - top, clip.right - left, clip.bottom - top});
    for (int y = 0; y < h; ++y)
        if (!PackBilevelRow(tile.pixels.data() + std::size_t(y) * std::size_t(w), w,
                            raster.bits.data() + std::size_t(top + y) * raster.stride + firstByte))
            return false;
    return true;
}

// Eight pixels for each byte of a row.
struct UnpackTable {
    std::array<std::array<Pixel, 8>, 256> pixels;
    UnpackTable() {
        for (int byte = 0; byte < 256; ++byte)
            for (int bit = 0; bit < 8; ++bit)
                pixels[std::size_t(byte)][std::size_t(bit)] =
                    (byte >> (7 - bit)) & 1 ? kWhitePixel : kBlackPixel;
    }
};
const UnpackTable kUnpack;

} // namespace

bool ReplayBilevel(const PaintRecord& record, int width, int height, Bilevel& out) {
    out.width = std::max(width, 0);
    out.height = std::max(height, 0);
    out.stride = (std::size_t(out.width) + 7) / 8;
    out.bits.assign(out.stride * std::size_t(out.height), 0xFF);
    if (out.width % 8 != 0)
        for (int y = 0; y < out.height; ++y)
            out.bits[std::size_t(y) * out.stride + out.stride - 1] =
                std::uint8_t(0xFFu << (8 - out.width % 8));
    FillGroup fills(out);
    for (const PaintOperation& op : record.operations) {
        if (const auto* fill = std::get_if<PaintedFill>(&op)) {
            if (fill->pixel != kBlackPixel && fill->pixel != kWhitePixel)
                return false;
            const PixelBox box = Intersect(fill->box, PixelBox{0, 0, out.width, out.height});
            if (!box.Empty())
                fills.Add(box, fill->pixel == kWhitePixel);
            continue;
        }
        fills.Flush(); // what was painted before the text lies under it
        if (!PaintText(std::get<PaintedText>(op), out))
            return false;
    }
    fills.Flush();
    return true;
}

void FillBilevel(Bilevel& raster, const PixelBox& box, bool white) {
    const PixelBox c = Intersect(box, PixelBox{0, 0, raster.width, raster.height});
    if (c.Empty())
        return;
    for (std::int64_t y = c.top; y < c.bottom; ++y)
        ApplyBits(raster.bits.data() + std::size_t(y) * raster.stride, c.left, c.right,
                  white ? SetBits : ClearBits);
}

Image ToImage(const Bilevel& bilevel) {
    Image image;
    image.width = bilevel.width;
    image.height = bilevel.height;
    image.pixels.resize(std::size_t(image.width) * std::size_t(image.height));
    for (int y = 0; y < bilevel.height; ++y)
        UnpackBilevelRow(bilevel.Row(y), bilevel.width,
                         image.pixels.data() + std::size_t(y) * std::size_t(image.width));
    return image;
}

bool PackBilevelRow(const Pixel* row, int width, std::uint8_t* out) {
    constexpr Pixel kRgbMask = 0x00FFFFFFu;
    int x = 0;
#if defined(__SSE2__)
    // Four pixels per compare: the sign bits of "equals white" are the four bits, lowest
    // first; a nibble table turns them round.
    static constexpr std::uint8_t kReversed[16] = {0, 8, 4, 12, 2, 10, 6, 14,
                                                   1, 9, 5, 13, 3, 11, 7, 15};
    const __m128i rgbMask = _mm_set1_epi32(int(kRgbMask));
    const __m128i white = _mm_set1_epi32(int(kRgbMask));
    const __m128i black = _mm_setzero_si128();
    __m128i pure = _mm_set1_epi32(-1);
    for (; x + 8 <= width; x += 8) {
        const __m128i a =
            _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x)), rgbMask);
        const __m128i b =
            _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x + 4)), rgbMask);
        const __m128i whiteA = _mm_cmpeq_epi32(a, white), whiteB = _mm_cmpeq_epi32(b, white);
        pure = _mm_and_si128(pure, _mm_or_si128(whiteA, _mm_cmpeq_epi32(a, black)));
        pure = _mm_and_si128(pure, _mm_or_si128(whiteB, _mm_cmpeq_epi32(b, black)));
        const int bitsA = _mm_movemask_ps(_mm_castsi128_ps(whiteA));
        const int bitsB = _mm_movemask_ps(_mm_castsi128_ps(whiteB));
        out[x / 8] = std::uint8_t((kReversed[bitsA] << 4) | kReversed[bitsB]);
    }
    if (_mm_movemask_epi8(pure) != 0xFFFF)
        return false;
#endif
    Pixel impure = 0;
    std::uint8_t partial = 0;
    for (; x < width; ++x) {
        const Pixel rgb = row[x] & kRgbMask;
        impure |= Pixel(rgb != 0 && rgb != kRgbMask);
        partial |= std::uint8_t((rgb & 1) << (7 - x % 8));
        if (x % 8 == 7 || x + 1 == width) {
            out[x / 8] = partial;
            partial = 0;
        }
    }
    return impure == 0;
}

void UnpackBilevelRow(const std::uint8_t* bits, int width, Pixel* row) {
    int x = 0;
    for (; x + 8 <= width; x += 8)
        std::memcpy(row + x, kUnpack.pixels[*bits++].data(), 8 * sizeof(Pixel));
    if (x < width)
        std::memcpy(row + x, kUnpack.pixels[*bits].data(), std::size_t(width - x) * sizeof(Pixel));
}

} // namespace quillion
