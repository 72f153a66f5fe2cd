#include "fonts/fonts.h"

#include "draw/bilevel.h"

#include "draw/raster.h"
#include "fonts/cache_files.h"
#include "fonts/face_finder.h"
#include "fonts/font_libraries.h"
#include "fonts/glyph_cache.h"
#include "runtime/ansi.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace quillion {

namespace {

// Glyphs up to this em height are rendered once into 1-bit bitmaps and cached; larger ones are
// rasterised straight into the image, clipped, so a huge caption costs no huge bitmaps.
constexpr int kMaxCachedPixelHeight = 256;
constexpr std::size_t kCacheTrimSize = 512;

constexpr std::size_t kMaxKeptFonts = 64;

// FreeType's functions; called only once FreeType().Ready() (a face exists only then).
const FreeTypeFunctions& Ft() {
    return FreeType().call;
}

// One FreeType library for the process, created when the first face is opened (a run whose
// fonts were all kept never creates it). Creating and destroying faces goes through its lock;
// every face is used only under its own font's lock.
class FtLibrary {
public:
    std::mutex mutex;

    // Under mutex: the library, or null when FreeType cannot be loaded or cannot start.
    FT_Library Get() {
        if (!tried_) {
            tried_ = true;
            if (!FreeType().Ready() || Ft().FT_Init_FreeType(&lib_) != 0)
                lib_ = nullptr;
        }
        return lib_;
    }
    ~FtLibrary() {
        if (lib_)
            Ft().FT_Done_FreeType(lib_);
    }

private:
    FT_Library lib_ = nullptr;
    bool tried_ = false;
};

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
    // kept: what an earlier run of this program computed for the same face file and size; the
    // face is then opened only for a glyph that was not kept.
    FtFont(std::shared_ptr<FtLibrary> library, const FontKey& key, const FaceFile& file,
           const KeptFont* kept)
        : library_(std::move(library)), key_(key), file_(file) {
        key_.pixelHeight = std::clamp(key_.pixelHeight, 1, kMaxPixelHeight);
        for (auto& g : glyphs_)
            g.store(nullptr, std::memory_order_relaxed);
        if (kept) {
            faceState_ = kept->faceState;
            metrics_ = kept->font.metrics;
            underlineTop_ = kept->font.underlineTop;
            underlineSize_ = kept->font.underlineSize;
            strikeTop_ = kept->font.strikeTop;
            strikeSize_ = kept->font.strikeSize;
            for (const auto& [byte, glyph] : kept->font.glyphs)
                glyphs_[byte].store(new Glyph(glyph), std::memory_order_relaxed);
            return;
        }
        // The state is taken before the face is read: a change while it is read shows next run.
        // A file changed within the last second may change again unseen (file times are
        // coarse): what is rendered from it is not kept.
        const PathState state = StateOf(file_.path);
        faceState_ = state.word;
        faceSettled_ = Settled(state, WallClockNs());
        OpenFace();
        ComputeMetrics();
    }

    ~FtFont() override {
        for (auto& g : glyphs_)
            delete g.load(std::memory_order_relaxed);
        if (face_) {
            std::lock_guard lock(library_->mutex);
            Ft().FT_Done_Face(face_);
        }
        if (mapped_)
            ::munmap(mapped_, mappedSize_);
    }

    const FontMetrics& Metrics() const override { return metrics_; }
    const FontKey& Key() const override { return key_; }
    std::string FamilyName() const override {
        std::lock_guard lock(mutex_);
        if (!faceOpened_)
            OpenFace(); // a kept font has not opened its face yet
        return face_ && face_->family_name ? face_->family_name : "";
    }
    std::string Problem() const override {
        // A kept font that has not opened its face yet had one, in the same file, when kept.
        std::lock_guard lock(mutex_);
        return problem_;
    }
    int Advance(unsigned char byte) const override { return GlyphFor(byte).advance; }

    // Whether what this font computed can be kept for the next run: it has a face file and
    // renders bitmaps.
    bool Keepable() const {
        std::lock_guard lock(mutex_);
        // A kept font that has not opened its face yet had one when it was kept.
        return !file_.path.empty() && (!faceOpened_ || face_) && faceSettled_ &&
               key_.pixelHeight <= kMaxCachedPixelHeight;
    }
    RenderedFontKey KeptKey() const { return KeyFor(file_, key_); }
    static RenderedFontKey KeyFor(const FaceFile& file, const FontKey& key) {
        return {file.path, file.index, file.embolden, key.pixelHeight,
                key.weight >= 600 ? 700 : 400};
    }
    // The metrics and every glyph rendered so far, with the face file's state.
    KeptFont Snapshot() const {
        std::lock_guard lock(mutex_);
        KeptFont kept{faceState_,
                      {metrics_, underlineTop_, underlineSize_, strikeTop_, strikeSize_, {}}};
        for (std::size_t byte = 0; byte < glyphs_.size(); ++byte)
            if (const Glyph* g = glyphs_[byte].load(std::memory_order_acquire))
                kept.font.glyphs.emplace(static_cast<unsigned char>(byte), *g);
        return kept;
    }
    // True once a glyph was rendered by FreeType rather than taken from the kept ones.
    bool RenderedNew() const { return renderedNew_.load(std::memory_order_acquire); }

    using Font::Draw;
    void Draw(Image& image, std::int64_t x, std::int64_t y, std::string_view ansi, COLORREF color,
              int charExtra, const TextClip& clip) const override {
        struct OnImage {
            const FtFont& font;
            Image& image;
            Pixel pixel;
            void Glyph(unsigned char byte, const quillion::Glyph& g, std::int64_t pen,
                       std::int64_t baseline, const PixelBox& clip) const {
                if (font.key_.pixelHeight <= kMaxCachedPixelHeight)
                    PaintBitmap(image, g, pen, baseline, clip, pixel);
                else
                    font.PaintOutline(image, byte, pen, baseline, clip, pixel);
            }
            void Fill(const PixelBox& box) const { FillBox(image, box, pixel); }
        };
        DrawOn(OnImage{*this, image, ToPixel(color & 0xFFFFFFu)}, x, y, ansi, charExtra,
               ClipToImage(PixelBox{clip.left, clip.top, clip.right, clip.bottom}, image));
    }

    bool DrawBilevel(Bilevel& raster, std::int64_t x, std::int64_t y, std::string_view ansi,
                     bool white, int charExtra, const TextClip& clip) const override {
        if (key_.pixelHeight > kMaxCachedPixelHeight)
            return false; // outlines
        struct OnBits {
            Bilevel& raster;
            bool white;
            void Glyph(unsigned char, const quillion::Glyph& g, std::int64_t pen,
                       std::int64_t baseline, const PixelBox& clip) const {
                PaintBitmap(raster, g, pen, baseline, clip, white);
            }
            void Fill(const PixelBox& box) const { FillBilevel(raster, box, white); }
        };
        DrawOn(OnBits{raster, white}, x, y, ansi, charExtra,
               Intersect(PixelBox{clip.left, clip.top, clip.right, clip.bottom},
                         PixelBox{0, 0, raster.width, raster.height}));
        return true;
    }

    PixelBox InkBox(std::int64_t x, std::int64_t y, std::string_view ansi,
                    int charExtra) const override {
        if (key_.pixelHeight > kMaxCachedPixelHeight)
            return Font::InkBox(x, y, ansi, charExtra); // outlines: not measured here
        PixelBox ink{x, y, x, y};
        const auto add = [&](const PixelBox& b) {
            if (b.Empty())
                return;
            ink = ink.Empty()
                      ? b
                      : PixelBox{std::min(ink.left, b.left), std::min(ink.top, b.top),
                                 std::max(ink.right, b.right), std::max(ink.bottom, b.bottom)};
        };
        const std::int64_t baseline = y + metrics_.ascent;
        std::int64_t pen = x;
        for (const char ch : ansi) {
            const Glyph& g = GlyphFor(static_cast<unsigned char>(ch));
            if (!g.bits.empty()) {
                const std::int64_t x0 = pen + g.left, y0 = baseline - g.top;
                add(PixelBox{x0, y0, x0 + g.width, y0 + g.rows});
            }
            pen += static_cast<std::int64_t>(g.advance) + charExtra;
        }
        if (key_.underline)
            add(PixelBox{x, y + underlineTop_, pen, y + underlineTop_ + underlineSize_});
        if (key_.strikeout)
            add(PixelBox{x, y + strikeTop_, pen, y + strikeTop_ + strikeSize_});
        return ink;
    }

private:
    // Opens the face at the font's size; face_ stays null, and problem_ says why, when there is
    // none. Called once, from the constructor or, for a kept font, under mutex_ when a glyph was
    // not kept. The file is opened without waiting and must be a regular file: a FIFO or device
    // named as a face never holds the program up.
    void OpenFace() const {
        faceOpened_ = true;
        if (file_.path.empty()) {
            problem_ = "no font file serves \"" + key_.face + "\"";
            if (!Fontconfig().Ready())
                problem_ += " (" + Fontconfig().problem + ")";
            return;
        }
        if (!MapFaceFile())
            return;
        FT_Error error = 0;
        {
            std::lock_guard lock(library_->mutex);
            FT_Library lib = library_->Get();
            error = lib ? Ft().FT_New_Memory_Face(lib, static_cast<const FT_Byte*>(mapped_),
                                                  static_cast<FT_Long>(mappedSize_), file_.index,
                                                  &face_)
                        : FT_Err_Cannot_Open_Resource;
            if (error != 0)
                face_ = nullptr;
        }
        if (face_ &&
            Ft().FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(key_.pixelHeight)) != 0) {
            std::lock_guard lock(library_->mutex);
            Ft().FT_Done_Face(face_);
            face_ = nullptr;
            error = FT_Err_Invalid_Pixel_Size;
        }
        if (!face_)
            problem_ = !FreeType().Ready() ? FreeType().problem
                                           : file_.path + " is no font FreeType can read (error " +
                                                 std::to_string(error) + ")";
    }

    // Maps the face file into memory; false, with problem_ set, when it is no readable regular
    // file.
    bool MapFaceFile() const {
        const int fd = ::open(file_.path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            problem_ = "cannot open " + file_.path + ": " + std::strerror(errno);
            return false;
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
            problem_ = file_.path + " is no font file (not a regular file, or empty)";
            ::close(fd);
            return false;
        }
        void* map =
            ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        const int mapError = errno;
        ::close(fd);
        if (map == MAP_FAILED) {
            problem_ = "cannot read " + file_.path + ": " + std::strerror(mapError);
            return false;
        }
        mapped_ = map;
        mappedSize_ = static_cast<std::size_t>(st.st_size);
        return true;
    }

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
        const auto* os2 = static_cast<const TT_OS2*>(Ft().FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
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
        return Ft().FT_Get_Char_Index(face_, static_cast<FT_ULong>(AnsiToUnicode(byte)));
    }

    // Loads the hinted outline of a byte's glyph into the face's slot; caller holds mutex_.
    bool LoadOutline(unsigned char byte) const {
        if (Ft().FT_Load_Glyph(face_, GlyphIndex(byte), FT_LOAD_TARGET_MONO) != 0)
            return false;
        if (file_.embolden && face_->glyph->format == FT_GLYPH_FORMAT_OUTLINE)
            Ft().FT_GlyphSlot_Embolden(face_->glyph);
        return true;
    }

    bool RenderMono(FT_GlyphSlot slot) const {
        std::lock_guard libraryLock(library_->mutex); // the rasterisers belong to the library
        return Ft().FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0;
    }

    const Glyph& GlyphFor(unsigned char byte) const {
        if (const Glyph* g = glyphs_[byte].load(std::memory_order_acquire))
            return *g;
        std::lock_guard lock(mutex_);
        if (const Glyph* g = glyphs_[byte].load(std::memory_order_acquire))
            return *g;
        if (!faceOpened_)
            OpenFace();
        renderedNew_.store(true, std::memory_order_release);
        // Owned here until it is stored: resizing its bits may throw.
        auto glyph = std::make_unique<Glyph>();
        Glyph* const g = glyph.get();
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
        glyphs_[byte].store(glyph.release(), std::memory_order_release);
        return *g;
    }

    // Where a glyph's bitmap lies with the pen at (pen, baseline): its top-left pixel, and its
    // part inside the clip (empty for a glyph without ink).
    struct Placed {
        std::int64_t x0, y0;
        PixelBox box;
    };
    static Placed Place(const Glyph& g, std::int64_t pen, std::int64_t baseline,
                        const PixelBox& clip) {
        const std::int64_t x0 = pen + g.left, y0 = baseline - g.top;
        return {x0, y0,
                g.bits.empty() ? PixelBox{}
                               : Intersect(PixelBox{x0, y0, x0 + g.width, y0 + g.rows}, clip)};
    }

    static void PaintBitmap(Image& image, const Glyph& g, std::int64_t pen, std::int64_t baseline,
                            const PixelBox& clip, Pixel pixel) {
        const auto [x0, y0, box] = Place(g, pen, baseline, clip);
        if (box.Empty())
            return;
        const auto stride = static_cast<std::size_t>(image.width);
        // The glyph's columns first to end inside the clip; only the set bits are visited, a
        // bitmap byte at a time (a test per pixel mispredicts on every edge of a stroke).
        const auto first = static_cast<std::size_t>(box.left - x0);
        const auto end = static_cast<std::size_t>(box.right - x0);
        for (std::int64_t y = box.top; y < box.bottom; ++y) {
            const std::uint8_t* bits = g.bits.data() + static_cast<std::size_t>(y - y0) * g.pitch;
            Pixel* row = image.pixels.data() + static_cast<std::size_t>(y) * stride;
            for (std::size_t base = first & ~std::size_t{7}; base < end; base += 8) {
                unsigned byte = bits[base >> 3];
                if (base < first)
                    byte &= 0xFFu >> (first - base);
                if (base + 8 > end)
                    byte &= (0xFFu << (base + 8 - end)) & 0xFFu;
                while (byte != 0) {
                    const int k = std::countl_zero(static_cast<std::uint8_t>(byte));
                    row[x0 + static_cast<std::int64_t>(base) + k] = pixel;
                    byte &= ~(0x80u >> k);
                }
            }
        }
    }

    // The same on a 1-bit raster: the glyph's bitmap bytes shifted into place, white set or black
    // cleared.
    static void PaintBitmap(Bilevel& raster, const Glyph& g, std::int64_t pen,
                            std::int64_t baseline, const PixelBox& clip, bool white) {
        const auto [x0, y0, box] = Place(g, pen, baseline, clip);
        if (box.Empty())
            return;
        const auto first = static_cast<std::size_t>(box.left - x0);
        const auto end = static_cast<std::size_t>(box.right - x0);
        // The glyph's bytes inside the clip, the bits of the first and last that are, and where
        // the first byte's first pixel lies: raster byte q0, bit 7 - r (the same on every row).
        const std::size_t b0 = first / 8, b1 = (end - 1) / 8;
        const unsigned head = 0xFFu >> (first % 8), tail = (0xFFu << (7 - (end - 1) % 8)) & 0xFFu;
        const std::int64_t p0 = x0 + static_cast<std::int64_t>(b0 * 8);
        const std::int64_t q0 = p0 >> 3;
        const auto r = static_cast<unsigned>(p0 & 7);
        // A set bit is always a pixel inside the clip: only bytes that receive one are touched.
        const auto put = [white](std::uint8_t* row, std::int64_t at, unsigned part) {
            const auto bitsAt = static_cast<std::uint8_t>(part);
            if (bitsAt == 0)
                return;
            std::uint8_t& target = row[static_cast<std::size_t>(at)];
            target = white ? std::uint8_t(target | bitsAt) : std::uint8_t(target & ~bitsAt);
        };
        for (std::int64_t y = box.top; y < box.bottom; ++y) {
            const std::uint8_t* bits = g.bits.data() + static_cast<std::size_t>(y - y0) * g.pitch;
            std::uint8_t* row = raster.bits.data() + static_cast<std::size_t>(y) * raster.stride;
            for (std::size_t k = b0; k <= b1; ++k) {
                unsigned byte = bits[k];
                if (k == b0)
                    byte &= head;
                if (k == b1)
                    byte &= tail;
                if (byte == 0)
                    continue;
                const unsigned v = (byte << 8) >> r;
                const std::int64_t q = q0 + static_cast<std::int64_t>(k - b0);
                put(row, q, v >> 8);
                put(row, q + 1, v);
            }
        }
    }

    // Draws the glyphs of a run, then its underline and strikeout, on a target (OnImage, OnBits).
    template <class Target>
    void DrawOn(const Target& target, std::int64_t x, std::int64_t y, std::string_view ansi,
                int charExtra, const PixelBox& clipBox) const {
        if (clipBox.Empty() || ansi.empty())
            return;
        const std::int64_t baseline = y + metrics_.ascent;
        std::int64_t pen = x;
        for (const char ch : ansi) {
            const auto byte = static_cast<unsigned char>(ch);
            const Glyph& g = GlyphFor(byte);
            target.Glyph(byte, g, pen, baseline, clipBox);
            pen += static_cast<std::int64_t>(g.advance) + charExtra;
        }
        // Underline and strikeout run under the whole text, extra spacing included.
        if (key_.underline)
            target.Fill(Intersect(
                PixelBox{x, y + underlineTop_, pen, y + underlineTop_ + underlineSize_}, clipBox));
        if (key_.strikeout)
            target.Fill(
                Intersect(PixelBox{x, y + strikeTop_, pen, y + strikeTop_ + strikeSize_}, clipBox));
    }

    void PaintOutline(Image& image, unsigned char byte, std::int64_t pen, std::int64_t baseline,
                      const PixelBox& clip, Pixel pixel) const {
        std::lock_guard lock(mutex_);
        if (!faceOpened_)
            OpenFace();
        if (!face_)
            return;
        if (!LoadOutline(byte) || face_->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
            return;
        FT_Outline& outline = face_->glyph->outline;
        FT_BBox cbox;
        Ft().FT_Outline_Get_CBox(&outline, &cbox);
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
        Ft().FT_Outline_Render(library_->Get(), &outline, &params);
    }

    std::shared_ptr<FtLibrary> library_;
    FontKey key_;
    FaceFile file_;
    std::string faceState_;
    bool faceSettled_ = true;
    mutable bool faceOpened_ = false;
    mutable FT_Face face_ = nullptr;
    mutable void* mapped_ = nullptr; // the face file's bytes, while face_ uses them
    mutable std::size_t mappedSize_ = 0;
    mutable std::string problem_;
    mutable std::atomic<bool> renderedNew_ = false;
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

// Set by KeepFontsBetweenRuns before the registry is made.
std::atomic<bool> keepBetweenRuns = false;

struct Registry {
    std::mutex mutex;
    const bool keep = keepBetweenRuns.load();
    std::shared_ptr<FtLibrary> library = std::make_shared<FtLibrary>();
    std::unordered_map<FontKey, std::shared_ptr<const FtFont>, FontKeyHash> fonts;
    FaceFinder faces{FaceCache(keep ? DefaultFaceCacheFile() : std::string())};
    // The fonts earlier runs of this program kept, read when they are first needed.
    std::optional<GlyphCache> glyphCache;
    KeptFonts kept;

    void LoadKept() {
        if (glyphCache)
            return;
        glyphCache.emplace(keep ? DefaultGlyphCacheFile() : std::string(),
                           keep ? ProgramState() : std::string());
        kept = glyphCache->Load();
    }

    // What an earlier run computed for this face file and size, while the file is unchanged.
    const KeptFont* Kept(const FaceFile& file, const FontKey& key) {
        if (file.path.empty() || key.pixelHeight > kMaxCachedPixelHeight)
            return nullptr;
        LoadKept();
        const auto it = kept.find(FtFont::KeyFor(file, key));
        if (it == kept.end() || it->second.faceState != StateOf(file.path).word)
            return nullptr;
        return &it->second;
    }

    const FaceFile& File(const FontKey& key) {
        FaceQuery query;
        query.family = key.face;
        std::transform(query.family.begin(), query.family.end(), query.family.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        query.weight = key.weight <= 0 ? 400 : std::min(key.weight, 1000);
        query.italic = key.italic;
        return faces.Find(query);
    }
};

Registry& TheRegistry() {
    static Registry* registry = new Registry; // lives to the end of the process
    return *registry;
}

} // namespace

bool Font::DrawBilevel(Bilevel&, std::int64_t, std::int64_t, std::string_view, bool, int,
                       const TextClip&) const {
    return false;
}

PixelBox Font::InkBox(std::int64_t, std::int64_t, std::string_view, int) const {
    constexpr std::int64_t kFar = INT64_MAX / 4;
    return PixelBox{-kFar, -kFar, kFar, kFar};
}

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
    const FaceFile& file = r.File(key);
    auto font = std::make_shared<FtFont>(r.library, key, file, r.Kept(file, key));
    r.fonts.emplace(key, font);
    return font;
}

void KeepFontsBetweenRuns() {
    keepBetweenRuns.store(true);
}

void KeepRenderedGlyphs() {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (!r.keep)
        return;
    std::set<RenderedFontKey> used;
    bool changed = false;
    for (const auto& [key, font] : r.fonts) {
        if (!font->Keepable())
            continue;
        const RenderedFontKey k = font->KeptKey();
        used.insert(k);
        r.LoadKept();
        if (!font->RenderedNew() && r.kept.count(k) != 0)
            continue;
        KeptFont snapshot = font->Snapshot();
        KeptFont& slot = r.kept[k];
        if (slot.faceState == snapshot.faceState)
            snapshot.font.glyphs.merge(slot.font.glyphs); // glyphs another font of the key had
        if (!(slot == snapshot)) {
            slot = std::move(snapshot);
            changed = true;
        }
    }
    if (r.kept.size() > kMaxKeptFonts) {
        std::erase_if(r.kept, [&](const auto& entry) { return used.count(entry.first) == 0; });
        changed = true;
    }
    if (changed)
        r.glyphCache->Save(r.kept);
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
