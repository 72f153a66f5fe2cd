// libquillion: linear barcodes as pictures and files, for programs in C++20.
//
// Render() paints one barcode into a Picture; EncodePng/EncodeJpeg/EncodeSvg turn a Picture into
// the bytes of a file. Nothing here throws for bad input: every failure is an Error with the
// number and text that quillion-render and the window report. Render may be called from several
// threads at once (each call uses its own state; the font caches are shared safely).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#if defined(QUILLION_BUILDING_LIBRARY)
#define QUILLION_API __attribute__((visibility("default")))
#else
#define QUILLION_API
#endif

namespace quillion::api {

enum class Symbology {
    Code128,         // ISO/IEC 15417 (code set per Options::codeSet)
    Code39,          // upper-case Code 39
    UpcA,            // 11 digits (check digit appended) or 12 (check digit verified)
    UpcE,            // 6 digits, number system 0
    Ean13,           // 12 digits (check digit appended) or 13 (verified)
    Ean8,            // 7 digits or 8
    Gs1_128,         // bracketed element string: "(01)09501101530003(10)AB-123"
    Code39FullAscii, // all 128 ASCII characters through shift pairs
};

enum class CaptionPosition { None, Below, Above };
enum class CaptionStyle { Regular, Bold, Italic, BoldItalic, Underline };
enum class CodeSet { B, Auto }; // Code 128: set B only (the window's), or the shortest symbol

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Colour&) const = default;
};

// What to paint. Every default gives the picture of the window and of quillion-render.
struct Options {
    // The printed text (Code 128's caption; the digits of UPC/EAN; Code 39's text).
    CaptionPosition caption = CaptionPosition::Below;
    CaptionStyle captionStyle = CaptionStyle::Regular; // Code 128 only, as in the window
    int moduleWidth = 0;     // pixels per narrow module; 0: the symbology's usual width
    int barHeight = 0;       // pixels; 0: the symbology's usual height
    bool quietZones = false; // the standard quiet zones on each side
    int margin = 0;          // pixels of background all round, outside any quiet zone
    Colour foreground{0, 0, 0, 255};
    Colour background{255, 255, 255, 255};
    int rotation = 0; // 0, 90, 180 or 270 degrees clockwise
    int scale = 1;    // every pixel becomes scale x scale pixels, applied last
    double dpi = 96;  // the resolution recorded in the files
    CodeSet codeSet = CodeSet::B;
    bool checkDigit = false; // Code 39: append the modulo-43 check character
};

// A painted barcode: RGBA pixels, row by row, top first.
class QUILLION_API Picture {
public:
    Picture();
    ~Picture();
    Picture(const Picture&);
    Picture& operator=(const Picture&);
    Picture(Picture&&) noexcept;
    Picture& operator=(Picture&&) noexcept;

    int Width() const;
    int Height() const;
    double Dpi() const;
    // Width() * Height() * 4 bytes: R, G, B, A.
    const std::vector<std::uint8_t>& Rgba() const;

    struct Detail; // what the encoders need besides the pixels (internal)
    const Detail& Internal() const { return *detail_; }
    explicit Picture(std::shared_ptr<const Detail> detail);

private:
    std::shared_ptr<const Detail> detail_;
};

struct Error {
    std::int32_t number = 0; // the run-time error number, or the engine's message number
    std::string message;     // UTF-8, as quillion-render prints it
};

// A Picture or an Error.
class QUILLION_API RenderResult {
public:
    RenderResult(Picture picture) : value_(std::move(picture)) {}
    RenderResult(Error error) : value_(std::move(error)) {}
    explicit operator bool() const { return value_.index() == 0; }
    const Picture& picture() const { return std::get<Picture>(value_); }
    const Error& error() const { return std::get<Error>(value_); }

private:
    std::variant<Picture, Error> value_;
};

// Paints text (UTF-8) as symbology.
QUILLION_API RenderResult Render(Symbology symbology, std::string_view utf8Text,
                                 const Options& options = {});

// The bytes of a file. An empty vector with error set when the format cannot hold the picture.
QUILLION_API std::vector<std::uint8_t> EncodePng(const Picture& picture, Error* error = nullptr);
QUILLION_API std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality = 80,
                                                  Error* error = nullptr);
QUILLION_API std::vector<std::uint8_t> EncodeSvg(const Picture& picture, Error* error = nullptr);

// "0.1.0"
QUILLION_API const char* Version();

} // namespace quillion::api
