// libquillion: barcodes as pictures, files and modules, for programs in C++20.
//
// Render() paints one barcode into a Picture; EncodePng/EncodeJpeg/EncodeSvg turn a Picture into
// the bytes of a file; Encode() gives the symbol's modules without painting, for programs that
// draw it themselves. Nothing here throws for bad input: every failure is an Error with a
// number (kError* below, or the Code 128 engine's kErrorCode128*) and the text that
// quillion-render prints. Only running out of memory may throw std::bad_alloc.
//
// Threads: Render, Encode and the file encoders may be called from any number of threads at
// once; the font caches are shared under locks. A Picture or Symbol is immutable: one may be
// read and encoded on several threads. Nothing returned refers to the library's memory: every
// value lives as long as the caller keeps it.
//
// Compatibility: Options only ever grows at its end. Render and Encode are inline and pass
// sizeof(Options) as the program was compiled, so a program built against an older header keeps
// working with a newer libquillion.so.0 (the fields it does not know keep their defaults).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

// The library is built with hidden symbols; what is marked QUILLION_API is its interface.
#define QUILLION_API __attribute__((visibility("default")))

namespace quillion::api {

enum class Symbology {
    Code128,         // ISO/IEC 15417 (code set per Options::codeSet)
    Code39,          // 0-9, A-Z (lower case is raised), space and - . $ / + %
    UpcA,            // 11 digits (check digit appended) or 12 (check digit verified)
    UpcE,            // 6 digits, number system 0
    Ean13,           // 12 digits (check digit appended) or 13 (verified)
    Ean8,            // 7 digits or 8
    Gs1_128,         // bracketed element string: "(01)09501101530003(10)AB-123"
    Code39FullAscii, // all 128 ASCII characters through shift pairs
    QrCode,          // ISO/IEC 18004 Model 2: any text (ISO 8859-1, else UTF-8)
    DataMatrix,      // ISO/IEC 16022 ECC 200: any text
    Gs1QrCode,       // GS1 element string (brackets or a Digital Link URI), FNC1 first
    Gs1DataMatrix,   // GS1 element string, FNC1 first
};

// Error numbers. Every Error carries one of these.
inline constexpr std::int32_t kErrorArgument = 1;    // no text, bad UTF-8, a value out of range
inline constexpr std::int32_t kErrorUnsupported = 2; // an option the symbology does not have
inline constexpr std::int32_t kErrorRejected = 3;    // the symbology refuses the text (its message)
inline constexpr std::int32_t kErrorFailed = 4;      // painting failed ("Application Error: ...")
inline constexpr std::int32_t kErrorTooLarge = 5;    // the picture would be too large
inline constexpr std::int32_t kErrorEncode = 6;      // the file format cannot hold the picture
inline constexpr std::int32_t kErrorTooLong = 7;     // more text than the symbol holds
// The Code 128 engine's codes, for the window's own Code 128 (set B) path.
inline constexpr std::int32_t kErrorCode128InvalidWidth = 54541;
inline constexpr std::int32_t kErrorCode128InvalidHeight = 54542;
inline constexpr std::int32_t kErrorCode128UnknownSymbology = 54543;
inline constexpr std::int32_t kErrorCode128FontError = 54544;
inline constexpr std::int32_t kErrorCode128InvalidAlignment = 54546;
inline constexpr std::int32_t kErrorCode128InvalidPosition = 54547;
inline constexpr std::int32_t kErrorCode128IllegalCharacter = 54548;

// The largest module width, bar height, margin and scale Options take (a symbol of 21
// characters at the largest module and height is painted in a quarter of a gigabyte).
inline constexpr int kMaxModuleWidth = 50;
inline constexpr int kMaxBarHeight = 4000;
inline constexpr int kMaxMargin = 10000;
inline constexpr int kMaxScale = 20;

enum class CaptionPosition { None, Below, Above };
enum class CaptionStyle { Regular, Bold, Italic, BoldItalic, Underline };
enum class CodeSet { B, Auto }; // Code 128: set B only (the window's), or the shortest symbol
enum class Ecc { L, M, Q, H };  // QR Code error correction: 7, 15, 25, 30 % of the codewords

// A length: whole pixels, or millimetres, inches or mils (thousandths of an inch) at
// Options::dpi, made whole pixels (the nearest number; for fitWidth the largest not beyond).
enum class Unit { Pixel, Millimetre, Inch, Mil };
struct Length {
    double value = 0; // 0: not set
    Unit unit = Unit::Pixel;
};

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Colour&) const = default;
};

// What to paint. Every default gives the picture of the window and of quillion-render.
struct Options {
    // The printed text (Code 128's caption; the digits of UPC/EAN; Code 39's text).
    CaptionPosition caption = CaptionPosition::Below;
    CaptionStyle captionStyle = CaptionStyle::Regular; // Code 128 only, as in the window
    int moduleWidth = 0;     // pixels per narrow module; 0: the symbology's usual width. The
                             // usual bar height and the printed text grow with it.
    int barHeight = 0;       // pixels; 0: the symbology's usual height
    bool quietZones = false; // the standard quiet zones on each side (2D symbols: always)
    int margin = 0;          // pixels of background all round, outside any quiet zone
    Colour foreground{0, 0, 0, 255};
    Colour background{255, 255, 255, 255};
    int rotation = 0; // 0, 90, 180 or 270 degrees clockwise
    int scale = 1;    // every pixel becomes scale x scale pixels, applied last
    double dpi = 96;  // the resolution recorded in the files; SVG at any other in millimetres
    CodeSet codeSet = CodeSet::B;
    bool checkDigit = false; // Code 39: append the modulo-43 check character

    // Sizes as lengths at dpi; each, when set, takes the place of its pixel field above.
    Length module;   // the module width (0.33mm is EAN's nominal; the standard's proportions
                     // then give EAN and UPC their bar height and guards)
    Length height;   // the bar height
    Length fitWidth; // the widest module with which the picture fits this width
    // Code 128 (set B): the window's stand-ins U+00B9, U+00B2, U+00B3, U+00BC for FNC1 to
    // FNC4; by default they are Latin-1 text like any other character.
    bool windowStandIns = false;
    // QR Code.
    Ecc ecc = Ecc::M;
    bool keepEcc = false; // keep the level even when the version holds a higher one
    int qrVersion = 0;    // 1-40; 0: the smallest that holds the text
    int mask = -1;        // 0-7; -1: by the standard's penalty rules
    // Data Matrix: rows x columns (0 x 0: the smallest that fits), square sizes only, and the
    // rectangular extension sizes (DMRE).
    int dmRows = 0, dmColumns = 0;
    bool dmSquare = false;
    bool dmRectExtensions = false;
    // QR Code and Data Matrix: text beyond ISO 8859-1 as UTF-8 behind ECI 26 (false: UTF-8
    // without the designator, as most phone generators write it).
    bool eci = true;
    // 2D symbols: leave the quiet zone out (it is part of the symbol otherwise).
    bool noQuietZones = false;
};
static_assert(std::is_trivially_copyable_v<Options>, "Options is copied by size across versions");

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

    struct Detail; // the library's own

private:
    friend struct PictureAccess;
    explicit Picture(std::shared_ptr<const Detail> detail);
    const Detail& Internal() const;
    std::shared_ptr<const Detail> detail_;
};

// An encoded symbol, before painting: its modules, the quiet zones it needs, its printed text.
struct Symbol {
    // rows x columns modules, row by row, 1 dark and 0 light; one row for a linear symbol (its
    // bars and spaces from the first bar to the last), every row of a 2D symbol.
    int rows = 0, columns = 0;
    std::vector<std::uint8_t> modules;
    // Linear symbols: 1 for the modules of bars that reach guardModules further down (the
    // guard bars of UPC and EAN); the usual bar height in modules.
    std::vector<std::uint8_t> longBars;
    double barModules = 0, guardModules = 0;
    int quietLeft = 0, quietRight = 0, quietTop = 0, quietBottom = 0; // modules
    struct Text {
        std::string text; // UTF-8
        double x = 0;     // modules from the first module: the text's centre
    };
    std::vector<Text> text; // under the bars (above, for a Code 128 caption asked so)
    std::string reading;    // the bytes a reader reports
    std::string identifier; // the symbology identifier for GS1 ("]C1", "]Q3", "]d2")
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

// A Symbol or an Error.
class EncodeResult {
public:
    EncodeResult(Symbol symbol) : value_(std::move(symbol)) {}
    EncodeResult(Error error) : value_(std::move(error)) {}
    explicit operator bool() const { return value_.index() == 0; }
    const Symbol& symbol() const { return std::get<Symbol>(value_); }
    const Error& error() const { return std::get<Error>(value_); }

private:
    std::variant<Symbol, Error> value_;
};

QUILLION_API RenderResult RenderSized(Symbology symbology, std::string_view utf8Text,
                                      const Options* options, std::size_t optionsSize);
QUILLION_API EncodeResult EncodeSized(Symbology symbology, std::string_view utf8Text,
                                      const Options* options, std::size_t optionsSize);

// Paints text (UTF-8; it may hold NUL characters) as symbology. With default options the
// pixels of Code 128, Code 39, UPC-A and UPC-E are those of the window and of quillion-render
// for the same text.
inline RenderResult Render(Symbology symbology, std::string_view utf8Text,
                           const Options& options = {}) {
    return RenderSized(symbology, utf8Text, &options, sizeof(Options));
}

// The symbol of text, as Render would paint it (the options that choose the symbol apply:
// code set, check digit, QR level, version and mask, Data Matrix size, ECI, caption position).
inline EncodeResult Encode(Symbology symbology, std::string_view utf8Text,
                           const Options& options = {}) {
    return EncodeSized(symbology, utf8Text, &options, sizeof(Options));
}

// The names quillion-render takes for a symbology ("code128", "gs1-128", "qr", ...): the first
// is its own, the rest are aliases.
QUILLION_API std::vector<std::string> SymbologyNames(Symbology symbology);
// The symbology a name (any case) stands for; false when none.
QUILLION_API bool SymbologyFromName(std::string_view name, Symbology& symbology);
// Sets the option a quillion-render option names, from its text ("module-width" "0.33mm",
// "ecc" "H", "fg" "336699"): the way bindings in other languages set options. An Error with
// number 0 when it was set.
QUILLION_API Error SetOption(Options& options, std::string_view name, std::string_view value);

// The bytes of a file, with the picture's Dpi() recorded. An empty vector with *error set (when
// error is not null) when the format cannot hold the picture. JPEG quality is 1-100; the
// window saves at 80. SVG draws the bars as rectangles and the caption as text.
QUILLION_API std::vector<std::uint8_t> EncodePng(const Picture& picture, Error* error = nullptr);
QUILLION_API std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality = 80,
                                                  Error* error = nullptr);
QUILLION_API std::vector<std::uint8_t> EncodeSvg(const Picture& picture, Error* error = nullptr);

// For programs that paint a few barcodes and exit, where start-up is most of the time: call
// KeepFontsBetweenRuns before the first Render to keep the font lookups in the user's cache
// folder ($XDG_CACHE_HOME/quillion), and KeepRenderedGlyphs before exiting to keep the caption
// glyphs painted so far. Both are safe to leave out; a cache that cannot be written only costs
// time.
QUILLION_API void KeepFontsBetweenRuns();
QUILLION_API void KeepRenderedGlyphs();

// "0.1.0"
QUILLION_API const char* Version();

} // namespace quillion::api
