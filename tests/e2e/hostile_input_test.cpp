// Inputs without a symbol that a scanner meets all the time, at every size:
// pure noise and images tiled with bull's-eye-like rings. Every call must
// return a fresh string: "" for frames and photos, "error" for photos below
// the photo search's minimum size.
#include <gtest/gtest.h>

#include "e2e_support.h"
#include "hostile_images.h"

namespace talavex_e2e {
namespace {

struct Size {
    int width, height;
};

class NoiseTest : public ::testing::TestWithParam<Size> {};

TEST_P(NoiseTest, FramesOfNoiseHoldNoSymbol) {
    const GrayImage image = noise(GetParam().width, GetParam().height, 17);
    EXPECT_EQ(readY(image), "");
    if (image.pixels.size() <= 1920u * 1080u) {
        EXPECT_EQ(readBGRA(talavex_test::toBGRA(image, 3), image.width, image.height), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, NoiseTest,
                         ::testing::Values(Size{1, 1}, Size{2, 3}, Size{7, 5}, Size{31, 200}, Size{64, 64},
                                           Size{640, 480}, Size{1920, 1080}, Size{4096, 4096}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

TEST(NoisePhotoTest, PhotosOfNoiseHoldNoSymbol) {
    for (const Size size : {Size{64, 64}, Size{300, 200}, Size{1280, 960}}) {
        const GrayImage image = noise(size.width, size.height, 23);
        EXPECT_EQ(readPhoto(talavex_test::toBGRA(image), image.width, image.height), "") << size.width;
    }
    for (const Size size : {Size{1, 1}, Size{63, 1000}, Size{1000, 63}}) {
        const GrayImage image = noise(size.width, size.height, 29);
        EXPECT_EQ(readPhoto(talavex_test::toBGRA(image), image.width, image.height), "error") << size.width;
    }
}

TEST(TiledRingsTest, BullseyesWithoutASymbolReadNothing) {
    for (const int tile : {40, 64, 100}) {
        const GrayImage frame = tiledRings(640, 480, tile, static_cast<std::uint32_t>(tile));
        EXPECT_EQ(readY(frame), "") << tile;
        EXPECT_EQ(readPhoto(talavex_test::toBGRA(frame), frame.width, frame.height), "") << tile;
    }
}

}  // namespace
}  // namespace talavex_e2e
