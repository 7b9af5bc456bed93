// Any bytes as an image for the reader API, with options from the first byte:
// never crashes, always a results handle whose status is TALAVEX_OK (every
// view it is given is valid), and every symbol it returns is consistent: a
// status, bytes that can be read to their length, a text that is a C string,
// an identifier when it was read, finite corners and module size.
#include <cmath>
#include <cstring>

#include "fuzz_input.h"
#include "talavex/reader.h"

namespace {

// Each format's bytes per pixel, in talavex_format's order.
constexpr std::uint32_t kPixelBytes[] = {1, 4, 4, 3, 3};

void checkSymbol(const talavex_results* results, std::size_t k) {
    const int status = talavex_symbol_status_of(results, k);
    if (status != TALAVEX_SYMBOL_READ && status != TALAVEX_SYMBOL_UNREADABLE) std::abort();
    std::size_t length = 0;
    const std::uint8_t* bytes = talavex_symbol_bytes(results, k, &length);
    if (length > 0 && bytes == nullptr) std::abort();
    volatile std::uint32_t sum = 0;
    for (std::size_t i = 0; i < length; ++i) sum = sum + bytes[i];
    if (const char* text = talavex_symbol_text(results, k)) sum = sum + static_cast<std::uint32_t>(std::strlen(text));
    if ((talavex_symbol_identifier(results, k) != nullptr) != (status == TALAVEX_SYMBOL_READ)) std::abort();
    double corners[8];
    if (talavex_symbol_corners(results, k, corners) == 0) {
        for (const double c : corners)
            if (!std::isfinite(c)) std::abort();
        if (!std::isfinite(talavex_symbol_module_size(results, k))) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t choice = data[0];
    const auto format = static_cast<talavex_format>(choice % 5);
    const FuzzImage image = fuzzImage(data + 1, size - 1, kPixelBytes[format], 1, 255);
    if (image.pixels.empty()) return 0;

    talavex_options* options = talavex_options_new();
    if (options == nullptr) std::abort();
    talavex_options_set_where(options, static_cast<talavex_where>((choice >> 3) % 3));
    talavex_options_set_inverted(options, (choice >> 5) & 1);
    talavex_options_set_max_symbols(options, 1u + ((choice >> 6) & 3u));

    const talavex_image view = {image.pixels.data(), image.width, image.height, image.width * kPixelBytes[format],
                                format};
    talavex_results* results = talavex_read(&view, options);
    if (results == nullptr || talavex_results_status(results) != TALAVEX_OK) std::abort();
    const std::size_t count = talavex_results_count(results);
    for (std::size_t k = 0; k < count; ++k) checkSymbol(results, k);
    talavex_results_free(results);
    talavex_options_free(options);
    return 0;
}
