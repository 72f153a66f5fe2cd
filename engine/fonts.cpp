#include "fonts.h"

#include "ansi.h"
#include "raster.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>
#include <mutex>
#include <tuple>
#include <unordered_map>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

namespace quillion {

namespace {

// Glyphs up to this em height are rendered once into 1-bit bitmaps and cached; larger ones are
// rasterised straight into the image, clipped, so a huge caption costs no huge bitmaps.
constexpr int kMaxCachedPixelHeight = 256;
constexpr std::size_t kCacheTrimSize = 512;

// One FreeType library for the process. Creating and destroying faces goes through its lock;
// every face is used only under its own font's lock.
struct FtLibrary {
    FT_Library lib = nullptr;
    std::mutex mutex;
    FtLibrary() {
        if (FT_Init_FreeType(&lib) != 0)
            lib = nullptr;
    }
    ~FtLibrary() {
        if (lib)
            FT_Done_FreeType(lib);
    }
};

struct FaceFile {
    std::string path;
    int index = 0;
    bool embolden = false;
};

// fontconfig's best match for a family, weight and slant. Its metric aliases give Liberation
// Mono for "Courier New" and Liberation Sans for "Arial", with the bold and italic files.
FaceFile ResolveFace(const std::string& family, int weight, bool italic) {
    FaceFile out;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return out;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match) {
        FcChar8* file = nullptr;
        int index = 0;
        FcBool embolden = FcFalse;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            out.path = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
            out.index = index;
        if (FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch)
            out.embolden = embolden == FcTrue;
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return out;
}

std::int64_t RoundScaled(std::int64_t units, std::int64_t ppem, std::int64_t upem) {
    // units * ppem / upem to the nearest integer, halves away from zero.
    const std::int64_t num = units * ppem;
    const std::int64_t half = upem / 2;
    return num >= 0 ? (num + half) / upem : -((-num + half) / upem);
}

int ClampInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// A cached glyph: its advance and, for small sizes, its 1-bit bitmap.
struct Glyph {
    int advance = 0;
    int left = 0; // bitmap origin relative to the pen position and the baseline
    int top = 0;
    int width = 0;
    int rows = 0;
    int pitch = 0;
    std::vector<std::uint8_t> bits;
};

struct SpanTarget {
    Image* image;
    Pixel pixel;
    std::int64_t penX;
    std::int64_t baseline;
};

void PaintSpans(int y, int count, const FT_Span* spans, void* user) {
    auto* t = static_cast<SpanTarget*>(user);
    const std::int64_t row = t->baseline - 1 - y;
    for (int i = 0; i < count; ++i) {
        if (spans[i].coverage < 128)
            continue;
        const std::int64_t x = t->penX + spans[i].x;
        FillBox(*t->image, PixelBox{x, row, x + spans[i].len, row + 1}, t->pixel);
    }
}

class FtFont final : public Font {
public:
    FtFont(std::shared_ptr<FtLibrary> library, const FontKey& key, const FaceFile& file)
        : library_(std::move(library)), key_(key), embolden_(file.embolden) {
        key_.pixelHeight = std::clamp(key_.pixelHeight, 1, kMaxPixelHeight);
        {
            std::lock_guard lock(library_->mutex);
            if (library_->lib && !file.path.empty() &&
                FT_New_Face(library_->lib, file.path.c_str(), file.index, &face_) != 0)
                face_ = nullptr;
        }
        if (face_ && FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(key_.pixelHeight)) != 0) {
            std::lock_guard lock(library_->mutex);
            FT_Done_Face(face_);
            face_ = nullptr;
        }
        ComputeMetrics();
        for (auto& g : glyphs_)
            g.store(nullptr, std::memory_order_relaxed);
    }

    ~FtFont() override {
        for (auto& g : glyphs_)
            delete g.load(std::memory_order_relaxed);
        if (face_) {
            std::lock_guard lock(library_->mutex);
            FT_Done_Face(face_);
        }
    }

    const FontMetrics& Metrics() const override { return metrics_; }
    const FontKey& Key() const override { return key_; }
    std::string FamilyName() const override {
        return face_ && face_->family_name ? face_->family_name : "";
    }
    int Advance(unsigned char byte) const override { return GlyphFor(byte).advance; }

    using Font::Draw;
    void Draw(Image& image, std::int64_t x, std::int64_t y, std::string_view ansi, COLORREF color,
              int charExtra, const TextClip& clip) const override {
        const PixelBox clipBox =
            ClipToImage(PixelBox{clip.left, clip.top, clip.right, clip.bottom}, image);
        if (clipBox.Empty() || ansi.empty())
            return;
        const Pixel pixel = ToPixel(color & 0xFFFFFFu);
        const std::int64_t baseline = y + metrics_.ascent;
        std::int64_t pen = x;
        for (const char ch : ansi) {
            const auto byte = static_cast<unsigned char>(ch);
            const Glyph& g = GlyphFor(byte);
            if (key_.pixelHeight <= kMaxCachedPixelHeight)
                PaintBitmap(image, g, pen, baseline, clipBox, pixel);
            else
                PaintOutline(image, byte, pen, baseline, clipBox, pixel);
            pen += static_cast<std::int64_t>(g.advance) + charExtra;
        }
        // Underline and strikeout run under the whole text, extra spacing included.
        if (key_.underline)
            FillBox(
                image,
                Intersect(PixelBox{x, y + underlineTop_, pen, y + underlineTop_ + underlineSize_},
                          clipBox),
                pixel);
        if (key_.strikeout)
            FillBox(
                image,
                Intersect(PixelBox{x, y + strikeTop_, pen, y + strikeTop_ + strikeSize_}, clipBox),
                pixel);
    }

private:
    void ComputeMetrics() {
        metrics_.weight = key_.weight >= 600 ? 700 : 400;
        const std::int64_t ppem = key_.pixelHeight;
        if (!face_) {
            // No face at all (no fonts installed): a box-less font of plausible size.
            metrics_.ascent = ClampInt(ppem * 9 / 10 + 1);
            metrics_.descent = ClampInt(ppem / 4);
            metrics_.height = metrics_.ascent + metrics_.descent;
            metrics_.internalLeading = metrics_.height - key_.pixelHeight;
            metrics_.aveCharWidth = ClampInt(std::max<std::int64_t>(1, ppem / 2));
            metrics_.maxCharWidth = metrics_.aveCharWidth;
            underlineTop_ = metrics_.ascent;
            strikeTop_ = metrics_.ascent / 2;
            return;
        }
        const std::int64_t upem = face_->units_per_EM > 0 ? face_->units_per_EM : 2048;
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
        std::int64_t winAscent = face_->ascender, winDescent = -face_->descender;
        std::int64_t avgWidth = face_->max_advance_width / 2;
        std::int64_t strikePos = upem * 22 / 100, strikeSize = face_->underline_thickness;
        if (os2 && os2->version != 0xFFFFu) {
            winAscent = os2->usWinAscent;
            winDescent = os2->usWinDescent;
            if (os2->xAvgCharWidth > 0)
                avgWidth = os2->xAvgCharWidth;
            strikePos = os2->yStrikeoutPosition;
            strikeSize = os2->yStrikeoutSize;
        }
        metrics_.ascent = ClampInt(RoundScaled(winAscent, ppem, upem));
        metrics_.descent = ClampInt(RoundScaled(winDescent, ppem, upem));
        metrics_.height = metrics_.ascent + metrics_.descent;
        metrics_.internalLeading = metrics_.height - key_.pixelHeight;
        metrics_.aveCharWidth = ClampInt(RoundScaled(avgWidth, ppem, upem));
        metrics_.maxCharWidth = ClampInt(RoundScaled(face_->max_advance_width, ppem, upem));
        const std::int64_t lineSpacing =
            static_cast<std::int64_t>(face_->ascender) - face_->descender +
            std::max<std::int64_t>(0, face_->height - (face_->ascender - face_->descender));
        metrics_.externalLeading = ClampInt(std::max<std::int64_t>(
            0, RoundScaled(lineSpacing - winAscent - winDescent, ppem, upem)));
        metrics_.fixedPitch = FT_IS_FIXED_WIDTH(face_) != 0;

        // Decorations: at least one pixel thick, kept inside the text cell.
        const auto place = [&](std::int64_t top, std::int64_t size, int& outTop, int& outSize) {
            const int height = std::max(metrics_.height, 1);
            outSize = ClampInt(std::clamp<std::int64_t>(size, 1, height));
            outTop = ClampInt(std::clamp<std::int64_t>(top, 0, height - outSize));
        };
        const std::int64_t ulSize = RoundScaled(face_->underline_thickness, ppem, upem);
        // The post table gives the underline's centre line, negative below the baseline.
        const std::int64_t ulTop = metrics_.ascent -
                                   RoundScaled(face_->underline_position, ppem, upem) -
                                   std::max<std::int64_t>(ulSize, 1) / 2;
        place(ulTop, ulSize, underlineTop_, underlineSize_);
        const std::int64_t soSize = RoundScaled(strikeSize, ppem, upem);
        place(metrics_.ascent - RoundScaled(strikePos, ppem, upem), soSize, strikeTop_,
              strikeSize_);
    }

    FT_UInt GlyphIndex(unsigned char byte) const {
        return FT_Get_Char_Index(face_, static_cast<FT_ULong>(AnsiToUnicode(byte)));
    }

    // Loads the hinted outline of a byte's glyph into the face's slot; caller holds mutex_.
    bool LoadOutline(unsigned char byte) const {
        if (FT_Load_Glyph(face_, GlyphIndex(byte), FT_LOAD_TARGET_MONO) != 0)
            return false;
        if (embolden_ && face_->glyph->format == FT_GLYPH_FORMAT_OUTLINE)
            FT_GlyphSlot_Embolden(face_->glyph);
        return true;
    }

    bool RenderMono(FT_GlyphSlot slot) const {
        std::lock_guard libraryLock(library_->mutex); // the rasterisers belong to the library
        return FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0;
    }

    const Glyph& GlyphFor(unsigned char byte) const {
        if (const Glyph* g = glyphs_[byte].load(std::memory_order_acquire))
            return *g;
        std::lock_guard lock(mutex_);
        if (const Glyph* g = glyphs_[byte].load(std::memory_order_acquire))
            return *g;
        auto* g = new Glyph;
        if (!face_) {
            g->advance = metrics_.aveCharWidth;
        } else if (LoadOutline(byte)) {
            FT_GlyphSlot slot = face_->glyph;
            g->advance = ClampInt((slot->advance.x + 32) >> 6);
            if (key_.pixelHeight <= kMaxCachedPixelHeight && RenderMono(slot)) {
                const FT_Bitmap& bm = slot->bitmap;
                g->left = slot->bitmap_left;
                g->top = slot->bitmap_top;
                g->width = static_cast<int>(bm.width);
                g->rows = static_cast<int>(bm.rows);
                g->pitch = std::abs(bm.pitch);
                if (bm.buffer && g->rows > 0 && g->pitch > 0) {
                    g->bits.resize(static_cast<std::size_t>(g->rows) * g->pitch);
                    for (int r = 0; r < g->rows; ++r) {
                        const unsigned char* src =
                            bm.pitch > 0
                                ? bm.buffer + static_cast<std::ptrdiff_t>(r) * bm.pitch
                                : bm.buffer +
                                      static_cast<std::ptrdiff_t>(g->rows - 1 - r) * -bm.pitch;
                        std::copy(src, src + g->pitch,
                                  g->bits.begin() + static_cast<std::ptrdiff_t>(r) * g->pitch);
                    }
                } else {
                    g->width = g->rows = 0;
                }
            }
        }
        glyphs_[byte].store(g, std::memory_order_release);
        return *g;
    }

    static void PaintBitmap(Image& image, const Glyph& g, std::int64_t pen, std::int64_t baseline,
                            const PixelBox& clip, Pixel pixel) {
        if (g.bits.empty())
            return;
        const std::int64_t x0 = pen + g.left, y0 = baseline - g.top;
        const PixelBox box = Intersect(PixelBox{x0, y0, x0 + g.width, y0 + g.rows}, clip);
        if (box.Empty())
            return;
        const auto stride = static_cast<std::size_t>(image.width);
        for (std::int64_t y = box.top; y < box.bottom; ++y) {
            const std::uint8_t* bits = g.bits.data() + static_cast<std::size_t>(y - y0) * g.pitch;
            Pixel* row = image.pixels.data() + static_cast<std::size_t>(y) * stride;
            for (std::int64_t x = box.left; x < box.right; ++x) {
                const auto c = static_cast<std::size_t>(x - x0);
                if (bits[c >> 3] & (0x80u >> (c & 7)))
                    row[x] = pixel;
            }
        }
    }

    void PaintOutline(Image& image, unsigned char byte, std::int64_t pen, std::int64_t baseline,
                      const PixelBox& clip, Pixel pixel) const {
        if (!face_)
            return;
        std::lock_guard lock(mutex_);
        if (!LoadOutline(byte) || face_->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
            return;
        FT_Outline& outline = face_->glyph->outline;
        FT_BBox cbox;
        FT_Outline_Get_CBox(&outline, &cbox);
        // Everything in the glyph's own pixel coordinates (y up from the baseline).
        const PixelBox glyphBox{cbox.xMin >> 6, cbox.yMin >> 6, (cbox.xMax + 63) >> 6,
                                (cbox.yMax + 63) >> 6};
        const PixelBox clipInGlyph{clip.left - pen, baseline - clip.bottom, clip.right - pen,
                                   baseline - clip.top};
        const PixelBox box = Intersect(glyphBox, clipInGlyph);
        if (box.Empty())
            return;
        SpanTarget target{&image, pixel, pen, baseline};
        FT_Raster_Params params{};
        params.source = &outline;
        params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
        params.gray_spans = PaintSpans;
        params.user = &target;
        params.clip_box = FT_BBox{static_cast<FT_Pos>(box.left), static_cast<FT_Pos>(box.top),
                                  static_cast<FT_Pos>(box.right), static_cast<FT_Pos>(box.bottom)};
        std::lock_guard libraryLock(library_->mutex); // the rasterisers belong to the library
        FT_Outline_Render(library_->lib, &outline, &params);
    }

    std::shared_ptr<FtLibrary> library_;
    FontKey key_;
    bool embolden_ = false;
    FT_Face face_ = nullptr;
    FontMetrics metrics_;
    int underlineTop_ = 0, underlineSize_ = 1, strikeTop_ = 0, strikeSize_ = 1;
    mutable std::mutex mutex_;
    mutable std::array<std::atomic<const Glyph*>, 256> glyphs_;
};

struct FontKeyHash {
    std::size_t operator()(const FontKey& k) const noexcept {
        std::size_t h = std::hash<std::string>{}(k.face);
        const auto mix = [&](std::size_t v) {
            h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
        };
        mix(static_cast<std::size_t>(k.pixelHeight));
        mix(static_cast<std::size_t>(k.weight));
        mix((k.italic ? 1u : 0u) | (k.underline ? 2u : 0u) | (k.strikeout ? 4u : 0u));
        return h;
    }
};

struct Registry {
    std::mutex mutex;
    std::shared_ptr<FtLibrary> library = std::make_shared<FtLibrary>();
    std::unordered_map<FontKey, std::shared_ptr<const Font>, FontKeyHash> fonts;
    std::map<std::tuple<std::string, int, bool>, FaceFile> files;

    const FaceFile& File(const FontKey& key) {
        std::string family = key.face;
        std::transform(family.begin(), family.end(), family.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const int weight = key.weight <= 0 ? 400 : std::min(key.weight, 1000);
        auto k = std::make_tuple(std::move(family), weight, key.italic);
        auto it = files.find(k);
        if (it == files.end())
            it = files.emplace(k, ResolveFace(key.face, weight, key.italic)).first;
        return it->second;
    }
};

Registry& TheRegistry() {
    static Registry* registry = new Registry; // lives to the end of the process
    return *registry;
}

} // namespace

int Font::TextWidth(std::string_view ansi, int charExtra) const {
    std::int64_t width = 0;
    for (const char ch : ansi)
        width += static_cast<std::int64_t>(Advance(static_cast<unsigned char>(ch))) + charExtra;
    return ClampInt(width);
}

void Font::Draw(Image& image, int x, int y, std::string_view ansi, COLORREF color,
                int charExtra) const {
    Draw(image, std::int64_t{x}, std::int64_t{y}, ansi, color, charExtra, TextClip{});
}

std::shared_ptr<const Font> GetFont(const FontKey& requested) {
    FontKey key = requested;
    key.pixelHeight = std::clamp(key.pixelHeight, 1, kMaxPixelHeight);
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto it = r.fonts.find(key);
    if (it != r.fonts.end())
        return it->second;
    // Callers may ask for any size; let fonts nobody holds go once the cache grows large.
    if (r.fonts.size() >= kCacheTrimSize)
        std::erase_if(r.fonts, [](const auto& entry) { return entry.second.use_count() == 1; });
    auto font = std::make_shared<FtFont>(r.library, key, r.File(key));
    r.fonts.emplace(key, font);
    return font;
}

int EmHeightForCellHeight(const FontKey& key, std::int64_t cellHeight) {
    FontKey probe = key;
    probe.pixelHeight = 2048;
    const FontMetrics& m = GetFont(probe)->Metrics();
    if (m.height <= 0 || cellHeight <= 0)
        return 1;
    // The cell grows linearly with the em; start from the proportion, then settle on the em
    // whose rounded cell does not exceed the request.
    const std::int64_t guess =
        std::clamp<std::int64_t>((cellHeight * 2048 + m.height / 2) / m.height, 1, kMaxPixelHeight);
    int ppem = static_cast<int>(guess);
    FontKey k = key;
    for (int step = 0; step < 4; ++step) {
        k.pixelHeight = ppem;
        const int h = GetFont(k)->Metrics().height;
        if (h > cellHeight && ppem > 1)
            --ppem;
        else if (h < cellHeight && ppem < kMaxPixelHeight) {
            k.pixelHeight = ppem + 1;
            if (GetFont(k)->Metrics().height <= cellHeight)
                ++ppem;
            else
                break;
        } else
            break;
    }
    return ppem;
}

} // namespace quillion
