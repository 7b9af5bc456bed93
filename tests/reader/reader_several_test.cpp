// Several symbols in one image: each read once, up to the option's limit,
// with its corners where it was drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "reader/reader_support.h"
#include "support/aztec_encoder.h"

namespace {

using namespace reader_test;

struct Placed {
    const char* data;
    double x, y;  // centre in the 640 x 480 frame
    double angle;
};

struct SeveralCase {
    const char* name;
    std::vector<Placed> symbols;
    uint32_t maxSymbols;
    bool lightOnDark;
    double moduleSize = 3;
};
void PrintTo(const SeveralCase& c, std::ostream* os) { *os << c.name; }

const SeveralCase kCases[] = {
    {"TwoSideBySide", {{"LEFT", 160, 240, 0}, {"RIGHT", 480, 240, 0}}, 8, false},
    {"FourInTheCorners",
     {{"NW", 110, 100, 0}, {"NE", 530, 100, 30}, {"SE", 530, 380, 90}, {"SW", 110, 380, 200}},
     8,
     false},
    {"TheLimitStopsTheSearch", {{"A", 110, 100, 0}, {"B", 530, 100, 0}, {"C", 320, 380, 0}}, 2, false},
    {"OneByDefault", {{"ONLY ONE", 160, 240, 0}, {"NOT READ", 480, 240, 0}}, 1, false},
    {"SameBytesInTwoPlaces", {{"TWIN", 160, 240, 0}, {"TWIN", 480, 240, 10}}, 8, false},
    {"LightOnDark", {{"DARK 1", 160, 140, 0}, {"DARK 2", 480, 340, 45}}, 8, true},
    // Modules too small to read but in crops the photo pass enlarges.
    {"TwoReadFromEnlargedCrops", {{"SMALL 1", 160, 140, 20}, {"SMALL 2", 480, 340, 70}}, 8, false, 1.5},
};

class ReaderSeveralSymbols : public ::testing::TestWithParam<SeveralCase> {};

TEST_P(ReaderSeveralSymbols, ReadsEachOnceWhereItWasDrawn) {
    const SeveralCase& c = GetParam();
    auto image = talavex_test::blankImage(640, 480, 255);
    std::vector<talavex_test::AztecSymbol> symbols;
    talavex_test::RenderOptions render;
    render.moduleSize = c.moduleSize;
    for (const Placed& p : c.symbols) {
        symbols.push_back(talavex_test::encodeAztec(p.data));
        render.angleDegrees = p.angle;
        talavex_test::drawSymbol(image, symbols.back(), p.x, p.y, render);
    }
    if (c.lightOnDark) {
        for (auto& p : image.pixels) p = static_cast<uint8_t>(255 - p);
    }
    const Options options(talavex_options_new());
    talavex_options_set_max_symbols(options.get(), c.maxSymbols);
    talavex_options_set_inverted(options.get(), c.lightOnDark ? 1 : 0);
    const Results results = read(grayView(image), options.get());
    const talavex_results* r = results.get();

    ASSERT_EQ(talavex_results_count(r), std::min<size_t>(c.maxSymbols, c.symbols.size()));
    std::set<size_t> matched;
    for (size_t k = 0; k < talavex_results_count(r); ++k) {
        ASSERT_EQ(talavex_symbol_status_of(r, k), TALAVEX_SYMBOL_READ);
        EXPECT_EQ(talavex_symbol_inverted(r, k), c.lightOnDark ? 1 : 0);
        double corners[8];
        ASSERT_EQ(talavex_symbol_corners(r, k, corners), 0);
        // The drawn symbol with these bytes whose top-left corner lies within a module.
        for (size_t i = 0; i < c.symbols.size(); ++i) {
            render.angleDegrees = c.symbols[i].angle;
            const auto p = talavex_test::symbolToImageAt(symbols[i], render, c.symbols[i].x, c.symbols[i].y, 0, 0);
            if (std::string(talavex_symbol_text(r, k)) == c.symbols[i].data &&
                std::hypot(corners[0] - p.x, corners[1] - p.y) < render.moduleSize) {
                EXPECT_TRUE(matched.insert(i).second) << "read twice: " << c.symbols[i].data;
            }
        }
    }
    EXPECT_EQ(matched.size(), talavex_results_count(r));
}

INSTANTIATE_TEST_SUITE_P(Scenes, ReaderSeveralSymbols, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
