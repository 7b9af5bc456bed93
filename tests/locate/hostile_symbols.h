#pragma once
// Symbols that lie about themselves or are damaged beyond repair, as module
// matrices. Used by the hostile-symbol tests and the golden check.
#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "decode/decode_test_support.h"
#include "support/aztec_encoder.h"

namespace locate_test {

// The matrix as a symbol the render tool draws.
inline talavex_test::AztecSymbol toSymbol(const AztecCore::ModuleBits& modules) {
    talavex_test::AztecSymbol symbol;
    symbol.size = static_cast<int>(modules.size());
    symbol.modules.resize(static_cast<std::size_t>(symbol.size) * symbol.size);
    for (int x = 0; x < symbol.size; ++x)
        for (int y = 0; y < symbol.size; ++y)
            symbol.modules[static_cast<std::size_t>(y) * symbol.size + x] = modules[x][y];
    return symbol;
}

// A real one-layer symbol whose mode ring is rewritten to claim other parameters.
inline AztecCore::ModuleBits withModeMessage(const std::string& text, talavex_test::AztecSize size,
                                             std::uint32_t layers, std::uint32_t dataCodewords) {
    using namespace decode_test;
    talavex_test::EncodeOptions options;
    options.size = size;
    options.layers = 1;
    AztecCore::ModuleBits modules = toModuleBits(talavex_test::encodeAztec(text, options));
    const SymbolKind kind = size == talavex_test::AztecSize::Compact ? SymbolKind::Compact : SymbolKind::Full;
    const auto ring = ringCoordinates(static_cast<int>(modules.size()), kind == SymbolKind::Compact ? 5 : 7);
    const BitVector modeBits = modeMessageBits(kind, layers, dataCodewords);
    const auto positions = modeBitRingPositions(kind);
    for (std::size_t k = 0; k < positions.size(); ++k) {
        const auto [x, y] = ring[static_cast<std::size_t>(positions[k])];
        modules[x][y] = modeBits[k];
    }
    return modules;
}

struct LyingModeCase {
    const char* name;
    talavex_test::AztecSize size;
    std::uint32_t layers;
    std::uint32_t dataCodewords;
};

inline const std::vector<LyingModeCase>& lyingModeClaims() {
    static const std::vector<LyingModeCase> claims = {
        // A 19-module symbol claiming the 151-module size: the grid reaches far outside the image.
        {"ThirtyTwoLayersInATinyImage", talavex_test::AztecSize::Full, 32, 1200},
        {"FourLayersInAOneLayerCompact", talavex_test::AztecSize::Compact, 4, 20},
        // More data codewords than the claimed layers hold (17 and 21).
        {"MoreDataThanACompactHolds", talavex_test::AztecSize::Compact, 1, 40},
        {"MoreDataThanAFullHolds", talavex_test::AztecSize::Full, 1, 2048},
        // Every codeword data: nothing would check the bits decoded as text.
        {"NoCheckWordsInACompact", talavex_test::AztecSize::Compact, 1, 17},
        {"NoCheckWordsInAFull", talavex_test::AztecSize::Full, 1, 21},
    };
    return claims;
}

// The text at the highest check level with every data module flipped with
// chance 1/5 (drawn from `seed`): more damage than the check words repair.
inline AztecCore::ModuleBits damagedBeyondRepair(const std::string& text, std::uint32_t seed) {
    using namespace decode_test;
    talavex_test::EncodeOptions options;
    options.eccLevel = 4;
    AztecCore::ModuleBits modules = toModuleBits(talavex_test::encodeAztec(text, options));
    const auto params = readModeMessage(modules);
    if (!params) throw std::logic_error("the encoder's mode message does not parse");
    std::mt19937 rng(seed);
    for (const auto& [x, y] : layerBitModules(*params))
        if (rng() % 5 == 0) modules[x][y] = !modules[x][y];
    return modules;
}

}  // namespace locate_test
