// The reader's options choose the passes: where to search, and whether to
// search the inverted image when nothing was read.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "reader/reader_support.h"
#include "support/aztec_encoder.h"
#include "support/photo_scene.h"

namespace {

using namespace reader_test;

const std::string kMessage = "PASSES 42";

// Six nested squares, two pixels apart, around (x, y): deeper rings than a
// compact bull's-eye, yet deep enough to count, so the photo pass tries them first.
void drawDeepRings(talavex_test::GrayImage& image, int x, int y) {
    for (int r = 5; r >= 0; --r)
        talavex_test::photo_detail::fillRect(image, x - 2 * r, y - 2 * r, 4 * r + 2, 4 * r + 2, r % 2 == 0 ? 0 : 255);
}

// A symbol at 3 px per module, light on dark when `inverted`, drawn at
// (x, y) in a 480 x 360 frame, with `decoys` deep rings along the top and the left.
talavex_test::GrayImage frame(double x, double y, bool inverted, int decoys = 0) {
    talavex_test::RenderOptions render;
    render.moduleSize = 3;
    auto image = talavex_test::blankImage(480, 360, 255);
    talavex_test::drawSymbol(image, talavex_test::encodeAztec(kMessage), x, y, render);
    static const int kDecoyAt[][2] = {{60, 60}, {180, 60}, {300, 60}, {420, 60}, {60, 200}, {180, 200}};
    for (int k = 0; k < decoys; ++k) drawDeepRings(image, kDecoyAt[k][0], kDecoyAt[k][1]);
    if (inverted) {
        for (auto& p : image.pixels) p = static_cast<uint8_t>(255 - p);
    }
    return image;
}

struct PassCase {
    const char* name;
    double x, y;
    bool lightOnDark;
    talavex_where where;
    int inverted;
    bool read;
    int decoys = 0;
};
// gtest names the case instead of dumping its bytes (padding included).
void PrintTo(const PassCase& c, std::ostream* os) { *os << c.name; }

class ReaderPasses : public ::testing::TestWithParam<PassCase> {};

TEST_P(ReaderPasses, ReadWhereTheOptionsLook) {
    const PassCase& c = GetParam();
    const auto image = frame(c.x, c.y, c.lightOnDark, c.decoys);
    const Options options(talavex_options_new());
    talavex_options_set_where(options.get(), c.where);
    talavex_options_set_inverted(options.get(), c.inverted);
    const Results results = read(grayView(image), options.get());
    ASSERT_EQ(talavex_results_status(results.get()), TALAVEX_OK);
    const bool read =
        talavex_results_count(results.get()) == 1 && talavex_symbol_status_of(results.get(), 0) == TALAVEX_SYMBOL_READ;
    EXPECT_EQ(read, c.read);
    if (read) {
        EXPECT_STREQ(talavex_symbol_text(results.get(), 0), kMessage.c_str());
        EXPECT_EQ(talavex_symbol_inverted(results.get(), 0), c.lightOnDark ? 1 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, ReaderPasses,
    ::testing::Values(PassCase{"CentredFromTheCentre", 240, 180, false, TALAVEX_WHERE_CENTRE, 0, true},
                      PassCase{"OffCentreNotFromTheCentre", 60, 50, false, TALAVEX_WHERE_CENTRE, 0, false},
                      PassCase{"OffCentreAnywhere", 60, 50, false, TALAVEX_WHERE_ANYWHERE, 0, true},
                      PassCase{"OffCentreAuto", 420, 300, false, TALAVEX_WHERE_AUTO, 0, true},
                      PassCase{"LightOnDarkNotWithoutInverted", 240, 180, true, TALAVEX_WHERE_AUTO, 0, false},
                      PassCase{"LightOnDarkInverted", 240, 180, true, TALAVEX_WHERE_CENTRE, 1, true},
                      PassCase{"LightOnDarkOffCentreInverted", 70, 300, true, TALAVEX_WHERE_AUTO, 1, true},
                      // More deeper rings than the photo pass's five positions.
                      PassCase{"OffCentreBehindSixDeeperRings", 420, 300, false, TALAVEX_WHERE_ANYWHERE, 0, true, 6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReaderBudget, AnExhaustedBudgetStopsBeforeTheNextPass) {
    // Auto with inversion runs up to four passes; a budget of 1 ms allows the
    // first one only, which cannot see this light-on-dark symbol off the centre.
    const auto image = frame(70, 300, true);
    const Options options(talavex_options_new());
    talavex_options_set_inverted(options.get(), 1);
    talavex_options_set_time_budget_ms(options.get(), 1);
    const Results results = read(grayView(image), options.get());
    EXPECT_EQ(talavex_results_status(results.get()), TALAVEX_OK);
    EXPECT_EQ(talavex_results_count(results.get()), 0u);
}

}  // namespace
