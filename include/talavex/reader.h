/*
 * talavex reader: find and read Aztec Code symbols in an image held in memory,
 * with everything the symbol tells beside its bytes.
 *
 * ABI contract. Options and results are opaque handles; every field is read
 * or written through an accessor function, so later versions can add fields
 * without breaking callers. The image view is the only plain struct and is
 * never extended: a new pixel format is a new talavex_format value.
 *
 * Ownership. talavex_options_new and talavex_read return handles that the
 * caller releases with talavex_options_free and talavex_results_free (both
 * accept NULL). Pointers returned by accessors (bytes, text, messages) belong
 * to the results handle and stay valid until it is released. The caller's
 * pixels are only read, and only during the call.
 *
 * Failures. talavex_read always returns a results handle unless memory for
 * the handle itself runs out (then NULL). Invalid arguments, exhausted memory
 * and internal failures are reported by talavex_results_status with a
 * message from talavex_results_message, and the handle then holds no symbol.
 * Accessors given NULL, or a symbol index out of range, return 0, NULL or
 * -1 as documented and never crash.
 *
 * What is read. Bytes are exactly the symbol's data, zero bytes included.
 * A structured-append header is removed from the bytes and reported by the
 * structured-append accessors. Reader-initialisation symbols are read and
 * flagged by talavex_symbol_reader_init: their data count cannot be checked
 * against the mode message, so a caller that must not act on an unverified
 * read checks the flag. A repair of damaged codewords is taken only where a
 * symbol damaged past repair would be "repaired" that way less than once in
 * 2^18 times: small symbols with few check words give up the last words of
 * their correction capacity and report TALAVEX_SYMBOL_UNREADABLE instead of
 * risking a wrong read. The functions keep no state between calls, start no
 * threads, and may be called concurrently on different handles.
 */
#ifndef TALAVEX_READER_H
#define TALAVEX_READER_H

#include <stddef.h>
#include <stdint.h>

#include "talavex/talavex.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The library's version, "MAJOR.MINOR.PATCH"; a static string. */
TALAVEX_API const char* talavex_version(void);

/* ---- image view ---- */

typedef enum talavex_format {
    TALAVEX_GRAY8 = 0, /* one byte per pixel, 0 black .. 255 white */
    TALAVEX_BGRA = 1,  /* four bytes: blue, green, red, alpha (ignored) */
    TALAVEX_RGBA = 2,  /* four bytes: red, green, blue, alpha (ignored) */
    TALAVEX_BGR = 3,   /* three bytes: blue, green, red */
    TALAVEX_RGB = 4    /* three bytes: red, green, blue */
} talavex_format;

/* Rows top first; `stride` is the distance in bytes from one row's start to
 * the next and at least width times the pixel size. */
typedef struct talavex_image {
    const uint8_t* pixels;
    uint32_t width;
    uint32_t height;
    uint32_t stride;
    talavex_format format;
} talavex_image;

/* ---- options ---- */

typedef enum talavex_where {
    TALAVEX_WHERE_AUTO = 0,    /* near the centre first, then anywhere if nothing was read */
    TALAVEX_WHERE_CENTRE = 1,  /* near the centre of the image (a camera frame) */
    TALAVEX_WHERE_ANYWHERE = 2 /* anywhere, also small (a photo; at least 64 x 64 pixels) */
} talavex_where;

typedef struct talavex_options talavex_options;

/* The pixel limit of talavex_options_new: 8192 x 8192. */
#define TALAVEX_DEFAULT_MAX_PIXELS 67108864

/* Defaults: auto, one symbol, no inverted search, no time budget, at most
 * TALAVEX_DEFAULT_MAX_PIXELS pixels. */
TALAVEX_API talavex_options* talavex_options_new(void);
TALAVEX_API void talavex_options_free(talavex_options* options);
/* Each setter returns 0, or -1 for a NULL handle or a value out of range. */
TALAVEX_API int talavex_options_set_where(talavex_options* options, talavex_where where);
/* At least 1. After each read the symbol is blanked on the reader's own copy
 * of the image and the image searched again (anywhere, at least 64 x 64
 * pixels), until this many symbols are read, a search reads nothing new, or
 * the time budget ends. */
TALAVEX_API int talavex_options_set_max_symbols(talavex_options* options, uint32_t max_symbols);
/* Non-zero: when nothing was read, search the image again with light and
 * dark swapped (light-on-dark symbols), where it shows a finder light in the
 * middle (or, searched near the centre only, always). */
TALAVEX_API int talavex_options_set_inverted(talavex_options* options, int inverted);
/* 0: no limit. Bounds the whole call, image conversion included: the search
 * stops a few milliseconds after the budget at most and returns what it has
 * read by then (status TALAVEX_OK); a symbol is never half read. */
TALAVEX_API int talavex_options_set_time_budget_ms(talavex_options* options, uint32_t milliseconds);
/* 0: no limit. An image of more pixels (width times height) than this is
 * refused with TALAVEX_IMAGE_TOO_LARGE before any memory is taken for it or
 * any pixel is read: the reader's memory grows with the image, and a caller
 * handed images from elsewhere bounds it here. An image of 2^31 pixels or
 * more stays TALAVEX_INVALID_ARGUMENT whatever the limit. */
TALAVEX_API int talavex_options_set_max_pixels(talavex_options* options, uint64_t max_pixels);

/* ---- reading ---- */

typedef enum talavex_status {
    TALAVEX_OK = 0,               /* the search ran; see talavex_results_count */
    TALAVEX_INVALID_ARGUMENT = 1, /* NULL image, unknown format, stride too small, 2^31 pixels or more */
    TALAVEX_OUT_OF_MEMORY = 2,
    TALAVEX_INTERNAL_ERROR = 3,
    TALAVEX_IMAGE_TOO_LARGE = 4 /* more pixels than talavex_options_set_max_pixels allows */
} talavex_status;

typedef struct talavex_results talavex_results;

/* `options` may be NULL for the defaults. */
TALAVEX_API talavex_results* talavex_read(const talavex_image* image, const talavex_options* options);
TALAVEX_API void talavex_results_free(talavex_results* results);
/* TALAVEX_INTERNAL_ERROR for NULL. */
TALAVEX_API talavex_status talavex_results_status(const talavex_results* results);
/* A static description of the status ("" for TALAVEX_OK). */
TALAVEX_API const char* talavex_results_message(const talavex_results* results);
/* Symbols read or located; 0 for NULL. */
TALAVEX_API size_t talavex_results_count(const talavex_results* results);

/* ---- one symbol, index 0 .. count - 1 ---- */

typedef enum talavex_symbol_status {
    TALAVEX_SYMBOL_READ = 0,
    TALAVEX_SYMBOL_UNREADABLE = 1 /* located; the data could not be read */
} talavex_symbol_status;

/* An Aztec Rune (TALAVEX_RUNE) is looked for once nothing else was read: near the image centre, then
   anywhere unless the search is near the centre only. Its bytes are its value 0..255 as three decimal
   digits ("007"), with 0 layers and data codewords, identifier "]zC". */
typedef enum talavex_kind { TALAVEX_COMPACT = 0, TALAVEX_FULL_RANGE = 1, TALAVEX_RUNE = 2 } talavex_kind;

/* -1 for NULL or an index out of range. */
TALAVEX_API int talavex_symbol_status_of(const talavex_results* results, size_t index);
/* The bytes (not NUL-terminated; may hold zero bytes) and their number. */
TALAVEX_API const uint8_t* talavex_symbol_bytes(const talavex_results* results, size_t index, size_t* length);
/* The bytes as NUL-terminated UTF-8, converted per ECI (ISO-8859-1 without
 * one): ISO-8859-1 to -16, Windows-1252, UTF-8 and US-ASCII. NULL when an ECI
 * names another character set, a byte is unassigned in its character set, or
 * the bytes are not valid UTF-8 or US-ASCII: the bytes are then the data. A
 * zero byte ends the C string; the bytes keep it. */
TALAVEX_API const char* talavex_symbol_text(const talavex_results* results, size_t index);
/* "]z0" .. "]zC"; NULL for an unreadable symbol. */
TALAVEX_API const char* talavex_symbol_identifier(const talavex_results* results, size_t index);
/* The ECI designators in order; each starts at the byte offset given. */
TALAVEX_API size_t talavex_symbol_eci_count(const talavex_results* results, size_t index);
TALAVEX_API uint32_t talavex_symbol_eci(const talavex_results* results, size_t index, size_t eci, size_t* byte_offset);
/* 1 when FNC1 stands first (GS1 data), else 0. */
TALAVEX_API int talavex_symbol_gs1(const talavex_results* results, size_t index);
TALAVEX_API int talavex_symbol_reader_init(const talavex_results* results, size_t index);
/* 0 when the symbol is not part of a structured append; else the count
 * (2..26), with this symbol's position (1-based) and the ID ("" when none). */
TALAVEX_API uint32_t talavex_symbol_structured_append(const talavex_results* results, size_t index, uint32_t* position,
                                                      const char** id);
/* -1 on a bad handle or index. */
TALAVEX_API int talavex_symbol_kind(const talavex_results* results, size_t index);
TALAVEX_API int talavex_symbol_layers(const talavex_results* results, size_t index);
TALAVEX_API int talavex_symbol_data_codewords(const talavex_results* results, size_t index);
/* The share of check words in percent (rounded down). */
TALAVEX_API int talavex_symbol_ecc_percent(const talavex_results* results, size_t index);
TALAVEX_API int talavex_symbol_codewords_corrected(const talavex_results* results, size_t index);
/* Writes the four corners as x0, y0 .. x3, y3 in image pixels: the symbol's
 * own top-left first, then clockwise as the symbol is read. 0 on success, -1
 * on a bad handle or when the position is not known. */
TALAVEX_API int talavex_symbol_corners(const talavex_results* results, size_t index, double corners[8]);
/* 0, 90, 180 or 270: how far the symbol is turned clockwise in the image
 * (after a left-right mirror when the symbol is mirrored). */
TALAVEX_API int talavex_symbol_orientation(const talavex_results* results, size_t index);
TALAVEX_API int talavex_symbol_mirrored(const talavex_results* results, size_t index);
/* 1 when read light-on-dark. */
TALAVEX_API int talavex_symbol_inverted(const talavex_results* results, size_t index);
/* Pixels per module; 0 when the position is not known. */
TALAVEX_API double talavex_symbol_module_size(const talavex_results* results, size_t index);

#ifdef __cplusplus
}
#endif

#endif /* TALAVEX_READER_H */
