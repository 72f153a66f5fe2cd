// Render: the options checked, then the window's own generation for what the window offers,
// or the Code 128 request with the caller's sizes and colours.
#include "fonts/fonts.h"
#include "generator.h"
#include "label_finish.h"
#include "label_size.h"
#include "picture_detail.h"
#include "pixel_scale.h"
#include "quillion/quillion.hpp"
#include "runtime/runtime.h"
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

    if (!WindowSymbology(symbology))
        return Fail(kErrorUnsupported, "this symbology is not available yet");
    if (o.codeSet != CodeSet::B || o.checkDigit)
        return Fail(kErrorUnsupported, "code set and check digit are not available yet");
    return std::nullopt;
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

Pixel ToPixel(Colour c) {
    return Pixel{c.a} << 24 | Pixel{c.r} << 16 | Pixel{c.g} << 8 | c.b;
}

// The sides, colours and turn the options add to the painted picture.
LabelFinish FinishOf(Symbology symbology, const Options& o, const PaintRecord& record,
                     const Image& painted) {
    LabelFinish f;
    f.left = f.top = f.right = f.bottom = o.margin;
    f.foreground = ToPixel(o.foreground);
    f.background = ToPixel(o.background);
    f.rotation = o.rotation;
    const quillion::Symbology s = *WindowSymbology(symbology);
    if (o.quietZones)
        AddQuietZones(f, s, o.moduleWidth > 0 ? o.moduleWidth : UsualModuleWidth(s), record,
                      painted);
    return f;
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
    const cli::ControlSettings settings{
        *WindowSymbology(symbology), o.caption != CaptionPosition::None,
        o.caption == CaptionPosition::Above ? 1 : 0, int(o.captionStyle)};
    // The window's generation, with the module, bar height and caption asked for.
    cli::Generator& generator = GeneratorFor(settings);
    generator.SetLook(SymbolLook{o.moduleWidth, o.barHeight, o.caption != CaptionPosition::None});
    const cli::Generation generation = generator.Generate(*text);
    if (generation.picture == nullptr) {
        generator.TakeRecord();
        return FromMessage(generation.message);
    }
    PaintRecord record = generator.TakeRecord();
    const Image& painted = *generation.picture;
    detail->paintedWidth = painted.width;
    detail->paintedHeight = painted.height;
    detail->finish = FinishOf(symbology, o, record, painted);
    if (detail->finish.IsNone())
        detail->image = painted;
    else if (std::string why =
                 FinishPicture(painted, detail->finish, cli::kMaxScaledPixels, detail->image);
             !why.empty())
        return Fail(kErrorTooLarge, why);
    if (record.complete)
        detail->record = std::make_shared<const PaintRecord>(std::move(record));
    const std::int64_t w = std::int64_t{detail->image.width} * o.scale;
    const std::int64_t h = std::int64_t{detail->image.height} * o.scale;
    if (w * h > cli::kMaxScaledPixels)
        return Fail(kErrorTooLarge, "the picture at scale " + std::to_string(o.scale) +
                                        " would have " + std::to_string(w) + " x " +
                                        std::to_string(h) + " pixels, more than " +
                                        std::to_string(cli::kMaxScaledPixels));
    return Picture(std::move(detail));
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
