// Any bytes as an image for the reader API, with options from the first byte:
// never crashes, always a results handle whose status is TALAVEX_OK (every
// view it is given is valid), and every symbol it returns is consistent: a
// status, bytes that can be read to their length, a text that is a C string,
// an identifier when it was read, finite corners and module size.
//
// Input layout (fuzz/seeds/make_read_seeds.py writes seeds in it):
//   byte 0   the options, one bit field each, so that a one-bit mutation
//            changes one option and every value is reachable:
//              bits 0-2  format, talavex_format (value % 5)
//              bits 3-4  where, talavex_where (value % 3)
//              bit  5    inverted search
//              bits 6-7  max symbols - 1
//   byte 1   width - 1 (bits 0-6); bit 7 picks the longer time budget
//   byte 2   height - 1 (bits 0-6)
//   then the pixels, rows top first, packed; missing bytes are zero.
#include <cmath>
#include <cstring>

#include "fuzz_input.h"
#include "talavex/reader.h"

namespace {

// Each format's bytes per pixel, in talavex_format's order.
constexpr std::uint32_t kPixelBytes[] = {1, 4, 4, 3, 3};

// The search's cost grows with the image, and without a budget a search that
// finds nothing runs every retry of its plan: an image up to 255 x 255 pixels
// ran at 23 executions per second. 128 still leaves room for the
// "anywhere" search (at least 64 x 64) and for two symbols side by side.
constexpr std::uint32_t kMaxSide = 128;
// A time budget bounds every run (the reader stops a few ms after it at most)
// and exercises the reader's out-of-time paths too. The short one keeps the
// fuzzer fast (about 400 runs a second with it alone); under the sanitizers
// one symbol's read can take longer than that, so one bit of the input picks
// a longer one that gets further into the plan (about 250 runs a second with
// both). Neither is enough for the searches after a first read (max symbols
// > 1) on most images: those are reached now and then, not reliably.
constexpr std::uint32_t kShortBudgetMs = 1;
constexpr std::uint32_t kLongBudgetMs = 3;

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
    const auto format = static_cast<talavex_format>((choice & 7u) % 5);
    const auto where = static_cast<talavex_where>(((choice >> 3) & 3u) % 3);
    const int inverted = (choice >> 5) & 1;
    const std::uint32_t maxSymbols = 1u + ((choice >> 6) & 3u);
    const std::uint32_t budgetMs = size > 1 && (data[1] & 0x80) ? kLongBudgetMs : kShortBudgetMs;
    const FuzzImage image = fuzzImage(data + 1, size - 1, kPixelBytes[format], 1, kMaxSide);
    if (image.pixels.empty()) return 0;

    talavex_options* options = talavex_options_new();
    if (options == nullptr) std::abort();
    // Every value set is in range, so every setter must accept it.
    if (talavex_options_set_where(options, where) != 0 || talavex_options_set_inverted(options, inverted) != 0 ||
        talavex_options_set_max_symbols(options, maxSymbols) != 0 ||
        talavex_options_set_time_budget_ms(options, budgetMs) != 0)
        std::abort();

    const talavex_image view = {image.pixels.data(), image.width, image.height, image.width * kPixelBytes[format],
                                format};
    talavex_results* results = talavex_read(&view, options);
    if (results == nullptr || talavex_results_status(results) != TALAVEX_OK) std::abort();
    // At most max symbols are read; a located, unreadable one is returned
    // only when none was read, and then alone.
    const std::size_t count = talavex_results_count(results);
    if (count > maxSymbols) std::abort();
    for (std::size_t k = 0; k < count; ++k) {
        checkSymbol(results, k);
        if (talavex_symbol_status_of(results, k) == TALAVEX_SYMBOL_UNREADABLE && count != 1) std::abort();
    }
    talavex_results_free(results);
    talavex_options_free(options);
    return 0;
}
