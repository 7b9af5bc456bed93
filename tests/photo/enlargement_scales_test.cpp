#include "photo/enlargement_scales.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "golden_status.h"

namespace {

using AztecCore::enlargementAllowed;
using AztecCore::enlargementScales;
using AztecCore::scaledSide;
using talavex_bench::formatFloat;

TEST(EnlargementScales, SixtyOneDriftingFactorsFromFourDown) {
    const auto scales = enlargementScales();
    ASSERT_EQ(scales.size(), 61u);
    EXPECT_EQ(formatFloat(scales[0]), "4.000000");
    EXPECT_EQ(formatFloat(scales[1]), "3.950000");
    EXPECT_EQ(formatFloat(scales[14]), "3.300001");
    EXPECT_EQ(formatFloat(scales[59]), "1.050003");
    EXPECT_EQ(formatFloat(scales[60]), "1.000003");
    EXPECT_GT(scales[60], 1.0f);
    EXPECT_LT(scales[60] - 0.05f, 1.0f);  // one more step would fall below 1
    for (std::size_t i = 1; i < scales.size(); ++i) EXPECT_LT(scales[i], scales[i - 1]) << i;
}

TEST(EnlargementScales, SideLimitSkipsTheFirstFourteenScalesOfA1200x900Crop) {
    const auto scales = enlargementScales();
    for (std::size_t i = 0; i < 14; ++i) EXPECT_GT(scaledSide(1200, scales[i]), 4000) << i;
    EXPECT_EQ(scaledSide(1200, scales[14]), 3960);
    EXPECT_EQ(scaledSide(900, scales[14]), 2970);
}

TEST(EnlargementScales, SizesTruncateTheSinglePrecisionProduct) {
    EXPECT_EQ(scaledSide(100, 4.0f), 400);
    EXPECT_EQ(scaledSide(7, 3.95f), 27);  // 27.65
    EXPECT_EQ(scaledSide(0, 4.0f), 0);
    EXPECT_EQ(scaledSide(2'000'000'000, 4.0f), std::numeric_limits<std::int32_t>::max());
}

struct AllowedCase {
    int w, h;
    bool allowed;
};

class EnlargementAllowed : public ::testing::TestWithParam<AllowedCase> {};

TEST_P(EnlargementAllowed, SideAndAreaLimits) {
    const AllowedCase c = GetParam();
    EXPECT_EQ(enlargementAllowed(c.w, c.h, 4000), c.allowed) << c.w << " x " << c.h;
}

INSTANTIATE_TEST_SUITE_P(Sizes, EnlargementAllowed,
                         ::testing::Values(AllowedCase{4000, 1000, true}, AllowedCase{4001, 10, false},
                                           AllowedCase{10, 4001, false}, AllowedCase{2000, 2000, true},
                                           AllowedCase{2000, 2001, false}));

TEST(EnlargementScales, LargeCropStartsAtTheFirstScaleWithinTheArea) {
    // A 1200 x 900 crop: 3.3 fits the side limit but not the area; 1.9 is the
    // first factor that fits both.
    const auto scales = enlargementScales();
    std::size_t first = scales.size();
    for (std::size_t i = 0; i < scales.size() && first == scales.size(); ++i)
        if (enlargementAllowed(scaledSide(1200, scales[i]), scaledSide(900, scales[i]), 4000)) first = i;
    ASSERT_EQ(first, 42u);
    EXPECT_EQ(scaledSide(1200, scales[first]), 2280);
    EXPECT_EQ(scaledSide(900, scales[first]), 1710);
}

}  // namespace
