// libquillion: linear barcodes as pictures and files, for programs in C++20.
//
// Render() paints one barcode into a Picture; EncodePng/EncodeJpeg/EncodeSvg turn a Picture into
// the bytes of a file. Nothing here throws for bad input: every failure is an Error with a number
// (kError* below, or the Code 128 engine's 54541-54548) and the text that quillion-render
// prints. Only running out of memory may throw std::bad_alloc.
//
// Threads: Render and the encoders may be called from any number of threads at once. Each
// thread paints on surfaces of its own (kept between its calls); the font caches are shared
// under locks. A Picture is immutable: one may be read and encoded on several threads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The library is built with hidden symbols; what is marked QUILLION_API is its interface.
#define QUILLION_API __attribute__((visibility("default")))

namespace quillion::api {

enum class Symbology {
    Code128,         // ISO/IEC 15417 (code set per Options::codeSet)
    Code39,          // 0-9, A-Z (lower case is raised), space and - . $ / + %
    UpcA,            // 12 digits, the last the check digit (verified)
    UpcE,            // 6 digits, number system 0
    Ean13,           // 12 digits (check digit appended) or 13 (verified)
    Ean8,            // 7 digits or 8
    Gs1_128,         // bracketed element string: "(01)09501101530003(10)AB-123"
    Code39FullAscii, // all 128 ASCII characters through shift pairs
};

// Error numbers of the library itself.
inline constexpr std::int32_t kErrorArgument = 1;    // no text, bad UTF-8, a value out of range
inline constexpr std::int32_t kErrorUnsupported = 2; // an option or symbology not built yet
inline constexpr std::int32_t kErrorRejected = 3;    // the symbology refuses the text (its message)
inline constexpr std::int32_t kErrorFailed = 4;      // painting failed ("Application Error: ...")
inline constexpr std::int32_t kErrorTooLarge = 5;    // the picture would be too large
inline constexpr std::int32_t kErrorEncode = 6;      // the file format cannot hold the picture

// The largest module width, bar height, margin and scale Options take.
inline constexpr int kMaxModuleWidth = 100;
inline constexpr int kMaxBarHeight = 10000;
inline constexpr int kMaxMargin = 10000;
inline constexpr int kMaxScale = 20;

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

// A painted barcode: RGBA pixels, row by row, top first, Options::scale applied.
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
    // Width() * Height() * 4 bytes: R, G, B, A (made on first call).
    const std::vector<std::uint8_t>& Rgba() const;

    struct Detail; // the painted pixels and what SVG needs (internal)
    const Detail& Internal() const;
    explicit Picture(std::shared_ptr<const Detail> detail);

private:
    std::shared_ptr<const Detail> detail_;
};

struct Error {
    std::int32_t number = 0; // kError*, or the Code 128 engine's code (54541-54548)
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

// Paints text (UTF-8) as symbology. With default options the pixels are those of the window
// and of quillion-render for the same text.
QUILLION_API RenderResult Render(Symbology symbology, std::string_view utf8Text,
                                 const Options& options = {});

// The bytes of a file, with the picture's Dpi() recorded. An empty vector with *error set (when
// error is not null) when the format cannot hold the picture. JPEG quality is 1-100; the
// window saves at 80. SVG draws the bars as rectangles and the caption as text.
QUILLION_API std::vector<std::uint8_t> EncodePng(const Picture& picture, Error* error = nullptr);
QUILLION_API std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality = 80,
                                                  Error* error = nullptr);
QUILLION_API std::vector<std::uint8_t> EncodeSvg(const Picture& picture, Error* error = nullptr);

// "0.1.0"
QUILLION_API const char* Version();

} // namespace quillion::api
