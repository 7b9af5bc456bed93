/* The reader from C: prints the bytes of each symbol read in a gray image. */
#include <stdio.h>
#include <talavex/reader.h>

int print_symbols(const uint8_t* gray, uint32_t width, uint32_t height) {
    talavex_image image = {gray, width, height, width, TALAVEX_GRAY8};
    talavex_options* options = talavex_options_new();
    talavex_options_set_inverted(options, 1); /* light-on-dark symbols too */
    talavex_results* results = talavex_read(&image, options);
    talavex_options_free(options);
    if (talavex_results_status(results) != TALAVEX_OK) {
        fprintf(stderr, "talavex: %s\n", talavex_results_message(results));
        talavex_results_free(results);
        return -1;
    }
    int read = 0;
    for (size_t i = 0; i < talavex_results_count(results); ++i) {
        if (talavex_symbol_status_of(results, i) != TALAVEX_SYMBOL_READ) continue;
        size_t length = 0;
        const uint8_t* bytes = talavex_symbol_bytes(results, i, &length);
        fwrite(bytes, 1, length, stdout);
        printf("\n%s, %d layers, turned %d degrees\n", talavex_symbol_identifier(results, i),
               talavex_symbol_layers(results, i), talavex_symbol_orientation(results, i));
        ++read;
    }
    talavex_results_free(results);
    return read;
}
