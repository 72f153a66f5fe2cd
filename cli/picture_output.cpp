#include "picture_output.h"

#include "atomic_file.h"
#include "form_core.h"
#include "picture_detail.h"
#include "text_checks.h"
#include "verify.h"

#include <climits>

namespace quillion::cli {

api::Symbology ApiSymbology(Symbology type) {
    switch (type) {
    case Symbology::Code39:
        return api::Symbology::Code39;
    case Symbology::UpcA:
        return api::Symbology::UpcA;
    case Symbology::UpcE:
        return api::Symbology::UpcE;
    default:
        return api::Symbology::Code128;
    }
}

api::Colour ApiColour(Pixel p) {
    return {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p), std::uint8_t(p >> 24)};
}

api::Symbology ApiSymbology(const RenderOptions& options) {
    if (!options.other.type)
        return ApiSymbology(options.controls.type);
    switch (*options.other.type) {
    case LinearType::Ean13:
        return api::Symbology::Ean13;
    case LinearType::Ean8:
        return api::Symbology::Ean8;
    case LinearType::Gs1_128:
        return api::Symbology::Gs1_128;
    case LinearType::Code39FullAscii:
        return api::Symbology::Code39FullAscii;
    case LinearType::Code39:
        return api::Symbology::Code39;
    case LinearType::Code128:
        break;
    }
    return api::Symbology::Code128;
}

LinearOptions LinearOptionsOf(const RenderOptions& options) {
    LinearOptions l;
    const ControlSettings& c = options.controls;
    l.type = options.other.type            ? *options.other.type
             : c.type == Symbology::Code39 ? LinearType::Code39
                                           : LinearType::Code128;
    l.codeSet = options.other.codeSet;
    l.checkDigit = options.other.checkDigit;
    l.caption = c.caption;
    l.captionPositionIndex = c.captionPositionIndex;
    l.fontStyleIndex = c.fontStyleIndex;
    return l;
}

api::Options ApiOptions(const RenderOptions& options) {
    api::Options o;
    o.scale = options.scale;
    const LabelSettings& l = options.label;
    o.moduleWidth = l.moduleWidth;
    o.barHeight = l.barHeight;
    o.quietZones = l.quietZones;
    o.margin = l.margin;
    o.foreground = ApiColour(l.foreground);
    o.background = ApiColour(l.background);
    o.rotation = l.rotation;
    o.dpi = l.dpi;
    o.codeSet =
        options.other.codeSet == Code128CodeSet::Auto ? api::CodeSet::Auto : api::CodeSet::B;
    o.checkDigit = options.other.checkDigit;
    // --no-caption is for every type; as in the window, position and style for Code 128 (and
    // GS1-128) only.
    const ControlSettings& c = options.controls;
    if (!c.caption)
        o.caption = api::CaptionPosition::None;
    if (c.type != Symbology::Code128 && options.other.type != LinearType::Gs1_128)
        return o;
    o.caption = !c.caption                    ? api::CaptionPosition::None
                : c.captionPositionIndex == 1 ? api::CaptionPosition::Above
                                              : api::CaptionPosition::Below;
    o.captionStyle = api::CaptionStyle(c.fontStyleIndex);
    return o;
}

namespace {

// With --fit-width, the widest module with which the picture fits (at scale 1), else the
// module asked for.
std::string ChooseModule(const RenderOptions& options, std::string_view utf8Text, api::Options& o) {
    if (options.label.fitWidth <= 0)
        return {};
    const api::Symbology type = ApiSymbology(options.controls.type);
    api::Options trial = o;
    trial.scale = 1;
    std::string failure;
    int narrowest = 0;
    o.moduleWidth = FitModuleWidth(options.label.fitWidth, api::kMaxModuleWidth, [&](int m) {
        trial.moduleWidth = m;
        const api::RenderResult r = api::Render(type, utf8Text, trial);
        if (!r) {
            failure = r.error().message;
            return INT_MAX;
        }
        if (m == 1)
            narrowest = r.picture().Width();
        return r.picture().Width();
    });
    if (!failure.empty())
        return failure;
    if (o.moduleWidth == 0)
        return "--fit-width: at one pixel per module the picture is " + std::to_string(narrowest) +
               " pixels wide, more than the " + std::to_string(options.label.fitWidth) +
               " that fit at " + std::to_string(options.label.dpi) + " dpi; no file written";
    return {};
}

} // namespace

std::string RenderText(const RenderOptions& options, const std::u16string& text,
                       std::string_view utf8Text, api::Picture& out) {
    api::Options o = ApiOptions(options);
    if (std::string failure = ChooseModule(options, utf8Text, o); !failure.empty())
        return failure;
    const api::RenderResult rendered = api::Render(ApiSymbology(options), utf8Text, o);
    if (!rendered)
        return rendered.error().message;
    if (options.verify) {
        // The picture as it is written is read: colours, quiet zones and margin included; the
        // reader is told when it is turned.
        const Image& image = rendered.picture().Internal().image;
        const LinearOptions linear = LinearOptionsOf(options);
        const bool window = options.controls.type == Symbology::UpcA ||
                            options.controls.type == Symbology::UpcE ||
                            (!options.other.type && WindowPaints(linear, text));
        const std::u16string expected =
            options.controls.type == Symbology::UpcA ? WithUpcACheckDigit(text) : text;
        const bool turned = o.rotation != 0;
        std::string verdict = window ? VerifyPicture(image, options.controls.type, expected, turned)
                                     : VerifyLinearPicture(image, linear, text, turned);
        if (!verdict.empty())
            return verdict;
    }
    out = rendered.picture();
    return {};
}

const std::vector<std::uint8_t>* PictureWriter::Encode(const api::Picture& picture,
                                                       OutputFormat format, std::string& error) {
    api::Error failure;
    switch (format) {
    case OutputFormat::Svg:
        bytes_ = api::EncodeSvg(picture, &failure);
        break;
    case OutputFormat::Jpeg:
        bytes_ = api::EncodeJpeg(picture, FormCore::kJpegQuality, &failure);
        break;
    case OutputFormat::Png:
        bytes_ = api::EncodePng(picture, &failure);
        break;
    }
    if (failure.number != 0) {
        error = failure.message;
        return nullptr;
    }
    return &bytes_;
}

std::string PictureWriter::Write(const api::Picture& picture, const std::string& path,
                                 OutputFormat format) {
    std::string error;
    const std::vector<std::uint8_t>* bytes = Encode(picture, format, error);
    if (bytes == nullptr)
        return error;
    return FileErrorText(WriteFileContents(path, bytes->data(), bytes->size()));
}

std::string PictureWriter::WriteInFolder(const api::Picture& picture, int folderFd,
                                         const std::string& name, OutputFormat format) {
    std::string error;
    const std::vector<std::uint8_t>* bytes = Encode(picture, format, error);
    if (bytes == nullptr)
        return error;
    return FileErrorText(ReplaceInFolder(folderFd, name, bytes->data(), bytes->size()));
}

} // namespace quillion::cli
