#pragma once
// Shared helpers of the reader's tests: one call of the C API with its
// results released by RAII.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "support/aztec_encoder.h"
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

// The first symbol's orientation, mirroring and corners against how
// `symbol` was rendered: corners within one module of where they were drawn.
inline void expectPlacement(const talavex_results* r, const talavex_test::AztecSymbol& symbol,
                            const talavex_test::RenderOptions& render) {
    EXPECT_EQ(talavex_symbol_orientation(r, 0), static_cast<int>(std::lround(render.angleDegrees / 90)) % 4 * 90);
    EXPECT_EQ(talavex_symbol_mirrored(r, 0), render.mirror ? 1 : 0);
    double corners[8];
    ASSERT_EQ(talavex_symbol_corners(r, 0, corners), 0);
    const double s = symbol.size;
    const double expected[4][2] = {{0, 0}, {s, 0}, {s, s}, {0, s}};
    for (int k = 0; k < 4; ++k) {
        const auto p = talavex_test::symbolToImage(symbol, render, expected[k][0], expected[k][1]);
        EXPECT_LT(std::hypot(corners[2 * k] - p.x, corners[2 * k + 1] - p.y), render.moduleSize) << "corner " << k;
    }
}

}  // namespace reader_test
