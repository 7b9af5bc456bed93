// Symbols cropped to their own edge (no light margin at all), from 1 to 4
// pixels per module, dark on light and light on dark, in images as small as
// the symbol: read by the pass that frames the image in a light border.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>

#include "reader/reader_support.h"
#include "support/aztec_encoder.h"

namespace {

using namespace reader_test;
using talavex_test::AztecSize;

struct TightSymbol {
    const char* name;
    AztecSize size;
    int layers;  // 0: an Aztec Rune of value 137
};
void PrintTo(const TightSymbol& c, std::ostream* os) { *os << c.name; }

const TightSymbol kSymbols[] = {
    {"Compact1", AztecSize::Compact, 1}, {"Compact2", AztecSize::Compact, 2}, {"Compact4", AztecSize::Compact, 4},
    {"Full1", AztecSize::Full, 1},       {"Full3", AztecSize::Full, 3},       {"Full6", AztecSize::Full, 6},
    {"Rune", AztecSize::Compact, 0},
};

struct Look {
    const char* name;
    bool lightOnDark;
    talavex_where where;
};
void PrintTo(const Look& c, std::ostream* os) { *os << c.name; }

const Look kLooks[] = {
    {"DarkOnLight", false, TALAVEX_WHERE_AUTO},
    {"LightOnDark", true, TALAVEX_WHERE_AUTO},
    {"SearchedAnywhere", false, TALAVEX_WHERE_ANYWHERE},
};

using NoMarginCase = std::tuple<TightSymbol, int, Look>;  // symbol, pixels per module, look

class ReaderNoMargin : public ::testing::TestWithParam<NoMarginCase> {};

TEST_P(ReaderNoMargin, ReadsTheSymbolCroppedToItsEdge) {
    const auto& [symbolCase, pixels, look] = GetParam();
    const std::string data = "TIGHT " + std::to_string(symbolCase.layers);
    talavex_test::EncodeOptions encode;
    encode.size = symbolCase.size;
    encode.layers = symbolCase.layers;
    const auto symbol =
        symbolCase.layers == 0 ? talavex_test::encodeAztecRune(137) : talavex_test::encodeAztec(data, encode);
    talavex_test::RenderOptions render;
    render.moduleSize = pixels;
    render.quietZone = 0;
    render.black = 30;
    render.white = 220;
    render.noiseSigma = 3;
    auto image = talavex_test::renderSymbol(symbol, render);
    if (look.lightOnDark) {
        for (auto& p : image.pixels) p = static_cast<uint8_t>(255 - p);
    }
    const Options options(talavex_options_new());
    talavex_options_set_inverted(options.get(), 1);
    talavex_options_set_where(options.get(), look.where);

    const Results results = read(grayView(image), options.get());
    const talavex_results* r = results.get();
    ASSERT_EQ(talavex_results_count(r), 1u);
    ASSERT_EQ(talavex_symbol_status_of(r, 0), TALAVEX_SYMBOL_READ);
    EXPECT_STREQ(talavex_symbol_text(r, 0), symbolCase.layers == 0 ? "137" : data.c_str());
    EXPECT_EQ(talavex_symbol_inverted(r, 0), look.lightOnDark ? 1 : 0);
    expectPlacement(r, symbol, render);
}

INSTANTIATE_TEST_SUITE_P(ZintSymbols, ReaderNoMargin,
                         ::testing::Combine(::testing::ValuesIn(kSymbols), ::testing::Values(1, 2, 3, 4),
                                            ::testing::ValuesIn(kLooks)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "At" +
                                    std::to_string(std::get<1>(info.param)) + "Px" + std::get<2>(info.param).name;
                         });

}  // namespace
