#include "decode/layer_table.h"

namespace AztecCore {

std::optional<LayerShape> layerShape(SymbolKind kind, std::uint32_t layers) {
    const bool compact = kind == SymbolKind::Compact;
    if (!compact && kind != SymbolKind::Full) return std::nullopt;
    if (layers < 1 || layers > (compact ? 4u : 32u)) return std::nullopt;

    const std::uint32_t layerBits = layerBitCount(compact, layers);
    LayerShape shape;
    shape.codewordBits = codewordWidth(layers);
    shape.totalCodewords = layerBits / shape.codewordBits;
    shape.spareBits = layerBits % shape.codewordBits;
    shape.symbolSize = symbolSide(compact, layers);
    return shape;
}

}  // namespace AztecCore
