// The C interface: one handle type for pictures, encoded files and symbols, errors as values,
// nothing thrown across the boundary.
#include "quillion/quillion.h"
#include "quillion/quillion.hpp"
#include "runtime/whole_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <variant>

namespace api = quillion::api;

struct quillion_result {
    api::Error error;
    int systemError = 0; // the errno value of a failed write
    std::variant<std::monostate, api::Picture, std::vector<std::uint8_t>, api::Symbol> value;
};

namespace {

// The numbers of both interfaces are one and the same.
static_assert(QUILLION_QRCODE == int(api::Symbology::QrCode) &&
              QUILLION_GS1_DATAMATRIX == int(api::Symbology::Gs1DataMatrix) &&
              QUILLION_CODE39_FULL_ASCII == int(api::Symbology::Code39FullAscii));
static_assert(QUILLION_ERROR_TOO_LONG == api::kErrorTooLong &&
              QUILLION_ERROR_ENCODE == api::kErrorEncode &&
              QUILLION_ERROR_CODE128_ILLEGAL_CHARACTER == api::kErrorCode128IllegalCharacter);
static_assert(QUILLION_MIL == int(api::Unit::Mil) && QUILLION_ECC_H == int(api::Ecc::H));

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

template <typename T> const T* ValueOf(const quillion_result* r) {
    return r == nullptr ? nullptr : std::get_if<T>(&r->value);
}

api::Length ToLength(const quillion_length& l) {
    return api::Length{l.value, api::Unit(l.unit)};
}
quillion_length FromLength(const api::Length& l) {
    return quillion_length{l.value, int(l.unit)};
}

// The caller's struct as far as its header knew it; the rest keeps the defaults.
quillion_options Complete(const quillion_options* given) {
    quillion_options c;
    quillion_options_init(&c);
    if (given != nullptr && given->size >= sizeof(size_t)) {
        const std::size_t known = std::min(given->size, sizeof(quillion_options));
        std::memcpy(static_cast<void*>(&c), given, known);
        c.size = sizeof(quillion_options);
    }
    return c;
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
    o.module = ToLength(c.module);
    o.height = ToLength(c.height);
    o.fitWidth = ToLength(c.fit_width);
    o.windowStandIns = c.window_stand_ins != 0;
    o.ecc = api::Ecc(c.ecc);
    o.keepEcc = c.keep_ecc != 0;
    o.qrVersion = c.qr_version;
    o.mask = c.mask;
    o.dmRows = c.dm_rows;
    o.dmColumns = c.dm_columns;
    o.dmSquare = c.dm_square != 0;
    o.dmRectExtensions = c.dm_rect_extensions != 0;
    o.eci = c.eci != 0;
    o.noQuietZones = c.no_quiet_zones != 0;
    return o;
}

void FromOptions(const api::Options& o, quillion_options& c) {
    c.caption = int(o.caption);
    c.caption_style = int(o.captionStyle);
    c.module_width = o.moduleWidth;
    c.bar_height = o.barHeight;
    c.quiet_zones = o.quietZones;
    c.margin = o.margin;
    c.foreground = {o.foreground.r, o.foreground.g, o.foreground.b, o.foreground.a};
    c.background = {o.background.r, o.background.g, o.background.b, o.background.a};
    c.rotation = o.rotation;
    c.scale = o.scale;
    c.dpi = o.dpi;
    c.code_set = int(o.codeSet);
    c.check_digit = o.checkDigit;
    c.module = FromLength(o.module);
    c.height = FromLength(o.height);
    c.fit_width = FromLength(o.fitWidth);
    c.window_stand_ins = o.windowStandIns;
    c.ecc = int(o.ecc);
    c.keep_ecc = o.keepEcc;
    c.qr_version = o.qrVersion;
    c.mask = o.mask;
    c.dm_rows = o.dmRows;
    c.dm_columns = o.dmColumns;
    c.dm_square = o.dmSquare;
    c.dm_rect_extensions = o.dmRectExtensions;
    c.eci = o.eci;
    c.no_quiet_zones = o.noQuietZones;
}

bool KnownSymbology(int symbology) {
    return symbology >= QUILLION_CODE128 && symbology <= QUILLION_GS1_DATAMATRIX;
}

thread_local std::string optionsError;

// A result of text made by call (Render or Encode): the value value() takes from it, or its
// error.
template <typename Call, typename Value>
quillion_result* FromText(int symbology, const char* text, size_t length,
                          const quillion_options* options, Call call, Value value) {
    if (text == nullptr)
        return Failure(QUILLION_ERROR_ARGUMENT, "no text (NULL)");
    if (!KnownSymbology(symbology))
        return Failure(QUILLION_ERROR_ARGUMENT, "unknown symbology");
    try {
        auto r = std::make_unique<quillion_result>();
        const auto made = call(api::Symbology(symbology), std::string_view(text, length),
                               ToOptions(Complete(options)));
        if (made)
            r->value = value(made);
        else
            r->error = made.error();
        return r.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Encodes picture as format into r: its bytes, or with a path the file written there (r then
// keeps no bytes); a failure becomes r's error.
void EncodeInto(const api::Picture& picture, int format, int quality, const char* path,
                quillion_result& r) {
    std::vector<std::uint8_t> bytes;
    switch (format) {
    case QUILLION_PNG:
        bytes = api::EncodePng(picture, &r.error);
        break;
    case QUILLION_JPEG:
        bytes = api::EncodeJpeg(picture, quality == 0 ? 80 : quality, &r.error);
        break;
    case QUILLION_SVG:
        bytes = api::EncodeSvg(picture, &r.error);
        break;
    default:
        r.error = api::Error{QUILLION_ERROR_ARGUMENT, "unknown file format"};
    }
    if (r.error.number != 0)
        return;
    if (path == nullptr) {
        r.value = std::move(bytes);
        return;
    }
    const int failure = quillion::WriteFileContents(path, bytes.data(), bytes.size());
    if (failure != 0) {
        r.error = api::Error{QUILLION_ERROR_WRITE,
                             std::string(path) + ": " + quillion::FileErrorText(failure)};
        r.systemError = failure == quillion::kErrReadOnly   ? EACCES
                        : failure == quillion::kErrNoReader ? ENXIO
                        : failure > 0                       ? failure
                                                            : EIO;
    }
}

} // namespace

extern "C" {

void quillion_options_init_sized(quillion_options* options, size_t size) {
    if (options == nullptr || size < sizeof(size_t))
        return;
    quillion_options c{};
    FromOptions(api::Options{}, c);
    c.size = std::min(size, sizeof(quillion_options));
    std::memcpy(static_cast<void*>(options), &c, c.size);
}

int quillion_options_set(quillion_options* options, const char* name, const char* value) {
    if (options == nullptr || name == nullptr || value == nullptr) {
        optionsError = "no options, name or value (NULL)";
        return QUILLION_ERROR_ARGUMENT;
    }
    try {
        quillion_options c = Complete(options);
        api::Options o = ToOptions(c);
        const api::Error e = api::SetOption(o, name, value);
        optionsError = e.message;
        if (e.number != 0)
            return int(e.number);
        FromOptions(o, c);
        const std::size_t known = std::min(options->size, sizeof(quillion_options));
        std::memcpy(reinterpret_cast<char*>(options) + sizeof(size_t),
                    reinterpret_cast<const char*>(&c) + sizeof(size_t), known - sizeof(size_t));
        return QUILLION_OK;
    } catch (const std::bad_alloc&) {
        return QUILLION_ERROR_ARGUMENT;
    }
}

const char* quillion_options_error_message(void) {
    return optionsError.c_str();
}

quillion_result* quillion_render_n(int symbology, const char* text, size_t length,
                                   const quillion_options* options) {
    return FromText(
        symbology, text, length, options, [](auto... a) { return api::Render(a...); },
        [](const api::RenderResult& r) { return r.picture(); });
}

quillion_result* quillion_render(int symbology, const char* text, const quillion_options* options) {
    if (text == nullptr)
        return Failure(QUILLION_ERROR_ARGUMENT, "no text (NULL)");
    return quillion_render_n(symbology, text, std::strlen(text), options);
}

quillion_result* quillion_symbol(int symbology, const char* text, size_t length,
                                 const quillion_options* options) {
    return FromText(
        symbology, text, length, options, [](auto... a) { return api::Encode(a...); },
        [](const api::EncodeResult& r) { return r.symbol(); });
}

quillion_result* quillion_encode(const quillion_result* picture, int format, int quality) {
    const api::Picture* p = ValueOf<api::Picture>(picture);
    if (p == nullptr)
        return Failure(QUILLION_ERROR_ARGUMENT, "no picture to encode");
    try {
        auto r = std::make_unique<quillion_result>();
        EncodeInto(*p, format, quality, nullptr, *r);
        return r.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

quillion_result* quillion_save(const quillion_result* picture, int format, int quality,
                               const char* path) {
    const api::Picture* p = ValueOf<api::Picture>(picture);
    if (p == nullptr)
        return Failure(QUILLION_ERROR_ARGUMENT, "no picture to save");
    if (path == nullptr)
        return Failure(QUILLION_ERROR_ARGUMENT, "no path (NULL)");
    try {
        auto r = std::make_unique<quillion_result>();
        EncodeInto(*p, format, quality, path, *r);
        return r.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

size_t quillion_encode_many(int symbology, const char* const* texts, const size_t* lengths,
                            size_t count, const quillion_options* options, int format, int quality,
                            const char* const* paths, quillion_result** results) {
    if (results == nullptr)
        return 0;
    const char* refusal = texts == nullptr             ? "no texts (NULL)"
                          : !KnownSymbology(symbology) ? "unknown symbology"
                                                       : nullptr;
    api::Options o;
    if (refusal == nullptr)
        o = ToOptions(Complete(options));
    std::size_t made = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char* text = refusal == nullptr ? texts[i] : nullptr;
        if (refusal != nullptr || text == nullptr) {
            results[i] =
                Failure(QUILLION_ERROR_ARGUMENT, refusal != nullptr ? refusal : "no text (NULL)");
            continue;
        }
        try {
            auto r = std::make_unique<quillion_result>();
            const std::size_t length = lengths != nullptr ? lengths[i] : std::strlen(text);
            if (paths != nullptr && paths[i] == nullptr) {
                r->error = api::Error{QUILLION_ERROR_ARGUMENT, "no path (NULL)"};
            } else if (const auto rendered =
                           api::Render(api::Symbology(symbology), {text, length}, o);
                       !rendered) {
                r->error = rendered.error();
            } else {
                EncodeInto(rendered.picture(), format, quality,
                           paths != nullptr ? paths[i] : nullptr, *r);
            }
            made += r->error.number == 0 ? 1 : 0;
            results[i] = r.release();
        } catch (const std::bad_alloc&) {
            results[i] = nullptr;
        }
    }
    return made;
}

int quillion_error_code(const quillion_result* result) {
    return result == nullptr ? QUILLION_ERROR_ARGUMENT : int(result->error.number);
}

int quillion_system_error(const quillion_result* result) {
    return result == nullptr ? 0 : result->systemError;
}

const char* quillion_error_message(const quillion_result* result) {
    return result == nullptr ? "no result (NULL)" : result->error.message.c_str();
}

int quillion_width(const quillion_result* result) {
    const api::Picture* p = ValueOf<api::Picture>(result);
    return p == nullptr ? 0 : p->Width();
}

int quillion_height(const quillion_result* result) {
    const api::Picture* p = ValueOf<api::Picture>(result);
    return p == nullptr ? 0 : p->Height();
}

const unsigned char* quillion_rgba(const quillion_result* result) {
    const api::Picture* p = ValueOf<api::Picture>(result);
    if (p == nullptr)
        return nullptr;
    try {
        return p->Rgba().data();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const unsigned char* quillion_bytes(const quillion_result* result, size_t* size) {
    const auto* bytes = ValueOf<std::vector<std::uint8_t>>(result);
    if (size != nullptr)
        *size = bytes == nullptr ? 0 : bytes->size();
    return bytes == nullptr ? nullptr : bytes->data();
}

const unsigned char* quillion_modules(const quillion_result* result, int* rows, int* columns) {
    const api::Symbol* s = ValueOf<api::Symbol>(result);
    if (rows != nullptr)
        *rows = s == nullptr ? 0 : s->rows;
    if (columns != nullptr)
        *columns = s == nullptr ? 0 : s->columns;
    return s == nullptr ? nullptr : s->modules.data();
}

int quillion_quiet_zone(const quillion_result* result, int side) {
    const api::Symbol* s = ValueOf<api::Symbol>(result);
    if (s == nullptr)
        return 0;
    switch (side) {
    case 0:
        return s->quietLeft;
    case 1:
        return s->quietRight;
    case 2:
        return s->quietTop;
    case 3:
        return s->quietBottom;
    default:
        return 0;
    }
}

int quillion_text_count(const quillion_result* result) {
    const api::Symbol* s = ValueOf<api::Symbol>(result);
    return s == nullptr ? 0 : int(s->text.size());
}

const char* quillion_text(const quillion_result* result, int index, double* x) {
    const api::Symbol* s = ValueOf<api::Symbol>(result);
    if (s == nullptr || index < 0 || std::size_t(index) >= s->text.size()) {
        if (x != nullptr)
            *x = 0;
        return nullptr;
    }
    if (x != nullptr)
        *x = s->text[std::size_t(index)].x;
    return s->text[std::size_t(index)].text.c_str();
}

const char* quillion_reading(const quillion_result* result, size_t* length) {
    const api::Symbol* s = ValueOf<api::Symbol>(result);
    if (length != nullptr)
        *length = s == nullptr ? 0 : s->reading.size();
    return s == nullptr ? nullptr : s->reading.c_str();
}

void quillion_free(quillion_result* result) {
    delete result;
}

const char* quillion_symbology_name(int symbology) {
    if (!KnownSymbology(symbology))
        return nullptr;
    // The names live as long as the program: the registry's string views are static.
    static const auto names = [] {
        std::vector<std::string> n;
        for (int i = QUILLION_CODE128; i <= QUILLION_GS1_DATAMATRIX; ++i)
            n.push_back(api::SymbologyNames(api::Symbology(i)).front());
        return n;
    }();
    return names[std::size_t(symbology)].c_str();
}

int quillion_symbology_from_name(const char* name) {
    api::Symbology s{};
    if (name == nullptr || !api::SymbologyFromName(name, s))
        return -1;
    return int(s);
}

const char* quillion_version(void) {
    return api::Version();
}

} // extern "C"
