#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "support/render.h"

namespace talavex_test {
namespace {

GrayImage makeImage(int width, int height, int (*level)(int x, int y)) {
    GrayImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.pixels.push_back(static_cast<std::uint8_t>(level(x, y)));
    }
    return image;
}

// Detail at every scale: random levels over a gentle ramp.
GrayImage texturedImage(int width, int height) {
    GrayImage image = makeImage(width, height, [](int x, int y) { return 40 + (x + 2 * y) % 150; });
    std::mt19937 rng(3);
    for (std::uint8_t& p : image.pixels) p = static_cast<std::uint8_t>(p + rng() % 60);
    return image;
}

double meanAbsDifference(const GrayImage& a, const GrayImage& b) {
    double sum = 0.0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) sum += std::abs(a.pixels[i] - b.pixels[i]);
    return sum / static_cast<double>(a.pixels.size());
}

TEST(JpegDegrade, QualityHundredIsNearlyLossless) {
    const GrayImage original = texturedImage(64, 48);
    GrayImage image = original;
    jpegDegrade(image, 100);
    int worst = 0;
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        worst = std::max(worst, std::abs(image.pixels[i] - original.pixels[i]));
    }
    EXPECT_LE(worst, 2);
    EXPECT_LT(meanAbsDifference(image, original), 0.6);
    EXPECT_NE(image.pixels, original.pixels);  // still quantised, just finely
}

TEST(JpegDegrade, LowerQualityLosesMore) {
    const GrayImage original = texturedImage(64, 64);
    double previous = 0.0;
    for (const int quality : {95, 75, 50, 25, 5}) {
        GrayImage image = original;
        jpegDegrade(image, quality);
        const double error = meanAbsDifference(image, original);
        EXPECT_GT(error, previous) << quality;
        previous = error;
    }
}

// Mean step between horizontal neighbours across 8-pixel block boundaries,
// divided by the mean step between neighbours inside a block.
double blockEdgeRatio(const GrayImage& image) {
    double across = 0.0;
    double within = 0.0;
    int acrossCount = 0;
    int withinCount = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x + 1 < image.width; ++x) {
            const int step = std::abs(image.at(x + 1, y) - image.at(x, y));
            if (x % 8 == 7) {
                across += step;
                ++acrossCount;
            } else {
                within += step;
                ++withinCount;
            }
        }
    }
    return (across / acrossCount) / (within / withinCount);
}

TEST(JpegDegrade, LowQualityLeavesBlockEdgesOnASmoothPicture) {
    // A smooth shading: at low quality every block keeps little more than its
    // mean, so the levels are flat inside a block and jump between blocks.
    const GrayImage original = makeImage(
        96, 96, [](int x, int y) { return static_cast<int>(128 + 90 * std::sin(x * 0.03) * std::cos(y * 0.02)); });
    GrayImage coarse = original;
    jpegDegrade(coarse, 10);
    EXPECT_GT(blockEdgeRatio(coarse), 3.0);
    GrayImage fine = original;
    jpegDegrade(fine, 95);
    EXPECT_LT(blockEdgeRatio(fine), 1.5);
}

TEST(JpegDegrade, IsDeterministic) {
    GrayImage first = texturedImage(40, 24);
    GrayImage second = first;
    jpegDegrade(first, 30);
    jpegDegrade(second, 30);
    EXPECT_EQ(first.pixels, second.pixels);
}

class FlatImage : public ::testing::TestWithParam<int> {};

TEST_P(FlatImage, StaysFlat) {
    // A flat block has only a DC coefficient. From about quality 80 its
    // quantisation step is below one gray level, so the level survives; at
    // lower quality it moves by up to half the step (DC divisor / 16 levels).
    const int quality = GetParam();
    const int dcDivisor = std::clamp((16 * (quality < 50 ? 5000 / quality : 200 - 2 * quality) + 50) / 100, 1, 255);
    for (const int level : {0, 37, 128, 129, 200, 255}) {
        GrayImage image;
        image.width = 21;
        image.height = 13;
        image.pixels.assign(21 * 13, static_cast<std::uint8_t>(level));
        jpegDegrade(image, quality);
        const int got = image.pixels.front();
        for (std::uint8_t p : image.pixels) ASSERT_EQ(p, got) << level;
        if (quality >= 80) {
            EXPECT_EQ(got, level);
        } else {
            EXPECT_LE(std::abs(got - level), dcDivisor / 16 + 1) << level;
        }
        if (level == 128) {
            EXPECT_EQ(got, 128);  // no DC at all
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Qualities, FlatImage, ::testing::Values(5, 30, 50, 80, 95, 100));

TEST(JpegDegrade, EdgeBlocksArePaddedByRepeatingTheBorder) {
    // A 13 x 11 picture must come out as the top-left of its 16 x 16 extension
    // whose extra rows and columns repeat the last ones.
    const GrayImage small = texturedImage(13, 11);
    GrayImage padded;
    padded.width = 16;
    padded.height = 16;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) padded.pixels.push_back(small.at(std::min(x, 12), std::min(y, 10)));
    }
    GrayImage degraded = small;
    jpegDegrade(degraded, 40);
    jpegDegrade(padded, 40);
    for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 13; ++x) ASSERT_EQ(degraded.at(x, y), padded.at(x, y)) << x << "," << y;
    }
}

TEST(JpegDegrade, QualityIsClampedToOneThroughHundred) {
    const GrayImage original = texturedImage(16, 16);
    GrayImage low = original, one = original, high = original, hundred = original;
    jpegDegrade(low, -7);
    jpegDegrade(one, 1);
    jpegDegrade(high, 250);
    jpegDegrade(hundred, 100);
    EXPECT_EQ(low.pixels, one.pixels);
    EXPECT_EQ(high.pixels, hundred.pixels);
}

TEST(JpegDegrade, EmptyImageIsLeftAlone) {
    GrayImage image;
    EXPECT_NO_THROW(jpegDegrade(image, 50));
    EXPECT_TRUE(image.pixels.empty());
}

}  // namespace
}  // namespace talavex_test
