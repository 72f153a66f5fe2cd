#include "options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <string_view>

namespace quillion::cli {
namespace {

// Looks a word up in a list of names; the index is the value the window would use.
template <std::size_t N>
std::optional<int> IndexOf(const std::array<std::string_view, N>& names, std::string_view word) {
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == word)
            return static_cast<int>(i);
    return std::nullopt;
}

constexpr std::array<std::string_view, 2> kPositions = {"bottom", "top"};
constexpr std::array<std::string_view, 5> kStyles = {"regular", "bold", "italic", "bolditalic",
                                                     "underline"};
constexpr std::array<std::string_view, 4> kTypes = {"code128", "code39", "upca", "upce"};
constexpr std::array<Symbology, 4> kTypeValues = {Symbology::Code128, Symbology::Code39,
                                                  Symbology::UpcA, Symbology::UpcE};
constexpr std::array<std::string_view, 2> kFormats = {"png", "jpg"};
constexpr int kMaxJobs = 64;

struct OptionSpec {
    std::string_view name;
    bool takesValue;
    // Applies the option; returns an error message, "" when it is fine.
    std::function<std::string(RenderOptions&, std::string_view)> apply;
};

std::string NonEmpty(std::string& target, std::string_view value, std::string_view what) {
    if (value.empty())
        return "the " + std::string(what) + " is empty";
    target = std::string(value);
    return {};
}

const std::vector<OptionSpec>& Specs() {
    static const std::vector<OptionSpec> specs = {
        {"--type", true,
         [](RenderOptions& o, std::string_view v) {
             const auto i = IndexOf(kTypes, v);
             if (!i)
                 return "unknown type \"" + std::string(v) + "\" (code128, code39, upca or upce)";
             o.controls.type = kTypeValues[std::size_t(*i)];
             return std::string();
         }},
        {"--caption", false,
         [](RenderOptions& o, std::string_view) {
             o.controls.caption = true;
             return std::string();
         }},
        {"--no-caption", false,
         [](RenderOptions& o, std::string_view) {
             o.controls.caption = false;
             return std::string();
         }},
        {"--position", true,
         [](RenderOptions& o, std::string_view v) {
             const auto i = IndexOf(kPositions, v);
             if (!i)
                 return "unknown position \"" + std::string(v) + "\" (bottom or top)";
             o.controls.captionPositionIndex = *i;
             return std::string();
         }},
        {"--style", true,
         [](RenderOptions& o, std::string_view v) {
             const auto i = IndexOf(kStyles, v);
             if (!i)
                 return "unknown style \"" + std::string(v) +
                        "\" (regular, bold, italic, bolditalic or underline)";
             o.controls.fontStyleIndex = *i;
             return std::string();
         }},
        {"--output", true,
         [](RenderOptions& o, std::string_view v) {
             return NonEmpty(o.output, v, "output file name");
         }},
        {"--batch", true,
         [](RenderOptions& o, std::string_view v) {
             return NonEmpty(o.batch, v, "batch file name");
         }},
        {"--out-dir", true,
         [](RenderOptions& o, std::string_view v) {
             return NonEmpty(o.outDir, v, "output folder name");
         }},
        {"--format", true,
         [](RenderOptions& o, std::string_view v) {
             const auto i = IndexOf(kFormats, v == "jpeg" ? std::string_view("jpg") : v);
             if (!i)
                 return "unknown format \"" + std::string(v) + "\" (png or jpg)";
             o.format = *i == 0 ? OutputFormat::Png : OutputFormat::Jpeg;
             return std::string();
         }},
        {"--jobs", true,
         [](RenderOptions& o, std::string_view v) {
             int n = 0;
             const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
             if (ec != std::errc() || end != v.data() + v.size() || n < 1 || n > kMaxJobs)
                 return "--jobs takes a number from 1 to " + std::to_string(kMaxJobs);
             o.jobs = n;
             return std::string();
         }},
        {"--verify", false,
         [](RenderOptions& o, std::string_view) {
             o.verify = true;
             return std::string();
         }},
        {"--help", false,
         [](RenderOptions& o, std::string_view) {
             o.help = true;
             return std::string();
         }},
    };
    return specs;
}

const OptionSpec* FindSpec(std::string_view name) {
    for (const OptionSpec& spec : Specs())
        if (spec.name == name)
            return &spec;
    return nullptr;
}

ParseResult Fail(std::string message) {
    return {std::nullopt, std::move(message)};
}

// The combinations that make sense: one barcode to --output, or a batch to --out-dir.
std::string CheckCombination(const RenderOptions& o, const std::vector<std::string>& texts,
                             const std::vector<std::string_view>& given) {
    const auto was = [&](std::string_view name) {
        return std::find(given.begin(), given.end(), name) != given.end();
    };
    if (o.IsBatch()) {
        if (o.outDir.empty())
            return "--batch needs --out-dir DIR";
        if (!o.output.empty())
            return "--output is for one barcode; a batch writes to --out-dir";
        if (!texts.empty())
            return "a batch takes its texts from the file, not from the command line";
        return {};
    }
    for (const std::string_view name : {"--out-dir", "--format", "--jobs"})
        if (was(name))
            return std::string(name) + " is for batch mode (--batch FILE)";
    if (o.output.empty())
        return "--output FILE is required";
    if (texts.size() != 1)
        return texts.empty() ? "the TEXT to encode is missing" : "more than one TEXT given";
    return {};
}

} // namespace

std::string Usage() {
    return "usage: quillion-render [--type code128|code39|upca|upce] [--caption|--no-caption]\n"
           "                       [--position bottom|top] "
           "[--style regular|bold|italic|bolditalic|underline]\n"
           "                       [--verify] --output FILE.png|FILE.jpg TEXT\n"
           "       quillion-render [options] --batch FILE|- --out-dir DIR [--format png|jpg] "
           "[--jobs N]";
}

OutputFormat FormatOfFileName(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::size_t slash = fileName.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return OutputFormat::Png;
    std::string ending = fileName.substr(dot + 1);
    for (char& c : ending)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ending == "jpg" || ending == "jpeg" ? OutputFormat::Jpeg : OutputFormat::Png;
}

ParseResult ParseArguments(const std::vector<std::string>& args) {
    RenderOptions options;
    std::vector<std::string> texts;
    std::vector<std::string_view> given;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            texts.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string_view name = std::string_view(arg).substr(0, eq);
        const OptionSpec* spec = FindSpec(name);
        if (spec == nullptr)
            return Fail("unknown option " + std::string(name));
        std::string_view value;
        if (spec->takesValue) {
            if (eq != std::string::npos) {
                value = std::string_view(arg).substr(eq + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                return Fail(std::string(name) + " needs a value");
            }
        } else if (eq != std::string::npos) {
            return Fail(std::string(name) + " takes no value");
        }
        if (std::string error = spec->apply(options, value); !error.empty())
            return Fail(std::move(error));
        given.push_back(spec->name);
    }
    if (options.help)
        return {options, {}};
    if (std::string error = CheckCombination(options, texts, given); !error.empty())
        return Fail(std::move(error));
    if (!options.IsBatch())
        options.text = texts.front();
    return {options, {}};
}

} // namespace quillion::cli
