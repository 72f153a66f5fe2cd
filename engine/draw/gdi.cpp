#include "draw/gdi.h"

#include "draw/raster.h"
#include "draw/surface.h"
#include "fonts/fonts.h"
#include "runtime/ansi.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <utility>

namespace quillion {

namespace {

// Handle ranges: created objects count up from kFirstHandle; stock objects and the surface's
// own font live far above, where created handles never reach.
constexpr HGDIOBJ kFirstHandle = 0x00010000;
constexpr HGDIOBJ kStockBase = 0x7F000000;
constexpr std::size_t kMaxLiveObjects = 10000; // the host's per-process object quota
constexpr int kDefaultEmHeight = 12;           // a font record with height 0

enum class Kind { Brush, Pen, Font };

struct Object {
    Kind kind = Kind::Brush;
    bool isNull = false;
    COLORREF color = 0;
    int width = 1;
    LOGFONTA logFont{};
    // A created font is realised (face found, metrics read) when text first needs it, so a
    // font that is created and selected but never used costs no font lookup.
    mutable std::shared_ptr<const Font> font;
};

Object StockBrush(COLORREF c) {
    return Object{Kind::Brush, false, c, 1, {}, nullptr};
}
Object StockPen(COLORREF c) {
    return Object{Kind::Pen, false, c, 1, {}, nullptr};
}

const std::array<Object, 9>& StockObjects() {
    static const std::array<Object, 9> stock = {
        StockBrush(RGB(255, 255, 255)),               // 0 WHITE_BRUSH
        StockBrush(RGB(192, 192, 192)),               // 1 LTGRAY_BRUSH
        StockBrush(RGB(128, 128, 128)),               // 2 GRAY_BRUSH
        StockBrush(RGB(64, 64, 64)),                  // 3 DKGRAY_BRUSH
        StockBrush(RGB(0, 0, 0)),                     // 4 BLACK_BRUSH
        Object{Kind::Brush, true, 0, 1, {}, nullptr}, // 5 NULL_BRUSH
        StockPen(RGB(255, 255, 255)),                 // 6 WHITE_PEN
        StockPen(RGB(0, 0, 0)),                       // 7 BLACK_PEN
        Object{Kind::Pen, true, 0, 1, {}, nullptr},   // 8 NULL_PEN
    };
    return stock;
}

bool IsStock(HGDIOBJ h) {
    return h >= kStockBase && h < kStockBase + static_cast<HGDIOBJ>(StockObjects().size());
}

std::int32_t Clamp32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

Pixel BrushPixel(COLORREF c) {
    return ToPixel(c & 0xFFFFFFu);
}

FontKey KeyFromLogFont(const LOGFONTA& lf) {
    FontKey key;
    const std::size_t length = strnlen(lf.lfFaceName, sizeof lf.lfFaceName);
    std::u16string face;
    face.reserve(length);
    for (std::size_t i = 0; i < length; ++i)
        face.push_back(
            static_cast<char16_t>(AnsiToUnicode(static_cast<unsigned char>(lf.lfFaceName[i]))));
    key.face = Utf16ToUtf8(face);
    key.weight = lf.lfWeight <= 0 ? FW_NORMAL : std::min(lf.lfWeight, 1000);
    key.italic = lf.lfItalic != 0;
    key.underline = lf.lfUnderline != 0;
    key.strikeout = lf.lfStrikeOut != 0;
    const std::int64_t height = lf.lfHeight;
    if (height < 0)
        key.pixelHeight = static_cast<int>(std::min<std::int64_t>(-height, kMaxPixelHeight));
    else if (height == 0)
        key.pixelHeight = kDefaultEmHeight;
    else
        key.pixelHeight =
            EmHeightForCellHeight(key, std::min<std::int64_t>(height, 2 * kMaxPixelHeight));
    return key;
}

} // namespace

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0)
        return -1;
    std::int64_t product = static_cast<std::int64_t>(a) * b;
    std::int64_t divisor = c;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    // Halves away from zero.
    const std::int64_t result =
        product >= 0 ? (product + divisor / 2) / divisor : (product - divisor / 2) / divisor;
    if (result > std::numeric_limits<std::int32_t>::max() ||
        result < -std::numeric_limits<std::int32_t>::max())
        return -1;
    return static_cast<std::int32_t>(result);
}

void SetRect(RECT& r, std::int32_t left, std::int32_t top, std::int32_t right,
             std::int32_t bottom) {
    r = RECT{left, top, right, bottom};
}

struct DeviceContext::Impl {
    explicit Impl(DrawingSurface& s) : surface(s) {}

    DrawingSurface& surface;
    std::unordered_map<HGDIOBJ, Object> objects;
    std::int64_t nextHandle = kFirstHandle;
    HGDIOBJ brush = kStockBase + WHITE_BRUSH;
    HGDIOBJ pen = kStockBase + BLACK_PEN;
    // The selected brush and pen themselves: a selected object cannot be deleted, and the
    // map's elements stay where they are, so these stay valid while selected.
    const Object* brushObject = &StockObjects()[WHITE_BRUSH];
    const Object* penObject = &StockObjects()[BLACK_PEN];
    HGDIOBJ font = kSurfaceFontHandle;
    COLORREF textColor = kBlack;
    int bkMode = OPAQUE;
    int charExtra = 0;
    // The last font record realised, and its font: a painter creates the same font for every
    // symbol it paints, and the process-wide lookup takes a lock.
    mutable LOGFONTA lastLogFont{};
    mutable std::shared_ptr<const Font> lastFont;

    const Object* Find(HGDIOBJ h) const {
        if (IsStock(h))
            return &StockObjects()[static_cast<std::size_t>(h - kStockBase)];
        const auto it = objects.find(h);
        return it == objects.end() ? nullptr : &it->second;
    }

    HGDIOBJ Add(Object object) {
        if (objects.size() >= kMaxLiveObjects || nextHandle >= kStockBase)
            return 0;
        const auto h = static_cast<HGDIOBJ>(nextHandle++);
        objects.emplace(h, std::move(object));
        return h;
    }

    std::shared_ptr<const Font> CurrentFont() const {
        if (font != kSurfaceFontHandle)
            if (const Object* o = Find(font); o && o->kind == Kind::Font) {
                if (!o->font) {
                    if (!lastFont ||
                        std::memcmp(&lastLogFont, &o->logFont, sizeof(LOGFONTA)) != 0) {
                        lastFont = GetFont(KeyFromLogFont(o->logFont));
                        lastLogFont = o->logFont;
                    }
                    o->font = lastFont;
                }
                return o->font;
            }
        return surface.RealizedFont();
    }
};

DeviceContext::DeviceContext(DrawingSurface& surface) : impl_(std::make_unique<Impl>(surface)) {}
DeviceContext::~DeviceContext() = default;

HGDIOBJ DeviceContext::GetStockObject(int number) const {
    if (number < 0 || static_cast<std::size_t>(number) >= StockObjects().size())
        return 0;
    return kStockBase + number;
}

HGDIOBJ DeviceContext::SelectObject(HGDIOBJ object) {
    HGDIOBJ* slot = nullptr;
    if (object == kSurfaceFontHandle) {
        slot = &impl_->font;
    } else {
        const Object* o = impl_->Find(object);
        if (!o)
            return 0;
        slot = o->kind == Kind::Brush ? &impl_->brush
               : o->kind == Kind::Pen ? &impl_->pen
                                      : &impl_->font;
        if (o->kind == Kind::Brush)
            impl_->brushObject = o;
        else if (o->kind == Kind::Pen)
            impl_->penObject = o;
    }
    return std::exchange(*slot, object);
}

HGDIOBJ DeviceContext::CreateSolidBrush(COLORREF color) {
    return impl_->Add(Object{Kind::Brush, false, color, 1, {}, nullptr});
}

HGDIOBJ DeviceContext::CreatePen(int style, int width, COLORREF color) {
    constexpr int kPsNull = 5;
    // Every pen paints one pixel wide; dashed styles paint solid.
    return impl_->Add(Object{Kind::Pen, style == kPsNull, color, std::max(width, 1), {}, nullptr});
}

HGDIOBJ DeviceContext::CreateFontIndirectA(const LOGFONTA& font) {
    return impl_->Add(Object{Kind::Font, false, 0, 1, font, nullptr});
}

bool DeviceContext::DeleteObject(HGDIOBJ object) {
    if (IsStock(object))
        return true;
    const auto it = impl_->objects.find(object);
    if (it == impl_->objects.end())
        return false;
    if (object == impl_->brush || object == impl_->pen || object == impl_->font)
        return false;
    impl_->objects.erase(it);
    return true;
}

int DeviceContext::LiveObjectCount() const {
    return static_cast<int>(impl_->objects.size());
}

bool DeviceContext::Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                              std::int32_t bottom) {
    std::int64_t l = left, t = top, r = right, b = bottom;
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    const Object* pen = impl_->penObject;
    const Object* brush = impl_->brushObject;
    const bool hasPen = pen && !pen->isNull;
    const bool hasBrush = brush && !brush->isNull;
    // Painting a blank surface in its own colour changes nothing: it stays blank, unwritten.
    const bool oneColour =
        (hasPen && hasBrush && BrushPixel(pen->color) == BrushPixel(brush->color)) ||
        (!hasPen && hasBrush);
    if (oneColour && impl_->surface.IsBlank(BrushPixel(brush->color)))
        return true;
    DrawingSurface& image = impl_->surface;
    if (hasPen && hasBrush && BrushPixel(pen->color) == BrushPixel(brush->color)) {
        // Outline and inside of one colour (a bar): together they cover the whole rectangle.
        image.FillPixels(PixelBox{l, t, r, b}, BrushPixel(brush->color));
    } else if (hasPen) {
        // The outline covers columns l..r-1 and rows t..b-1; the brush fills inside it.
        if (hasBrush)
            image.FillPixels(PixelBox{l + 1, t + 1, r - 1, b - 1}, BrushPixel(brush->color));
        if (r > l && b > t) {
            const Pixel p = BrushPixel(pen->color);
            image.FillPixels(PixelBox{l, t, r, t + 1}, p);
            image.FillPixels(PixelBox{l, b - 1, r, b}, p);
            image.FillPixels(PixelBox{l, t, l + 1, b}, p);
            image.FillPixels(PixelBox{r - 1, t, r, b}, p);
        }
    } else if (hasBrush) {
        // Without a pen the fill stops one pixel short on the right and at the bottom.
        image.FillPixels(PixelBox{l, t, r - 1, b - 1}, BrushPixel(brush->color));
    }
    return true;
}

std::string DeviceContext::SelectedFontProblem() const {
    return impl_->CurrentFont()->Problem();
}

int DeviceContext::GetDeviceCaps(int index) const {
    constexpr int kHorzRes = 8, kVertRes = 10, kBitsPixel = 12, kPlanes = 14;
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return kPixelsPerInch;
    case kHorzRes:
        return impl_->surface.WidthPx();
    case kVertRes:
        return impl_->surface.HeightPx();
    case kBitsPixel:
        return 32;
    case kPlanes:
        return 1;
    default:
        return 0;
    }
}

bool DeviceContext::GetTextMetricsA(TEXTMETRICA& tm) const {
    const auto font = impl_->CurrentFont();
    const FontMetrics& m = font->Metrics();
    const FontKey& key = font->Key();
    tm = TEXTMETRICA{};
    tm.tmHeight = m.height;
    tm.tmAscent = m.ascent;
    tm.tmDescent = m.descent;
    tm.tmInternalLeading = m.internalLeading;
    tm.tmExternalLeading = m.externalLeading;
    tm.tmAveCharWidth = m.aveCharWidth;
    tm.tmMaxCharWidth = m.maxCharWidth;
    tm.tmWeight = key.weight;
    tm.tmItalic = key.italic ? 255 : 0;
    tm.tmUnderlined = key.underline ? 255 : 0;
    tm.tmStruckOut = key.strikeout ? 255 : 0;
    // TMPF_VECTOR | TMPF_TRUETYPE, and the "not fixed" bit for proportional faces.
    tm.tmPitchAndFamily = static_cast<std::uint8_t>(0x06 | (m.fixedPitch ? 0 : 0x01));
    return true;
}

int DeviceContext::GetTextExtentPoint32A(std::string_view text, std::int32_t count,
                                         SIZE& size) const {
    if (count < 0)
        return 0;
    const auto font = impl_->CurrentFont();
    const std::string_view run = text.substr(0, std::min<std::size_t>(text.size(), count));
    size.cx = font->TextWidth(run, impl_->charExtra);
    size.cy = font->Metrics().height;
    return 1;
}

COLORREF DeviceContext::SetTextColor(COLORREF color) {
    return std::exchange(impl_->textColor, color);
}

int DeviceContext::SetBkMode(int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(impl_->bkMode, mode);
}

int DeviceContext::SetTextCharacterExtra(int extra) {
    return std::exchange(impl_->charExtra, extra);
}

COLORREF DeviceContext::GetPixel(std::int32_t x, std::int32_t y) const {
    const Image& image = impl_->surface.GetImage();
    if (!image.Contains(x, y))
        return 0xFFFFFFFFu;
    return ToColorRef(image.At(x, y));
}

COLORREF DeviceContext::SetPixel(std::int32_t x, std::int32_t y, COLORREF color) {
    const Image& image = impl_->surface.GetImage();
    if (!image.Contains(x, y))
        return 0xFFFFFFFFu;
    impl_->surface.FillPixels(PixelBox{x, y, std::int64_t{x} + 1, std::int64_t{y} + 1},
                              ToPixel(color & 0xFFFFFFu));
    return color & 0xFFFFFFu;
}

// One line at the top of the rectangle, clipped to the rectangle (no DT_NOCLIP here), with the
// text colour, background mode and character extra of the context. The centre bit wins over
// the right bit. No prefix ("&") or line-break processing: callers draw one plain line.
int DeviceContext::DrawTextA(std::string_view text, std::int32_t count, RECT& rect,
                             std::uint32_t format) {
    std::string_view run;
    if (count == -1)
        run = text.substr(0, std::min(text.size(), text.find('\0')));
    else if (count >= 0)
        run = text.substr(0, std::min<std::size_t>(text.size(), count));
    else
        return 0;
    if (run.empty()) {
        if (format & DT_CALCRECT) {
            rect.right = rect.left;
            rect.bottom = rect.top;
        }
        return 0;
    }
    const auto font = impl_->CurrentFont();
    const int height = font->Metrics().height;
    std::int64_t width = 0;
    for (const char ch : run)
        width += static_cast<std::int64_t>(font->Advance(static_cast<unsigned char>(ch))) +
                 impl_->charExtra;
    if (format & DT_CALCRECT) {
        rect.right = Clamp32(std::int64_t{rect.left} + width);
        rect.bottom = Clamp32(std::int64_t{rect.top} + height);
        return height;
    }
    const std::int64_t left = rect.left, right = rect.right;
    std::int64_t x = left;
    if (format & DT_CENTER) {
        x = left + (right - left - width) / 2;
    } else if (format & DT_RIGHT) {
        x = right - width;
    }
    const std::int64_t y = rect.top;
    const TextClip clip{left, rect.top, right, rect.bottom};
    DrawingSurface& surface = impl_->surface;
    if (impl_->bkMode == OPAQUE)
        surface.FillPixels(Intersect(PixelBox{x, y, x + width, y + height},
                                     PixelBox{clip.left, clip.top, clip.right, clip.bottom}),
                           BrushPixel(kWhite));
    surface.DrawText(x, y, run, font, impl_->textColor, impl_->charExtra, clip);
    return height;
}

HGDIOBJ DeviceContext::SelectedBrush() const {
    return impl_->brush;
}
HGDIOBJ DeviceContext::SelectedPen() const {
    return impl_->pen;
}
HGDIOBJ DeviceContext::SelectedFont() const {
    return impl_->font;
}
COLORREF DeviceContext::TextColor() const {
    return impl_->textColor;
}
int DeviceContext::BkMode() const {
    return impl_->bkMode;
}
int DeviceContext::TextCharacterExtra() const {
    return impl_->charExtra;
}

} // namespace quillion
