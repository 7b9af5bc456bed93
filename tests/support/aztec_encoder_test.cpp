#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "decode/layer_table.h"
#include "support/aztec_encoder.h"

namespace talavex_test {
namespace {

// The library's table of full-range sides, checked here against zint's symbols.
int fullSide(int layers) { return static_cast<int>(AztecCore::symbolSide(false, static_cast<std::uint32_t>(layers))); }

AztecSymbol encodeSized(const std::string& data, AztecSize size, int layers) {
    EncodeOptions options;
    options.size = size;
    options.layers = layers;
    return encodeAztec(data, options);
}

void expectWellFormed(const AztecSymbol& symbol) {
    ASSERT_GT(symbol.size, 0);
    ASSERT_EQ(symbol.modules.size(), static_cast<std::size_t>(symbol.size) * symbol.size);
    for (std::uint8_t m : symbol.modules) {
        ASSERT_LE(m, 1);
    }
}

// Square rings around the centre module alternate dark and light, dark at the centre.
void expectBullseye(const AztecSymbol& symbol, int outerRadius) {
    const int c = symbol.size / 2;
    for (int dy = -outerRadius; dy <= outerRadius; ++dy) {
        for (int dx = -outerRadius; dx <= outerRadius; ++dx) {
            const int ring = std::max(std::abs(dx), std::abs(dy));
            EXPECT_EQ(symbol.dark(c + dx, c + dy), ring % 2 == 0) << "module offset " << dx << "," << dy;
        }
    }
}

// The corners of the mode-message ring carry the orientation marks: three dark
// modules top-left, two top-right, one bottom-right, none bottom-left. They
// pin down that the matrix is neither transposed nor flipped.
void expectOrientationMarks(const AztecSymbol& symbol, int ringRadius) {
    const int lo = symbol.size / 2 - ringRadius;
    const int hi = symbol.size / 2 + ringRadius;
    EXPECT_TRUE(symbol.dark(lo, lo));
    EXPECT_TRUE(symbol.dark(lo + 1, lo));
    EXPECT_TRUE(symbol.dark(lo, lo + 1));
    EXPECT_TRUE(symbol.dark(hi, lo));
    EXPECT_TRUE(symbol.dark(hi, lo + 1));
    EXPECT_FALSE(symbol.dark(hi - 1, lo));
    EXPECT_TRUE(symbol.dark(hi, hi - 1));
    EXPECT_FALSE(symbol.dark(hi, hi));
    EXPECT_FALSE(symbol.dark(hi - 1, hi));
    EXPECT_FALSE(symbol.dark(lo, hi));
    EXPECT_FALSE(symbol.dark(lo + 1, hi));
    EXPECT_FALSE(symbol.dark(lo, hi - 1));
}

class CompactLayers : public ::testing::TestWithParam<int> {};

TEST_P(CompactLayers, SizeBullseyeAndOrientation) {
    const int layers = GetParam();
    const AztecSymbol symbol = encodeSized("Aztec 123", AztecSize::Compact, layers);
    expectWellFormed(symbol);
    EXPECT_EQ(symbol.size, 11 + 4 * layers);
    expectBullseye(symbol, 4);
    expectOrientationMarks(symbol, 5);
}

INSTANTIATE_TEST_SUITE_P(AztecEncoder, CompactLayers, ::testing::Range(1, 5));

class FullLayers : public ::testing::TestWithParam<int> {};

TEST_P(FullLayers, SizeBullseyeAndOrientation) {
    const int layers = GetParam();
    const AztecSymbol symbol = encodeSized("Aztec 123", AztecSize::Full, layers);
    expectWellFormed(symbol);
    EXPECT_EQ(symbol.size, fullSide(layers));
    expectBullseye(symbol, 6);
    expectOrientationMarks(symbol, 7);
}

INSTANTIATE_TEST_SUITE_P(AztecEncoder, FullLayers, ::testing::Range(1, 33));

struct SmallestCase {
    AztecSize size;
    std::size_t length;
};

class SmallestFit : public ::testing::TestWithParam<SmallestCase> {};

// With layers 0 a forced kind takes the smallest symbol of that kind that
// holds the data: one layer fewer must be too small.
TEST_P(SmallestFit, PicksTheSmallestSymbolOfTheKind) {
    const SmallestCase c = GetParam();
    const std::string data(c.length, 'x');
    EncodeOptions options;
    options.size = c.size;
    const AztecSymbol symbol = encodeAztec(data, options);
    int layers = 0;
    if (c.size == AztecSize::Compact) {
        ASSERT_EQ((symbol.size - 11) % 4, 0);
        layers = (symbol.size - 11) / 4;
        expectBullseye(symbol, 4);
    } else {
        for (int l = 1; l <= 32; ++l) {
            layers = fullSide(l) == symbol.size ? l : layers;
        }
        ASSERT_GT(layers, 0) << "not a full-range size: " << symbol.size;
        expectBullseye(symbol, 6);
    }
    if (layers > 1) {
        EXPECT_THROW(encodeSized(data, c.size, layers - 1), std::runtime_error);
    }
    EXPECT_EQ(encodeSized(data, c.size, layers).modules, symbol.modules);
}

INSTANTIATE_TEST_SUITE_P(AztecEncoder, SmallestFit,
                         ::testing::Values(SmallestCase{AztecSize::Compact, 1}, SmallestCase{AztecSize::Compact, 20},
                                           SmallestCase{AztecSize::Compact, 60}, SmallestCase{AztecSize::Full, 1},
                                           SmallestCase{AztecSize::Full, 40}, SmallestCase{AztecSize::Full, 300}));

TEST(AztecEncoder, AutomaticSizeGrowsWithData) {
    const AztecSymbol small = encodeAztec(std::string(5, 'a'));
    const AztecSymbol large = encodeAztec(std::string(400, 'a'));
    expectWellFormed(small);
    expectWellFormed(large);
    EXPECT_LT(small.size, large.size);
    EXPECT_EQ(small.size, 15);  // five letters fit the one-layer compact symbol
}

TEST(AztecEncoder, BinaryDataKeepsZeroAndHighBytes) {
    const std::vector<std::uint8_t> withZero = {0x41, 0x00, 0x42, 0xFF, 0x80, 0x00};
    const std::vector<std::uint8_t> cutAtZero = {0x41};
    const AztecSymbol symbol = encodeAztec(withZero);
    expectWellFormed(symbol);
    // A length taken from a C string would stop at the first zero byte.
    EXPECT_NE(symbol.modules, encodeAztec(cutAtZero).modules);
    EXPECT_NE(symbol.modules, encodeAztec(std::vector<std::uint8_t>{0x41, 0x00, 0x42, 0xFF, 0x80}).modules);
    EXPECT_EQ(symbol.modules, encodeAztec(std::string("A\0B\xFF\x80\0", 6)).modules);
}

TEST(AztecEncoder, HigherErrorCorrectionNeedsMoreRoom) {
    const std::string data(120, 'Q');
    EncodeOptions low;
    low.eccLevel = 1;
    EncodeOptions high;
    high.eccLevel = 4;
    EXPECT_LT(encodeAztec(data, low).size, encodeAztec(data, high).size);
}

TEST(AztecEncoder, EciAndGs1ChangeTheSymbol) {
    const std::string plain = "0112345678901231";
    EncodeOptions eci;
    eci.eci = 26;
    EncodeOptions gs1;
    gs1.gs1 = true;
    const AztecSymbol base = encodeAztec(plain);
    const AztecSymbol withEci = encodeAztec(plain, eci);
    const AztecSymbol asGs1 = encodeAztec("[01]12345678901231", gs1);
    expectWellFormed(withEci);
    expectWellFormed(asGs1);
    EXPECT_NE(base.modules, withEci.modules);
    EXPECT_NE(base.modules, asGs1.modules);
}

struct InvalidCase {
    const char* name;
    std::string data;
    EncodeOptions options;
};

class InvalidInput : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidInput, Throws) {
    const InvalidCase& c = GetParam();
    try {
        encodeAztec(c.data, c.options);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_GT(std::string(e.what()).size(), 5U);
    }
}

EncodeOptions sized(AztecSize size, int layers) {
    EncodeOptions o;
    o.size = size;
    o.layers = layers;
    return o;
}

EncodeOptions gs1Options() {
    EncodeOptions o;
    o.gs1 = true;
    return o;
}

EncodeOptions eccOptions(int level) {
    EncodeOptions o;
    o.eccLevel = level;
    return o;
}

INSTANTIATE_TEST_SUITE_P(
    AztecEncoder, InvalidInput,
    ::testing::Values(InvalidCase{"Empty", "", EncodeOptions{}},
                      InvalidCase{"TooLongForCompact", std::string(200, 'z'), sized(AztecSize::Compact, 0)},
                      InvalidCase{"TooLongForOneLayer", std::string(40, 'z'), sized(AztecSize::Compact, 1)},
                      InvalidCase{"TooLongForAnySymbol", std::string(5000, '\xA5'), EncodeOptions{}},
                      InvalidCase{"CompactLayerOutOfRange", "x", sized(AztecSize::Compact, 5)},
                      InvalidCase{"FullLayerOutOfRange", "x", sized(AztecSize::Full, 33)},
                      InvalidCase{"LayersWithoutKind", "x", sized(AztecSize::Auto, 2)},
                      InvalidCase{"MalformedGs1", "[01", gs1Options()},
                      InvalidCase{"EccLevelOutOfRange", "x", eccOptions(5)}),
    [](const ::testing::TestParamInfo<InvalidCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace talavex_test
