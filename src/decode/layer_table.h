#pragma once
// Shape of the data area for each layer count of compact and full-range
// symbols: codeword width, how many codewords fit, symbol side, and the layer
// bits left over after the last whole codeword.
#include <cstdint>
#include <optional>

#include "decode/symbol_parameters.h"

namespace AztecCore {

struct LayerShape {
    std::uint32_t codewordBits = 0;
    std::uint32_t totalCodewords = 0;
    std::uint32_t symbolSize = 0;
    std::uint32_t spareBits = 0;
};

// No shape for a kind other than Compact/Full or a layer count outside 1..4
// (compact) or 1..32 (full-range).
std::optional<LayerShape> layerShape(SymbolKind kind, std::uint32_t layers);

}  // namespace AztecCore
