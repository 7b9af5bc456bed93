// Setting the inverse aside: the passes on it read the same image afterwards,
// made again or kept. The depth map's positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "search/search_image.h"
#include "support/render.h"

namespace AztecCore {
namespace {

// The inverse's rows are packed.
std::vector<std::uint8_t> pixelsOf(const Image::GrayBuf& image) {
    return {image.row(0), image.row(0) + static_cast<std::size_t>(image.width()) * image.height()};
}

struct SetAsideCase {
    const char* name;
    std::int32_t width, height;
    bool blankFirst;  // a symbol blanked out of the inverse first
    bool madeAgain;   // the inverse is given back
};
void PrintTo(const SetAsideCase& c, std::ostream* os) { *os << c.name; }

class SetAside : public ::testing::TestWithParam<SetAsideCase> {};

TEST_P(SetAside, TheInversePassesReadTheSameImageAfterIt) {
    const SetAsideCase& c = GetParam();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height));
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 37 % 251);
    SearchImage image(Image::GrayBuf(pixels.data(), c.width, c.height), Deadline::none());
    const Aztec::Math::PointD corners[4] = {{100, 100}, {200, 100}, {200, 200}, {100, 200}};
    if (c.blankFirst) image.blank(true, corners, 2.0);
    const auto before = image.gray(true);
    const std::vector<std::uint8_t> expected = pixelsOf(*before);
    image.setAside(true);
    const auto after = image.gray(true);
    EXPECT_EQ(after != before, c.madeAgain);
    EXPECT_EQ(pixelsOf(*after), expected);
    EXPECT_EQ(image.locator(true).source, after);
}

INSTANTIATE_TEST_SUITE_P(Images, SetAside,
                         ::testing::Values(SetAsideCase{"LargeInverseIsMadeAgain", 700, 600, false, true},
                                           // Too small to be worth it.
                                           SetAsideCase{"SmallImageKeepsIt", 700, 400, false, false},
                                           // The only copy of the blanking.
                                           SetAsideCase{"BlankedInverseIsKept", 700, 600, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A faint radial gradient with a little noise: cut at each block's own level
// it nests into spots as deep as a finder's, yet it holds no edge at all.
TEST(DepthPositions, NoneInAFaintNoisyGradient) {
    constexpr int width = 1920, height = 1080;
    talavex_test::GrayImage image = talavex_test::blankImage(width, height);
    const double reach = std::hypot(width / 2.0, height / 2.0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double t = std::hypot(x + 0.5 - width / 2.0, y + 0.5 - height / 2.0) / reach;
            image.pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint8_t>(std::lround(170 - 65 * t));
        }
    talavex_test::addNoise(image, 2.0, 7);
    SearchImage search(Image::GrayBuf(image.pixels.data(), width, height), Deadline::none());
    EXPECT_TRUE(search.depthPositions(false).empty());
}

}  // namespace
}  // namespace AztecCore
