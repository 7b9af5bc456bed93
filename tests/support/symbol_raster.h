#pragma once
// Internal to the render tool: area sampling of a placed symbol into two
// coverage layers, before any blur or contrast.
#include <vector>

#include "support/aztec_encoder.h"
#include "support/render_geometry.h"

namespace talavex_test::detail {

struct SymbolLayer {
    int x0 = 0;  // image position of the layer's first pixel; the layer may
    int y0 = 0;  // reach past the image by the margin asked for
    int width = 0;
    int height = 0;
    std::vector<float> ink;    // fraction of each pixel on dark modules
    std::vector<float> cover;  // fraction of each pixel on the symbol or its quiet zone
};

// Covers the mapped symbol-plus-quiet-zone square grown by `margin` pixels,
// clipped to the image grown by the same margin. Everything outside the layer
// has ink 0 and cover 0.
SymbolLayer rasterizeSymbol(const AztecSymbol& symbol, const SymbolPlacement& placement, int supersample, int margin,
                            int imageWidth, int imageHeight);

}  // namespace talavex_test::detail
