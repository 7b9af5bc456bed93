#include "photo/bullseye_candidates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>

#include "photo/block_threshold.h"
#include "photo/more_bullseye_candidates.h"
#include "photo/peak_picker.h"
#include "photo/ring_depth_map.h"
#include "photo_test_images.h"

namespace {

using AztecCore::CandidatePoint;
using AztecCore::Image::GrayBuf;
using namespace photo_test;

std::vector<std::pair<int, int>> asPairs(const std::vector<CandidatePoint>& points) {
    std::vector<std::pair<int, int>> pairs;
    for (const auto& p : points) pairs.emplace_back(p.x, p.y);
    return pairs;
}

// ---- block levels and binarisation ----

TEST(BlockLevels, OneBlockLevelLiesAnEighthFromMeanTowardsMinimum) {
    GrayBuf source = filledImage(64, 64, 200);
    source.setPixel(17, 40, 0);
    const GrayBuf levels = AztecCore::computeBlockLevels(source);
    ASSERT_EQ(levels.width(), 1);
    ASSERT_EQ(levels.height(), 1);
    // mean = (4095 * 200) >> 12 = 199 (rounded down), level = (7 * 199 + 0) >> 3.
    EXPECT_EQ(levels.pixel(0, 0), 174);
}

TEST(BlockLevels, MarginsAreJudgedByTheMeasuredBlock) {
    // 100 x 70: one complete block; the margins hold black that must not be measured.
    GrayBuf source = filledImage(100, 70, 0);
    fillRect(source, 0, 0, 64, 64, 120);
    const GrayBuf levels = AztecCore::computeBlockLevels(source);
    ASSERT_EQ(levels.width(), 2);
    ASSERT_EQ(levels.height(), 2);
    for (int by = 0; by < 2; ++by)
        for (int bx = 0; bx < 2; ++bx) EXPECT_EQ(levels.pixel(bx, by), 120) << bx << "," << by;
}

TEST(BlockLevels, ExtraColumnAndRowCopyTheirNeighbours) {
    GrayBuf source = filledImage(130, 140, 0);
    const std::uint8_t blockValue[2][2] = {{40, 80}, {160, 240}};  // [by][bx]
    for (int by = 0; by < 2; ++by)
        for (int bx = 0; bx < 2; ++bx) fillRect(source, bx * 64, by * 64, 64, 64, blockValue[by][bx]);
    const GrayBuf levels = AztecCore::computeBlockLevels(source);
    ASSERT_EQ(levels.width(), 3);
    ASSERT_EQ(levels.height(), 3);
    const std::uint8_t expected[3][3] = {{40, 80, 80}, {160, 240, 240}, {160, 240, 240}};
    for (int by = 0; by < 3; ++by)
        for (int bx = 0; bx < 3; ++bx) EXPECT_EQ(levels.pixel(bx, by), expected[by][bx]) << bx << "," << by;
}

TEST(Binarize, PixelAtItsBlockLevelIsWhite) {
    GrayBuf source = filledImage(128, 64, 100);
    GrayBuf levels = filledImage(2, 1, 100);
    levels.setPixel(1, 0, 150);
    source.setPixel(3, 3, 99);
    source.setPixel(70, 5, 149);
    source.setPixel(71, 5, 150);
    std::uint8_t dark[128];
    const auto darkAt = [&](int x, int y) {
        AztecCore::markDarkRow(source, levels, y, dark);
        return dark[x];
    };
    EXPECT_EQ(darkAt(0, 0), 0);   // 100 >= 100
    EXPECT_EQ(darkAt(3, 3), 1);   // 99 < 100
    EXPECT_EQ(darkAt(63, 0), 0);  // last column of the first block
    EXPECT_EQ(darkAt(64, 0), 1);  // 100 < 150 in the second block
    EXPECT_EQ(darkAt(70, 5), 1);
    EXPECT_EQ(darkAt(71, 5), 0);
}

// ---- ring depth map ----

// The depth map of a black-and-white image (black below 128), stretched to
// 0..255 as the peak picking sees it.
GrayBuf depthMap(const GrayBuf& binary) {
    const int w = binary.width();
    AztecCore::UnstretchedDepthMap depth =
        AztecCore::buildUnstretchedRingDepthMap(w, binary.height(), [&](std::int32_t y, std::uint8_t* dark) {
            for (int x = 0; x < w; ++x) dark[x] = binary.pixel(x, y) < 128 ? 1 : 0;
        });
    for (int y = 0; y < depth.map.height(); ++y)
        for (int x = 0; x < w; ++x) depth.map.setPixel(x, y, depth.stretched[depth.map.pixel(x, y)]);
    return std::move(depth.map);
}

TEST(RingDepthMap, IsolatedBlackPixelIsTheOnlyBrightSpot) {
    GrayBuf binary = filledImage(5, 5, 255);
    binary.setPixel(2, 2, 0);
    const GrayBuf map = depthMap(binary);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(map.pixel(x, y), (x == 2 && y == 2) ? 255 : 0) << x << "," << y;
}

TEST(RingDepthMap, BorderColumnsCannotCarryDepth) {
    // A black bar down the left border: the border counter resets once it
    // exceeds 1, so the bar counts 1 from each sweep and its ends add nothing.
    GrayBuf binary = filledImage(6, 8, 255);
    fillRect(binary, 0, 2, 1, 4, 0);
    const GrayBuf map = depthMap(binary);
    for (int y = 0; y < 8; ++y) EXPECT_EQ(map.pixel(0, y), (y >= 2 && y < 6) ? 255 : 0) << y;
    for (int y = 0; y < 8; ++y)
        for (int x = 1; x < 6; ++x) EXPECT_EQ(map.pixel(x, y), 0) << x << "," << y;
}

TEST(RingDepthMap, DepthGrowsTowardsTheCentreOfNestedRings) {
    GrayBuf binary = filledImage(120, 120, 255);
    drawRings(binary, {59.5, 59.5, 6.0});  // centre module: pixels 57..62
    const GrayBuf map = depthMap(binary);
    EXPECT_EQ(map.pixel(60, 60), 255);
    // Walking out along the centre row, each ring is shallower than the one inside it.
    int previous = 256;
    for (int ring = 0; ring <= 6; ++ring) {
        const int value = map.pixel(60 + ring * 6, 60);
        EXPECT_LT(value, previous) << "ring " << ring;
        previous = value;
    }
    EXPECT_EQ(map.pixel(5, 5), 0);
}

// ---- peak picking ----

TEST(PickPeaks, SixtyFourEqualCellsGiveFiveInCellOrder) {
    const auto points = AztecCore::pickPeaks(filledImage(64, 64, 200));
    EXPECT_EQ(asPairs(points), (std::vector<std::pair<int, int>>{{0, 0}, {8, 0}, {16, 0}, {24, 0}, {32, 0}}));
}

TEST(PickPeaks, BrightestFirstAndBelow128Ignored) {
    GrayBuf map = filledImage(64, 64, 0);
    map.setPixel(3, 3, 130);
    map.setPixel(60, 60, 250);
    map.setPixel(30, 10, 127);
    map.setPixel(33, 35, 200);
    map.setPixel(34, 35, 220);  // same cell: the larger value wins
    map.setPixel(35, 36, 220);  // equal later pixel does not replace it
    const auto points = AztecCore::pickPeaks(map);
    EXPECT_EQ(asPairs(points), (std::vector<std::pair<int, int>>{{60, 60}, {34, 35}, {3, 3}}));
}

struct RemainderCase {
    int x, y;
    bool examined;
};

class PickPeaksRemainder : public ::testing::TestWithParam<RemainderCase> {};

TEST_P(PickPeaksRemainder, CellsOfTwelveByEightCoverOnlyColumns0To95AndRows0To63) {
    const RemainderCase c = GetParam();
    GrayBuf map = filledImage(100, 70, 0);
    map.setPixel(c.x, c.y, 255);
    const auto points = AztecCore::pickPeaks(map);
    if (c.examined) {
        EXPECT_EQ(asPairs(points), (std::vector<std::pair<int, int>>{{c.x, c.y}}));
    } else {
        EXPECT_TRUE(points.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Photo100x70, PickPeaksRemainder,
                         ::testing::Values(RemainderCase{95, 63, true}, RemainderCase{0, 0, true},
                                           RemainderCase{96, 10, false}, RemainderCase{99, 69, false},
                                           RemainderCase{40, 64, false}, RemainderCase{12, 8, true}));

// ---- the whole search ----

TEST(FindBullseyeCandidates, UniformGrayHasNoCandidates) {
    EXPECT_TRUE(AztecCore::findBullseyeCandidates(filledImage(200, 150, 128)).empty());
    EXPECT_TRUE(AztecCore::findBullseyeCandidates(filledImage(64, 64, 0)).empty());
}

TEST(FindBullseyeCandidates, BlackSquareYieldsItsFirstPixelInEachCell) {
    GrayBuf photo = filledImage(200, 200, 255);
    fillRect(photo, 80, 80, 40, 40, 0);
    // Cells are 25 x 25; the square meets four of them, all equally bright.
    const auto points = AztecCore::findBullseyeCandidates(photo);
    EXPECT_EQ(asPairs(points), (std::vector<std::pair<int, int>>{{80, 80}, {100, 80}, {80, 100}, {100, 100}}));
}

TEST(FindBullseyeCandidates, BullseyeCentreComesFirstDespiteClutter) {
    GrayBuf photo = filledImage(320, 240, 230);
    fillRect(photo, 250, 30, 30, 20, 20);  // plain dark blobs elsewhere
    fillRect(photo, 20, 180, 50, 30, 40);
    drawRings(photo, {180.0, 130.0, 7.0});
    const auto points = AztecCore::findBullseyeCandidates(photo);
    ASSERT_FALSE(points.empty());
    // Inside the innermost (dark) square of 7 x 7 pixels.
    EXPECT_GE(points[0].x, 177);
    EXPECT_LE(points[0].x, 183);
    EXPECT_GE(points[0].y, 127);
    EXPECT_LE(points[0].y, 133);
}

class TooSmallPhoto : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(TooSmallPhoto, RaisesOutOfRange) {
    const auto [w, h] = GetParam();
    const GrayBuf photo = filledImage(w, h, 90);
    EXPECT_THROW(AztecCore::findBullseyeCandidates(photo), std::out_of_range);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TooSmallPhoto,
                         ::testing::Values(std::make_pair(63, 200), std::make_pair(200, 63), std::make_pair(63, 63),
                                           std::make_pair(0, 0), std::make_pair(64, 0), std::make_pair(1, 64)));

TEST(FindBullseyeCandidates, SmallestPhotoWorks) {
    GrayBuf photo = filledImage(64, 64, 255);
    fillRect(photo, 22, 22, 3, 3, 0);  // meets four of the 8 x 8 cells
    EXPECT_EQ(asPairs(AztecCore::findBullseyeCandidates(photo)),
              (std::vector<std::pair<int, int>>{{22, 22}, {24, 22}, {22, 24}, {24, 24}}));
}

// ---- deadlines ----

// ---- further candidates ----

// Every deep pixel in one list, deepest first and row-major within a depth,
// taken unless near one taken before or a tried one.
std::vector<std::pair<int, int>> furtherByFullSort(const AztecCore::BullseyeDepth& d,
                                                   const std::vector<CandidatePoint>& tried, std::size_t count,
                                                   std::int32_t spacing) {
    std::vector<CandidatePoint> deep;
    for (std::int32_t y = 0; y < d.map.height(); ++y)
        for (std::int32_t x = 0; x < d.map.width(); ++x)
            if (d.map.pixel(x, y) >= d.minimumPeak) deep.push_back({x, y});
    std::stable_sort(deep.begin(), deep.end(), [&](const CandidatePoint& a, const CandidatePoint& b) {
        return d.map.pixel(a.x, a.y) > d.map.pixel(b.x, b.y);
    });
    std::vector<CandidatePoint> taken;
    const auto near = [&](const CandidatePoint& p, const std::vector<CandidatePoint>& points) {
        return std::any_of(points.begin(), points.end(), [&](const CandidatePoint& q) {
            return std::abs(p.x - q.x) < spacing && std::abs(p.y - q.y) < spacing;
        });
    };
    for (const CandidatePoint& p : deep)
        if (taken.size() < count && !near(p, taken) && !near(p, tried)) taken.push_back(p);
    return asPairs(taken);
}

struct DeepMap {
    const char* name;
    std::function<void(GrayBuf&)> draw;
    std::vector<CandidatePoint> tried;
};
void PrintTo(const DeepMap& map, std::ostream* out) { *out << map.name; }

class FurtherCandidates : public ::testing::TestWithParam<DeepMap> {};

// The maps are deep over more pixels than are kept at once, so the sweeps
// let depths go and come back for them; their rows do not end on a whole
// step of sixteen pixels.
TEST_P(FurtherCandidates, ComeInTheOrderOfAFullSortOfTheDeepPixels) {
    AztecCore::BullseyeDepth depth;
    depth.map = filledImage(1021, 1024, 0);
    depth.minimumPeak = 130;
    GetParam().draw(depth.map);
    const auto found = AztecCore::findMoreBullseyeCandidates(depth, GetParam().tried, 8);
    EXPECT_EQ(asPairs(found.more), furtherByFullSort(depth, GetParam().tried, 8, found.spacing));
    EXPECT_EQ(found.more.size(), 8u);
}

INSTANTIATE_TEST_SUITE_P(
    LargeDeepAreas, FurtherCandidates,
    ::testing::Values(DeepMap{"RandomDepths",
                              [](GrayBuf& map) {
                                  std::uint32_t state = 12345;
                                  for (std::int32_t y = 0; y < map.height(); ++y)
                                      for (std::int32_t x = 0; x < map.width(); ++x) {
                                          state = state * 1664525u + 1013904223u;
                                          map.setPixel(x, y, static_cast<std::uint8_t>(128 + (state >> 24) % 128));
                                      }
                              },
                              {{500, 500}}},
                      // The deepest pixels all beside tried positions; the floor the
                      // candidates come from is too wide to keep.
                      DeepMap{"DeepestBesideTriedOnAWideFloor",
                              [](GrayBuf& map) {
                                  fillRect(map, 0, 0, map.width(), 1024, 131);
                                  fillRect(map, 100, 100, 8, 8, 250);
                                  fillRect(map, 600, 300, 8, 8, 240);
                                  fillRect(map, 0, 512, map.width(), 512, 130);
                              },
                              {{103, 103}, {603, 303}, {6, 6}, {30, 6}, {54, 6}}},
                      DeepMap{
                          "OneDepthAllOver", [](GrayBuf& map) { fillRect(map, 0, 0, map.width(), 1024, 200); }, {}}),
    [](const ::testing::TestParamInfo<DeepMap>& info) { return std::string(info.param.name); });

// Each whole-map step after the depth map's sweeps stops at a passed
// deadline instead of finishing its map first.
struct DeadlineStep {
    const char* name;
    std::function<void(const AztecCore::BullseyeDepth&, const AztecCore::Deadline&)> run;
};

TEST(DepthMapSteps, StopAtAPassedDeadline) {
    const std::vector<DeadlineStep> steps = {
        {"MapRange",
         [](const AztecCore::BullseyeDepth& d, const AztecCore::Deadline& deadline) {
             (void)AztecCore::buildUnstretchedRingDepthMap(
                 d.map.width(), d.map.height(), [](std::int32_t, std::uint8_t*) {}, deadline);
         }},
        {"PeakPicking",
         [](const AztecCore::BullseyeDepth& d, const AztecCore::Deadline& deadline) {
             (void)AztecCore::pickPeaks(d.map, d.minimumPeak, deadline);
         }},
        {"FurtherCandidates",
         [](const AztecCore::BullseyeDepth& d, const AztecCore::Deadline& deadline) {
             (void)AztecCore::findMoreBullseyeCandidates(d, {}, 8, deadline);
         }},
    };
    AztecCore::BullseyeDepth depth;
    depth.map = filledImage(1024, 1024, 200);
    depth.minimumPeak = 128;
    for (const DeadlineStep& step : steps) {
        SCOPED_TRACE(step.name);
        // Past its end from the first reading on.
        const AztecCore::Deadline passed(0, [] { return std::int64_t{0}; });
        EXPECT_THROW(step.run(depth, passed), AztecCore::OutOfTime);
        EXPECT_NO_THROW(step.run(depth, AztecCore::Deadline::none()));
    }
}

}  // namespace
