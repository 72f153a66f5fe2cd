#include "draw/surface.h"

#include "draw/raster.h"
#include "fonts/fonts.h"
#include "runtime/ansi.h"
#include "runtime/runtime.h"

#include <algorithm>
#include <cmath>

namespace quillion {

namespace {

int CheckedSide(int px) {
    if (px > DrawingSurface::kMaxSide)
        RaiseOverflow();
    return std::max(px, 0);
}

// A coordinate in pixels as a whole pixel: nearest, halves to even; error 6 outside 32 bits.
std::int64_t WholePixel(double px) {
    const double r = RoundHalfEven(px);
    if (!std::isfinite(r) || r < -2147483648.0 || r > 2147483647.0)
        RaiseOverflow();
    return static_cast<std::int64_t>(r);
}

// A requested side in pixels: negative becomes 0, beyond kMaxSide (or not a number) is error 6.
int SidePixels(double px) {
    if (std::isnan(px))
        RaiseOverflow();
    const double r = RoundHalfEven(px);
    if (r > DrawingSurface::kMaxSide)
        RaiseOverflow();
    return r <= 0.0 ? 0 : static_cast<int>(r);
}

// Cuts a recorded operation to an image of w x h pixels.
void CutToSize(PaintOperation& op, std::int64_t w, std::int64_t h) {
    if (auto* fill = std::get_if<PaintedFill>(&op)) {
        fill->box = Intersect(fill->box, PixelBox{0, 0, w, h});
    } else {
        TextClip& clip = std::get<PaintedText>(op).clip;
        clip.right = std::min(clip.right, w);
        clip.bottom = std::min(clip.bottom, h);
    }
}

double UnitsPerPixel(ScaleMode mode) {
    return mode == ScaleMode::Twips ? kTwipsPerPixel : 1.0;
}

} // namespace

DrawingSurface::DrawingSurface(int widthPx, int heightPx)
    : pending_(true), dc_(std::make_unique<DeviceContext>(*this)) {
    // Blank until drawn: the pixels are written when first looked at, at the size then.
    image_.width = CheckedSide(widthPx);
    image_.height = CheckedSide(heightPx);
}

DrawingSurface::~DrawingSurface() = default;

void DrawingSurface::SetScaleMode(ScaleMode mode) {
    scaleMode_ = mode;
}

double DrawingSurface::ScaleWidth() const {
    return FromPixels(image_.width);
}
double DrawingSurface::ScaleHeight() const {
    return FromPixels(image_.height);
}

double DrawingSurface::ToPixelsX(double v) const {
    return v / UnitsPerPixel(scaleMode_);
}
double DrawingSurface::ToPixelsY(double v) const {
    return v / UnitsPerPixel(scaleMode_);
}
double DrawingSurface::FromPixels(double px) const {
    return px * UnitsPerPixel(scaleMode_);
}

double DrawingSurface::ContainerToPixels(double v) const {
    return v / UnitsPerPixel(containerMode_);
}
double DrawingSurface::PixelsToContainer(double px) const {
    return px * UnitsPerPixel(containerMode_);
}

double DrawingSurface::OuterWidth() const {
    return PixelsToContainer(image_.width);
}
double DrawingSurface::OuterHeight() const {
    return PixelsToContainer(image_.height);
}

void DrawingSurface::SetOuterWidth(double w) {
    ResizePixels(SidePixels(ContainerToPixels(w)), image_.height);
}

void DrawingSurface::SetOuterHeight(double h) {
    ResizePixels(image_.width, SidePixels(ContainerToPixels(h)));
}

void DrawingSurface::ResizePixels(int widthPx, int heightPx) {
    const int w = CheckedSide(widthPx), h = CheckedSide(heightPx);
    if (w == image_.width && h == image_.height)
        return;
    const Pixel background = ToPixel(backColor_);
    const std::size_t newSize = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    if (record_) {
        for (PaintOperation& op : record_->operations)
            CutToSize(op, w, h);
        // New pixels take the background colour; white is what a record starts from.
        if (background != ToPixel(kWhite)) {
            record_->operations.push_back(PaintedFill{PixelBox{image_.width, 0, w, h}, background});
            record_->operations.push_back(
                PaintedFill{PixelBox{0, image_.height, w, h}, background});
        }
    }
    if (unpainted_ || (blank_ && blankPixel_ == background)) {
        // Nothing painted yet: the record (cut or grown above) or the blank covers the size.
        image_.width = w;
        image_.height = h;
        if (unpainted_)
            return;
        pending_ = true;
        doneWidth_ = doneHeight_ = 0;
        layoutWidth_ = 0;
        return;
    }
    if (w <= image_.width && h <= image_.height) {
        // Cut smaller: the pixels that stay are written, and stay where they are until someone
        // looks at them.
        if (pending_) {
            Extend(w, h);
            pending_ = false;
            doneWidth_ = doneHeight_ = 0;
        }
        if (w < image_.width && layoutWidth_ == 0)
            layoutWidth_ = image_.width;
        if (layoutWidth_ == 0)
            image_.pixels.resize(newSize); // only rows at the bottom go
        image_.width = w;
        image_.height = h;
        return;
    }
    Materialize();
    // In place: rows that stay move to their new places, the rest takes the background. The
    // rows kept never lie beyond the new size, so growing or cutting the buffer first is safe.
    const int oldW = image_.width;
    const int keepW = std::min(w, oldW), keepH = std::min(h, image_.height);
    image_.pixels.resize(newSize, background);
    Pixel* const data = image_.pixels.data();
    const auto at = [&](int y, int width) { return data + static_cast<std::size_t>(y) * width; };
    if (w < oldW) {
        for (int y = 1; y < keepH; ++y)
            std::copy(at(y, oldW), at(y, oldW) + keepW, at(y, w));
    } else if (w > oldW) {
        for (int y = keepH - 1; y >= 0; --y) {
            if (y > 0) // row 0 stays where it is
                std::copy_backward(at(y, oldW), at(y, oldW) + keepW, at(y, w) + keepW);
            std::fill(at(y, w) + keepW, at(y, w) + w, background);
        }
    }
    std::fill(at(keepH, w), data + newSize, background);
    image_.width = w;
    image_.height = h;
}

void DrawingSurface::CopyImageFrom(const DrawingSurface& other) {
    if (&other == this)
        return;
    const Image& source = other.GetImage();
    recordWhole_ = unpainted_ = false;
    image_.pixels = source.pixels;
    image_.width = source.width;
    image_.height = source.height;
    blank_ = false;
    pending_ = false;
    currentX_ = 0.0;
    currentY_ = 0.0;
    if (record_) {
        record_->operations =
            other.record_ ? other.record_->operations : std::vector<PaintOperation>{};
        if (!other.record_) // pixels the record cannot describe
            record_->complete = false;
    }
}

void DrawingSurface::TakeImageFrom(DrawingSurface& other) {
    if (&other == this)
        return;
    currentX_ = 0.0;
    currentY_ = 0.0;
    if (other.unpainted_ && deferred_ && record_) {
        // Pixels still owed: the operations that owe them move instead (the other's record
        // no longer describes the other, which is left blank).
        record_->operations.swap(other.record_->operations);
        other.record_->operations.clear();
        image_.width = other.image_.width;
        image_.height = other.image_.height;
        other.LeaveBlank();
        blank_ = false;
        recordWhole_ = unpainted_ = true;
        return;
    }
    recordWhole_ = unpainted_ = false;
    // The other's pixels, a cut picture's rows put together where they lie, become this
    // surface's; the other is left blank, so it takes this surface's old buffer to paint in.
    other.Materialize();
    image_.pixels.swap(other.image_.pixels);
    image_.width = other.image_.width;
    image_.height = other.image_.height;
    other.LeaveBlank();
    blank_ = false;
    pending_ = false;
    doneWidth_ = doneHeight_ = 0;
    layoutWidth_ = 0;
    if (record_) {
        record_->operations =
            other.record_ ? other.record_->operations : std::vector<PaintOperation>{};
        if (!other.record_)
            record_->complete = false;
    }
}

Image DrawingSurface::TakeImage() {
    Materialize();
    Image taken;
    taken.width = image_.width;
    taken.height = image_.height;
    taken.pixels.swap(image_.pixels);
    LeaveBlank();
    return taken;
}

void DrawingSurface::LeaveBlank() {
    recordWhole_ = unpainted_ = false; // a record kept describes the image taken
    blank_ = true;
    pending_ = true;
    blankPixel_ = ToPixel(backColor_);
    doneWidth_ = doneHeight_ = 0;
    layoutWidth_ = 0;
}

void DrawingSurface::FillPending() const {
    const std::size_t stride = std::size_t(image_.width);
    if (layoutWidth_ != 0) {
        // Puts the rows of a cut image together.
        Pixel* const data = image_.pixels.data();
        for (std::size_t y = 1; y < std::size_t(image_.height); ++y)
            std::copy_n(data + y * std::size_t(layoutWidth_), stride, data + y * stride);
        image_.pixels.resize(stride * std::size_t(image_.height));
        layoutWidth_ = 0;
        return;
    }
    if (doneWidth_ == 0 || doneHeight_ == 0)
        image_.pixels.assign(stride * std::size_t(image_.height), blankPixel_);
    else
        Extend(image_.width, image_.height);
    pending_ = false;
    doneWidth_ = doneHeight_ = 0;
}

void DrawingSurface::Extend(int w, int h) const {
    const std::size_t stride = std::size_t(image_.width);
    if (doneWidth_ == 0 || doneHeight_ == 0) {
        image_.pixels.resize(stride * std::size_t(image_.height)); // written below as needed
        doneWidth_ = doneHeight_ = 0;
    }
    // Wider by a few columns at a time (bars are painted one after the other, left to right).
    constexpr int kColumnsAtOnce = 64;
    const int newWidth = w <= doneWidth_
                             ? doneWidth_
                             : std::max(w, std::min(image_.width, doneWidth_ + kColumnsAtOnce));
    const int newHeight = std::max(doneHeight_, h);
    Pixel* const data = image_.pixels.data();
    if (newWidth > doneWidth_)
        for (int y = 0; y < doneHeight_; ++y)
            FillRun(data + std::size_t(y) * stride + std::size_t(doneWidth_),
                    std::size_t(newWidth - doneWidth_), blankPixel_);
    if (newWidth == image_.width && newHeight > doneHeight_) // whole rows: one run
        FillRun(data + std::size_t(doneHeight_) * stride,
                std::size_t(newHeight - doneHeight_) * stride, blankPixel_);
    else
        for (int y = doneHeight_; y < newHeight; ++y)
            FillRun(data + std::size_t(y) * stride, std::size_t(newWidth), blankPixel_);
    doneWidth_ = newWidth;
    doneHeight_ = newHeight;
}

void DrawingSurface::Uncover(const PixelBox& box, bool covered) {
    if (box.Empty())
        return;
    if (covered && (doneWidth_ == 0 || doneHeight_ == 0) && box.left == 0 && box.top == 0) {
        // The first painting from the corner: it writes every pixel it uncovers.
        image_.pixels.resize(std::size_t(image_.width) * std::size_t(image_.height));
        doneWidth_ = int(box.right);
        doneHeight_ = int(box.bottom);
        return;
    }
    Extend(int(box.right), int(box.bottom));
}

void DrawingSurface::Cls() {
    recordWhole_ = unpainted_ = false;
    blank_ = true;
    blankPixel_ = ToPixel(backColor_);
    pending_ = true;
    doneWidth_ = doneHeight_ = 0;
    layoutWidth_ = 0;
    if (record_) {
        if (picture_)
            record_->operations = pictureOperations_;
        else
            RecordBlank();
    }
    if (picture_) {
        Materialize();
        blank_ = false;
        const int w = std::min(image_.width, picture_->width);
        const int h = std::min(image_.height, picture_->height);
        for (int y = 0; y < h; ++y) {
            const Pixel* src =
                picture_->pixels.data() + static_cast<std::size_t>(y) * picture_->width;
            std::copy(src, src + w,
                      image_.pixels.data() + static_cast<std::size_t>(y) * image_.width);
        }
    }
    currentX_ = 0.0;
    currentY_ = 0.0;
}

// Taking the background picture away repaints the persistent image from the background colour,
// so nothing of the old picture stays visible.
void DrawingSurface::ClearPicture() {
    if (!picture_)
        return;
    picture_.reset();
    pictureOperations_.clear();
    unpainted_ = false;
    blankPixel_ = ToPixel(backColor_);
    blank_ = true;
    pending_ = true;
    doneWidth_ = doneHeight_ = 0;
    layoutWidth_ = 0;
    if (record_)
        RecordBlank();
}

void DrawingSurface::RecordBlank() {
    recordWhole_ = true;
    record_->operations.clear();
    if (blankPixel_ != ToPixel(kWhite)) // white is what a record starts from
        record_->operations.push_back(
            PaintedFill{PixelBox{0, 0, image_.width, image_.height}, blankPixel_});
}

void DrawingSurface::SetPictureFromImage() {
    picture_ = std::make_unique<Image>(GetImage());
    pictureOperations_ = record_ ? record_->operations : std::vector<PaintOperation>{};
}

void DrawingSurface::SetPaintRecord(PaintRecord* record) {
    Materialize(); // pixels owed by the old record
    recordWhole_ = false;
    record_ = record;
    if (record_)
        *record_ = PaintRecord{};
}

void DrawingSurface::DrawText(std::int64_t x, std::int64_t y, std::string_view ansi,
                              const std::shared_ptr<const quillion::Font>& font, COLORREF color,
                              int charExtra, const TextClip& clip) {
    if (Deferring()) {
        unpainted_ = true;
    } else {
        if (unpainted_)
            PaintRecorded();
        if (layoutWidth_ != 0)
            FillPending();
        if (pending_)
            Uncover(ClipToImage(Intersect(font->InkBox(x, y, ansi, charExtra),
                                          PixelBox{clip.left, clip.top, clip.right, clip.bottom}),
                                image_),
                    false);
        font->Draw(image_, x, y, ansi, color, charExtra, clip);
    }
    blank_ = false;
    if (record_) [[unlikely]]
        record_->operations.emplace_back(
            PaintedText{x, y, std::string(ansi), font, color, charExtra, clip});
}

void DrawingSurface::RecordFill(const PixelBox& box, Pixel pixel) {
    // A fill over the whole image hides everything painted before it: a picture repainted over
    // its last painting (UPC after Cls) does not carry it along.
    if (box.left <= 0 && box.top <= 0 && box.right >= image_.width && box.bottom >= image_.height)
        record_->operations.clear();
    record_->operations.emplace_back(PaintedFill{box, pixel});
}

void DrawingSurface::SetPaintingDeferred(bool deferred) {
    if (!deferred)
        Materialize();
    deferred_ = deferred;
}

void DrawingSurface::PaintRecorded() const {
    image_.pixels.assign(std::size_t(image_.width) * std::size_t(image_.height), ToPixel(kWhite));
    ReplayPaintRecord(*record_, image_);
    unpainted_ = false;
    pending_ = false;
    doneWidth_ = doneHeight_ = 0;
    layoutWidth_ = 0;
}

void DrawingSurface::FillBox(double x1, double y1, double x2, double y2, COLORREF color) {
    std::int64_t l = WholePixel(ToPixelsX(x1)), r = WholePixel(ToPixelsX(x2));
    std::int64_t t = WholePixel(ToPixelsY(y1)), b = WholePixel(ToPixelsY(y2));
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    FillPixels(PixelBox{l, t, r + 1, b + 1}, ToPixel(color & 0xFFFFFFu));
}

std::shared_ptr<const Font> DrawingSurface::RealizedFont() const {
    if (!realized_ || realizedFor_ != font_) {
        FontKey key;
        key.face = font_.name;
        const double ppem = RoundHalfEven(font_.size * kPixelsPerInch / 72.0);
        key.pixelHeight =
            std::isnan(ppem)
                ? 1
                : static_cast<int>(std::clamp(ppem, 1.0, static_cast<double>(kMaxPixelHeight)));
        key.weight = font_.bold ? FW_BOLD : FW_NORMAL;
        key.italic = font_.italic;
        key.underline = font_.underline;
        key.strikeout = font_.strikethrough;
        realized_ = GetFont(key);
        realizedFor_ = font_;
    }
    return realized_;
}

void DrawingSurface::Print(std::u16string_view text) {
    const auto font = RealizedFont();
    const std::int64_t x = WholePixel(ToPixelsX(currentX_));
    const std::int64_t y = WholePixel(ToPixelsY(currentY_));
    DrawText(x, y, ToAnsi(text), font, foreColor_, 0, TextClip{});
    currentX_ = 0.0;
    currentY_ += FromPixels(font->Metrics().height);
}

double DrawingSurface::TextWidth(std::u16string_view text) const {
    return FromPixels(RealizedFont()->TextWidth(ToAnsi(text)));
}

double DrawingSurface::TextHeight(std::u16string_view) const {
    return FromPixels(RealizedFont()->Metrics().height);
}

} // namespace quillion
