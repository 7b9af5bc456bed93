#include "decode/layer_table.h"

#include <array>

namespace AztecCore {

namespace {

// Full-range sides grow by four modules per layer plus the reference-grid
// lines that the growing symbol crosses, so they are listed rather than derived.
constexpr std::array<std::uint32_t, 32> kFullSizes = {
    19, 23, 27, 31, 37, 41, 45, 49, 53, 57, 61, 67, 71, 75, 79, 83,
    87, 91, 95, 101, 105, 109, 113, 117, 121, 125, 131, 135, 139, 143, 147, 151};

std::uint32_t codewordWidth(std::uint32_t layers) {
    if (layers <= 2) return 6;
    if (layers <= 8) return 8;
    if (layers <= 22) return 10;
    return 12;
}

}  // namespace

std::optional<LayerShape> layerShape(SymbolKind kind, std::uint32_t layers) {
    const bool compact = kind == SymbolKind::Compact;
    if (!compact && kind != SymbolKind::Full) return std::nullopt;
    if (layers < 1 || layers > (compact ? 4u : 32u)) return std::nullopt;

    // Each layer is a ring two modules wide; its length grows by 16 bits per layer.
    const std::uint32_t layerBits = ((compact ? 88u : 112u) + 16u * layers) * layers;
    LayerShape shape;
    shape.codewordBits = codewordWidth(layers);
    shape.totalCodewords = layerBits / shape.codewordBits;
    shape.spareBits = layerBits % shape.codewordBits;
    shape.symbolSize = compact ? 11u + 4u * layers : kFullSizes[layers - 1];
    return shape;
}

}  // namespace AztecCore
