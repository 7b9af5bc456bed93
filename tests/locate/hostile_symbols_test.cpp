// Symbols that lie about themselves or are damaged beyond repair, read end to
// end: the reader must answer "" (nothing read), never a wrong text, and never
// touch memory outside the image.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "decode/decode_test_support.h"
#include "locate/hostile_symbols.h"
#include "support/render.h"
#include "talavex/talavex.h"

namespace {

using namespace decode_test;

std::string readRendered(const ModuleBits& modules, double moduleSize) {
    talavex_test::RenderOptions options;
    options.moduleSize = moduleSize;
    const talavex_test::GrayImage image = talavex_test::renderSymbol(locate_test::toSymbol(modules), options);
    std::unique_ptr<char, void (*)(void*)> text(recognizeY(image.pixels.data(), static_cast<std::uint32_t>(image.width),
                                                           static_cast<std::uint32_t>(image.height)),
                                                std::free);
    return text ? std::string(text.get()) : "<null>";
}

using locate_test::LyingModeCase;

class LyingModeMessageTest : public ::testing::TestWithParam<LyingModeCase> {};

TEST_P(LyingModeMessageTest, ReadsNothing) {
    const LyingModeCase& c = GetParam();
    const ModuleBits modules = locate_test::withModeMessage("LIAR", c.size, c.layers, c.dataCodewords);
    // The rewritten ring is a valid mode message: the reader believes it.
    const auto params = readModeMessage(modules);
    ASSERT_TRUE(params.has_value());
    ASSERT_EQ(params->layers, c.layers);
    EXPECT_EQ(readRendered(modules, 3.0), "");
}

INSTANTIATE_TEST_SUITE_P(Claims, LyingModeMessageTest, ::testing::ValuesIn(locate_test::lyingModeClaims()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DamagedBeyondRepair, NeverReadsAWrongText) {
    // Flipping a fifth of the data modules overwhelms even the highest check
    // level; the correction must detect it rather than invent a text.
    for (const std::uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        const std::string text = "Damaged beyond repair " + std::to_string(seed);
        EXPECT_EQ(readRendered(locate_test::damagedBeyondRepair(text, seed), 4.0), "") << seed;
    }
}

}  // namespace
