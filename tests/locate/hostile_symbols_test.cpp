// Symbols that lie about themselves or are damaged beyond repair, read end to
// end: the reader must answer "" (nothing read), never a wrong text, and never
// touch memory outside the image.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "decode/decode_test_support.h"
#include "support/render.h"
#include "talavex/talavex.h"

namespace {

using namespace decode_test;

std::string readRendered(const ModuleBits& modules, double moduleSize) {
    talavex_test::AztecSymbol symbol;
    symbol.size = static_cast<int>(modules.size());
    symbol.modules.resize(static_cast<std::size_t>(symbol.size) * symbol.size);
    for (int x = 0; x < symbol.size; ++x)
        for (int y = 0; y < symbol.size; ++y) symbol.modules[static_cast<std::size_t>(y) * symbol.size + x] = modules[x][y];
    talavex_test::RenderOptions options;
    options.moduleSize = moduleSize;
    const talavex_test::GrayImage image = talavex_test::renderSymbol(symbol, options);
    std::unique_ptr<char, void (*)(void*)> text(
        recognizeY(image.pixels.data(), static_cast<std::uint32_t>(image.width), static_cast<std::uint32_t>(image.height)),
        std::free);
    return text ? std::string(text.get()) : "<null>";
}

// A real symbol whose mode ring is rewritten to claim other parameters.
ModuleBits withModeMessage(const std::string& text, talavex_test::AztecSize size, std::uint32_t layers,
                           std::uint32_t dataCodewords) {
    talavex_test::EncodeOptions options;
    options.size = size;
    options.layers = 1;
    ModuleBits modules = toModuleBits(talavex_test::encodeAztec(text, options));
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

class LyingModeMessageTest : public ::testing::TestWithParam<LyingModeCase> {};

TEST_P(LyingModeMessageTest, ReadsNothing) {
    const LyingModeCase& c = GetParam();
    const ModuleBits modules = withModeMessage("LIAR", c.size, c.layers, c.dataCodewords);
    // The rewritten ring is a valid mode message: the reader believes it.
    const auto params = readModeMessage(modules);
    ASSERT_TRUE(params.has_value());
    ASSERT_EQ(params->layers, c.layers);
    EXPECT_EQ(readRendered(modules, 3.0), "");
}

INSTANTIATE_TEST_SUITE_P(
    Claims, LyingModeMessageTest,
    ::testing::Values(
        // A 19-module symbol claiming the 151-module size: the grid reaches far outside the image.
        LyingModeCase{"ThirtyTwoLayersInATinyImage", talavex_test::AztecSize::Full, 32, 1200},
        LyingModeCase{"FourLayersInAOneLayerCompact", talavex_test::AztecSize::Compact, 4, 20},
        // More data codewords than the claimed layers hold (17 and 21).
        LyingModeCase{"MoreDataThanACompactHolds", talavex_test::AztecSize::Compact, 1, 40},
        LyingModeCase{"MoreDataThanAFullHolds", talavex_test::AztecSize::Full, 1, 2048},
        // Every codeword data: nothing would check the bits decoded as text.
        LyingModeCase{"NoCheckWordsInACompact", talavex_test::AztecSize::Compact, 1, 17},
        LyingModeCase{"NoCheckWordsInAFull", talavex_test::AztecSize::Full, 1, 21}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DamagedBeyondRepair, NeverReadsAWrongText) {
    // Flipping a fifth of the data modules overwhelms even the highest check
    // level; the correction must detect it rather than invent a text.
    for (const std::uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        talavex_test::EncodeOptions options;
        options.eccLevel = 4;
        const std::string text = "Damaged beyond repair " + std::to_string(seed);
        ModuleBits modules = toModuleBits(talavex_test::encodeAztec(text, options));
        const auto params = readModeMessage(modules);
        ASSERT_TRUE(params.has_value());
        std::mt19937 rng(seed);
        for (const auto& [x, y] : layerBitModules(*params))
            if (rng() % 5 == 0) modules[x][y] = !modules[x][y];
        EXPECT_EQ(readRendered(modules, 4.0), "") << seed;
    }
}

}  // namespace
