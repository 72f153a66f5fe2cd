// Colours and the raster image shared by the drawing surface and everything that reads it.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace quillion {

// A colour as the host's API passes it: red in the low byte, then green, then blue.
using COLORREF = std::uint32_t;

constexpr COLORREF RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);

// A pixel in memory: 0xFFRRGGBB, the layout of QImage::Format_RGB32 and of TurboJPEG's
// TJPF_BGRX on little-endian machines, so an image is shown and saved without conversion.
using Pixel = std::uint32_t;

constexpr Pixel ToPixel(COLORREF c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF ToColorRef(Pixel p) {
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

// Makes new elements of a resize without writing them: whoever makes a picture larger writes
// what it uncovers (a resize that zero-filled first wrote a window-sized area every time).
template <typename T> struct UnwrittenAllocator : std::allocator<T> {
    template <typename U> struct rebind { using other = UnwrittenAllocator<U>; };
    UnwrittenAllocator() = default;
    template <typename U> UnwrittenAllocator(const UnwrittenAllocator<U>&) noexcept {}
    template <typename U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <typename U, typename... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
using PixelBuffer = std::vector<Pixel, UnwrittenAllocator<Pixel>>;

// A raster of device pixels, row-major, top row first, no padding.
struct Image {
    int width = 0;
    int height = 0;
    PixelBuffer pixels;

    Image() = default;
    Image(int w, int h, Pixel fill)
        : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), fill) {}

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Pixel At(int x, int y) const {
        return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
    Pixel& At(int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    bool operator==(const Image&) const = default;
};

} // namespace quillion
