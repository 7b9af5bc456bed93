// Every symbol size, read from clean frames at every quarter turn and at odd
// angles, mirrored or not, through recognizeY.
#include <gtest/gtest.h>

#include "e2e_support.h"

namespace talavex_e2e {
namespace {

struct SizeCase {
    AztecSize size;
    int layers;
};

std::string sizeName(const ::testing::TestParamInfo<SizeCase>& info) {
    return std::string(info.param.size == AztecSize::Compact ? "Compact" : "Full") + std::to_string(info.param.layers);
}

std::vector<SizeCase> allSizes() {
    std::vector<SizeCase> cases;
    for (int layers = 1; layers <= 4; ++layers) cases.push_back({AztecSize::Compact, layers});
    for (int layers = 1; layers <= 32; ++layers) cases.push_back({AztecSize::Full, layers});
    return cases;
}

class EverySizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(EverySizeTest, ReadsAtThreePixelsPerModuleInEveryOrientation) {
    const SizeCase c = GetParam();
    const std::string text = textForSize(c.size, c.layers, 100 + c.layers);
    const AztecSymbol symbol = encode(text, c.size, c.layers);
    ASSERT_EQ(symbol.size, static_cast<int>(AztecCore::symbolSide(c.size == AztecSize::Compact,
                                                                  static_cast<std::uint32_t>(c.layers))));

    // Quarter turns plus one arbitrary angle, each plain and mirrored.
    const double angles[] = {0, 90, 180, 270, 10.0 + 7.0 * c.layers};
    for (double angle : angles) {
        for (bool mirror : {false, true}) {
            RenderOptions options;
            options.moduleSize = 3.0;
            options.angleDegrees = angle;
            options.mirror = mirror;
            EXPECT_EQ(readY(talavex_test::renderSymbol(symbol, options)), text)
                << "angle " << angle << (mirror ? " mirrored" : "");
        }
    }
}

// zint's default output has no margin, and the standard asks for none.
TEST_P(EverySizeTest, ReadsWithoutAMarginThroughBothFrameExports) {
    const SizeCase c = GetParam();
    const std::string text = textForSize(c.size, c.layers, 300 + c.layers);
    const AztecSymbol symbol = encode(text, c.size, c.layers);
    for (double moduleSize : {2.0, 3.0, 4.0}) {
        RenderOptions options;
        options.moduleSize = moduleSize;
        options.quietZone = 0;
        const GrayImage image = talavex_test::renderSymbol(symbol, options);
        EXPECT_EQ(readY(image), text) << moduleSize << " px/module";
        EXPECT_EQ(readBGRA(talavex_test::toBGRA(image), image.width, image.height), text) << moduleSize << " px/module";
    }
}

INSTANTIATE_TEST_SUITE_P(AllLayerCounts, EverySizeTest, ::testing::ValuesIn(allSizes()), sizeName);

// Symbols that once needed a margin of several modules to read.
class MarginSweepTest : public ::testing::TestWithParam<int> {};

TEST_P(MarginSweepTest, ReadsAtEveryMargin) {
    struct Symbol {
        std::string text;
        AztecSize size;
        int layers;
        double moduleSize;
    };
    const Symbol symbols[] = {{randomText(38, 11), AztecSize::Auto, 0, 4.0},
                              {textForSize(AztecSize::Full, 24, 24), AztecSize::Full, 24, 2.0},
                              {textForSize(AztecSize::Full, 29, 29), AztecSize::Full, 29, 2.0}};
    for (const Symbol& s : symbols) {
        RenderOptions options;
        options.moduleSize = s.moduleSize;
        options.quietZone = GetParam();
        const GrayImage image = talavex_test::renderSymbol(encode(s.text, s.size, s.layers), options);
        EXPECT_EQ(readY(image), s.text) << s.text.size() << " bytes";
    }
}

INSTANTIATE_TEST_SUITE_P(ZeroToEightModules, MarginSweepTest, ::testing::Range(0, 9));

// zint fills the unused codewords of a symbol forced larger than its data
// needs; the filling must not show up in the text.
class PaddedSymbolTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PaddedSymbolTest, ShortTextInALargeSymbolReadsExactly) {
    const SizeCase c = GetParam();
    for (const std::string text : {"A", "hello", "12345", "Mixed Case 42!"}) {
        const AztecSymbol symbol = encode(text, c.size, c.layers);
        RenderOptions options;
        options.moduleSize = 4.0;
        EXPECT_EQ(readY(talavex_test::renderSymbol(symbol, options)), text);
    }
}

INSTANTIATE_TEST_SUITE_P(ForcedSizes, PaddedSymbolTest,
                         ::testing::Values(SizeCase{AztecSize::Compact, 2}, SizeCase{AztecSize::Compact, 4},
                                           SizeCase{AztecSize::Full, 1}, SizeCase{AztecSize::Full, 3},
                                           SizeCase{AztecSize::Full, 9}, SizeCase{AztecSize::Full, 23}),
                         sizeName);

class EccLevelTest : public ::testing::TestWithParam<int> {};

TEST_P(EccLevelTest, EveryErrorCorrectionLevelReads) {
    for (std::size_t length : {5u, 40u, 300u}) {
        const std::string text = randomText(length, 7 + static_cast<std::uint32_t>(length));
        const AztecSymbol symbol = encode(text, AztecSize::Auto, 0, GetParam());
        RenderOptions options;
        options.moduleSize = 4.0;
        EXPECT_EQ(readY(talavex_test::renderSymbol(symbol, options)), text) << "length " << length;
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, EccLevelTest, ::testing::Values(1, 2, 3, 4));

}  // namespace
}  // namespace talavex_e2e
