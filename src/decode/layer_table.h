#pragma once
// Shape of the data area for each layer count of compact and full-range
// symbols: codeword width, how many codewords fit, symbol side, and the layer
// bits left over after the last whole codeword. The formulas are constexpr in
// this header so that the tests, fuzzers and benchmarks that need a capacity
// or a side use these rather than copies of their own.
#include <array>
#include <cstdint>
#include <optional>

#include "decode/symbol_parameters.h"

namespace AztecCore {

// Full-range sides grow by four modules per layer plus the reference-grid
// lines that the growing symbol crosses, so they are listed rather than derived.
inline constexpr std::array<std::uint32_t, 32> kFullRangeSides = {19,  23,  27,  31,  37,  41,  45,  49,  53,  57,  61,
                                                                  67,  71,  75,  79,  83,  87,  91,  95,  101, 105, 109,
                                                                  113, 117, 121, 125, 131, 135, 139, 143, 147, 151};

// Each layer is a ring two modules wide; its length grows by 16 bits per layer.
constexpr std::uint32_t layerBitCount(bool compact, std::uint32_t layers) {
    return ((compact ? 88u : 112u) + 16u * layers) * layers;
}

constexpr std::uint32_t codewordWidth(std::uint32_t layers) {
    if (layers <= 2) return 6;
    if (layers <= 8) return 8;
    if (layers <= 22) return 10;
    return 12;
}

// Side in modules; layers 1..4 (compact) or 1..32 (full-range).
constexpr std::uint32_t symbolSide(bool compact, std::uint32_t layers) {
    return compact ? 11u + 4u * layers : kFullRangeSides[layers - 1];
}

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
