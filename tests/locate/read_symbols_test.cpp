// Real symbols, encoded by libzint and rendered the way a camera sees them,
// located and read through SymbolLocator exactly as the single-frame driver
// does: shared source, findCandidates, locate, then the modules sampled and decoded.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "decode/layer_table.h"
#include "locate_support.h"

namespace locate_test {
namespace {

using talavex_test::AztecSize;
using talavex_test::AztecSymbol;
using talavex_test::EncodeOptions;
using talavex_test::RenderOptions;

struct Shape {
    AztecSize size;
    int layers;
};

std::string shapeName(const Shape& s) {
    return std::string(s.size == AztecSize::Compact ? "Compact" : "Full") + std::to_string(s.layers);
}

// Text filling about a third of the shape's capacity, and its symbol.
struct Encoded {
    std::string text;
    AztecSymbol symbol;
};

Encoded encodeShape(const Shape& shape, std::uint32_t seed) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,:;!?";
    const int bits = static_cast<int>(
        AztecCore::layerBitCount(shape.size == AztecSize::Compact, static_cast<std::uint32_t>(shape.layers)));
    std::mt19937 rng(seed);
    EncodeOptions options;
    options.size = shape.size;
    options.layers = shape.layers;
    for (std::size_t length = std::max(1, bits / 24);; length = length * 3 / 4) {
        std::string text;
        for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i)
            text += alphabet[rng() % (sizeof alphabet - 1)];
        try {
            return {text, talavex_test::encodeAztec(text, options)};
        } catch (const std::runtime_error&) {
            if (length <= 1) throw;
        }
    }
}

// A frame of at least 320 x 240 with the symbol near its centre.
RenderOptions frameFor(const AztecSymbol& symbol, double module, std::uint32_t seed) {
    RenderOptions o;
    o.moduleSize = module;
    const int side = static_cast<int>((symbol.size + 16) * module * 1.5);
    o.width = std::max(320, side);
    o.height = std::max(240, side);
    o.offsetX = static_cast<double>(seed % 7) - 3.0;
    o.offsetY = static_cast<double>(seed / 7 % 7) - 3.0;
    o.seed = seed;
    return o;
}

void expectReads(const Encoded& e, const RenderOptions& options) {
    const ReadOutcome outcome = readThroughLocator(talavex_test::renderSymbol(e.symbol, options));
    std::ostringstream what;
    what << "size " << e.symbol.size << ", module " << options.moduleSize << ", angle " << options.angleDegrees
         << ", blur " << options.blurSigma << ", noise " << options.noiseSigma << ", levels " << options.black << ".."
         << options.white << ", tilt " << options.tiltX << ", mirror " << options.mirror;
    ASSERT_TRUE(outcome.located) << what.str();
    ASSERT_TRUE(outcome.bytes.has_value()) << what.str();
    EXPECT_EQ(*outcome.bytes, bytesOf(e.text)) << what.str();
}

std::vector<Shape> everyShape() {
    std::vector<Shape> shapes;
    for (int l = 1; l <= 4; ++l) shapes.push_back({AztecSize::Compact, l});
    for (int l = 1; l <= 32; ++l) shapes.push_back({AztecSize::Full, l});
    return shapes;
}

// ---- every layer count, small modules ----

class EveryLayerCount : public ::testing::TestWithParam<Shape> {};

TEST_P(EveryLayerCount, AxisAlignedAndTurnedAtThreePixels) {
    const Shape shape = GetParam();
    const auto layers = static_cast<std::uint32_t>(shape.layers);
    {
        SCOPED_TRACE("axis-aligned");
        const Encoded e = encodeShape(shape, 100u + layers);
        expectReads(e, frameFor(e.symbol, 3.0, layers));
    }
    {
        SCOPED_TRACE("turned");
        const Encoded e = encodeShape(shape, 200u + layers);
        RenderOptions o = frameFor(e.symbol, 3.0, 7u * layers);
        // Angles spread over the circle, none a multiple of 90 degrees.
        o.angleDegrees = 13.0 + 47.3 * (shape.layers + (shape.size == AztecSize::Compact ? 40 : 0));
        expectReads(e, o);
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, EveryLayerCount, ::testing::ValuesIn(everyShape()),
                         [](const auto& info) { return shapeName(info.param); });

// ---- distortion classes ----

struct Distortion {
    const char* name;
    double module;
    double angle;
    double blur;
    double noise;
    int black;
    int white;
    double tilt;
    bool mirror;
};

class Distorted : public ::testing::TestWithParam<Distortion> {};

TEST_P(Distorted, CompactAndFullRangeSymbolsRead) {
    const Distortion& d = GetParam();
    const Shape shapes[] = {{AztecSize::Compact, 1}, {AztecSize::Compact, 4}, {AztecSize::Full, 1},
                            {AztecSize::Full, 4},    {AztecSize::Full, 5},    {AztecSize::Full, 12},
                            {AztecSize::Full, 23}};
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shapeName(shape));
        const auto seed = static_cast<std::uint32_t>(shape.layers * 11 + (shape.size == AztecSize::Compact ? 3 : 5));
        const Encoded e = encodeShape(shape, 300u + seed);
        RenderOptions o = frameFor(e.symbol, d.module, seed);
        o.angleDegrees = d.angle + 17.0 * shape.layers;
        o.blurSigma = d.blur;
        o.noiseSigma = d.noise;
        o.black = d.black;
        o.white = d.white;
        o.tiltX = d.tilt;
        o.tiltY = -0.5 * d.tilt;
        o.mirror = d.mirror;
        expectReads(e, o);
    }
}

INSTANTIATE_TEST_SUITE_P(Classes, Distorted,
                         ::testing::Values(Distortion{"Mirrored", 3.0, 20.0, 0.0, 0.0, 0, 255, 0.0, true},
                                           Distortion{"Perspective", 4.0, 35.0, 0.0, 0.0, 0, 255, 0.12, false},
                                           Distortion{"Blurred", 4.0, 50.0, 1.0, 0.0, 0, 255, 0.0, false},
                                           Distortion{"Noisy", 3.0, 65.0, 0.0, 16.0, 0, 255, 0.0, false},
                                           Distortion{"LowContrast", 3.0, 80.0, 0.0, 0.0, 90, 150, 0.0, false},
                                           Distortion{"Combined", 4.0, 95.0, 1.0, 6.0, 60, 190, 0.08, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- read rate where the reader is at its limits ----

// Three-pixel modules with every distortion at once (blur, noise, reduced
// contrast, perspective, mirror, any angle): a few symbols in a hundred are
// expected to fail here, mostly compact ones whose outer layers lie far from
// the finder that fixes their grid. The floor guards against regressions.
TEST(ReadRate, SmallModulesWithEveryDistortion) {
    const Shape shapes[] = {{AztecSize::Compact, 1}, {AztecSize::Compact, 2}, {AztecSize::Compact, 3},
                            {AztecSize::Compact, 4}, {AztecSize::Full, 1},    {AztecSize::Full, 2},
                            {AztecSize::Full, 3},    {AztecSize::Full, 4},    {AztecSize::Full, 6},
                            {AztecSize::Full, 8},    {AztecSize::Full, 10},   {AztecSize::Full, 14}};
    int attempts = 0;
    int reads = 0;
    for (std::uint32_t round = 0; round < 2; ++round) {
        for (const Shape& shape : shapes) {
            const std::uint32_t seed = 1000u + 37u * static_cast<std::uint32_t>(attempts);
            const Encoded e = encodeShape(shape, seed);
            RenderOptions o = frameFor(e.symbol, 3.0, seed);
            o.angleDegrees = (seed * 7919u) % 36000u / 100.0;
            o.blurSigma = 1.0;
            o.noiseSigma = 6.0;
            o.black = 60;
            o.white = 190;
            o.tiltX = 0.08;
            o.tiltY = -0.04;
            o.mirror = round == 1;
            const ReadOutcome outcome = readThroughLocator(talavex_test::renderSymbol(e.symbol, o));
            ++attempts;
            if (outcome.bytes && *outcome.bytes == bytesOf(e.text)) ++reads;
            // Whatever is read must be the encoded data: a wrong text is never acceptable.
            if (outcome.bytes) {
                EXPECT_EQ(*outcome.bytes, bytesOf(e.text)) << shapeName(shape) << " seed " << seed;
            }
        }
    }
    RecordProperty("reads", reads);
    EXPECT_GE(reads, 20) << reads << " of " << attempts << " read";
}

}  // namespace
}  // namespace locate_test
