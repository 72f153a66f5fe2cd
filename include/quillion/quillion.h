/* libquillion for C and every language that calls C (Python ctypes/cffi, Go cgo, Rust FFI).
 *
 * quillion_render() paints one barcode; quillion_encode() turns the picture into the bytes of a
 * PNG, JPEG or SVG file. Both return a handle that holds either the result or an error (code and
 * message); the caller frees every handle with quillion_free(). They return NULL only when
 * memory runs out. Any number of threads may render and encode at once.
 *
 *     quillion_options options;
 *     quillion_options_init(&options);
 *     quillion_result* picture = quillion_render(QUILLION_CODE128, "ABC-123", &options);
 *     quillion_result* png = quillion_encode(picture, QUILLION_PNG, 0);
 *     size_t size;
 *     const unsigned char* bytes = quillion_bytes(png, &size);   (NULL on error)
 *     ...
 *     quillion_free(png);
 *     quillion_free(picture);
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
    QUILLION_CODE39_FULL_ASCII = 7
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

/* Error codes: 0 for success, these, or the Code 128 engine's 54541-54548. */
enum {
    QUILLION_OK = 0,
    QUILLION_ERROR_ARGUMENT = 1, /* NULL text, bad UTF-8, unknown symbology, value out of range */
    QUILLION_ERROR_UNSUPPORTED = 2, /* an option or symbology not built yet */
    QUILLION_ERROR_REJECTED = 3,    /* the symbology refuses the text */
    QUILLION_ERROR_FAILED = 4,      /* painting failed */
    QUILLION_ERROR_TOO_LARGE = 5,   /* the picture would be too large */
    QUILLION_ERROR_ENCODE = 6       /* the file format cannot hold the picture */
};

typedef struct quillion_colour {
    uint8_t r, g, b, a;
} quillion_colour;

/* The fields of quillion::api::Options; quillion_options_init sets the defaults, which give
 * the window's picture. */
typedef struct quillion_options {
    int caption;       /* QUILLION_CAPTION_* */
    int caption_style; /* QUILLION_STYLE_* (Code 128) */
    int module_width;  /* pixels; 0: the symbology's usual width */
    int bar_height;    /* pixels; 0: the symbology's usual height */
    int quiet_zones;   /* non-zero: the standard quiet zones */
    int margin;        /* pixels all round */
    quillion_colour foreground;
    quillion_colour background;
    int rotation; /* 0, 90, 180, 270 */
    int scale;    /* whole enlargement, applied last */
    double dpi;   /* the resolution recorded in the files */
    int code_set; /* QUILLION_CODE_SET_* */
    int check_digit;
} quillion_options;

typedef struct quillion_result quillion_result;

QUILLION_C_API void quillion_options_init(quillion_options* options);

/* Paints text (UTF-8, NUL-terminated) as symbology; options may be NULL for the defaults. */
QUILLION_C_API quillion_result* quillion_render(int symbology, const char* text,
                                                const quillion_options* options);

/* The file of a rendered picture; quality is JPEG's (1-100, 0 for the window's 80). */
QUILLION_C_API quillion_result* quillion_encode(const quillion_result* picture, int format,
                                                int quality);

/* 0 when the result holds a picture or bytes; else the error's code. */
QUILLION_C_API int quillion_error_code(const quillion_result* result);
/* The error's message (UTF-8); "" when there is none. Valid until the result is freed. */
QUILLION_C_API const char* quillion_error_message(const quillion_result* result);

/* A picture's size in pixels and its RGBA bytes (width * height * 4); 0 and NULL otherwise. */
QUILLION_C_API int quillion_width(const quillion_result* result);
QUILLION_C_API int quillion_height(const quillion_result* result);
QUILLION_C_API const unsigned char* quillion_rgba(const quillion_result* result);

/* An encoded file's bytes and their number; NULL and 0 otherwise. */
QUILLION_C_API const unsigned char* quillion_bytes(const quillion_result* result, size_t* size);

/* Frees a result of quillion_render or quillion_encode; NULL is ignored. */
QUILLION_C_API void quillion_free(quillion_result* result);

/* "0.1.0" */
QUILLION_C_API const char* quillion_version(void);

#ifdef __cplusplus
}
#endif

#endif
