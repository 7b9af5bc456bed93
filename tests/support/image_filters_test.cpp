#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/render.h"

namespace talavex_test {
namespace {

// Left half 0, right half 255.
GrayImage stepImage(int width, int height) {
    GrayImage image = blankImage(width, height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = width / 2; x < width; ++x) {
            image.pixels[static_cast<std::size_t>(y) * width + x] = 255;
        }
    }
    return image;
}

TEST(GaussianBlur, FlatImageStaysFlatUpToTheBorder) {
    GrayImage image = blankImage(13, 9, 77);
    gaussianBlur(image, 2.5);
    for (std::uint8_t p : image.pixels) {
        ASSERT_EQ(p, 77);
    }
}

TEST(GaussianBlur, StepBecomesSymmetricRamp) {
    GrayImage image = stepImage(40, 5);
    gaussianBlur(image, 1.5);
    for (int y = 0; y < 5; ++y) {
        EXPECT_EQ(image.at(0, y), 0);
        EXPECT_EQ(image.at(39, y), 255);
        for (int d = 0; d < 6; ++d) {
            // Pixels at equal distance either side of the edge sum to white.
            EXPECT_NEAR(image.at(19 - d, y) + image.at(20 + d, y), 255, 1) << d;
            EXPECT_LE(image.at(19 - d - 1, y), image.at(19 - d, y));
        }
        EXPECT_GT(image.at(19, y), 30);
        EXPECT_LT(image.at(20, y), 225);
    }
}

TEST(GaussianBlur, ZeroSigmaLeavesTheImage) {
    GrayImage image = stepImage(10, 4);
    const std::vector<std::uint8_t> before = image.pixels;
    gaussianBlur(image, 0.0);
    EXPECT_EQ(image.pixels, before);
}

TEST(AddNoise, SeedDecidesTheNoise) {
    GrayImage a = blankImage(64, 64, 128);
    GrayImage b = a;
    GrayImage c = a;
    addNoise(a, 10, 3);
    addNoise(b, 10, 3);
    addNoise(c, 10, 4);
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_NE(a.pixels, c.pixels);
}

TEST(AddNoise, ClampsAtWhite) {
    GrayImage image = blankImage(64, 64, 250);
    addNoise(image, 20, 11);
    int below = 0;
    int atTop = 0;
    for (std::uint8_t p : image.pixels) {
        below += p < 250 ? 1 : 0;
        atTop += p == 255 ? 1 : 0;
    }
    // About 41% of N(0, 20) lies above +4.5 and rounds to a clipped 255;
    // about 49% lies below -0.5.
    EXPECT_NEAR(atTop / 4096.0, 0.41, 0.04);
    EXPECT_NEAR(below / 4096.0, 0.49, 0.04);
}

TEST(ToBGRA, CopiesGrayToAllChannels) {
    GrayImage image = blankImage(3, 2, 0);
    image.pixels = {0, 1, 2, 100, 200, 255};
    const std::vector<std::uint8_t> bgra = toBGRA(image);
    ASSERT_EQ(bgra.size(), 24U);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(bgra[4 * i], image.pixels[i]);
        EXPECT_EQ(bgra[4 * i + 1], image.pixels[i]);
        EXPECT_EQ(bgra[4 * i + 2], image.pixels[i]);
        EXPECT_EQ(bgra[4 * i + 3], 255);
    }
}

TEST(ToBGRA, AlphaSeedFillsOnlyAlpha) {
    const GrayImage image = stepImage(16, 16);
    const std::vector<std::uint8_t> opaque = toBGRA(image);
    const std::vector<std::uint8_t> random = toBGRA(image, 5);
    EXPECT_EQ(toBGRA(image, 5), random);
    ASSERT_EQ(random.size(), opaque.size());
    int alphaDiffers = 0;
    for (std::size_t i = 0; i < random.size(); ++i) {
        if (i % 4 == 3) {
            alphaDiffers += random[i] != 255 ? 1 : 0;
        } else {
            ASSERT_EQ(random[i], opaque[i]);
        }
    }
    EXPECT_GT(alphaDiffers, 200);
}

TEST(WritePgm, WritesBinaryGraymap) {
    GrayImage image = blankImage(3, 2, 0);
    image.pixels = {0, 10, 20, 30, 40, 255};
    const std::string path = ::testing::TempDir() + "talavex_support_write.pgm";
    ASSERT_TRUE(writePgm(image, path));
    std::ifstream in(path, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    const std::string header = "P5\n3 2\n255\n";
    ASSERT_EQ(content.size(), header.size() + 6);
    EXPECT_EQ(content.substr(0, header.size()), header);
    EXPECT_EQ(std::vector<std::uint8_t>(content.begin() + static_cast<std::ptrdiff_t>(header.size()), content.end()),
              image.pixels);
}

TEST(WritePgm, ReportsFailure) { EXPECT_FALSE(writePgm(blankImage(2, 2, 0), "/nonexistent-dir/for/sure/x.pgm")); }

}  // namespace
}  // namespace talavex_test
