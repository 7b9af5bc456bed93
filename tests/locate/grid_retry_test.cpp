// The reader's second looks at a large full-range symbol whose data
// correction failed because a stroke along a reference line led the module
// grid astray: the grid from the other seed pattern, or with the stray nodes
// moved onto the fit of the others, reads it; and the locator's own state is
// as it was, so later reads go as without the retry.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "decode/symbol_data.h"
#include "locate/locate_support.h"

namespace {

using namespace locate_test;
using AztecCore::decodeSymbolDetails;
using Retry = SymbolLocator::GridRetry;

// A stroke along `length` modules of reference line `line` (counted from the
// centre one), from module `first`, `width` modules across away from the centre.
struct StrokedSymbol {
    const char* name;
    int layers, eccLevel, line;
    bool horizontal;
    int first, length, width;
    bool dark;
    double moduleSize, angleDegrees;
    Retry retry;  // the retry that reads it
};
void PrintTo(const StrokedSymbol& c, std::ostream* os) { *os << c.name; }

const StrokedSymbol kStrokes[] = {
    {"DarkRowOtherSeeds", 20, 2, -1, true, 16, 30, 1, true, 4.00, 209.0, Retry::OtherSeeds},
    {"DarkColumnOtherSeeds", 15, 1, 1, false, 4, 37, 1, true, 3.75, 236.0, Retry::OtherSeeds},
    {"LightRowSmoothedNodes", 16, 3, -1, true, 15, 34, 2, false, 4.00, 211.0, Retry::SmoothedNodes},
    {"LightColumnSmoothedNodes", 14, 2, -1, false, 14, 28, 1, false, 4.25, 22.0, Retry::SmoothedNodes},
};

std::string textOf(int layers) {
    std::string text;
    for (int i = 0; text.size() < static_cast<std::size_t>(10 * layers); ++i)
        text += "GRID " + std::to_string(i * 7919 % 1000) + " ";
    return text;
}

talavex_test::GrayImage strokedImage(const StrokedSymbol& c, const std::string& text) {
    talavex_test::EncodeOptions encode{talavex_test::AztecSize::Full, c.layers, c.eccLevel};
    talavex_test::AztecSymbol symbol = talavex_test::encodeAztec(text, encode);
    const int centre = symbol.size / 2;
    const int side = c.line > 0 ? 1 : -1;
    for (int a = c.first; a < c.first + c.length; ++a)
        for (int w = 0; w < c.width; ++w) {
            const int across = centre + 16 * c.line + side * w;
            const int x = c.horizontal ? a : across;
            const int y = c.horizontal ? across : a;
            symbol.modules[static_cast<std::size_t>(y) * symbol.size + x] = c.dark ? 1 : 0;
        }
    talavex_test::RenderOptions render{c.moduleSize, 4, c.angleDegrees};
    render.noiseSigma = 2;
    return talavex_test::renderSymbol(symbol, render);
}

class GridRetry : public ::testing::TestWithParam<StrokedSymbol> {};

TEST_P(GridRetry, ReadsTheSymbolWhoseFirstGridFailed) {
    const StrokedSymbol& c = GetParam();
    const std::string text = textOf(c.layers);
    SymbolLocator locator;
    locator.source = toGrayBuf(strokedImage(c, text));
    auto cands = locator.findCandidates();
    SymbolCandidate& cand = *cands.at(0);
    ASSERT_TRUE(locator.locate(cand));
    ASSERT_FALSE(decodeSymbolDetails(cand, locator.sampleModules(cand), false)) << "the stroke does no harm";
    const auto readCount = locator.readCount();
    const auto map = locator.currentMap();

    auto modules = locator.resampleModules(cand, c.retry);
    ASSERT_TRUE(modules);
    const auto data = decodeSymbolDetails(cand, *modules, false);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->text.bytes, bytesOf(text));
    EXPECT_EQ(locator.readCount(), readCount);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(locator.currentMap().c[k], map.c[k]);
}

INSTANTIATE_TEST_SUITE_P(StrokedReferenceLines, GridRetry, ::testing::ValuesIn(kStrokes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
