/* libquillion for C and every language that calls C (Python ctypes/cffi, Go cgo, Rust FFI).
 *
 * quillion_render() paints one barcode; quillion_encode() turns the picture into the bytes of a
 * PNG, JPEG or SVG file; quillion_symbol() gives the symbol's modules without painting. Each
 * returns a handle that holds either the result or an error (code and message); the caller frees
 * every handle with quillion_free(). They return NULL only when memory runs out. Any number of
 * threads may render and encode at once.
 *
 *     quillion_options options;
 *     quillion_options_init(&options);
 *     quillion_options_set(&options, "module-width", "0.33mm");   (or options.module_width = 3)
 *     quillion_result* picture = quillion_render(QUILLION_CODE128, "ABC-123", &options);
 *     quillion_result* png = quillion_encode(picture, QUILLION_PNG, 0);
 *     size_t size;
 *     const unsigned char* bytes = quillion_bytes(png, &size);   (NULL on error)
 *     ...
 *     quillion_free(png);
 *     quillion_free(picture);
 *
 * Lifetimes: every pointer a quillion_* function returns into a result (message, pixels, bytes,
 * modules, texts, reading) stays valid until that result is freed, and no longer. The strings of
 * quillion_version() and quillion_symbology_name() are static.
 *
 * Compatibility: quillion_options carries its size, set by quillion_options_init (a macro that
 * passes sizeof as the program was compiled). New fields are only ever added at its end, so a
 * program built against an older header keeps working with a newer libquillion.so.0: the
 * library reads the fields the program knows and gives the others their defaults. Symbology
 * numbers, error codes and function signatures never change within soname 0.
 */
#ifndef QUILLION_QUILLION_H
#define QUILLION_QUILLION_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define QUILLION_C_API __attribute__((visibility("default")))

/* Symbologies (the values of quillion::api::Symbology). */
enum {
    QUILLION_CODE128 = 0,
    QUILLION_CODE39 = 1,
    QUILLION_UPCA = 2,
    QUILLION_UPCE = 3,
    QUILLION_EAN13 = 4,
    QUILLION_EAN8 = 5,
    QUILLION_GS1_128 = 6,
    QUILLION_CODE39_FULL_ASCII = 7,
    QUILLION_QRCODE = 8,
    QUILLION_DATAMATRIX = 9,
    QUILLION_GS1_QRCODE = 10,
    QUILLION_GS1_DATAMATRIX = 11
};

enum { QUILLION_CAPTION_NONE = 0, QUILLION_CAPTION_BELOW = 1, QUILLION_CAPTION_ABOVE = 2 };
enum {
    QUILLION_STYLE_REGULAR = 0,
    QUILLION_STYLE_BOLD = 1,
    QUILLION_STYLE_ITALIC = 2,
    QUILLION_STYLE_BOLD_ITALIC = 3,
    QUILLION_STYLE_UNDERLINE = 4
};
enum { QUILLION_CODE_SET_B = 0, QUILLION_CODE_SET_AUTO = 1 };
enum { QUILLION_PNG = 0, QUILLION_JPEG = 1, QUILLION_SVG = 2 };
enum { QUILLION_ECC_L = 0, QUILLION_ECC_M = 1, QUILLION_ECC_Q = 2, QUILLION_ECC_H = 3 };
/* Units of a length: pixels, or millimetres, inches, mils at the options' dpi. */
enum { QUILLION_PX = 0, QUILLION_MM = 1, QUILLION_IN = 2, QUILLION_MIL = 3 };

/* Error codes: 0 for success, these, or the Code 128 engine's. */
enum {
    QUILLION_OK = 0,
    QUILLION_ERROR_ARGUMENT = 1, /* NULL text, bad UTF-8, unknown symbology, value out of range */
    QUILLION_ERROR_UNSUPPORTED = 2, /* an option the symbology does not have */
    QUILLION_ERROR_REJECTED = 3,    /* the symbology refuses the text */
    QUILLION_ERROR_FAILED = 4,      /* painting failed */
    QUILLION_ERROR_TOO_LARGE = 5,   /* the picture would be too large */
    QUILLION_ERROR_ENCODE = 6,      /* the file format cannot hold the picture */
    QUILLION_ERROR_TOO_LONG = 7,    /* more text than the symbol holds */
    QUILLION_ERROR_WRITE = 8,       /* the file could not be written (the message says why) */
    /* The Code 128 engine's codes (the window's own Code 128, set B). */
    QUILLION_ERROR_CODE128_INVALID_WIDTH = 54541,
    QUILLION_ERROR_CODE128_INVALID_HEIGHT = 54542,
    QUILLION_ERROR_CODE128_UNKNOWN_SYMBOLOGY = 54543,
    QUILLION_ERROR_CODE128_FONT_ERROR = 54544,
    QUILLION_ERROR_CODE128_INVALID_ALIGNMENT = 54546,
    QUILLION_ERROR_CODE128_INVALID_POSITION = 54547,
    QUILLION_ERROR_CODE128_ILLEGAL_CHARACTER = 54548
};

typedef struct quillion_colour {
    uint8_t r, g, b, a;
} quillion_colour;

typedef struct quillion_length {
    double value; /* 0: not set */
    int unit;     /* QUILLION_PX, _MM, _IN, _MIL */
} quillion_length;

/* The fields of quillion::api::Options; quillion_options_init sets the defaults, which give
 * the window's picture. */
typedef struct quillion_options {
    size_t size;       /* sizeof(quillion_options) as the program knows it: set by init */
    int caption;       /* QUILLION_CAPTION_* */
    int caption_style; /* QUILLION_STYLE_* (Code 128) */
    int module_width;  /* pixels; 0: the symbology's usual width */
    int bar_height;    /* pixels; 0: the symbology's usual height */
    int quiet_zones;   /* non-zero: the standard quiet zones (2D symbols: always) */
    int margin;        /* pixels all round */
    quillion_colour foreground;
    quillion_colour background;
    int rotation; /* 0, 90, 180, 270 */
    int scale;    /* whole enlargement, applied last */
    double dpi;   /* the resolution recorded in the files */
    int code_set; /* QUILLION_CODE_SET_* */
    int check_digit;
    quillion_length module;    /* the module width as a length at dpi (when set) */
    quillion_length height;    /* the bar height as a length (when set) */
    quillion_length fit_width; /* the widest module that fits this width (when set) */
    int window_stand_ins;      /* Code 128: U+00B9 U+00B2 U+00B3 U+00BC as FNC1-FNC4 */
    int ecc;                   /* QR Code: QUILLION_ECC_* */
    int keep_ecc;              /* QR Code: never raise the level */
    int qr_version;            /* 1-40, 0: the smallest */
    int mask;                  /* QR Code: 0-7, -1: by the penalty rules */
    int dm_rows, dm_columns;   /* Data Matrix size, 0 x 0: the smallest */
    int dm_square;             /* Data Matrix: square sizes only */
    int dm_rect_extensions;    /* Data Matrix: the DMRE sizes too */
    int eci;                   /* 2D: non-zero (default) writes ECI 26 before UTF-8 text */
    int no_quiet_zones;        /* 2D: leave the quiet zone out */
} quillion_options;

typedef struct quillion_result quillion_result;

QUILLION_C_API void quillion_options_init_sized(quillion_options* options, size_t size);
#define quillion_options_init(options) quillion_options_init_sized((options), sizeof *(options))

/* Sets an option by its quillion-render name and text ("module-width" "0.33mm", "ecc" "H",
 * "fg" "336699", "quiet-zones" "1"). 0, or QUILLION_ERROR_ARGUMENT for an unknown name or a bad
 * value (quillion_options_error_message() tells why, on this thread). */
QUILLION_C_API int quillion_options_set(quillion_options* options, const char* name,
                                        const char* value);
QUILLION_C_API const char* quillion_options_error_message(void);

/* Paints text (UTF-8, NUL-terminated) as symbology; options may be NULL for the defaults. */
QUILLION_C_API quillion_result* quillion_render(int symbology, const char* text,
                                                const quillion_options* options);
/* The same for length bytes of text, which may hold NUL characters. */
QUILLION_C_API quillion_result* quillion_render_n(int symbology, const char* text, size_t length,
                                                  const quillion_options* options);

/* The symbol of text without painting it (see quillion_modules and the calls after it). */
QUILLION_C_API quillion_result* quillion_symbol(int symbology, const char* text, size_t length,
                                                const quillion_options* options);

/* The file of a rendered picture; quality is JPEG's (1-100, 0 for the window's 80). */
QUILLION_C_API quillion_result* quillion_encode(const quillion_result* picture, int format,
                                                int quality);

/* Writes a rendered picture as a file (format and quality as for quillion_encode) to path
 * (UTF-8): a regular file is replaced whole or not at all (a new file beside it, renamed over
 * it), keeping the old file's permissions; a symbolic link's target is written. Returns a result
 * without bytes whose error code is 0 when the file was written, else the error
 * (QUILLION_ERROR_WRITE with the system's reason when writing failed). Free it with
 * quillion_free. */
QUILLION_C_API quillion_result* quillion_save(const quillion_result* picture, int format,
                                              int quality, const char* path);

/* Renders count texts of one symbology with the same options and encodes each as a file, in
 * one call: what quillion_render_n and quillion_encode (or quillion_save) do for each text,
 * without the caller's work between them. texts[i] has lengths[i] bytes (lengths may be NULL
 * for NUL-terminated texts). With paths NULL, results[i] receives the bytes of texts[i]'s file
 * (quillion_bytes) or its error; with paths, the file is written to paths[i] as quillion_save
 * writes it and results[i] holds only the outcome. Each results[i] is the caller's to free with
 * quillion_free (NULL when memory ran out for it). Returns how many results hold no error. */
QUILLION_C_API size_t quillion_encode_many(int symbology, const char* const* texts,
                                           const size_t* lengths, size_t count,
                                           const quillion_options* options, int format, int quality,
                                           const char* const* paths, quillion_result** results);

/* 0 when the result holds a picture, bytes or a symbol; else the error's code. */
QUILLION_C_API int quillion_error_code(const quillion_result* result);
/* The error's message (UTF-8); "" when there is none. */
QUILLION_C_API const char* quillion_error_message(const quillion_result* result);

/* The errno value (ENOENT, EACCES, EISDIR, ...) behind a QUILLION_ERROR_WRITE; 0 otherwise. */
QUILLION_C_API int quillion_system_error(const quillion_result* result);

/* A picture's size in pixels and its RGBA bytes (width * height * 4); 0 and NULL otherwise. */
QUILLION_C_API int quillion_width(const quillion_result* result);
QUILLION_C_API int quillion_height(const quillion_result* result);
QUILLION_C_API const unsigned char* quillion_rgba(const quillion_result* result);

/* An encoded file's bytes and their number; NULL and 0 otherwise. */
QUILLION_C_API const unsigned char* quillion_bytes(const quillion_result* result, size_t* size);

/* A symbol's modules: rows x columns bytes, row by row, 1 dark and 0 light (one row for a
 * linear symbol, from its first bar to its last); NULL for another result. */
QUILLION_C_API const unsigned char* quillion_modules(const quillion_result* result, int* rows,
                                                     int* columns);
/* The quiet zone a symbol needs on a side (0 left, 1 right, 2 top, 3 bottom), in modules. */
QUILLION_C_API int quillion_quiet_zone(const quillion_result* result, int side);
/* The symbol's printed texts: how many, and each one (UTF-8) with its centre in modules from
 * the first module. */
QUILLION_C_API int quillion_text_count(const quillion_result* result);
QUILLION_C_API const char* quillion_text(const quillion_result* result, int index, double* x);
/* What a reader reports for the symbol (bytes; length in *length). */
QUILLION_C_API const char* quillion_reading(const quillion_result* result, size_t* length);

/* Frees a result; NULL is ignored. */
QUILLION_C_API void quillion_free(quillion_result* result);

/* The symbologies by name: quillion-render's own name of a symbology ("code128", "qr", ...;
 * NULL for an unknown number), and the number of a name or alias (any case; -1 when none). */
QUILLION_C_API const char* quillion_symbology_name(int symbology);
QUILLION_C_API int quillion_symbology_from_name(const char* name);

/* The library's version, "MAJOR.MINOR.PATCH". */
QUILLION_C_API const char* quillion_version(void);

#ifdef __cplusplus
}
#endif

#endif
