// Render and Encode: the options checked, the text encoded by its symbology's row, and the
// symbol painted by the one painter; or, for the window's four types in the window's own look
// (no size asked), the window's generation itself, whose pixels stay those of the window.
#include "fonts/fonts.h"
#include "generator.h"
#include "label_finish.h"
#include "label_size.h"
#include "picture_detail.h"
#include "pixel_scale.h"
#include "quillion/quillion.hpp"
#include "runtime/runtime.h"
#include "symbol_painter.h"
#include "symbologies.h"
#include "symbols/code128_text.h"
#include "symbols/symbol_messages.h"
#include "text_checks.h"
#include "utf8_text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace quillion::api {
namespace {

using library::FindSymbology;
using library::SymbologyRow;

Error Fail(std::int32_t number, std::string message) {
    return Error{number, std::move(message)};
}

// The caller's options as far as its header knew them; the rest keep their defaults.
Options OptionsOf(const Options* given, std::size_t size) {
    Options o;
    if (given != nullptr)
        std::memcpy(static_cast<void*>(&o), given, std::min(size, sizeof(Options)));
    return o;
}

Pixel ToPixel(Colour c) {
    return Pixel{c.a} << 24 | Pixel{c.r} << 16 | Pixel{c.g} << 8 | c.b;
}

bool LengthOk(const Length& l) {
    return std::isfinite(l.value) && l.value >= 0 && int(l.unit) >= 0 &&
           int(l.unit) <= int(Unit::Mil);
}

// An Error for options out of range; nothing when they can be painted.
std::optional<Error> CheckOptions(const Options& o) {
    const auto range = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
    if (!range(int(o.caption), 0, int(CaptionPosition::Above)) ||
        !range(int(o.captionStyle), 0, int(CaptionStyle::Underline)))
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
    if (!range(int(o.codeSet), 0, int(CodeSet::Auto)))
        return Fail(kErrorArgument, "unknown code set");
    if (!LengthOk(o.module) || !LengthOk(o.height) || !LengthOk(o.fitWidth))
        return Fail(kErrorArgument,
                    "a length must be a finite number of 0 or more in a known unit");
    if (!range(int(o.ecc), 0, int(Ecc::H)))
        return Fail(kErrorArgument, "the QR Code error correction level must be L, M, Q or H");
    if (!range(o.qrVersion, 0, 40))
        return Fail(kErrorArgument, "the QR Code version must be 1 to 40 (0: the smallest)");
    if (!range(o.mask, -1, 7))
        return Fail(kErrorArgument, "the QR Code mask must be 0 to 7 (-1: by the penalty rules)");
    if (!range(o.dmRows, 0, 144) || !range(o.dmColumns, 0, 144))
        return Fail(kErrorArgument, "the Data Matrix size must be at most 144 x 144");
    const Options usual;
    if (o.foreground == usual.foreground && o.background == usual.background)
        return std::nullopt; // black on white: nothing to weigh
    if (const std::string why = ContrastProblem(ToPixel(o.foreground), ToPixel(o.background));
        !why.empty())
        return Fail(kErrorArgument, "the foreground and the background " + why);
    return std::nullopt;
}

quillion::Length ToLength(const Length& l) {
    return quillion::Length{l.value, LengthUnit(int(l.unit))};
}

EncodeOptions EncoderOptions(const Options& o) {
    EncodeOptions e;
    e.autoCodeSet = o.codeSet == CodeSet::Auto;
    e.windowStandIns = o.windowStandIns;
    e.checkDigit = o.checkDigit;
    e.ecc = QrEcc(int(o.ecc));
    e.keepEcc = o.keepEcc;
    e.qrVersion = o.qrVersion;
    e.mask = o.mask;
    e.dmRows = o.dmRows;
    e.dmColumns = o.dmColumns;
    e.dmSquare = o.dmSquare;
    e.dmRectExtensions = o.dmRectExtensions;
    e.eci = o.eci;
    return e;
}

bool HasStandIn(std::u16string_view text) {
    return text.find_first_of(u"\u00B9\u00B2\u00B3\u00BC") != std::u16string_view::npos;
}

bool SizeAsked(const Options& o) {
    return o.moduleWidth > 0 || o.barHeight > 0 || o.quietZones || o.module.value > 0 ||
           o.height.value > 0 || o.fitWidth.value > 0;
}

// Whether the window's own generation paints this: one of its types, in its look, with what
// its controls offer.
bool WindowLook(const SymbologyRow& row, const Options& o, std::u16string_view text) {
    if (!row.window || SizeAsked(o))
        return false;
    switch (*row.window) {
    case quillion::Symbology::Code128:
        return o.codeSet == CodeSet::B && CheckCode128Text(text) &&
               (o.windowStandIns || !HasStandIn(text));
    case quillion::Symbology::Code39:
        return !o.checkDigit;
    default:
        return true;
    }
}

LabelFinish FinishOf(const Options& o) {
    LabelFinish f;
    f.left = f.top = f.right = f.bottom = o.margin;
    f.foreground = ToPixel(o.foreground);
    f.background = ToPixel(o.background);
    f.rotation = o.rotation;
    return f;
}

// The window's generation, one per setting on each thread, kept for the thread's next calls.
// Its pictures are the window's size (a few hundred kilobytes at most).
using Keep = library::Generator::Keep;
library::Generator& GeneratorFor(const library::ControlSettings& settings, Keep keep) {
    constexpr std::size_t kGeneratorsPerThread = 4;
    struct Kept {
        library::ControlSettings settings;
        Keep keep;
        std::unique_ptr<library::Generator> generator;
    };
    thread_local std::vector<Kept> kept;
    const auto found = std::find_if(kept.begin(), kept.end(), [&](const Kept& k) {
        return k.settings == settings && k.keep == keep;
    });
    if (found != kept.end())
        return *found->generator;
    if (kept.size() == kGeneratorsPerThread)
        kept.erase(kept.begin());
    kept.push_back({settings, keep, std::make_unique<library::Generator>(settings, keep)});
    return *kept.back().generator;
}

// The window's messages as an Error: the Code 128 engine's refusal keeps its number.
Error FromGeneration(const library::Generation& g) {
    const std::int32_t number = g.engineError != 0 ? g.engineError
                                : g.errorReport    ? kErrorFailed
                                                   : kErrorRejected;
    return Fail(number, g.message);
}

library::ControlSettings WindowSettings(const SymbologyRow& row, const Options& o) {
    return library::ControlSettings{*row.window, o.caption != CaptionPosition::None,
                                    o.caption == CaptionPosition::Above ? 1 : 0,
                                    int(o.captionStyle)};
}

// The caller's caption choices on the symbol.
void ApplyCaption(const SymbologyRow& row, const Options& o, quillion::Symbol& s) {
    if (!row.Has(library::kOptCaptionStyle))
        return;
    s.textStyle.above = o.caption == CaptionPosition::Above;
    const CaptionStyle style = o.captionStyle;
    s.textStyle.bold = style == CaptionStyle::Bold || style == CaptionStyle::BoldItalic;
    s.textStyle.italic = style == CaptionStyle::Italic || style == CaptionStyle::BoldItalic;
    s.textStyle.underline = style == CaptionStyle::Underline;
}

// The symbol of the text with the caller's caption choices on it, or the encoder's refusal
// (Refused). The symbol stays where the encoder made it: moving it on costs an EAN-13 a seventh
// of its encoding.
Encoded EncodeText(const SymbologyRow& row, std::u16string_view text, const Options& o) {
    Encoded encoded = row.encode(text, EncoderOptions(o));
    if (auto* s = std::get_if<quillion::Symbol>(&encoded))
        ApplyCaption(row, o, *s);
    return encoded;
}

Error Refused(Refusal& refusal) {
    return Fail(refusal.number, std::move(refusal.message));
}

std::variant<int, Error> Pixels(const Length& l, double dpi, int limit, const char* what,
                                bool down = false) {
    const PixelLength p = ToPixels(ToLength(l), dpi, 1, down);
    if (p.pixels > limit)
        return Fail(kErrorArgument, std::string(what) + " of " + LengthText(ToLength(l)) + " is " +
                                        std::to_string(p.pixels) + " pixels at " +
                                        std::to_string(int(dpi)) + " dpi, more than " +
                                        std::to_string(limit));
    return p.pixels;
}

RenderResult RenderWindowLook(const SymbologyRow& row, std::u16string text, const Options& o,
                              std::shared_ptr<Picture::Detail> detail) {
    const library::ControlSettings settings = WindowSettings(row, o);
    // The painting is kept rather than painted: a black-and-white picture without a finish is
    // then painted at one bit per pixel, at its own size.
    library::Generator& generator = GeneratorFor(settings, Keep::Painting);
    generator.SetLook(SymbolLook{0, 0, o.caption != CaptionPosition::None});
    const library::Generation generation = generator.Generate(text);
    if (generation.picture == nullptr && generation.painting == nullptr)
        return FromGeneration(generation);
    detail->paintedWidth = generation.width;
    detail->paintedHeight = generation.height;
    detail->finish = FinishOf(o);
    if (!detail->finish.IsNone()) {
        if (std::string why = FinishPicture(generator.Picture(), detail->finish,
                                            library::kMaxScaledPixels, detail->image);
            !why.empty())
            return Fail(kErrorTooLarge, why);
    } else if (generation.painting == nullptr ||
               !ReplayBilevel(*generation.painting, generation.width, generation.height,
                              detail->bilevel)) {
        detail->bilevel = {};
        detail->image = generator.TakePicture(); // the generation's own pixels, not a copy
    }
    detail->window = WindowRecipe{settings, std::move(text)};
    return PictureAccess::Make(std::move(detail));
}

RenderResult RenderSymbol(const SymbologyRow& row, std::u16string_view text, const Options& o,
                          std::shared_ptr<Picture::Detail> detail) {
    auto encoded = EncodeText(row, text, o);
    if (auto* refusal = std::get_if<Refusal>(&encoded))
        return Refused(*refusal);
    auto symbol =
        std::make_shared<quillion::Symbol>(std::move(std::get<quillion::Symbol>(encoded)));
    PaintSpec spec;
    spec.quietZones = o.quietZones || (symbol->IsMatrix() && !o.noQuietZones);
    spec.caption =
        o.caption != CaptionPosition::None && (!row.Matrix() || row.Has(library::kOptCaption));
    if (o.height.value > 0) {
        auto h = Pixels(o.height, o.dpi, kMaxBarHeight, "the bar height");
        if (auto* error = std::get_if<Error>(&h))
            return std::move(*error);
        spec.barHeight = std::get<int>(h);
    } else {
        spec.barHeight = o.barHeight;
    }
    if (o.module.value > 0) {
        auto m = Pixels(o.module, o.dpi, kMaxModuleWidth, "the module width");
        if (auto* error = std::get_if<Error>(&m))
            return std::move(*error);
        spec.module = std::get<int>(m);
    } else if (o.moduleWidth > 0) {
        spec.module = o.moduleWidth;
    } else if (o.fitWidth.value > 0) {
        auto w = Pixels(o.fitWidth, o.dpi, INT32_MAX / 4, "the width to fit", true);
        if (auto* error = std::get_if<Error>(&w))
            return std::move(*error);
        const int sides = o.rotation == 90 || o.rotation == 270 ? 0 : 2 * o.margin;
        spec.module =
            o.rotation == 90 || o.rotation == 270
                ? 0
                : FitSymbolModule(*symbol, spec, sides, std::get<int>(w), kMaxModuleWidth);
        if (o.rotation == 90 || o.rotation == 270) {
            // Turned, the picture's width is the symbol's height.
            for (int m = 1; m <= kMaxModuleWidth; ++m) {
                spec.module = m;
                const SymbolLayout l = LayOutSymbol(*symbol, spec, INT64_MAX);
                if (l.height == 0 || std::int64_t(l.height) + 2 * o.margin > std::get<int>(w)) {
                    spec.module = m - 1;
                    break;
                }
            }
        }
        if (spec.module == 0) {
            spec.module = 1;
            const SymbolLayout l = LayOutSymbol(*symbol, spec, INT64_MAX);
            const int wide = o.rotation == 90 || o.rotation == 270 ? l.height : l.width;
            return Fail(kErrorTooLarge,
                        "the symbol does not fit " + LengthText(ToLength(o.fitWidth)) + ": " +
                            std::to_string(wide + 2 * o.margin) + " px at 1 px per module");
        }
    } else {
        spec.module = row.usualModule;
    }
    SymbolLayout layout = LayOutSymbol(*symbol, spec, library::kMaxScaledPixels);
    if (layout.width == 0)
        return Fail(kErrorTooLarge, "the picture would be too large");
    Image painted;
    PaintSymbol(*symbol, layout, painted);
    detail->paintedWidth = painted.width;
    detail->paintedHeight = painted.height;
    detail->finish = FinishOf(o);
    if (detail->finish.IsNone())
        detail->image = std::move(painted);
    else if (std::string why =
                 FinishPicture(painted, detail->finish, library::kMaxScaledPixels, detail->image);
             !why.empty())
        return Fail(kErrorTooLarge, why);
    detail->symbol = std::move(symbol);
    detail->layout = std::move(layout);
    return PictureAccess::Make(std::move(detail));
}

// The picture, unless it would be too large at its scale.
RenderResult Scaled(RenderResult result, const Options& o) {
    if (!result)
        return result;
    const Picture::Detail& d = PictureAccess::Of(result.picture());
    const std::int64_t w = std::int64_t{d.Width()} * o.scale;
    const std::int64_t h = std::int64_t{d.Height()} * o.scale;
    if (w * h > library::kMaxScaledPixels)
        return Fail(kErrorTooLarge, "the picture at scale " + std::to_string(o.scale) +
                                        " would have " + std::to_string(w) + " x " +
                                        std::to_string(h) + " pixels, more than " +
                                        std::to_string(library::kMaxScaledPixels));
    return result;
}

const SymbologyRow* RowOf(Symbology symbology) {
    return FindSymbology(symbology);
}

RenderResult RenderChecked(const SymbologyRow& row, std::string_view utf8Text, const Options& o) {
    std::optional<std::u16string> text = library::DecodeUtf8(utf8Text);
    if (!text)
        return Fail(kErrorArgument, "the text is not valid UTF-8");
    if (text->empty() && row.window && row.window != quillion::Symbology::UpcA &&
        row.window != quillion::Symbology::UpcE)
        return Fail(kErrorRejected, kMsgEmpty);
    auto detail = std::make_shared<Picture::Detail>();
    detail->scale = o.scale;
    detail->dpi = o.dpi * o.scale;
    if (WindowLook(row, o, *text)) {
        // The symbol's limits first: a text too long for the symbol is that, not the window's
        // arithmetic overflowing on it. A text of a few dozen characters is never too long for
        // either (Code 39 holds a thousand; the window's set B some three hundred symbol
        // characters, at most three a character): it is not encoded twice.
        constexpr std::size_t kNeverTooLong = 32;
        if ((row.id == Symbology::Code128 || row.id == Symbology::Code39) &&
            text->size() > kNeverTooLong) {
            Options asWindow = o;
            asWindow.windowStandIns = true;
            auto encoded = EncodeText(row, *text, asWindow);
            if (auto* refusal = std::get_if<Refusal>(&encoded);
                refusal && refusal->number == kErrorTooLong)
                return Refused(*refusal);
        }
        if (row.id == Symbology::UpcA)
            text = WithUpcACheckDigit(*text); // eleven digits get their check digit
        return Scaled(RenderWindowLook(row, std::move(*text), o, std::move(detail)), o);
    }
    return Scaled(RenderSymbol(row, *text, o, std::move(detail)), o);
}

api::Symbol PublicSymbol(quillion::Symbol&& s) {
    api::Symbol p;
    p.barModules = s.barModules;
    p.guardModules = s.guardModules;
    p.quietLeft = s.quiet.left;
    p.quietRight = s.quiet.right;
    p.quietTop = s.quiet.top;
    p.quietBottom = s.quiet.bottom;
    if (s.IsMatrix()) {
        p.rows = s.rows;
        p.columns = s.columns;
        p.modules = std::move(s.matrix);
    } else {
        p.rows = 1;
        p.columns = s.WidthModules();
        // Every run written whole with one 8-byte store (a longer run with memset), the next
        // run writing over what the store put past its end; the rows have 8 bytes to spare
        // for the last one.
        // Inserting run by run cost a fifth of Encode for a Code 128 symbol.
        constexpr std::size_t kStore = 8;
        const std::size_t columns = std::size_t(p.columns);
        // Locals, since the byte stores could otherwise alias the runs and be re-read.
        const std::uint8_t* const runs = s.runs.data();
        const std::size_t count = s.runs.size(), longCount = s.longBars.size();
        const std::vector<bool>::const_iterator longBarAt = s.longBars.cbegin();
        p.modules.resize(columns + kStore);
        p.longBars.assign(longCount != 0 ? columns + kStore : columns, 0); // most have none
        std::uint8_t* const modules = p.modules.data();
        std::uint8_t* const longBars = p.longBars.data();
        const auto put = [](std::uint8_t* at, std::size_t n, std::uint8_t value) {
            if (n <= kStore) {
                const std::uint64_t word = value * 0x0101010101010101ull;
                std::memcpy(at, &word, kStore);
            } else {
                std::memset(at, value, n);
            }
        };
        std::size_t at = 0;
        for (std::size_t i = 0; i < count; at += runs[i], ++i) {
            const bool bar = i % 2 == 0;
            put(modules + at, runs[i], bar ? 1 : 0);
            if (longCount != 0) {
                const bool longBar = bar && i / 2 < longCount && longBarAt[i / 2];
                put(longBars + at, runs[i], longBar ? 1 : 0);
            }
        }
        p.modules.resize(columns);
        p.longBars.resize(columns);
    }
    p.text.reserve(s.text.size());
    for (SymbolText& t : s.text) { // one move of each string
        api::Symbol::Text& out = p.text.emplace_back();
        out.text = std::move(t.text);
        out.x = t.x;
    }
    p.reading = std::move(s.reading);
    p.identifier = std::move(s.identifier);
    return p;
}

} // namespace

std::shared_ptr<const PaintRecord> RecordWindowLook(const WindowRecipe& recipe) {
    library::Generator& generator = GeneratorFor(recipe.settings, Keep::PixelsAndRecord);
    generator.SetLook(SymbolLook{0, 0, recipe.settings.caption});
    const library::Generation generation = generator.Generate(recipe.text);
    PaintRecord record = generator.TakeRecord();
    if (generation.picture == nullptr || !record.complete)
        return nullptr;
    return std::make_shared<const PaintRecord>(std::move(record));
}

RenderResult RenderSized(Symbology symbology, std::string_view utf8Text, const Options* options,
                         std::size_t optionsSize) {
    const Options o = OptionsOf(options, optionsSize);
    const SymbologyRow* row = RowOf(symbology);
    if (row == nullptr)
        return Fail(kErrorArgument, "unknown symbology");
    if (const std::optional<Error> bad = CheckOptions(o))
        return *bad;
    try {
        return RenderChecked(*row, utf8Text, o);
    } catch (const RuntimeError& e) {
        return Fail(kErrorFailed, "Application Error: " + e.Description());
    }
}

EncodeResult EncodeSized(Symbology symbology, std::string_view utf8Text, const Options* options,
                         std::size_t optionsSize) {
    const Options o = OptionsOf(options, optionsSize);
    const SymbologyRow* row = RowOf(symbology);
    if (row == nullptr)
        return Fail(kErrorArgument, "unknown symbology");
    if (const std::optional<Error> bad = CheckOptions(o))
        return *bad;
    library::Utf16Storage storage; // a short text stays on the stack
    const std::optional<std::u16string_view> text = library::DecodeUtf8(utf8Text, storage);
    if (!text)
        return Fail(kErrorArgument, "the text is not valid UTF-8");
    Options encodeAs = o;
    if (row->id == Symbology::Code128 && WindowLook(*row, o, *text))
        encodeAs.windowStandIns = true; // the window's set B reads its stand-ins
    Encoded encoded = EncodeText(*row, *text, encodeAs);
    if (auto* refusal = std::get_if<Refusal>(&encoded))
        return Refused(*refusal);
    return PublicSymbol(std::get<quillion::Symbol>(std::move(encoded)));
}

std::vector<std::string> SymbologyNames(Symbology symbology) {
    std::vector<std::string> names;
    if (const SymbologyRow* row = RowOf(symbology))
        for (const std::string_view n : row->names)
            if (!n.empty())
                names.emplace_back(n);
    return names;
}

bool SymbologyFromName(std::string_view name, Symbology& symbology) {
    const SymbologyRow* row = FindSymbology(name);
    if (row != nullptr)
        symbology = row->id;
    return row != nullptr;
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
