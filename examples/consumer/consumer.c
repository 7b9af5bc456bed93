/* A program that uses an installed talavex: it draws a small Aztec Code
 * symbol (encoded beforehand, one string per module row, '#' dark) into a
 * gray image, reads it, and prints the library version and the data. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <talavex/reader.h>

/* clang-format off */
static const char* const kModules[] = {
    "..#####..#..###",
    "##....#..##.#..",
    "#.##.....##.###",
    ".############.#",
    ".#.#.......#.#.",
    ".###.#####.##.#",
    "..##.#...#.####",
    ".#.#.#.#.#.###.",
    "...#.#...#.##..",
    "##.#.#####.####",
    ".###.......#...",
    "...############",
    ".#..####.##....",
    "###.##.###.....",
    "..#.#.#.##.#..#",
};
/* clang-format on */
enum { kSide = 15, kScale = 4, kQuiet = 4, kPixels = (kSide + 2 * kQuiet) * kScale };

int main(void) {
    static uint8_t gray[kPixels * kPixels];
    memset(gray, 255, sizeof gray);
    for (int y = 0; y < kPixels; ++y)
        for (int x = 0; x < kPixels; ++x) {
            const int row = y / kScale - kQuiet, column = x / kScale - kQuiet;
            if (row >= 0 && row < kSide && column >= 0 && column < kSide && kModules[row][column] == '#')
                gray[y * kPixels + x] = 0;
        }

    const talavex_image image = {gray, kPixels, kPixels, kPixels, TALAVEX_GRAY8};
    talavex_results* results = talavex_read(&image, NULL);
    int status = EXIT_FAILURE;
    if (talavex_results_status(results) == TALAVEX_OK && talavex_results_count(results) == 1) {
        size_t length = 0;
        const uint8_t* bytes = talavex_symbol_bytes(results, 0, &length);
        printf("talavex %s read: %.*s\n", talavex_version(), (int)length, (const char*)bytes);
        status = EXIT_SUCCESS;
    }
    talavex_results_free(results);
    return status;
}
