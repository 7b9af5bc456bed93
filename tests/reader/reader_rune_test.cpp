// Aztec Runes: read only after the ordinary passes read nothing, near the
// centre or from the photo pass's candidates, reported as kind rune with the
// value as three decimal digits, never from an ordinary ring.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "reader/reader_support.h"
#include "support/aztec_encoder.h"

namespace {

using namespace reader_test;

struct RuneCase {
    const char* name;
    int value;
    double angle;
    double moduleSize;
    bool mirror;
    double offsetX = 0, offsetY = 0;  // non-zero: in a 640 x 480 frame, this far from its centre
};
void PrintTo(const RuneCase& c, std::ostream* os) { *os << c.name; }

const RuneCase kRunes[] = {
    {"Zero", 0, 0, 4, false},
    {"Max", 255, 0, 4, false},
    {"OneTurnedQuarter", 1, 90, 3, false},
    {"SevenUpsideDown", 7, 180, 5, false},
    {"HalfTurnedThreeQuarters", 128, 270, 2, false},
    {"MirroredValue", 77, 0, 4, true},
    {"MirroredAndTurned", 200, 90, 6, true},
    {"SlightlyTurned", 42, 12, 6, false},
    {"SmallModules", 170, 0, 2, false},
    {"OffCentreTopLeft", 99, 0, 4, false, -230, -160},
    {"OffCentreTurned", 3, 30, 5, false, 200, 150},
};

class ReaderRunes : public ::testing::TestWithParam<RuneCase> {};

TEST_P(ReaderRunes, ReadAsTheirValueInThreeDigits) {
    const RuneCase& c = GetParam();
    const auto symbol = talavex_test::encodeAztecRune(c.value);
    talavex_test::RenderOptions render;
    render.moduleSize = c.moduleSize;
    render.angleDegrees = c.angle;
    render.mirror = c.mirror;
    if (c.offsetX != 0 || c.offsetY != 0) {
        render.width = 640;
        render.height = 480;
        render.offsetX = c.offsetX;
        render.offsetY = c.offsetY;
    }
    const auto image = talavex_test::renderSymbol(symbol, render);

    const Results results = read(grayView(image));
    const talavex_results* r = results.get();
    ASSERT_EQ(talavex_results_count(r), 1u);
    ASSERT_EQ(talavex_symbol_status_of(r, 0), TALAVEX_SYMBOL_READ);
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03d", c.value);
    size_t length = 0;
    const uint8_t* bytes = talavex_symbol_bytes(r, 0, &length);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), length), digits);
    EXPECT_EQ(talavex_symbol_kind(r, 0), TALAVEX_RUNE);
    EXPECT_EQ(talavex_symbol_layers(r, 0), 0);
    EXPECT_STREQ(talavex_symbol_identifier(r, 0), "]zC");
    expectPlacement(r, symbol, render);
}

INSTANTIATE_TEST_SUITE_P(ZintRunes, ReaderRunes, ::testing::ValuesIn(kRunes),
                         [](const auto& info) { return std::string(info.param.name); });

// An ordinary compact symbol whose data layer is wrecked: its mode ring reads,
// so the rune pass must leave it a located, unreadable compact symbol.
TEST(ReaderRunes, AnUnreadableCompactSymbolIsNotTakenForARune) {
    talavex_test::EncodeOptions encode;
    encode.size = talavex_test::AztecSize::Compact;
    encode.layers = 1;
    for (const char* data : {"7", "255"}) {
        auto symbol = talavex_test::encodeAztec(data, encode);
        // Invert the layer beyond the mode ring (the outermost two rings).
        for (int y = 0; y < symbol.size; ++y)
            for (int x = 0; x < symbol.size; ++x)
                if (std::max(std::abs(x - symbol.size / 2), std::abs(y - symbol.size / 2)) >= 6)
                    symbol.modules[static_cast<std::size_t>(y) * symbol.size + x] ^= 1U;
        const auto image = talavex_test::renderSymbol(symbol);
        const Results results = read(grayView(image));
        const talavex_results* r = results.get();
        ASSERT_EQ(talavex_results_count(r), 1u) << data;
        EXPECT_EQ(talavex_symbol_status_of(r, 0), TALAVEX_SYMBOL_UNREADABLE) << data;
        EXPECT_EQ(talavex_symbol_kind(r, 0), TALAVEX_COMPACT) << data;
    }
}

}  // namespace

// Blurred at one pixel per module, a full-range finder's centre rings can
// carry a ring that corrects to a rune value; the rings around it are no
// rune's, so nothing is read as one.
TEST(ReaderRunes, ABlurredFullRangeFinderIsNotTakenForARune) {
    talavex_test::EncodeOptions encode;
    encode.size = talavex_test::AztecSize::Full;
    encode.layers = 1;
    talavex_test::RenderOptions render;
    render.moduleSize = 1;
    render.quietZone = 0;
    render.blurSigma = 0.8;
    render.noiseSigma = 3;
    render.black = 30;
    render.white = 220;
    const auto image = talavex_test::renderSymbol(talavex_test::encodeAztec("TIGHT 1", encode), render);
    const Results results = read(grayView(image));
    for (size_t k = 0; k < talavex_results_count(results.get()); ++k) {
        EXPECT_NE(talavex_symbol_kind(results.get(), k), TALAVEX_RUNE);
    }
}
