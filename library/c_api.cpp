// The C interface: one handle type for pictures and encoded files, errors as values, nothing
// thrown across the boundary.
#include "quillion/quillion.h"
#include "quillion/quillion.hpp"

#include <new>
#include <string>
#include <variant>

namespace api = quillion::api;

struct quillion_result {
    api::Error error;
    std::variant<std::monostate, api::Picture, std::vector<std::uint8_t>> value;
};

namespace {

quillion_result* Failure(std::int32_t code, const char* message) {
    auto* r = new (std::nothrow) quillion_result;
    if (r != nullptr) {
        try {
            r->error = api::Error{code, message};
        } catch (...) {
            r->error.number = code;
        }
    }
    return r;
}

const api::Picture* PictureOf(const quillion_result* r) {
    return r == nullptr ? nullptr : std::get_if<api::Picture>(&r->value);
}

api::Options ToOptions(const quillion_options& c) {
    api::Options o;
    o.caption = api::CaptionPosition(c.caption);
    o.captionStyle = api::CaptionStyle(c.caption_style);
    o.moduleWidth = c.module_width;
    o.barHeight = c.bar_height;
    o.quietZones = c.quiet_zones != 0;
    o.margin = c.margin;
    o.foreground = {c.foreground.r, c.foreground.g, c.foreground.b, c.foreground.a};
    o.background = {c.background.r, c.background.g, c.background.b, c.background.a};
    o.rotation = c.rotation;
    o.scale = c.scale;
    o.dpi = c.dpi;
    o.codeSet = api::CodeSet(c.code_set);
    o.checkDigit = c.check_digit != 0;
    return o;
}

} // namespace

extern "C" {

void quillion_options_init(quillion_options* options) {
    if (options == nullptr)
        return;
    const api::Options o;
    *options = quillion_options{int(o.caption),
                                int(o.captionStyle),
                                o.moduleWidth,
                                o.barHeight,
                                o.quietZones,
                                o.margin,
                                {o.foreground.r, o.foreground.g, o.foreground.b, o.foreground.a},
                                {o.background.r, o.background.g, o.background.b, o.background.a},
                                o.rotation,
                                o.scale,
                                o.dpi,
                                int(o.codeSet),
                                o.checkDigit};
}

quillion_result* quillion_render(int symbology, const char* text, const quillion_options* options) {
    if (text == nullptr)
        return Failure(QUILLION_ERROR_ARGUMENT, "no text (NULL)");
    if (symbology < QUILLION_CODE128 || symbology > QUILLION_CODE39_FULL_ASCII)
        return Failure(QUILLION_ERROR_ARGUMENT, "unknown symbology");
    try {
        auto r = std::make_unique<quillion_result>();
        quillion_options defaults;
        quillion_options_init(&defaults);
        const api::RenderResult rendered = api::Render(
            api::Symbology(symbology), text, ToOptions(options != nullptr ? *options : defaults));
        if (rendered)
            r->value = rendered.picture();
        else
            r->error = rendered.error();
        return r.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

quillion_result* quillion_encode(const quillion_result* picture, int format, int quality) {
    const api::Picture* p = PictureOf(picture);
    if (p == nullptr)
        return Failure(QUILLION_ERROR_ARGUMENT, "no picture to encode");
    try {
        auto r = std::make_unique<quillion_result>();
        std::vector<std::uint8_t> bytes;
        switch (format) {
        case QUILLION_PNG:
            bytes = api::EncodePng(*p, &r->error);
            break;
        case QUILLION_JPEG:
            bytes = api::EncodeJpeg(*p, quality == 0 ? 80 : quality, &r->error);
            break;
        case QUILLION_SVG:
            bytes = api::EncodeSvg(*p, &r->error);
            break;
        default:
            r->error = api::Error{QUILLION_ERROR_ARGUMENT, "unknown file format"};
        }
        if (r->error.number == 0)
            r->value = std::move(bytes);
        return r.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int quillion_error_code(const quillion_result* result) {
    return result == nullptr ? QUILLION_ERROR_ARGUMENT : int(result->error.number);
}

const char* quillion_error_message(const quillion_result* result) {
    return result == nullptr ? "no result (NULL)" : result->error.message.c_str();
}

int quillion_width(const quillion_result* result) {
    const api::Picture* p = PictureOf(result);
    return p == nullptr ? 0 : p->Width();
}

int quillion_height(const quillion_result* result) {
    const api::Picture* p = PictureOf(result);
    return p == nullptr ? 0 : p->Height();
}

const unsigned char* quillion_rgba(const quillion_result* result) {
    const api::Picture* p = PictureOf(result);
    if (p == nullptr)
        return nullptr;
    try {
        return p->Rgba().data();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const unsigned char* quillion_bytes(const quillion_result* result, size_t* size) {
    const auto* bytes =
        result == nullptr ? nullptr : std::get_if<std::vector<std::uint8_t>>(&result->value);
    if (size != nullptr)
        *size = bytes == nullptr ? 0 : bytes->size();
    return bytes == nullptr ? nullptr : bytes->data();
}

void quillion_free(quillion_result* result) {
    delete result;
}

const char* quillion_version(void) {
    return api::Version();
}

} // extern "C"
