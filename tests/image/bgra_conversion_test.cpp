#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "image/gray_buf.h"
#include "image/luma.h"

namespace {

using AztecCore::Image::GrayBuf;
using Bytes = std::vector<std::uint8_t>;

GrayBuf toGray(const Bytes& bgra, std::int32_t w, std::int32_t h) {
    GrayBuf gray;
    gray.setFromBGRA(bgra.data(), w, h);
    return gray;
}

struct LumaCase {
    std::uint8_t b, g, r;
    int gray;
};

class Luma : public ::testing::TestWithParam<LumaCase> {};

TEST_P(Luma, IntegerWeightsIgnoringAlpha) {
    const LumaCase c = GetParam();
    for (const std::uint8_t alpha : {0, 77, 255}) {
        EXPECT_EQ(toGray({c.b, c.g, c.r, alpha}, 1, 1).pixel(0, 0), c.gray) << "alpha " << int{alpha};
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Luma,
                         ::testing::Values(LumaCase{255, 255, 255, 255}, LumaCase{0, 0, 255, 54},
                                           LumaCase{0, 255, 0, 182}, LumaCase{255, 0, 0, 18},
                                           LumaCase{200, 150, 100, 142}, LumaCase{128, 128, 128, 128},
                                           LumaCase{0, 1, 1, 0},  // 0.9279 truncates to 0
                                           LumaCase{254, 255, 255, 254},
                                           // weighted sums of exactly 360000 and 1 below 520000: moving
                                           // weight between any two channels crosses a step in one of them
                                           LumaCase{159, 34, 1, 36}, LumaCase{242, 48, 1, 51}));

// Rows wide enough for the blocks of sixteen pixels, with a remainder of
// seven: every colour, each alpha in turn, against the scalar luma.
TEST(BgraConversion, EveryColourInLongRowsMatchesTheScalarLuma) {
    const std::int32_t w = 256 * 256 + 7;
    for (int red = 0; red < 256; ++red) {
        Bytes bgra;
        for (std::int32_t x = 0; x < w; ++x)
            for (const int channel : {x & 0xFF, (x >> 8) & 0xFF, red, (x * 7 + red) & 0xFF})
                bgra.push_back(static_cast<std::uint8_t>(channel));
        const GrayBuf gray = toGray(bgra, w, 1);
        for (std::int32_t x = 0; x < w; ++x)
            ASSERT_EQ(gray.pixel(x, 0), AztecCore::Image::luma(red, (x >> 8) & 0xFF, x & 0xFF)) << red << " " << x;
    }
}

TEST(BgraConversion, NonSquareFrameIsNotTransposed) {
    Bytes bgra;
    for (int v = 10; v <= 60; v += 10)
        for (int channel : {v, v, v, 0}) bgra.push_back(static_cast<std::uint8_t>(channel));
    const GrayBuf gray = toGray(bgra, 3, 2);
    EXPECT_EQ(gray.width(), 3);
    EXPECT_EQ(gray.height(), 2);
    for (std::int32_t y = 0; y < 2; ++y)
        for (std::int32_t x = 0; x < 3; ++x) EXPECT_EQ(gray.pixel(x, y), 10 * (3 * y + x + 1));
}

struct BadSize {
    std::int32_t w, h;
};

class UnallocatableFrame : public ::testing::TestWithParam<BadSize> {};

// Refused before any storage is taken or any pixel is read.
TEST_P(UnallocatableFrame, RaisesLengthErrorAndKeepsTheOldImage) {
    const Bytes one = {1, 2, 3, 4};
    GrayBuf gray;
    gray.setFromBGRA(one.data(), 1, 1);
    EXPECT_THROW(gray.setFromBGRA(nullptr, GetParam().w, GetParam().h), std::length_error);
    EXPECT_EQ(gray.width(), 1);
    EXPECT_EQ(gray.pixel(0, 0), AztecCore::Image::luma(3, 2, 1));
}

INSTANTIATE_TEST_SUITE_P(Sizes, UnallocatableFrame,
                         ::testing::Values(BadSize{-2, 3}, BadSize{3, -2}, BadSize{65536, 65536}));

TEST(BgraConversion, DirectConversionKeepsLargerStorageAndRefusesNegativeAreas) {
    const Bytes old(40, 1);
    GrayBuf gray(old.data(), 8, 5);
    const Bytes bgra = {255, 255, 255, 0, 0, 0, 0, 0};
    gray.setFromBGRA(bgra.data(), 2, 1);
    EXPECT_EQ(gray.stride(), 2);
    EXPECT_EQ(gray.storageSize(), 40u);
    EXPECT_EQ(gray.pixel(1, 0), 0);
    EXPECT_EQ(gray.pixel(2, 0), 1);  // slack untouched
    EXPECT_THROW(gray.setFromBGRA(nullptr, -2, 3), std::length_error);
    gray.setFromBGRA(nullptr, 0, 5);
    EXPECT_EQ(gray.height(), 5);
}

}  // namespace
