// The finder scan on rendered symbols and on images without one: where it
// puts the finder, how large it takes the modules, which way round.
#include "photo/finder_scan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <random>
#include <string>

#include "e2e/hostile_images.h"
#include "support/aztec_encoder.h"
#include "support/photo_scene.h"
#include "support/render.h"

namespace {

using talavex_test::GrayImage;

std::vector<AztecCore::FinderCandidate> scan(const GrayImage& image) {
    const AztecCore::Image::GrayBuf gray(image.pixels.data(), image.width, image.height);
    const AztecCore::Deadline& none = AztecCore::Deadline::none();
    return AztecCore::scanFinders(gray, AztecCore::binariseLocally(gray, none), 24, none);
}

// Uniform grain of +-amplitude levels on every pixel.
void addGrain(GrayImage& image, int amplitude, std::uint32_t seed) {
    std::mt19937 rng(seed);
    for (auto& p : image.pixels)
        p = static_cast<std::uint8_t>(
            std::clamp(p + static_cast<int>(rng() % (2 * amplitude + 1)) - amplitude, 0, 255));
}

struct FinderCase {
    const char* name;
    talavex_test::AztecSize size;
    double module, angle, blur;
    int grain;
    bool lightOnDark;
};
void PrintTo(const FinderCase& c, std::ostream* os) { *os << c.name; }

class FinderScanFinds : public ::testing::TestWithParam<FinderCase> {};

TEST_P(FinderScanFinds, TheFinderOfASymbolAwayFromTheCentre) {
    const FinderCase& c = GetParam();
    talavex_test::RenderOptions render;
    render.moduleSize = c.module;
    render.angleDegrees = c.angle;
    render.blurSigma = c.blur;
    render.width = 640;
    render.height = 480;
    render.offsetX = 150;
    render.offsetY = -70;
    if (c.lightOnDark) {
        render.black = 235;
        render.white = 20;
    }
    talavex_test::EncodeOptions encode;
    encode.size = c.size;
    GrayImage image = talavex_test::renderSymbol(talavex_test::encodeAztec("FINDER SCAN 0123456789", encode), render);
    if (c.grain > 0) addGrain(image, c.grain, 7);
    const auto found = scan(image);
    ASSERT_FALSE(found.empty());
    // The symbol's centre module: (470, 170) in continuous coordinates.
    const AztecCore::FinderCandidate& f = found.front();
    EXPECT_LT(std::hypot(f.centre.x + 0.5 - 470.0, f.centre.y + 0.5 - 170.0), std::max(1.5, c.module));
    EXPECT_EQ(f.lightCentre, c.lightOnDark);
    EXPECT_EQ(f.rings, c.size == talavex_test::AztecSize::Full ? 6u : 4u);
    // Along a row of a turned finder the runs are wider by up to sqrt(2).
    EXPECT_GT(f.moduleX, 0.75 * c.module);
    EXPECT_LT(f.moduleX, 1.6 * c.module);
}

using talavex_test::AztecSize;
INSTANTIATE_TEST_SUITE_P(Symbols, FinderScanFinds,
                         ::testing::Values(FinderCase{"Upright", AztecSize::Compact, 4, 0, 0, 0, false},
                                           FinderCase{"FullRange", AztecSize::Full, 4, 0, 0, 0, false},
                                           FinderCase{"TurnedSmall", AztecSize::Compact, 2, 30, 0, 0, false},
                                           FinderCase{"ModuleAndAHalf", AztecSize::Compact, 1.5, 33, 0.4, 0, false},
                                           FinderCase{"Diagonal", AztecSize::Compact, 3, 45, 1.0, 0, false},
                                           FinderCase{"UniformGrain", AztecSize::Compact, 4, 20, 0, 30, false},
                                           FinderCase{"BlurredInGrain", AztecSize::Compact, 3, 45, 1.0, 40, false},
                                           FinderCase{"LargeBlurred", AztecSize::Compact, 6, 15, 1.5, 0, false},
                                           FinderCase{"LightOnDark", AztecSize::Compact, 3, 10, 0, 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct EmptyCase {
    const char* name;
    GrayImage (*make)();
};
void PrintTo(const EmptyCase& c, std::ostream* os) { *os << c.name; }

class FinderScanWithout : public ::testing::TestWithParam<EmptyCase> {};

TEST_P(FinderScanWithout, FindsNoFinderWhereThereIsNone) { EXPECT_TRUE(scan(GetParam().make()).empty()); }

INSTANTIATE_TEST_SUITE_P(Images, FinderScanWithout,
                         ::testing::Values(EmptyCase{"Noise", [] { return talavex_e2e::noise(1280, 720, 3); }},
                                           EmptyCase{"Grain",
                                                     [] {
                                                         GrayImage image = talavex_test::blankImage(640, 480, 200);
                                                         addGrain(image, 40, 5);
                                                         return image;
                                                     }},
                                           EmptyCase{"Flat", [] { return talavex_test::blankImage(640, 480, 128); }},
                                           EmptyCase{"Print",
                                                     [] { return talavex_test::clutteredPhoto(1920, 1080, 5); }}),
                         [](const auto& info) { return std::string(info.param.name); });

// A gradient of `levels` levels across (or down) the image, with no edge.
GrayImage gradient(std::int32_t width, std::int32_t height, bool across, double levels) {
    GrayImage image = talavex_test::blankImage(width, height, 0);
    const double length = across ? width : height;
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>(std::lround((across ? x : y) * levels / length));
    return image;
}

class SmoothGradient : public ::testing::TestWithParam<EmptyCase> {};

// With no edge near, a block is dark only where its level lies clearly low
// among the levels around it; thresholds set at each block's own middle
// would cut a gradient into stripes that the finder scan offers as runs.
// Near the image's edge the levels around a block lie on one side of it.
TEST_P(SmoothGradient, BinarisesWithNoDarkPixelAwayFromTheEdge) {
    const GrayImage image = GetParam().make();
    const AztecCore::Image::GrayBuf gray(image.pixels.data(), image.width, image.height);
    const AztecCore::LocalBinary binary = AztecCore::binariseLocally(gray, AztecCore::Deadline::none());
    constexpr std::int32_t kEdge = 64;
    std::int32_t dark = 0;
    for (std::int32_t y = kEdge; y < image.height - kEdge; ++y)
        for (std::int32_t x = kEdge; x < image.width - kEdge; ++x) dark += binary.rows.at(x, y) ? 1 : 0;
    EXPECT_EQ(dark, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Images, SmoothGradient,
    ::testing::Values(EmptyCase{"AcrossAFullHdFrame", [] { return gradient(1920, 1080, true, 255); }},
                      EmptyCase{"DownAFullHdFrame", [] { return gradient(1920, 1080, false, 255); }},
                      EmptyCase{"SteeperAcrossAVgaFrame", [] { return gradient(640, 480, true, 255); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
