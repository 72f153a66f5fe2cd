// Render: the options checked, then the window's own generation for what the window offers,
// or the Code 128 request with the caller's sizes and colours.
#include "fonts/fonts.h"
#include "generator.h"
#include "label_finish.h"
#include "label_size.h"
#include "linear_symbols.h"
#include "picture_detail.h"
#include "pixel_scale.h"
#include "quillion/quillion.hpp"
#include "render_code128.h"
#include "runtime/ansi.h"
#include "runtime/runtime.h"
#include "symbols/code128_caption.h"
#include "symbols/code128_window_request.h"
#include "symbols/gs1_elements.h"
#include "text_checks.h"
#include "utf8_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace quillion::api {
namespace {

constexpr std::size_t kGeneratorsPerThread = 4;
// The window's Code 128: one-pixel modules, 40-pixel bars.
constexpr int kWindowModuleWidth = 1;
constexpr int kWindowBarHeight = 40;

Error Fail(std::int32_t number, std::string message) {
    return Error{number, std::move(message)};
}

std::optional<quillion::Symbology> WindowSymbology(Symbology s) {
    switch (s) {
    case Symbology::Code128:
        return quillion::Symbology::Code128;
    case Symbology::Code39:
        return quillion::Symbology::Code39;
    case Symbology::UpcA:
        return quillion::Symbology::UpcA;
    case Symbology::UpcE:
        return quillion::Symbology::UpcE;
    default:
        return std::nullopt;
    }
}

// An Error for options out of range or not built yet; nothing when they can be painted.
std::optional<Error> CheckOptions(Symbology symbology, const Options& o) {
    const auto range = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
    if (int(o.caption) < 0 || int(o.caption) > int(CaptionPosition::Above) ||
        int(o.captionStyle) < 0 || int(o.captionStyle) > int(CaptionStyle::Underline))
        return Fail(kErrorArgument, "unknown caption position or style");
    if (!range(o.moduleWidth, 0, kMaxModuleWidth))
        return Fail(kErrorArgument,
                    "the module width must be 0 to " + std::to_string(kMaxModuleWidth) + " pixels");
    if (!range(o.barHeight, 0, kMaxBarHeight))
        return Fail(kErrorArgument,
                    "the bar height must be 0 to " + std::to_string(kMaxBarHeight) + " pixels");
    if (!range(o.margin, 0, kMaxMargin))
        return Fail(kErrorArgument,
                    "the margin must be 0 to " + std::to_string(kMaxMargin) + " pixels");
    if (!range(o.scale, 1, kMaxScale))
        return Fail(kErrorArgument, "the scale must be 1 to " + std::to_string(kMaxScale));
    if (o.rotation != 0 && o.rotation != 90 && o.rotation != 180 && o.rotation != 270)
        return Fail(kErrorArgument, "the rotation must be 0, 90, 180 or 270 degrees");
    if (!(o.dpi > 0 && o.dpi <= 100000))
        return Fail(kErrorArgument, "the resolution must be above 0 and at most 100000 dpi");
    if (int(o.codeSet) < 0 || int(o.codeSet) > int(CodeSet::Auto))
        return Fail(kErrorArgument, "unknown code set");

    if (int(symbology) < 0 || int(symbology) > int(Symbology::Code39FullAscii))
        return Fail(kErrorArgument, "unknown symbology");
    return std::nullopt;
}

// The types and options the window has not, as PaintLinear takes them; nothing when the
// window's own generation paints the text.
std::optional<LinearOptions> OtherLinear(Symbology symbology, const Options& o,
                                         std::u16string_view text) {
    LinearOptions l;
    l.codeSet = o.codeSet == CodeSet::Auto ? Code128CodeSet::Auto : Code128CodeSet::B;
    l.checkDigit = o.checkDigit;
    l.caption = o.caption != CaptionPosition::None;
    l.captionPositionIndex = o.caption == CaptionPosition::Above ? 1 : 0;
    l.fontStyleIndex = int(o.captionStyle);
    switch (symbology) {
    case Symbology::Code128:
        l.type = LinearType::Code128;
        return WindowPaints(l, text) ? std::nullopt : std::optional(l);
    case Symbology::Code39:
        l.type = LinearType::Code39;
        return WindowPaints(l, text) ? std::nullopt : std::optional(l);
    case Symbology::Ean13:
        l.type = LinearType::Ean13;
        return l;
    case Symbology::Ean8:
        l.type = LinearType::Ean8;
        return l;
    case Symbology::Gs1_128:
        l.type = LinearType::Gs1_128;
        return l;
    case Symbology::Code39FullAscii:
        l.type = LinearType::Code39FullAscii;
        return l;
    default:
        return std::nullopt;
    }
}

// PaintLinear's refusal as an Error: the Code 128 engine's codes kept, the rules' messages as
// kErrorRejected.
Error FromOutcome(const LinearOutcome& outcome) {
    return Fail(outcome.number != 0 ? outcome.number : kErrorRejected, outcome.message);
}

// The window's messages as an Error: the Code 128 engine's "Error(N):..." keeps its number.
Error FromMessage(const std::string& message) {
    constexpr std::string_view engine = "Error(";
    std::int32_t number = kErrorRejected;
    if (message.starts_with(engine)) {
        const char* begin = message.data() + engine.size();
        std::from_chars(begin, message.data() + message.size(), number);
    } else if (message.starts_with("Application Error: ")) {
        number = kErrorFailed;
    }
    return Fail(number, message);
}

// The window's generation, one per setting on each thread, kept for the thread's next calls.
cli::Generator& GeneratorFor(const cli::ControlSettings& settings) {
    struct Kept {
        cli::ControlSettings settings;
        std::unique_ptr<cli::Generator> generator;
    };
    thread_local std::vector<Kept> kept;
    const auto found = std::find_if(kept.begin(), kept.end(),
                                    [&](const Kept& k) { return k.settings == settings; });
    if (found != kept.end())
        return *found->generator;
    if (kept.size() == kGeneratorsPerThread)
        kept.erase(kept.begin());
    kept.push_back({settings, std::make_unique<cli::Generator>(settings, true)});
    return *kept.back().generator;
}

COLORREF ToColorRef(Colour c) {
    return RGB(c.r, c.g, c.b);
}

Pixel ToPixel(Colour c) {
    return Pixel{c.a} << 24 | Pixel{c.r} << 16 | Pixel{c.g} << 8 | c.b;
}

// The sides, colours and turn the options add to the painted picture.
LabelFinish FinishOf(std::optional<quillion::Symbology> zones, const Options& o,
                     const PaintRecord& record, const Image& painted) {
    LabelFinish f;
    f.left = f.top = f.right = f.bottom = o.margin;
    f.foreground = ToPixel(o.foreground);
    f.background = ToPixel(o.background);
    f.rotation = o.rotation;
    // EAN pictures hold their light margins already.
    if (o.quietZones && zones)
        AddQuietZones(f, *zones, o.moduleWidth > 0 ? o.moduleWidth : UsualModuleWidth(*zones),
                      record, painted);
    return f;
}

// Paints a type or option the window has not, on a surface kept for the thread.
RenderResult RenderOther(const LinearOptions& linear, const std::u16string& text,
                         Picture::Detail& out) {
    thread_local DrawingSurface surface(1, 1);
    PaintRecord record;
    surface.SetPaintRecord(&record);
    LinearOutcome outcome;
    try {
        outcome = PaintLinear(linear, text, surface);
    } catch (...) {
        surface.SetPaintRecord(nullptr);
        throw;
    }
    surface.SetPaintRecord(nullptr);
    if (!outcome.Painted())
        return FromOutcome(outcome);
    out.image = surface.GetImage();
    if (record.complete)
        out.record = std::make_shared<const PaintRecord>(std::move(record));
    return Picture();
}

// Code 128 with the caller's sizes, colours and margin; its values from sequence when given.
RenderResult RenderCode128(const std::u16string& text, const Options& o, Picture::Detail& out,
                           const Code128Sequence* sequence = nullptr) {
    BarcodeRequest request = WindowCode128Request(
        text, o.caption != CaptionPosition::None,
        o.caption == CaptionPosition::Above ? kCaptionTop : kCaptionBottom, int(o.captionStyle));
    request.ModuleWidth = o.moduleWidth > 0 ? o.moduleWidth : kWindowModuleWidth;
    request.BarHeight = o.barHeight > 0 ? o.barHeight : kWindowBarHeight;
    request.BarColor = request.CaptionColor = ToColorRef(o.foreground);
    request.BackColor = ToColorRef(o.background);
    if (text.empty())
        return Fail(kErrorRejected, "nothing was painted (the text is empty)");
    Code128Picture painting = PaintCode128Picture(std::move(request), true, sequence);
    if (painting.code != 0)
        return Fail(painting.code, Code128ErrorText(painting.code));
    if (o.margin == 0) {
        out.image = std::move(painting.picture);
        out.record = std::make_shared<const PaintRecord>(std::move(painting.record));
        return Picture();
    }
    const Image& p = painting.picture;
    const std::int64_t w = std::int64_t{p.width} + 2 * o.margin;
    const std::int64_t h = std::int64_t{p.height} + 2 * o.margin;
    if (w * h > cli::kMaxScaledPixels)
        return Fail(kErrorTooLarge, "the picture with its margin would be too large");
    out.image = Image(int(w), int(h), quillion::ToPixel(request.BackColor));
    for (int y = 0; y < p.height; ++y)
        std::copy_n(p.pixels.begin() + std::ptrdiff_t(y) * p.width, p.width,
                    out.image.pixels.begin() + std::ptrdiff_t(y + o.margin) * w + o.margin);
    // The record moves with the picture: a background fill, then every operation shifted.
    PaintRecord record;
    record.operations.push_back(
        PaintedFill{PixelBox{0, 0, int(w), int(h)}, quillion::ToPixel(request.BackColor)});
    for (PaintOperation op : painting.record.operations) {
        if (auto* fill = std::get_if<PaintedFill>(&op)) {
            fill->box.left += o.margin;
            fill->box.right += o.margin;
            fill->box.top += o.margin;
            fill->box.bottom += o.margin;
        } else if (auto* run = std::get_if<PaintedText>(&op)) {
            run->x += o.margin;
            run->y += o.margin;
            run->clip.left += o.margin;
            run->clip.right += o.margin;
            run->clip.top += o.margin;
            run->clip.bottom += o.margin;
        }
        record.operations.push_back(std::move(op));
    }
    record.complete = painting.record.complete;
    out.record = std::make_shared<const PaintRecord>(std::move(record));
    return Picture();
}

// The picture, unless it would be too large at its scale.
RenderResult Scaled(std::shared_ptr<Picture::Detail> detail, const Options& o) {
    const std::int64_t w = std::int64_t{detail->image.width} * o.scale;
    const std::int64_t h = std::int64_t{detail->image.height} * o.scale;
    if (w * h > cli::kMaxScaledPixels)
        return Fail(kErrorTooLarge, "the picture at scale " + std::to_string(o.scale) +
                                        " would have " + std::to_string(w) + " x " +
                                        std::to_string(h) + " pixels, more than " +
                                        std::to_string(cli::kMaxScaledPixels));
    return Picture(std::move(detail));
}

RenderResult RenderChecked(Symbology symbology, std::string_view utf8Text, const Options& o) {
    std::optional<std::u16string> text = cli::DecodeUtf8(utf8Text);
    if (!text)
        return Fail(kErrorArgument, "the text is not valid UTF-8");
    if (symbology == Symbology::UpcA)
        text = WithUpcACheckDigit(*text); // eleven digits get their check digit
    auto detail = std::make_shared<Picture::Detail>();
    detail->scale = o.scale;
    detail->dpi = o.dpi * o.scale;
    Image linearPicture;
    PaintRecord record;
    const Image* painted = nullptr;
    std::optional<quillion::Symbology> zones; // whose quiet zones --quiet-zones adds
    if (const std::optional<LinearOptions> linear = OtherLinear(symbology, o, *text)) {
        // What the window has not: painted in its relative's look, then finished as the rest.
        const bool code128 =
            linear->type == LinearType::Code128 || linear->type == LinearType::Gs1_128;
        Picture::Detail plain;
        RenderResult result = Picture();
        if (o.moduleWidth == 0 && o.barHeight == 0) {
            result = RenderOther(*linear, *text, plain);
        } else if (code128) {
            Code128Sequence sequence;
            if (const LinearOutcome refused = LinearCode128Sequence(*linear, *text, sequence);
                !refused.Painted())
                return FromOutcome(refused);
            Options sized;
            sized.caption = o.caption;
            sized.captionStyle = o.captionStyle;
            sized.moduleWidth = o.moduleWidth;
            sized.barHeight = o.barHeight;
            const std::u16string caption = linear->type == LinearType::Gs1_128
                                               ? Utf8ToUtf16(ParseGs1(*text).hri) // "(01)..."
                                               : *text;
            result = RenderCode128(caption, sized, plain, &sequence);
        } else {
            return Fail(kErrorUnsupported, "module width and bar height are not available for "
                                           "EAN and Code 39 with check or Full ASCII");
        }
        if (!result)
            return result;
        linearPicture = std::move(plain.image);
        if (plain.record)
            record = *plain.record;
        else
            record.complete = false;
        painted = &linearPicture;
        if (code128)
            zones = quillion::Symbology::Code128;
        else if (linear->type == LinearType::Code39 || linear->type == LinearType::Code39FullAscii)
            zones = quillion::Symbology::Code39;
    } else {
        const cli::ControlSettings settings{
            *WindowSymbology(symbology), o.caption != CaptionPosition::None,
            o.caption == CaptionPosition::Above ? 1 : 0, int(o.captionStyle)};
        // The window's generation, with the module, bar height and caption asked for.
        cli::Generator& generator = GeneratorFor(settings);
        generator.SetLook(
            SymbolLook{o.moduleWidth, o.barHeight, o.caption != CaptionPosition::None});
        const cli::Generation generation = generator.Generate(*text);
        if (generation.picture == nullptr) {
            generator.TakeRecord();
            return FromMessage(generation.message);
        }
        record = generator.TakeRecord();
        painted = generation.picture;
        zones = WindowSymbology(symbology);
    }
    detail->paintedWidth = painted->width;
    detail->paintedHeight = painted->height;
    detail->finish = FinishOf(zones, o, record, *painted);
    if (detail->finish.IsNone())
        detail->image = *painted;
    else if (std::string why =
                 FinishPicture(*painted, detail->finish, cli::kMaxScaledPixels, detail->image);
             !why.empty())
        return Fail(kErrorTooLarge, why);
    if (record.complete)
        detail->record = std::make_shared<const PaintRecord>(std::move(record));
    return Scaled(std::move(detail), o);
}

} // namespace

RenderResult Render(Symbology symbology, std::string_view utf8Text, const Options& options) {
    if (const std::optional<Error> bad = CheckOptions(symbology, options))
        return *bad;
    try {
        return RenderChecked(symbology, utf8Text, options);
    } catch (const RuntimeError& e) {
        return Fail(kErrorFailed, "Application Error: " + e.Description());
    }
}

void KeepFontsBetweenRuns() {
    quillion::KeepFontsBetweenRuns();
}

void KeepRenderedGlyphs() {
    quillion::KeepRenderedGlyphs();
}

const char* Version() {
    return QUILLION_VERSION;
}

} // namespace quillion::api
