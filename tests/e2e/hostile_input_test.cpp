// Inputs without a symbol that a scanner meets all the time, at every size:
// pure noise and images tiled with bull's-eye-like rings. Every call must
// return a fresh string: "" for frames and photos, "error" for photos below
// the photo search's minimum size.
#include <gtest/gtest.h>

#include <random>

#include "e2e_support.h"

namespace talavex_e2e {
namespace {

GrayImage noise(int width, int height, std::uint32_t seed) {
    GrayImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    std::mt19937 rng(seed);
    for (auto& p : image.pixels) p = static_cast<std::uint8_t>(rng());
    return image;
}

// Concentric square rings of random pitch on white: bull's-eyes without a
// mode message or data around them.
GrayImage tiledRings(int width, int height, int tile, std::uint32_t seed) {
    GrayImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * height, 255);
    std::mt19937 rng(seed);
    for (int ty = 0; ty + tile <= height; ty += tile)
        for (int tx = 0; tx + tile <= width; tx += tile) {
            const int pitch = 2 + static_cast<int>(rng() % 4);
            const int rings = 3 + static_cast<int>(rng() % 5);
            const int c = tile / 2;
            for (int y = 0; y < tile; ++y)
                for (int x = 0; x < tile; ++x) {
                    const int r = std::max(std::abs(x - c), std::abs(y - c)) / pitch;
                    if (r <= 2 * rings && r % 2 == 0)
                        image.pixels[static_cast<std::size_t>(ty + y) * width + tx + x] = 0;
                }
        }
    return image;
}

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
