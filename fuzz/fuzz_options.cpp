// quillion-render's arguments: the input split at NUL bytes into words, parsed by
// cli::ParseArguments. A parse must never crash; one that succeeds must give options that the
// library's Encode and Render take, or refuse with an Error (a number and a message). Pictures
// are painted only for short texts at small sizes, to keep every run quick.
#include "options.h"
#include "picture_output.h"
#include "quillion/quillion.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

namespace api = quillion::api;

void Broken(const char* rule, const std::vector<std::string>& args) {
    std::fprintf(stderr, "rule broken: %s; arguments:", rule);
    for (const std::string& a : args)
        std::fprintf(stderr, " [%s]", a.c_str());
    std::fprintf(stderr, "\n");
    std::abort();
}

bool IsError(const api::Error& e) {
    return e.number != 0 && !e.message.empty();
}

bool Small(const quillion::cli::RenderOptions& o, const api::Options& a) {
    return o.text.size() <= 24 && a.moduleWidth <= 3 && a.barHeight <= 120 && a.margin <= 16 &&
           a.scale <= 2 && a.fitWidth.value <= 400;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 512)
        return 0;
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += char(data[i]);
    }
    const quillion::cli::ParseResult parsed = quillion::cli::ParseArguments(args);
    if (!parsed.options) {
        if (parsed.error.empty())
            Broken("a refused parse says why", args);
        return 0;
    }
    const quillion::cli::RenderOptions& o = *parsed.options;
    if (o.help || o.version || !o.gs1Show.empty())
        return 0;
    const api::Options a = quillion::cli::ApiOptions(o);
    const std::string text = o.IsBatch() ? std::string("12345") : o.text;
    const api::EncodeResult encoded = api::Encode(o.type, text, a);
    if (encoded) {
        const api::Symbol& s = encoded.symbol();
        if (s.rows <= 0 || s.columns <= 0 ||
            s.modules.size() != std::size_t(s.rows) * std::size_t(s.columns))
            Broken("an encoded symbol has rows x columns modules", args);
    } else if (!IsError(encoded.error())) {
        Broken("a refused encoding is an Error with a number and a message", args);
    }
    if (!Small(o, a))
        return 0;
    const api::RenderResult rendered = api::Render(o.type, text, a);
    if (rendered) {
        const api::Picture& p = rendered.picture();
        if (p.Width() <= 0 || p.Height() <= 0 ||
            p.Rgba().size() != std::size_t(p.Width()) * std::size_t(p.Height()) * 4)
            Broken("a rendered picture has pixels, four bytes each", args);
    } else if (!IsError(rendered.error())) {
        Broken("a refused rendering is an Error with a number and a message", args);
    }
    return 0;
}
