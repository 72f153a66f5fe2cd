#include "options.h"

#include <array>
#include <functional>
#include <string_view>

namespace quillion::cli {
namespace {

// Looks a word up in a list of names; the index is the value the window would use.
template <std::size_t N>
std::optional<std::int32_t> IndexOf(const std::array<std::string_view, N>& names,
                                    std::string_view word) {
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == word)
            return static_cast<std::int32_t>(i);
    return std::nullopt;
}

constexpr std::array<std::string_view, 2> kPositions = {"bottom", "top"};
constexpr std::array<std::string_view, 5> kStyles = {"regular", "bold", "italic", "bolditalic",
                                                     "underline"};

struct OptionSpec {
    std::string_view name;
    bool takesValue;
    // Applies the option; returns an error message, "" when it is fine.
    std::function<std::string(RenderOptions&, std::string_view)> apply;
};

const std::vector<OptionSpec>& Specs() {
    static const std::vector<OptionSpec> specs = {
        {"--caption", false,
         [](RenderOptions& o, std::string_view) {
             o.caption = true;
             return std::string();
         }},
        {"--no-caption", false,
         [](RenderOptions& o, std::string_view) {
             o.caption = false;
             return std::string();
         }},
        {"--position", true,
         [](RenderOptions& o, std::string_view v) {
             const auto i = IndexOf(kPositions, v);
             if (!i)
                 return "unknown position \"" + std::string(v) + "\" (bottom or top)";
             o.captionPosition = *i + 1;
             return std::string();
         }},
        {"--style", true,
         [](RenderOptions& o, std::string_view v) {
             const auto i = IndexOf(kStyles, v);
             if (!i)
                 return "unknown style \"" + std::string(v) +
                        "\" (regular, bold, italic, bolditalic or underline)";
             o.fontStyle = *i;
             return std::string();
         }},
        {"--output", true,
         [](RenderOptions& o, std::string_view v) {
             if (v.empty())
                 return std::string("the output file name is empty");
             o.output = std::string(v);
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

} // namespace

std::string Usage() {
    return "usage: quillion-render [--caption|--no-caption] [--position bottom|top] "
           "[--style regular|bold|italic|bolditalic|underline] --output FILE.png TEXT";
}

ParseResult ParseArguments(const std::vector<std::string>& args) {
    RenderOptions options;
    std::vector<std::string> texts;
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
    }
    if (options.help)
        return {options, {}};
    if (options.output.empty())
        return Fail("--output FILE.png is required");
    if (texts.size() != 1)
        return Fail(texts.empty() ? "the TEXT to encode is missing" : "more than one TEXT given");
    options.text = texts.front();
    return {options, {}};
}

} // namespace quillion::cli
