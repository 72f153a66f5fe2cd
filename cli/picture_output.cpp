#include "picture_output.h"

#include "atomic_file.h"
#include "form_core.h"
#include "picture_detail.h"
#include "symbologies.h"
#include "text_checks.h"
#include "verify.h"

#include <climits>

namespace quillion::cli {

api::Colour ApiColour(Pixel p) {
    return {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p), std::uint8_t(p >> 24)};
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
    const OtherSettings& x = options.other;
    o.windowStandIns = x.windowStandIns;
    o.ecc = x.ecc;
    o.keepEcc = x.keepEcc;
    o.qrVersion = x.qrVersion;
    o.mask = x.mask;
    o.dmRows = x.dmRows;
    o.dmColumns = x.dmColumns;
    o.dmSquare = x.dmSquare;
    o.dmRectExtensions = x.dmRectExtensions;
    o.eci = x.eci;
    o.noQuietZones = x.noQuietZones;
    if (l.fitWidth > 0)
        o.fitWidth = api::Length{double(l.fitWidth), api::Unit::Pixel};
    // --no-caption is for every type; as in the window, position and style for Code 128 (and
    // GS1-128) only.
    const library::ControlSettings& c = options.controls;
    const library::SymbologyRow& row = *library::FindSymbology(options.type);
    if (!c.caption || (row.Has(library::kOptCaption) && !options.other.captionGiven))
        o.caption = api::CaptionPosition::None;
    if (!row.Has(library::kOptCaptionStyle))
        return o;
    o.caption = !c.caption                    ? api::CaptionPosition::None
                : c.captionPositionIndex == 1 ? api::CaptionPosition::Above
                                              : api::CaptionPosition::Below;
    o.captionStyle = api::CaptionStyle(c.fontStyleIndex);
    return o;
}

std::string RenderText(const RenderOptions& options, const std::u16string& text,
                       std::string_view utf8Text, api::Picture& out) {
    const api::Options o = ApiOptions(options);
    const api::RenderResult rendered = api::Render(options.type, utf8Text, o);
    if (!rendered) {
        if (rendered.error().number == api::kErrorTooLarge && options.label.fitWidth > 0)
            return "--fit-width: " + rendered.error().message + ", more than the " +
                   std::to_string(options.label.fitWidth) + " that fit at " +
                   std::to_string(options.label.dpi) + " dpi; no file written";
        return rendered.error().message;
    }
    if (options.verify) {
        // The picture as it is written is read: colours, quiet zones and margin included; the
        // reader is told when it is turned.
        const api::EncodeResult symbol = api::Encode(options.type, utf8Text, o);
        if (!symbol)
            return symbol.error().message;
        const library::SymbologyRow& row = *library::FindSymbology(options.type);
        VerifyTarget target;
        target.text = text;
        target.reader = row.reader;
        target.expected = symbol.symbol().reading;
        target.identifier = symbol.symbol().identifier;
        target.fullAscii = row.id == api::Symbology::Code39FullAscii;
        target.checkCharacter = row.Has(library::kOptCheckDigit) && o.checkDigit;
        target.turned = o.rotation != 0;
        if (std::string verdict =
                VerifyPicture(api::PictureAccess::Of(rendered.picture()).Pixels(), target);
            !verdict.empty())
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
