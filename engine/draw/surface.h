// The picture area every renderer paints on: a raster of device pixels with the members of a
// picture box (scale mode, outer size, persistent image, Cls, background picture, filled
// boxes, text position, Print, text measures, font) and a GDI-style device context over the
// same image.
#pragma once

#include "draw/color.h"
#include "draw/gdi.h"
#include "draw/paint_record.h"

#include <memory>
#include <string>
#include <string_view>

namespace quillion {

enum class ScaleMode : int { Twips = 1, Pixels = 3 };

inline constexpr int kTwipsPerPixel = 15; // 96 pixels per inch
inline constexpr int kPixelsPerInch = 96;

// The surface's own font (the picture box's Font property). The window's font is Arial 9 pt
// bold, which is what a surface starts with.
struct SurfaceFont {
    std::string name = "Arial";
    double size = 9.0; // points
    bool bold = true;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    bool operator==(const SurfaceFont&) const = default;
};

class DrawingSurface {
public:
    // A surface of widthPx x heightPx device pixels, cleared to the background colour (white).
    DrawingSurface(int widthPx, int heightPx);
    ~DrawingSurface();
    DrawingSurface(const DrawingSurface&) = delete;
    DrawingSurface& operator=(const DrawingSurface&) = delete;

    // The unit of the drawing members (coordinates, sizes, text measures). Setting it puts the
    // scale origin at (0, 0).
    void SetScaleMode(ScaleMode mode);
    ScaleMode GetScaleMode() const { return scaleMode_; }
    double ScaleWidth() const;
    double ScaleHeight() const;
    double ScaleLeft() const { return 0.0; }
    double ScaleTop() const { return 0.0; }

    // The outer size is read and set in the container's unit (the window's scale mode). The
    // surface has no border, so the outer size equals the drawable size. Setting it resizes the
    // raster to the nearest whole pixel (negative sizes become 0); the pixels that stay inside
    // are kept, new ones take the background colour. Sizes beyond kMaxSide pixels raise
    // error 6 (Overflow) rather than allocate without bound.
    void SetContainerScaleMode(ScaleMode mode) { containerMode_ = mode; }
    ScaleMode ContainerScaleMode() const { return containerMode_; }
    double OuterWidth() const;
    double OuterHeight() const;
    void SetOuterWidth(double w);
    void SetOuterHeight(double h);
    void ResizePixels(int widthPx, int heightPx);
    // Takes the other surface's size and pixels, as ResizePixels, Cls and a copy of every pixel
    // would, without writing any pixel twice.
    void CopyImageFrom(const DrawingSurface& other);
    // The same, after which the other surface is left blank in its background colour at its
    // size (its record, if any, untouched, unless its painting was deferred: then its
    // operations move to this surface's record), keeping its memory for its next painting.
    void TakeImageFrom(DrawingSurface& other);
    // Hands over the persistent image; the surface is left blank in its background colour at
    // its size, as if nothing had been drawn since a Cls.
    Image TakeImage();
    static constexpr int kMaxSide = 32767;

    int WidthPx() const { return image_.width; }
    int HeightPx() const { return image_.height; }

    void SetAutoRedraw(bool on) { autoRedraw_ = on; }
    bool AutoRedraw() const { return autoRedraw_; }

    // Erase drawing and printed text to the background colour (and the background picture, if
    // one is set, drawn at the top-left corner); text position back to (0, 0).
    void Cls();
    // The background picture: none, or a copy of the current image.
    void ClearPicture();
    void SetPictureFromImage();
    bool HasPicture() const { return picture_ != nullptr; }

    COLORREF BackColor() const { return backColor_; }
    void SetBackColor(COLORREF c) { backColor_ = c; }
    COLORREF ForeColor() const { return foreColor_; }
    void SetForeColor(COLORREF c) { foreColor_ = c; }

    // Filled box (Line (x1, y1)-(x2, y2), colour, BF): both corner points included, in the
    // current unit; clipped to the raster. Coordinates are converted to pixels by rounding.
    void FillBox(double x1, double y1, double x2, double y2, COLORREF color);

    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }
    void SetCurrentX(double x) { currentX_ = x; }
    void SetCurrentY(double y) { currentY_ = y; }

    // Draw the text at the text position in the surface font and fore colour, background left
    // as it is; afterwards the position moves to the start of the next line (x 0, y + height).
    void Print(std::u16string_view text);
    double TextWidth(std::u16string_view text) const;
    double TextHeight(std::u16string_view text) const;

    const SurfaceFont& Font() const { return font_; }
    void SetFont(const SurfaceFont& font) { font_ = font; }
    void SetFontSize(double points) { font_.size = points; }
    void SetFontName(std::string name) { font_.name = std::move(name); }
    void SetFontBold(bool b) { font_.bold = b; }

    // The persistent image (what saving and printing read) and the device context over it.
    const Image& GetImage() const {
        Materialize();
        return image_;
    }
    Image& MutableImage() {
        Materialize();
        blank_ = false;
        return image_;
    }
    // The painting primitives every member and the device context go through: a filled pixel
    // rectangle (right and bottom exclusive, clipped to the image) and a run of text.
    // Both are on the hot path of every renderer: nothing is built for the record unless one
    // is set.
    void FillPixels(const PixelBox& box, Pixel pixel) {
        if (Deferring()) {
            unpainted_ = true;
        } else {
            Prepare(box, true);
            quillion::FillBox(image_, box, pixel);
        }
        blank_ = false;
        if (record_) [[unlikely]]
            RecordFill(box, pixel);
    }
    void DrawText(std::int64_t x, std::int64_t y, std::string_view ansi,
                  const std::shared_ptr<const quillion::Font>& font, COLORREF color, int charExtra,
                  const TextClip& clip);

    // While a record is set, the surface keeps in it what makes up its image: the fills and
    // texts since the last Cls (starting from the background picture's, when one is set),
    // cut to the image as it shrinks. Starting a record clears it; it describes the image only
    // when set before the picture is cleared for painting. Null stops recording.
    void SetPaintRecord(PaintRecord* record);

    // While deferred and a record is set that holds everything painted since the image was
    // last blank in white (set before a Cls), drawing is only recorded: the pixels are painted
    // from the record when someone looks at them. For a caller that takes the painting rather
    // than the pixels (UnpaintedRecord).
    void SetPaintingDeferred(bool deferred);
    // The record, when the image is its operations painted on white and has not been painted
    // (nobody looked at it since it was drawn); null otherwise.
    const PaintRecord* UnpaintedRecord() const { return unpainted_ ? record_ : nullptr; }

    // Whether every pixel is known to be p (nothing drawn since a Cls to that colour).
    bool IsBlank(Pixel p) const { return blank_ && blankPixel_ == p; }
    DeviceContext& hDC() { return *dc_; }

    // The surface font realised at 96 pixels per inch (em height round(points * 96 / 72), halves
    // to even); the device context's initial font.
    std::shared_ptr<const quillion::Font> RealizedFont() const;

    // Conversions between the current unit and device pixels.
    double ToPixelsX(double v) const;
    double ToPixelsY(double v) const;
    double FromPixels(double px) const;

private:
    double ContainerToPixels(double v) const;
    double PixelsToContainer(double px) const;

    // Fills the pixels a blank surface has not written yet, and puts the rows of a cut image
    // together.
    void Materialize() const {
        if (unpainted_)
            PaintRecorded();
        else if (pending_ || layoutWidth_ != 0)
            FillPending();
    }
    bool Deferring() const { return deferred_ && recordWhole_; }
    void RecordFill(const PixelBox& box, Pixel pixel);
    // Paints the record on white at the image's size.
    void PaintRecorded() const;
    void FillPending() const;
    // Makes the pixels of box (clipped to the image) ready to be painted: written, or about to
    // be all painted (covered) when they are the first.
    void Prepare(const PixelBox& box, bool covered) {
        if (unpainted_)
            PaintRecorded();
        if (layoutWidth_ != 0)
            FillPending();
        if (pending_)
            Uncover(ClipToImage(box, image_), covered);
    }
    void Uncover(const PixelBox& box, bool covered);
    // Writes the blank pixels of [0, w) x [0, h) not yet written.
    void Extend(int w, int h) const;
    // Blank in the background colour, the pixels still to be written.
    void LeaveBlank();
    // Restarts the record (set) from a blank image of blankPixel_.
    void RecordBlank();

    // The size is always current; the pixels of a blank surface are written only when someone
    // looks at them or draws (pending_), so that the clears and resizes of a generation that
    // follow one another cost nothing until the painting starts.
    mutable Image image_;
    // Whether every pixel is blankPixel_ (after Cls without a background picture, until
    // something draws), and whether the pixels still have to be written.
    bool blank_ = true;
    mutable bool pending_ = false;
    // While pending_, the pixels of [0, doneWidth_) x [0, doneHeight_) are written (a painting
    // writes what it paints and the blank around it, not the whole surface).
    mutable int doneWidth_ = 0, doneHeight_ = 0;
    // Non-zero after an image was cut smaller: its rows still lie layoutWidth_ pixels apart in
    // pixels, until someone looks at them (a generation's picture is usually copied out, then
    // cleared, without that).
    mutable int layoutWidth_ = 0;
    Pixel blankPixel_ = ToPixel(kWhite);
    std::unique_ptr<Image> picture_;
    std::unique_ptr<DeviceContext> dc_;
    ScaleMode scaleMode_ = ScaleMode::Twips;
    ScaleMode containerMode_ = ScaleMode::Twips;
    bool autoRedraw_ = false;
    COLORREF backColor_ = kWhite;
    COLORREF foreColor_ = kBlack;
    double currentX_ = 0.0;
    double currentY_ = 0.0;
    SurfaceFont font_;
    mutable SurfaceFont realizedFor_;
    PaintRecord* record_ = nullptr;
    // Painting deferred when possible; the record holds everything since a blank white image;
    // and the pixels are owed (drawn in the record only).
    bool deferred_ = false;
    bool recordWhole_ = false;
    mutable bool unpainted_ = false;
    std::vector<PaintOperation> pictureOperations_; // what made the background picture
    mutable std::shared_ptr<const quillion::Font> realized_;
};

} // namespace quillion
