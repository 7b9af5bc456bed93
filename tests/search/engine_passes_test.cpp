// Which passes of the reader's plan run on what an image shows: the cheap
// ones in order, the rest only where earlier passes saw a reason for them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "e2e/hostile_images.h"
#include "search/engine.h"
#include "support/aztec_encoder.h"
#include "support/photo_scene.h"
#include "support/render.h"

namespace AztecCore {
namespace {

using talavex_test::GrayImage;

GrayImage symbolAt(double offsetX, bool lightOnDark, int width = 640, int height = 480) {
    talavex_test::RenderOptions render;
    render.moduleSize = 4;
    render.width = width;
    render.height = height;
    render.offsetX = offsetX;
    if (lightOnDark) {
        render.black = 240;
        render.white = 15;
    }
    return talavex_test::renderSymbol(talavex_test::encodeAztec("WHICH PASSES"), render);
}

// A blurred light-on-dark symbol, turned, beside the middle of a frame of
// 512 pixels a side or more, where the passes leave each polarity for the
// other and come back to it: what they set aside is made again for them.
GrayImage lightOnDarkBeside() {
    talavex_test::RenderOptions render;
    render.moduleSize = 4;
    render.width = 520;
    render.height = 530;
    render.offsetX = 154;
    render.offsetY = 20;
    render.angleDegrees = 51;
    render.blurSigma = 1.5;
    render.seed = 87;
    render.black = 230;
    render.white = 20;
    return talavex_test::renderSymbol(talavex_test::encodeAztec(std::string(200, 'x') + "a long message for layers"),
                                      render);
}

// A symbol whose mode message is garbled beyond repair: bull's-eye and
// orientation marks intact, every third module of the ring between them
// flipped.
GrayImage garbledModeMessage(double offsetX) {
    talavex_test::AztecSymbol symbol = talavex_test::encodeAztec("GARBLED MODE MESSAGE");
    const int c = symbol.size / 2;
    int k = 0;
    for (int dy = -5; dy <= 5; ++dy)
        for (int dx = -5; dx <= 5; ++dx)
            if (std::max(std::abs(dx), std::abs(dy)) == 5 && std::min(std::abs(dx), std::abs(dy)) <= 3 && k++ % 3 == 0)
                symbol.modules[static_cast<std::size_t>(c + dy) * symbol.size + (c + dx)] ^= 1;
    talavex_test::RenderOptions render;
    render.moduleSize = 5;
    render.width = 640;
    render.height = 480;
    render.offsetX = offsetX;
    return talavex_test::renderSymbol(symbol, render);
}

struct RunCase {
    const char* name;
    GrayImage (*image)();
    bool read;
    std::vector<std::string> ran;  // pass names, "/inverted" for light on dark
};
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class ReaderPlanRuns : public ::testing::TestWithParam<RunCase> {};

TEST_P(ReaderPlanRuns, OnlyThePassesWhatTheImageShowsCallsFor) {
    const RunCase& c = GetParam();
    const GrayImage image = c.image();
    ReadOptions options;
    options.inverted = true;
    const SearchResult result =
        runPlan(readerPlan(options), Image::GrayBuf(image.pixels.data(), image.width, image.height), Deadline::none());
    EXPECT_EQ(!result.reads.empty(), c.read);
    std::vector<std::string> ran;
    for (const PassRecord& r : result.ran)
        ran.push_back(std::string(passName(r.pass.kind)) + (r.pass.inverted ? "/inverted" : ""));
    EXPECT_EQ(ran, c.ran);
}

INSTANTIATE_TEST_SUITE_P(
    Images, ReaderPlanRuns,
    ::testing::Values(
        RunCase{"SymbolInTheMiddle", [] { return symbolAt(0, false); }, true, {"centre"}},
        // The centre search reads nothing; the finder scan finds it.
        RunCase{"SymbolAside", [] { return symbolAt(200, false); }, true, {"centre", "rune-centre", "positions"}},
        // Light on dark: the finder scan saw a light finder, so the inverted passes run.
        RunCase{"LightOnDarkAside",
                [] { return symbolAt(200, true); },
                true,
                {"centre", "rune-centre", "positions", "rune-positions", "centre/inverted", "rune-centre/inverted",
                 "positions/inverted"}},
        // The light finder lies beyond the centre search's reach: only the
        // search at the finders runs light on dark.
        RunCase{"LightOnDarkFarFromTheMiddle",
                [] { return symbolAt(450, true, 1280, 720); },
                true,
                {"centre", "rune-centre", "positions", "rune-positions", "positions/inverted"}},
        // Square rings tiled: light finders among them, none a bull's-eye,
        // so the inverse gets no depth map.
        RunCase{
            "RingsTile",
            [] { return talavex_e2e::tiledRings(640, 480, 64, 5); },
            false,
            {"centre", "rune-centre", "positions", "rune-positions", "centre/inverted", "rune-centre/inverted",
             "positions/inverted", "rune-positions/inverted", "tight-frame/inverted", "depth-positions", "enlarged"}},
        // No finder of either polarity: no inverted pass and no tight frame
        // of an image this large; the depth map finds nothing to work on,
        // so nothing is enlarged.
        RunCase{"Noise",
                [] { return talavex_e2e::noise(640, 480, 3); },
                false,
                {"centre", "rune-centre", "positions", "rune-positions", "depth-positions"}},
        // A bull's-eye of wide modules whose mode message fails: enlarged,
        // it would fail the same way.
        RunCase{"GarbledModeMessageAside",
                [] { return garbledModeMessage(200); },
                false,
                {"centre", "rune-centre", "positions", "rune-positions", "depth-positions"}},
        // In the middle, but inside a margin that holds no edge: no tight frame.
        RunCase{"GarbledModeMessageInTheMiddle",
                [] { return garbledModeMessage(0); },
                false,
                {"centre", "rune-centre", "positions", "rune-positions", "depth-positions"}},
        // Too flat to hold a symbol: nothing runs.
        RunCase{"Flat", [] { return talavex_test::blankImage(640, 480, 90); }, false, {}},
        // Only its last row tells it from a flat image: the passes run.
        RunCase{"FlatButTheLastRow",
                [] {
                    GrayImage image = talavex_test::blankImage(640, 480, 90);
                    std::fill(image.pixels.end() - 640, image.pixels.end(), 60);
                    return image;
                },
                false,
                {"centre", "rune-centre", "positions", "rune-positions", "depth-positions"}},
        // Read in an enlarged crop of the inverse, made again twice since
        // the passes at the finders; what the image as it is showed (no
        // mode message at modules this wide) is not enlarged.
        RunCase{"LightOnDarkEnlarged",
                lightOnDarkBeside,
                true,
                {"centre", "rune-centre", "positions", "rune-positions", "centre/inverted", "rune-centre/inverted",
                 "positions/inverted", "rune-positions/inverted", "depth-positions", "depth-positions/inverted",
                 "enlarged/inverted"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace AztecCore
