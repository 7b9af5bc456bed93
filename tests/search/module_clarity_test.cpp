// Which located symbols whose data failed an enlarged crop could still help:
// only those whose modules are unclear where the grid samples them, or that
// lie at the image's edge.
#include "search/module_clarity.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "locate/symbol_locator.h"
#include "support/aztec_encoder.h"
#include "support/render.h"

namespace AztecCore {
namespace {

struct ClarityCase {
    const char* name;
    talavex_test::RenderOptions render;
    bool clear;
};
void PrintTo(const ClarityCase& c, std::ostream* os) { *os << c.name; }

talavex_test::RenderOptions options(double module, double blur, double noise, int margin) {
    talavex_test::RenderOptions o;
    o.moduleSize = module;
    o.blurSigma = blur;
    o.noiseSigma = noise;
    if (margin >= 0) o.quietZone = margin;
    return o;
}

class SampledClearly : public ::testing::TestWithParam<ClarityCase> {};

TEST_P(SampledClearly, OnlySharpSymbolsWellInsideTheImage) {
    const ClarityCase& c = GetParam();
    const talavex_test::GrayImage image =
        talavex_test::renderSymbol(talavex_test::encodeAztec("CLEAR OR NOT 0123456789"), c.render);
    SymbolLocator locator;
    locator.source = std::make_shared<Image::GrayBuf>(image.pixels.data(), image.width, image.height);
    auto candidates = locator.findCandidates();
    SymbolCandidate& cand = *candidates.front();
    ASSERT_TRUE(locator.locate(cand));
    locator.sampleModules(cand);
    EXPECT_EQ(sampledClearly(*locator.source, cand), c.clear);
}

INSTANTIATE_TEST_SUITE_P(Symbols, SampledClearly,
                         ::testing::Values(ClarityCase{"Sharp", options(4, 0, 0, -1), true},
                                           ClarityCase{"SharpWithSlightNoise", options(5, 0.4, 4, -1), true},
                                           ClarityCase{"Blurred", options(3, 1.3, 0, -1), false},
                                           ClarityCase{"ModulesOfAPixelAndAHalf", options(1.5, 0, 0, -1), false},
                                           ClarityCase{"NoMarginToTheEdge", options(4, 0, 0, 0), false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace AztecCore
