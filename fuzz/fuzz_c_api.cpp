// The C interface with fuzzed options, symbology and text: quillion_options_set with fuzzed
// names and values (on a whole struct or an older, shorter one), then quillion_symbol,
// quillion_render_n and quillion_encode. The rules: every call gives a result whose error code
// is 0 exactly when it holds a value; a refusal has a message; a symbol's modules are rows x
// columns bytes of 0 or 1; a picture's pixels are width x height x 4 bytes; nothing is written
// past the caller's struct. Pictures are painted only for short texts at small sizes.
//
// Input: symbology byte, struct-size byte, option count byte, then that many pairs of
// NUL-terminated name and value, then a format byte, a quality byte and the text (the rest).
#include "quillion/quillion.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

[[noreturn]] void Broken(const char* rule, int symbology) {
    std::fprintf(stderr, "rule broken: %s (symbology %d)\n", rule, symbology);
    std::abort();
}

struct Reader {
    const std::uint8_t* data;
    std::size_t size, at = 0;
    int Byte() { return at < size ? data[at++] : 0; }
    std::string Word() {
        std::string w;
        while (at < size && data[at] != 0)
            w += char(data[at++]);
        if (at < size)
            ++at;
        return w;
    }
};

// A length's pixels at the resolution (roughly: only to keep the pictures small).
double Pixels(const quillion_length& l, double dpi) {
    switch (l.unit) {
    case QUILLION_MM:
        return l.value / 25.4 * dpi;
    case QUILLION_IN:
        return l.value * dpi;
    case QUILLION_MIL:
        return l.value / 1000 * dpi;
    default:
        return l.value;
    }
}

bool Small(const quillion_options& o, std::size_t textLength) {
    return textLength <= 24 && o.module_width <= 3 && o.bar_height <= 120 && o.margin <= 16 &&
           o.scale <= 2 && Pixels(o.module, o.dpi) <= 3 && Pixels(o.height, o.dpi) <= 120 &&
           Pixels(o.fit_width, o.dpi) <= 400;
}

// The rules every result keeps; has is whether it holds its value.
void CheckResult(const quillion_result* r, bool has, int symbology) {
    if (r == nullptr)
        Broken("a call gives a result", symbology);
    const int code = quillion_error_code(r);
    if ((code == 0) != has)
        Broken("the error code is 0 exactly when the result holds a value", symbology);
    if (code != 0 && std::strlen(quillion_error_message(r)) == 0)
        Broken("a refusal has a message", symbology);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1024)
        return 0;
    Reader in{data, size};
    const int symbology = int(std::int8_t(in.Byte())) % 16;
    // A program built against an older header knows a shorter struct: guard bytes after it.
    const bool shorter = in.Byte() % 2 == 1;
    const std::size_t known = shorter ? offsetof(quillion_options, ecc) : sizeof(quillion_options);
    struct {
        quillion_options options;
        unsigned char guard[16];
    } held;
    std::memset(&held, 0xA5, sizeof held);
    quillion_options_init_sized(&held.options, known);
    const int count = in.Byte() % 5;
    for (int i = 0; i < count; ++i) {
        const std::string name = in.Word(), value = in.Word();
        const int set = quillion_options_set(&held.options, name.c_str(), value.c_str());
        if (set != QUILLION_OK && set != QUILLION_ERROR_ARGUMENT)
            Broken("quillion_options_set gives 0 or QUILLION_ERROR_ARGUMENT", symbology);
        if (set != QUILLION_OK && std::strlen(quillion_options_error_message()) == 0)
            Broken("a refused option says why", symbology);
        if (held.options.size != known)
            Broken("quillion_options_set keeps the struct's size", symbology);
    }
    const unsigned char* after = reinterpret_cast<const unsigned char*>(&held) + known;
    for (std::size_t i = 0; i < sizeof(quillion_options) + sizeof held.guard - known; ++i)
        if (after[i] != 0xA5)
            Broken("nothing is written past the caller's struct", symbology);
    // What an older program's struct holds; the library fills in the rest with defaults.
    quillion_options whole;
    quillion_options_init(&whole);
    std::memcpy(static_cast<void*>(&whole), &held.options, known);
    whole.size = sizeof whole;
    const int format = in.Byte() % 4;
    const int quality = in.Byte() % 102;
    const char* text = reinterpret_cast<const char*>(data + in.at);
    const std::size_t length = size - in.at;

    quillion_result* symbol = quillion_symbol(symbology, text, length, &held.options);
    int rows = -1, columns = -1;
    const unsigned char* modules = quillion_modules(symbol, &rows, &columns);
    CheckResult(symbol, modules != nullptr, symbology);
    if (modules != nullptr) {
        if (rows <= 0 || columns <= 0)
            Broken("a symbol has rows and columns", symbology);
        for (std::size_t i = 0; i < std::size_t(rows) * std::size_t(columns); ++i)
            if (modules[i] > 1)
                Broken("a symbol's modules are 0 or 1", symbology);
        for (int i = 0; i < quillion_text_count(symbol); ++i)
            if (quillion_text(symbol, i, nullptr) == nullptr)
                Broken("every text of a symbol is there", symbology);
        if (quillion_text(symbol, quillion_text_count(symbol), nullptr) != nullptr)
            Broken("no text past the last", symbology);
        std::size_t readingLength = 0;
        const char* reading = quillion_reading(symbol, &readingLength);
        if (reading == nullptr || std::strlen(reading) > readingLength)
            Broken("a symbol's reading is its length", symbology);
    } else if (rows != 0 || columns != 0) {
        Broken("a refusal has no modules", symbology);
    }
    const bool encoded = modules != nullptr;
    quillion_free(symbol);
    if (!Small(whole, length))
        return 0;

    quillion_result* picture = quillion_render_n(symbology, text, length, &held.options);
    const unsigned char* rgba = quillion_rgba(picture);
    CheckResult(picture, rgba != nullptr, symbology);
    if (rgba != nullptr) {
        const int w = quillion_width(picture), h = quillion_height(picture);
        if (w <= 0 || h <= 0)
            Broken("a picture has pixels", symbology);
        unsigned sum = 0;
        for (std::size_t i = 0; i < std::size_t(w) * std::size_t(h) * 4; ++i)
            sum += rgba[i];
        (void)sum;
        if (!encoded && quillion_error_code(picture) == 0 && symbology >= QUILLION_QRCODE)
            Broken("a 2D text that does not encode does not render", symbology);
        if (w * h <= 200000) {
            quillion_result* file = quillion_encode(picture, format, quality);
            std::size_t bytes = 0;
            const unsigned char* b = quillion_bytes(file, &bytes);
            CheckResult(file, b != nullptr, symbology);
            if ((b != nullptr) != (bytes > 0))
                Broken("an encoded file has bytes", symbology);
            quillion_free(file);
        }
    } else if (quillion_width(picture) != 0 || quillion_height(picture) != 0) {
        Broken("a refusal has no picture", symbology);
    }
    quillion_free(picture);
    return 0;
}
