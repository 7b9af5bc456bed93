/*
 * talavex: find and read one Aztec Code symbol in an image held in memory.
 *
 * All three functions take a pointer to the pixels, the width (pixels per row)
 * and the height (rows). Rows are tightly packed, top row first, with no
 * padding between them. The caller's buffer is only read, and only during the
 * call.
 *
 * Every function returns a newly allocated, NUL-terminated string that the
 * caller releases with free():
 *   - the decoded bytes when a symbol was read (raw bytes, no character-set
 *     conversion; the string ends at the first zero byte if the data has one);
 *   - "" when no symbol was found, or one was found but could not be read;
 *   - "error" when the arguments are invalid (null pixels with a non-zero
 *     size, or a size whose byte count does not fit a signed 32-bit integer),
 *     when memory runs out, or when recognition failed internally. A symbol
 *     whose data is the five letters "error" cannot be told apart from this.
 *   - NULL only when the returned buffer itself could not be allocated.
 *
 * The functions keep no state between calls, start no threads, and may be
 * called concurrently from several threads.
 */
#ifndef TALAVEX_TALAVEX_H
#define TALAVEX_TALAVEX_H

#include <stdint.h>

#if defined(_WIN32) || defined(__CYGWIN__)
#if defined(TALAVEX_STATIC)
#define TALAVEX_API
#elif defined(TALAVEX_BUILDING)
#define TALAVEX_API __declspec(dllexport)
#else
#define TALAVEX_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define TALAVEX_API __attribute__((visibility("default")))
#else
#define TALAVEX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* 8-bit luminance plane: width * height bytes, 0 black .. 255 white.
 * The symbol is expected near the centre of the image. A width or height of
 * 0 returns "". */
TALAVEX_API char* recognizeY(const uint8_t* pixels, uint32_t width, uint32_t height);

/* 32-bit frame: width * height pixels of four bytes in memory order blue,
 * green, red, alpha (alpha is ignored). The symbol is expected near the
 * centre of the image. A width or height of 0 returns "". */
TALAVEX_API char* recognizeBGRA(const uint8_t* pixels, uint32_t width, uint32_t height);

/* 32-bit still photo, same layout as recognizeBGRA. The symbol may be
 * anywhere and may be small. Photos smaller than 64 pixels in either
 * direction return "error". */
TALAVEX_API char* recognizePhotoBGRA(const uint8_t* pixels, uint32_t width, uint32_t height);

#ifdef __cplusplus
}
#endif

#endif /* TALAVEX_TALAVEX_H */
