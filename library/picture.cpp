#include "picture_detail.h"

#include <algorithm>
#include <utility>

namespace quillion::api {
namespace {

const std::shared_ptr<const Picture::Detail>& EmptyDetail() {
    static const auto empty = std::make_shared<const Picture::Detail>();
    return empty;
}

} // namespace

Picture::Picture() : detail_(EmptyDetail()) {}
Picture::Picture(std::shared_ptr<const Detail> detail)
    : detail_(detail ? std::move(detail) : EmptyDetail()) {}
Picture::~Picture() = default;
Picture::Picture(const Picture&) = default;
Picture& Picture::operator=(const Picture&) = default;
// A moved-from picture is empty, never null.
Picture::Picture(Picture&& other) noexcept : detail_(std::exchange(other.detail_, EmptyDetail())) {}
Picture& Picture::operator=(Picture&& other) noexcept {
    detail_ = std::exchange(other.detail_, EmptyDetail());
    return *this;
}

const Picture::Detail& Picture::Internal() const {
    return *detail_;
}

int Picture::Width() const {
    return detail_->Width() * detail_->scale;
}
int Picture::Height() const {
    return detail_->Height() * detail_->scale;
}
double Picture::Dpi() const {
    return detail_->dpi;
}

const std::vector<std::uint8_t>& Picture::Rgba() const {
    const Detail& d = *detail_;
    std::call_once(d.rgbaOnce, [&] {
        const int scale = d.scale, width = d.Width(), height = d.Height();
        // A picture kept at one bit is read from its bits, not widened to 32 bits first.
        const bool bits = d.bilevel.width > 0;
        const auto at = [&](int x, int y) {
            return !bits                   ? d.image.At(x, y)
                   : d.bilevel.White(x, y) ? ToPixel(kWhite)
                                           : ToPixel(kBlack);
        };
        const std::size_t rowBytes = std::size_t(width) * std::size_t(scale) * 4;
        d.rgba.resize(rowBytes * std::size_t(height) * std::size_t(scale));
        std::uint8_t* out = d.rgba.data();
        for (int y = 0; y < height; ++y) {
            std::uint8_t* const row = out;
            for (int x = 0; x < width; ++x) {
                const Pixel p = at(x, y);
                for (int k = 0; k < scale; ++k) {
                    *out++ = std::uint8_t(p >> 16);
                    *out++ = std::uint8_t(p >> 8);
                    *out++ = std::uint8_t(p);
                    *out++ = std::uint8_t(p >> 24);
                }
            }
            for (int k = 1; k < scale; ++k)
                out = std::copy(row, row + rowBytes, out);
        }
    });
    return d.rgba;
}

} // namespace quillion::api
