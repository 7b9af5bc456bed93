#pragma once
// Shared helpers of the reader's tests: one call of the C API with its
// results released by RAII.
#include <memory>

#include "support/render.h"
#include "talavex/reader.h"

namespace reader_test {

struct ResultsDeleter {
    void operator()(talavex_results* r) const { talavex_results_free(r); }
};
using Results = std::unique_ptr<talavex_results, ResultsDeleter>;

struct OptionsDeleter {
    void operator()(talavex_options* o) const { talavex_options_free(o); }
};
using Options = std::unique_ptr<talavex_options, OptionsDeleter>;

inline talavex_image grayView(const talavex_test::GrayImage& image) {
    return {image.pixels.data(), static_cast<uint32_t>(image.width), static_cast<uint32_t>(image.height),
            static_cast<uint32_t>(image.width), TALAVEX_GRAY8};
}

inline Results read(const talavex_image& view, const talavex_options* options = nullptr) {
    return Results(talavex_read(&view, options));
}

}  // namespace reader_test
