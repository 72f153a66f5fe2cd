// The command line is parsed by glibc's getopt_long, the parser every GNU tool uses, so that
// short options, "--opt=value", abbreviations and "--" behave as users expect; it lives in the
// C library the renderer loads anyway (no new library at start-up).
#include "options.h"

#include "symbologies.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <getopt.h>
#include <string_view>
#include <tuple>

namespace quillion::cli {
namespace {

constexpr int kMaxJobs = 64;

// Looks a word up (in any case) in a list of names; the index is the value the window would
// use.
template <std::size_t N>
std::optional<int> IndexOf(const std::array<std::string_view, N>& names, std::string_view word) {
    std::string lower(word);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == lower)
            return static_cast<int>(i);
    return std::nullopt;
}

constexpr std::array<std::string_view, 2> kPositions = {"bottom", "top"};
constexpr std::array<std::string_view, 5> kStyles = {"regular", "bold", "italic", "bolditalic",
                                                     "underline"};
constexpr std::array<std::string_view, 4> kEccs = {"l", "m", "q", "h"};
constexpr std::array<api::Ecc, 4> kEccValues = {api::Ecc::L, api::Ecc::M, api::Ecc::Q, api::Ecc::H};
constexpr std::array<std::string_view, 2> kCodeSets = {"b", "auto"};
constexpr std::array<Code128CodeSet, 2> kCodeSetValues = {Code128CodeSet::B, Code128CodeSet::Auto};
constexpr std::array<std::string_view, 4> kFormats = {"png", "jpg", "jpeg", "svg"};
constexpr std::array<OutputFormat, 4> kFormatValues = {OutputFormat::Png, OutputFormat::Jpeg,
                                                       OutputFormat::Jpeg, OutputFormat::Svg};
constexpr std::array<std::string_view, 4> kRotations = {"0", "90", "180", "270"};
constexpr std::array<int, 4> kRotationValues = {0, 90, 180, 270};
constexpr std::array<std::string_view, 2> kNameRules = {"line", "text"};
constexpr std::array<NameRule, 2> kNameRuleValues = {NameRule::Line, NameRule::Text};

// Option codes beyond the short options' letters.
enum Code : int {
    kType = 't',
    kOutput = 'o',
    kHelp = 'h',
    kVersion = 'V',
    kCaption = 256,
    kNoCaption,
    kPosition,
    kStyle,
    kBatch,
    kOutDir,
    kFormat,
    kJobs,
    kScale,
    kNames,
    kVerify,
    kDpi,
    kModuleWidth,
    kHeight,
    kFitWidth,
    kQuietZones,
    kMargin,
    kForeground,
    kBackground,
    kRotate,
    kCodeSet,
    kCheckDigit,
    kStandIns,
    kEcc,
    kKeepEcc,
    kQrVersion,
    kMask,
    kDmSize,
    kSquare,
    kDmre,
    kNoEci,
    kNoQuietZones,
    kGs1Show,
};

constexpr char kShortOptions[] = ":t:o:hV";
const option kLongOptions[] = {
    {"type", required_argument, nullptr, kType},
    {"caption", no_argument, nullptr, kCaption},
    {"no-caption", no_argument, nullptr, kNoCaption},
    {"position", required_argument, nullptr, kPosition},
    {"style", required_argument, nullptr, kStyle},
    {"output", required_argument, nullptr, kOutput},
    {"format", required_argument, nullptr, kFormat},
    {"scale", required_argument, nullptr, kScale},
    {"dpi", required_argument, nullptr, kDpi},
    {"module-width", required_argument, nullptr, kModuleWidth},
    {"height", required_argument, nullptr, kHeight},
    {"fit-width", required_argument, nullptr, kFitWidth},
    {"quiet-zones", no_argument, nullptr, kQuietZones},
    {"margin", required_argument, nullptr, kMargin},
    {"fg", required_argument, nullptr, kForeground},
    {"bg", required_argument, nullptr, kBackground},
    {"rotate", required_argument, nullptr, kRotate},
    {"batch", required_argument, nullptr, kBatch},
    {"out-dir", required_argument, nullptr, kOutDir},
    {"names", required_argument, nullptr, kNames},
    {"jobs", required_argument, nullptr, kJobs},
    {"verify", no_argument, nullptr, kVerify},
    {"code-set", required_argument, nullptr, kCodeSet},
    {"check-digit", no_argument, nullptr, kCheckDigit},
    {"window-stand-ins", no_argument, nullptr, kStandIns},
    {"ecc", required_argument, nullptr, kEcc},
    {"keep-ecc", no_argument, nullptr, kKeepEcc},
    {"qr-version", required_argument, nullptr, kQrVersion},
    {"mask", required_argument, nullptr, kMask},
    {"dm-size", required_argument, nullptr, kDmSize},
    {"square", no_argument, nullptr, kSquare},
    {"dmre", no_argument, nullptr, kDmre},
    {"no-eci", no_argument, nullptr, kNoEci},
    {"no-quiet-zones", no_argument, nullptr, kNoQuietZones},
    {"gs1-show", required_argument, nullptr, kGs1Show},
    {"help", no_argument, nullptr, kHelp},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

// The option's name as the user reads it in messages.
std::string NameOf(int code) {
    for (const option* o = kLongOptions; o->name != nullptr; ++o)
        if (o->val == code)
            return std::string("--") + o->name;
    return std::string("-") + static_cast<char>(code);
}

std::string NonEmpty(std::string& target, std::string_view value, std::string_view what) {
    if (value.empty())
        return "the " + std::string(what) + " is empty";
    target = std::string(value);
    return {};
}

std::string Unknown(std::string_view what, std::string_view value, std::string_view choices) {
    return "unknown " + std::string(what) + " \"" + std::string(value) + "\" (" +
           std::string(choices) + ")";
}

// Sets target to the value of the word v in names (values[i] for names[i]), or says what is
// wrong: what the option names and the choices it offers.
template <typename T, std::size_t N>
std::string Choose(T& target, std::string_view v, const std::array<std::string_view, N>& names,
                   const std::array<T, N>& values, std::string_view what,
                   std::string_view choices) {
    const auto i = IndexOf(names, v);
    if (!i)
        return Unknown(what, v, choices);
    target = values[std::size_t(*i)];
    return {};
}

// As above where the value is the word's index in names.
template <std::size_t N>
std::string Choose(int& target, std::string_view v, const std::array<std::string_view, N>& names,
                   std::string_view what, std::string_view choices) {
    const auto i = IndexOf(names, v);
    if (!i)
        return Unknown(what, v, choices);
    target = *i;
    return {};
}

// Sets target to a whole number from 1 to max, or returns the refusal the option's name and
// noun make ("--jobs takes a number from 1 to 64").
std::string Number(int& target, std::string_view v, int max, int code, std::string_view noun) {
    int n = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (ec != std::errc() || end != v.data() + v.size() || n < 1 || n > max)
        return NameOf(code) + " takes " + std::string(noun) + " from 1 to " + std::to_string(max);
    target = n;
    return {};
}

// Sets target to a length (pixels, mm, in, mil), above zero unless zero is allowed.
std::string LengthOption(std::optional<Length>& target, std::string_view v, int code,
                         bool zeroAllowed) {
    const std::optional<Length> length = ParseLength(v);
    if (!length || (!zeroAllowed && length->value <= 0))
        return NameOf(code) + " takes " + (zeroAllowed ? "" : "more than 0 ") +
               "whole pixels (3) or a length (0.33mm, 0.013in, 13mil), not \"" + std::string(v) +
               "\"";
    target = length;
    return {};
}

// Sets target to RRGGBB or RRGGBBAA (a "#" in front allowed), or "transparent" where allowed.
std::string ColourOption(Pixel& target, std::string_view v, int code, bool transparentAllowed) {
    const std::optional<std::uint32_t> colour = ParseColour(v, transparentAllowed);
    if (!colour)
        return NameOf(code) + " takes a colour RRGGBB or RRGGBBAA" +
               (transparentAllowed ? " or transparent" : "") + ", not \"" + std::string(v) + "\"";
    target = *colour;
    return {};
}

// Applies one option; returns an error message, "" when it is fine.
std::string Apply(RenderOptions& o, int code, std::string_view v) {
    switch (code) {
    case kType: {
        const library::SymbologyRow* row = library::FindSymbology(v);
        if (row == nullptr) {
            std::string names;
            for (const library::SymbologyRow& r : library::Symbologies())
                names += (names.empty() ? "" : ", ") + std::string(r.names[0]);
            return Unknown("type", v, names);
        }
        o.type = row->id;
        o.controls.type = row->window.value_or(Symbology::None);
        return {};
    }
    case kStandIns:
        o.other.windowStandIns = true;
        return {};
    case kEcc:
        return Choose(o.other.ecc, v, kEccs, kEccValues, "error correction level", "L, M, Q or H");
    case kKeepEcc:
        o.other.keepEcc = true;
        return {};
    case kQrVersion:
        return Number(o.other.qrVersion, v, 40, code, "a version");
    case kMask:
        if (v.size() != 1 || v[0] < '0' || v[0] > '7')
            return NameOf(code) + " takes a mask from 0 to 7";
        o.other.mask = v[0] - '0';
        return {};
    case kDmSize: {
        const std::size_t x = v.find_first_of("xX");
        int rows = 0, columns = 0;
        if (x == std::string_view::npos || !Number(rows, v.substr(0, x), 144, code, "").empty() ||
            !Number(columns, v.substr(x + 1), 144, code, "").empty())
            return NameOf(code) + " takes ROWSxCOLUMNS, e.g. 16x48 or 24x24, not \"" +
                   std::string(v) + "\"";
        o.other.dmRows = rows;
        o.other.dmColumns = columns;
        return {};
    }
    case kSquare:
        o.other.dmSquare = true;
        return {};
    case kDmre:
        o.other.dmRectExtensions = true;
        return {};
    case kNoEci:
        o.other.eci = false;
        return {};
    case kNoQuietZones:
        o.other.noQuietZones = true;
        return {};
    case kGs1Show:
        return NonEmpty(o.gs1Show, v, "GS1 text");
    case kCodeSet:
        return Choose(o.other.codeSet, v, kCodeSets, kCodeSetValues, "code set", "b or auto");
    case kCheckDigit:
        o.other.checkDigit = true;
        return {};
    case kCaption:
    case kNoCaption:
        o.controls.caption = code == kCaption;
        o.other.captionGiven = code == kCaption;
        return {};
    case kPosition:
        return Choose(o.controls.captionPositionIndex, v, kPositions, "position", "bottom or top");
    case kStyle:
        return Choose(o.controls.fontStyleIndex, v, kStyles, "style",
                      "regular, bold, italic, bolditalic or underline");
    case kOutput:
        return NonEmpty(o.output, v, "output file name");
    case kBatch:
        return NonEmpty(o.batch, v, "batch file name");
    case kOutDir:
        return NonEmpty(o.outDir, v, "output folder name");
    case kFormat:
        return Choose(o.format, v, kFormats, kFormatValues, "format", "png, jpg or svg");
    case kNames:
        return Choose(o.names, v, kNameRules, kNameRuleValues, "naming rule", "line or text");
    case kJobs:
        return Number(o.jobs, v, kMaxJobs, code, "a number");
    case kScale:
        return Number(o.scale, v, kMaxScale, code, "a whole number");
    case kVerify:
        o.verify = true;
        return {};
    case kDpi:
        o.label.dpiGiven = true;
        return Number(o.label.dpi, v, kMaxDpi, code, "a whole number");
    case kModuleWidth:
        return LengthOption(o.label.moduleLength, v, code, false);
    case kHeight:
        return LengthOption(o.label.heightLength, v, code, false);
    case kFitWidth:
        return LengthOption(o.label.fitLength, v, code, false);
    case kMargin:
        return LengthOption(o.label.marginLength, v, code, true);
    case kQuietZones:
        o.label.quietZones = true;
        return {};
    case kForeground:
        return ColourOption(o.label.foreground, v, code, false);
    case kBackground:
        return ColourOption(o.label.background, v, code, true);
    case kRotate:
        return Choose(o.label.rotation, v, kRotations, kRotationValues, "rotation",
                      "0, 90, 180 or 270");
    case kHelp:
        o.help = true;
        return {};
    case kVersion:
        o.version = true;
        return {};
    default:
        return "unknown option " + NameOf(code);
    }
}

ParseResult Fail(std::string message) {
    return {std::nullopt, std::move(message), {}};
}

// What getopt_long refused: an unknown option, a missing value, or a value given to an option
// that takes none. arg is the argument it was reading.
std::string Refusal(int result, int badOption, std::string_view arg) {
    if (result == ':')
        return (badOption != 0 ? NameOf(badOption) : std::string(arg)) + " needs a value";
    if (arg.substr(0, 2) == "--") {
        const std::string_view name = arg.substr(0, arg.find('='));
        if (badOption != 0 && name.size() < arg.size())
            return NameOf(badOption) + " takes no value";
        return "unknown option " + std::string(name);
    }
    return "unknown option -" + std::string(1, static_cast<char>(badOption));
}

// The combinations that make sense: one barcode to --output, or a batch to --out-dir; the
// format of one file comes from --format or the name's ending.
std::string CheckMode(RenderOptions& o, const std::vector<std::string>& texts,
                      const std::vector<int>& given) {
    const auto was = [&](int code) {
        return std::find(given.begin(), given.end(), code) != given.end();
    };
    if (!o.gs1Show.empty()) {
        if (!o.output.empty() || o.IsBatch() || !texts.empty())
            return "--gs1-show prints the forms of its own TEXT; it takes no output, batch or "
                   "other text";
        return {};
    }
    if (o.IsBatch()) {
        if (o.outDir.empty())
            return "--batch needs --out-dir DIR";
        if (!o.output.empty())
            return "--output is for one barcode; a batch writes to --out-dir";
        if (!texts.empty())
            return "a batch takes its texts from the file, not from the command line";
        return {};
    }
    for (const int code : {kOutDir, kJobs, kNames})
        if (was(code))
            return NameOf(code) + " is for batch mode (--batch FILE)";
    if (o.output.empty())
        return "--output FILE is required";
    if (texts.size() != 1)
        return texts.empty() ? "the TEXT to encode is missing" : "more than one TEXT given";
    if (!was(kFormat) && !o.ToStandardOutput()) {
        const auto format = FormatOfFileName(o.output);
        if (!format)
            return "the output name \"" + o.output +
                   "\" does not end in .png, .jpg, .jpeg or .svg; give --format";
        o.format = *format;
    }
    return {};
}

// One length as whole pixels at the resolution; a warning when they are far from it.
std::string Resolve(const std::optional<Length>& length, int& pixels, int code, int dpi,
                    int minimum, int maximum, std::vector<std::string>& warnings) {
    if (!length)
        return {};
    const PixelLength p = ToPixels(*length, dpi, minimum, code == kFitWidth);
    if (p.pixels > maximum)
        return NameOf(code) + " " + LengthText(*length) + " is more than " +
               std::to_string(maximum) + " pixels at " + std::to_string(dpi) + " dpi";
    pixels = p.pixels;
    if (p.off) {
        char exact[32];
        std::snprintf(exact, sizeof exact, "%.2f", p.exact);
        warnings.push_back(NameOf(code) + " " + LengthText(*length) + " is " + exact +
                           " pixels at " + std::to_string(dpi) + " dpi; using " +
                           std::to_string(p.pixels) + (p.pixels == 1 ? " pixel" : " pixels"));
    }
    return {};
}

// The options that only some symbologies take, refused for the others.
std::string OptionsForType(const RenderOptions& o, const std::vector<int>& given) {
    const library::SymbologyRow& row = *library::FindSymbology(o.type);
    const std::string type = std::string(row.names[0]);
    struct Need {
        int code;
        library::OptionBit bit;
    };
    for (const Need need :
         {Need{kCodeSet, library::kOptCodeSet}, Need{kCheckDigit, library::kOptCheckDigit},
          Need{kStandIns, library::kOptStandIns}, Need{kEcc, library::kOptQr},
          Need{kKeepEcc, library::kOptQr}, Need{kQrVersion, library::kOptQr},
          Need{kMask, library::kOptQr}, Need{kDmSize, library::kOptDataMatrix},
          Need{kSquare, library::kOptDataMatrix}, Need{kDmre, library::kOptDataMatrix},
          Need{kNoEci, library::kOptEci}}) {
        if (std::find(given.begin(), given.end(), need.code) == given.end() || row.Has(need.bit))
            continue;
        std::string takers;
        for (const library::SymbologyRow& r : library::Symbologies())
            if (r.Has(need.bit))
                takers += (takers.empty() ? "" : ", ") + std::string(r.names[0]);
        return NameOf(need.code) + " is not for " + type + " (it is for " + takers + ")";
    }
    const auto was = [&](int code) {
        return std::find(given.begin(), given.end(), code) != given.end();
    };
    if (was(kNoQuietZones) && !row.Matrix())
        return "--no-quiet-zones is for the 2D symbols, which have their quiet zone by default";
    if (row.Matrix() && o.label.quietZones && o.other.noQuietZones)
        return "--quiet-zones and --no-quiet-zones contradict each other: give one";
    if (row.Matrix() && !row.Has(library::kOptCaption) && (was(kCaption) || was(kNoCaption)))
        return std::string(row.title) + " prints no text: --caption and --no-caption are for " +
               "the GS1 symbols";
    if (row.Has(library::kOptCaption) && was(kNoCaption))
        return std::string(row.title) + " prints its element string only with --caption";
    return {};
}

// The combinations that make sense, and the lengths as pixels.
std::string CheckCombination(RenderOptions& o, const std::vector<std::string>& texts,
                             const std::vector<int>& given, std::vector<std::string>& warnings) {
    if (std::string error = CheckMode(o, texts, given); !error.empty())
        return error;
    const auto was = [&](int code) {
        return std::find(given.begin(), given.end(), code) != given.end();
    };
    const auto both = [](int a, int b, std::string_view why) {
        return NameOf(a) + " and " + NameOf(b) + " " + std::string(why);
    };
    LabelSettings& l = o.label;
    if (l.moduleLength && l.fitLength)
        return both(kModuleWidth, kFitWidth, "contradict each other: give one");
    if ((l.foreground & 0xFFFFFFu) == (l.background & 0xFFFFFFu) && (l.background >> 24) == 0xFF)
        return both(kForeground, kBackground, "are the same colour: the bars would not show");
    if (std::string why = ContrastProblem(l.foreground, l.background); !why.empty())
        return both(kForeground, kBackground, why);
    if (std::string why = OptionsForType(o, given); !why.empty())
        return why;
    if (o.format == OutputFormat::Jpeg && l.HasAlpha())
        return NameOf(was(kBackground) && (l.background >> 24) != 0xFF ? kBackground
                                                                       : kForeground) +
               " asks for transparency, which " +
               (was(kFormat) ? "--format jpg" : "--output " + o.output) +
               " cannot hold (JPEG has no alpha): write PNG or SVG";
    const int dpi = l.dpi;
    for (const auto& [length, pixels, code, minimum, maximum] :
         {std::tuple{&l.moduleLength, &l.moduleWidth, int(kModuleWidth), 1, kMaxModulePixels},
          std::tuple{&l.heightLength, &l.barHeight, int(kHeight), 1, kMaxBarHeightPixels},
          std::tuple{&l.fitLength, &l.fitWidth, int(kFitWidth), 1, kMaxLengthPixels},
          std::tuple{&l.marginLength, &l.margin, int(kMargin), 0, kMaxLengthPixels}})
        if (std::string error = Resolve(*length, *pixels, code, dpi, minimum, maximum, warnings);
            !error.empty())
            return error;
    // A module width the GS1 General Specifications do not allow for the symbol's use.
    const library::SymbologyRow& row = *library::FindSymbology(o.type);
    if (l.moduleLength && l.moduleLength->unit != LengthUnit::Pixel && row.minModuleMm > 0) {
        const double mm = PixelsToMillimetres(l.moduleWidth, dpi);
        if (mm < row.minModuleMm - 1e-9 || mm > row.maxModuleMm + 1e-9) {
            char figures[160];
            std::snprintf(figures, sizeof figures,
                          "a module of %.3f mm (%d pixels at %d dpi) is outside the %.3f to %.3f mm "
                          "the GS1 General Specifications allow for ",
                          mm, l.moduleWidth, dpi, row.minModuleMm, row.maxModuleMm);
            warnings.push_back(figures + std::string(row.title));
        }
    }
    return {};
}

} // namespace

// The types, one line each: the registry's names and help.
std::string TypeList() {
    std::string list;
    for (const library::SymbologyRow& row : library::Symbologies()) {
        std::string names(row.names[0]);
        if (!row.names[1].empty() && names.size() + row.names[1].size() + 2 < 16)
            names += ", " + std::string(row.names[1]);
        names.resize(std::max<std::size_t>(names.size() + 1, 16), ' ');
        list += (list.empty() ? "types: " : "\n       ") + names + std::string(row.help);
    }
    return list;
}

std::string Usage() {
    return "usage: quillion-render [-t|--type TYPE] [--code-set b|auto] [--check-digit]\n"
           "                       [--caption|--no-caption] [--position bottom|top]\n"
           "                       [--style regular|bold|italic|bolditalic|underline]\n"
           "                       [--dpi N] [--module-width SIZE|--fit-width LENGTH]\n"
           "                       [--height SIZE] [--quiet-zones] [--margin SIZE]\n"
           "                       [--fg COLOUR] [--bg COLOUR|transparent] [--rotate "
           "0|90|180|270]\n"
           "                       [--format png|jpg|svg] [--scale 1-20] [--verify]\n"
           "                       [--ecc L|M|Q|H] [--qr-version N] [--mask N] [--dm-size RxC]\n"
           "                       -o|--output FILE|- [--] TEXT\n"
           "       quillion-render [options] --batch FILE|- --out-dir DIR\n"
           "                       [--names line|text] [--jobs N]\n"
           "       quillion-render --gs1-show TEXT\n"
           "       quillion-render -h|--help | -V|--version\n" +
           TypeList();
}

std::string Help() {
    return Usage() +
           "\n\n"
           "What to encode:\n"
           "  -t, --type NAME         one of the types above (default code128)\n"
           "  --caption               print the text with the bars (default; GS1 2D: the\n"
           "                          element string, only when asked)\n"
           "  --no-caption            bars only, for every linear type\n"
           "  --window-stand-ins      Code 128: the window's \u00B9 \u00B2 \u00B3 \u00BC as "
           "FNC1-FNC4\n"
           "  --ecc L|M|Q|H           QR Code error correction (default M; raised when free)\n"
           "  --keep-ecc              QR Code: keep the level asked for\n"
           "  --qr-version N          QR Code version 1-40 (default: the smallest that fits)\n"
           "  --mask N                QR Code mask 0-7 (default: by the penalty rules)\n"
           "  --dm-size RxC           Data Matrix size, e.g. 24x24 or 16x48\n"
           "  --square                Data Matrix: square sizes only\n"
           "  --dmre                  Data Matrix: the rectangular extension sizes too\n"
           "  --no-eci                2D: UTF-8 text without the ECI designator\n"
           "  --gs1-show TEXT         print a GS1 text as element string, human-readable form\n"
           "                          and Digital Link URI\n"
           "  --position bottom|top   where the Code 128 caption stands\n"
           "  --style NAME            Code 128 caption: regular, bold, italic, bolditalic, "
           "underline\n"
           "Size (SIZE: whole pixels, or a length: 0.33mm, 0.013in, 13mil):\n"
           "  --dpi N                 the printer's dots per inch (default 96), kept in the file\n"
           "  --module-width SIZE     the narrow bar's width, rounded to whole pixels at --dpi\n"
           "  --height SIZE           the bars' height (UPC guard bars reach further down)\n"
           "  --fit-width LENGTH      the widest module with which the picture fits LENGTH\n"
           "  --quiet-zones           the standard white space each side (10 modules; UPC-A 9;\n"
           "                          UPC-E 9 left, 7 right; EAN-13 11 and 7; EAN-8 7; on\n"
           "                          by default for 2D: QR Code 4 all round, Data Matrix 1)\n"
           "  --margin SIZE           background all round, outside the quiet zones\n"
           "  --no-quiet-zones        2D: leave out the quiet zone (on by default)\n"
           "Look:\n"
           "  --fg COLOUR             bars and text: RRGGBB or RRGGBBAA (default 000000)\n"
           "  --bg COLOUR             background: RRGGBB, RRGGBBAA or transparent (PNG, SVG)\n"
           "  --rotate DEGREES        0, 90, 180 or 270, clockwise\n"
           "Output:\n"
           "  -o, --output FILE|-     the file (.png, .jpg, .jpeg, .svg) or standard output\n"
           "  --format png|jpg|svg    the format, when the name's ending does not give it\n"
           "  --scale N               every pixel becomes N x N (1-20), applied last\n"
           "  --verify                read each barcode back before it is written\n"
           "Batch:\n"
           "  --batch FILE|-          one barcode per line of FILE (- for standard input)\n"
           "  --out-dir DIR           the folder the batch's files go to\n"
           "  --names line|text       files named by line number (default) or after the text\n"
           "  --jobs N                worker threads (default: one per processor)\n"
           "Other:\n"
           "  -h, --help              this help\n"
           "  -V, --version           the version";
}

std::string VersionLine() {
    return std::string("quillion-render ") + QUILLION_VERSION;
}

std::optional<OutputFormat> FormatOfFileName(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::size_t slash = fileName.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    const auto i = IndexOf(kFormats, std::string_view(fileName).substr(dot + 1));
    if (!i)
        return std::nullopt;
    return kFormatValues[std::size_t(*i)];
}

const char* FileEnding(OutputFormat format) {
    switch (format) {
    case OutputFormat::Jpeg:
        return ".jpg";
    case OutputFormat::Svg:
        return ".svg";
    case OutputFormat::Png:
        break;
    }
    return ".png";
}

ParseResult ParseArguments(const std::vector<std::string>& args) {
    // getopt_long wants a mutable argv; it permutes the pointers, not the strings.
    std::vector<std::string> storage;
    storage.reserve(args.size() + 1);
    storage.emplace_back("quillion-render");
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : storage)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(storage.size());

    RenderOptions options;
    std::vector<int> given;
    optind = 0; // start afresh (glibc), also after an earlier parse
    opterr = 0; // the messages are ours
    for (;;) {
        const int previous = optind == 0 ? 1 : optind;
        const int code = getopt_long(argc, argv.data(), kShortOptions, kLongOptions, nullptr);
        if (code == -1)
            break;
        if (code == '?' || code == ':') {
            const int at = std::min(std::max(optind - 1, previous), argc - 1);
            return Fail(Refusal(code, optopt, argv[std::size_t(at)]));
        }
        if (std::string error = Apply(options, code, optarg != nullptr ? optarg : "");
            !error.empty())
            return Fail(std::move(error));
        given.push_back(code);
    }
    if (options.help || options.version)
        return {options, {}, {}};
    std::vector<std::string> texts;
    for (int i = optind; i < argc; ++i)
        texts.emplace_back(argv[std::size_t(i)]);
    std::vector<std::string> warnings;
    if (std::string error = CheckCombination(options, texts, given, warnings); !error.empty())
        return Fail(std::move(error));
    if (!options.IsBatch() && options.gs1Show.empty())
        options.text = texts.front();
    return {options, {}, std::move(warnings)};
}

} // namespace quillion::cli
