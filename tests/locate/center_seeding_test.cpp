// Centre seeding: window statistics, quantisation and the flood fills.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "locate/fill_marks.h"
#include "locate_support.h"

namespace locate_test {
namespace {

TEST(MeasureWindow, LevelsSplitTheRangeUnevenly) {
    auto image = blankImage(16, 16);
    image.pixels[0] = 0;  // min 0, max 255 inside the window
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    std::uint32_t lo = 1, mid = 1, hi = 1;
    locator.measureWindow(-5, -5, 3, 3, lo, mid, hi);
    EXPECT_EQ(lo, 63u);
    EXPECT_EQ(mid, 127u);
    EXPECT_EQ(hi, 159u);  // midpoint of lo and max, not of mid and max
}

TEST(MeasureWindow, UniformWindowGivesOneLevelAndEmptyWindowKeepsThem) {
    const auto image = blankImage(8, 8, 90);
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    std::uint32_t lo = 0, mid = 128, hi = 255;
    locator.measureWindow(2, 2, 5, 5, lo, mid, hi);
    EXPECT_EQ(lo, 90u);
    EXPECT_EQ(mid, 90u);
    EXPECT_EQ(hi, 90u);
    std::uint32_t a = 1, b = 2, c = 3;
    locator.measureWindow(6, 2, 3, 5, a, b, c);  // x1 < x0: untouched
    EXPECT_EQ(a, 1u);
    EXPECT_EQ(b, 2u);
    EXPECT_EQ(c, 3u);
}

TEST(QuantizeRegion, FourLevelsAndExclusiveUpperBounds) {
    auto image = blankImage(4, 2);
    const std::uint8_t values[] = {10, 60, 100, 200, 10, 60, 100, 200};
    std::copy(values, values + 8, image.pixels.begin());
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    locator.quantizeRegion(0, 0, 3, 1, 50, 90, 150);
    const GrayBuf* levels = locator.levelsImage();
    ASSERT_NE(levels, nullptr);
    EXPECT_EQ(levels->pixel(0, 0), 0);    // below lo
    EXPECT_EQ(levels->pixel(1, 0), 85);   // below mid
    EXPECT_EQ(levels->pixel(2, 0), 170);  // below hi
    EXPECT_EQ(levels->pixel(3, 0), 0);    // column x1 is not quantised
    EXPECT_EQ(levels->pixel(0, 1), 0);    // nor is row y1 (new pixels are 0)
    EXPECT_EQ(levels->pixel(2, 1), 0);
}

// A sharp full-range bull's-eye, 10-pixel modules, centre at (179.5, 179.5);
// the region (R = 59) holds any ring out to the second one whole.
class SeedOnBullseye : public ::testing::Test {
protected:
    void SetUp() override {
        auto image = blankImage(360, 360);
        talavex_test::paintBullseye(image, {179.5, 179.5, 10.0});
        locator.source = toGrayBuf(image);
    }
    SymbolLocator locator;
};

TEST_F(SeedOnBullseye, CentralModuleGivesItsCentre) {
    const auto c = locator.seedCenter(177, 182);
    EXPECT_DOUBLE_EQ(c.x, 179.5);
    EXPECT_DOUBLE_EQ(c.y, 179.5);
    EXPECT_EQ(locator.fillCount(), 100);
    EXPECT_EQ(locator.levelsImage()->pixel(175, 175), AztecCore::kDarkFillMark);
}

TEST_F(SeedOnBullseye, FirstLightRingGivesTheCentre) {
    const auto c = locator.seedCenter(166, 167);
    EXPECT_DOUBLE_EQ(c.x, 179.5);
    EXPECT_DOUBLE_EQ(c.y, 179.5);
    EXPECT_EQ(locator.fillCount(), 30 * 30 - 10 * 10);
    EXPECT_EQ(locator.levelsImage()->pixel(166, 167), AztecCore::kLightFillMark);
}

TEST_F(SeedOnBullseye, DarkRingGivesTheCentre) {
    const auto c = locator.seedCenter(179, 160);  // top side of the dark ring at 2 modules
    EXPECT_DOUBLE_EQ(c.x, 179.5);
    EXPECT_DOUBLE_EQ(c.y, 179.5);
    EXPECT_EQ(locator.fillCount(), 50 * 50 - 30 * 30);
}

TEST(SeedCenter, UniformAreaIsClippedToTheRegion) {
    // A uniform window makes every region pixel of its value light.
    const auto image = blankImage(61, 61, 0);
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    // R = 10: region x 0..15, y 20..40; the fill keeps to x 1..14, y 21..39.
    const auto c = locator.seedCenter(5, 30);
    EXPECT_EQ(locator.levelsImage()->pixel(5, 30), AztecCore::kLightFillMark);
    EXPECT_EQ(locator.fillCount(), 14 * 19);
    EXPECT_DOUBLE_EQ(c.x, 7.5);
    EXPECT_DOUBLE_EQ(c.y, 30.0);
}

TEST(SeedCenter, DarkAreaTouchingTheRegionEdgeIsClipped) {
    auto image = blankImage(61, 61, 0);
    image.pixels[31 * 61 + 6] = 255;  // contrast in the window, and a hole in the fill
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    const auto c = locator.seedCenter(5, 30);
    EXPECT_EQ(locator.levelsImage()->pixel(5, 30), AztecCore::kDarkFillMark);
    EXPECT_EQ(locator.fillCount(), 14 * 19 - 1);
    EXPECT_DOUBLE_EQ(c.x, (7.5 * 266 - 6) / 265);
    EXPECT_DOUBLE_EQ(c.y, (30.0 * 266 - 31) / 265);
}

TEST(SeedCenter, StartOutsideTheImageCountsOutsidePixelsAsLight) {
    const auto image = blankImage(20, 20);
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    // R = 3: region x 0..1; the run covers x = -1 (outside) and 0.
    const auto c = locator.seedCenter(-2, 10);
    EXPECT_EQ(locator.fillCount(), 2);
    EXPECT_DOUBLE_EQ(c.x, -0.5);
    EXPECT_DOUBLE_EQ(c.y, 10.0);
}

TEST(SeedCenter, TinyAndEmptyImages) {
    auto image = blankImage(7, 7);
    image.pixels[3 * 7 + 3] = 0;
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    // R = 1, the window is the start pixel alone: it is dark only against
    // itself (v < mid fails), so the light fill runs and cannot start on it.
    const auto c = locator.seedCenter(3, 3);
    EXPECT_EQ(locator.fillCount(), 1);  // x0 = 2 < x = 3: run from 3 to x1 - 1 = 3
    EXPECT_DOUBLE_EQ(c.x, 3.0);
    EXPECT_DOUBLE_EQ(c.y, 3.0);

    SymbolLocator empty;
    empty.source = std::make_shared<GrayBuf>();
    const auto e = empty.seedCenter(0, 0);
    EXPECT_DOUBLE_EQ(e.x, 0.0);
    EXPECT_DOUBLE_EQ(e.y, 0.0);
}

TEST(SeedCenter, FillThatTakesNothingGivesMinusOne) {
    // R = 0: the region is the start pixel alone, and a run never starts
    // left of x0 + 1, which is already the region's exclusive right bound.
    const auto tiny = blankImage(6, 6, 0);
    SymbolLocator locator;
    locator.source = toGrayBuf(tiny);
    const auto c = locator.seedCenter(2, 2);
    EXPECT_EQ(locator.fillCount(), 0);
    EXPECT_DOUBLE_EQ(c.x, -1.0);
    EXPECT_DOUBLE_EQ(c.y, -1.0);
}

// Random dark and light pixels: the seeding's fill takes exactly the start
// pixel's 4-connected area of its class within the square's inside (columns
// and rows strictly between the square's bounds), as a plain search finds it.
struct ScatterCase {
    int width, height;
    double lightShare;
    int dx, dy;  // start point relative to the image centre
};

class SeedFillOnScatter : public ::testing::TestWithParam<ScatterCase> {};

TEST_P(SeedFillOnScatter, TakesTheConnectedAreaOfTheStartPixel) {
    const ScatterCase& sc = GetParam();
    auto image = blankImage(sc.width, sc.height, 0);
    std::mt19937 rng(static_cast<std::uint32_t>(sc.width * 31 + sc.lightShare * 1000));
    std::bernoulli_distribution light(sc.lightShare);
    for (auto& p : image.pixels) p = light(rng) ? 255 : 0;
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    const int sx = sc.width / 2 + sc.dx;
    const int sy = sc.height / 2 + sc.dy;
    const auto c = locator.seedCenter(sx, sy);

    const GrayBuf& levels = *locator.levelsImage();
    const int r = std::min((sc.width - 1) / 6, (sc.height - 1) / 6);
    const int x0 = std::max(sx - r, 0), x1 = std::min(sx + r, sc.width - 1);
    const int y0 = std::max(sy - r, 0), y1 = std::min(sy + r, sc.height - 1);
    const auto isDark = [&](int x, int y) { return levels.pixel(x, y) < AztecCore::kLightFrom; };
    const bool dark = isDark(sx, sy);
    std::vector<char> taken(static_cast<std::size_t>(sc.width) * sc.height, 0);
    std::vector<std::pair<int, int>> queue{{sx, sy}};
    taken[static_cast<std::size_t>(sy) * sc.width + sx] = 1;
    std::int64_t sumX = 0, sumY = 0;
    for (std::size_t i = 0; i < queue.size(); ++i) {
        const auto [x, y] = queue[i];
        sumX += x;
        sumY += y;
        for (const auto& [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
            if (nx <= x0 || nx >= x1 || ny <= y0 || ny >= y1) continue;
            char& t = taken[static_cast<std::size_t>(ny) * sc.width + nx];
            if (t == 0 && isDark(nx, ny) == dark) {
                t = 1;
                queue.push_back({nx, ny});
            }
        }
    }
    const auto n = static_cast<std::int64_t>(queue.size());
    ASSERT_EQ(locator.fillCount(), n);
    EXPECT_DOUBLE_EQ(c.x, static_cast<double>(sumX) / static_cast<double>(n));
    EXPECT_DOUBLE_EQ(c.y, static_cast<double>(sumY) / static_cast<double>(n));
    const std::uint8_t mark = dark ? AztecCore::kDarkFillMark : AztecCore::kLightFillMark;
    for (int y = y0 + 1; y < y1; ++y)
        for (int x = x0 + 1; x < x1; ++x)
            ASSERT_EQ(levels.pixel(x, y) == mark, taken[static_cast<std::size_t>(y) * sc.width + x] != 0)
                << "at " << x << ", " << y;
}

// Squares one word wide and several words wide; shares below and above the
// share at which one class spans the square; runs across word borders.
INSTANTIATE_TEST_SUITE_P(Scatter, SeedFillOnScatter,
                         ::testing::Values(ScatterCase{200, 150, 0.3, 0, 0}, ScatterCase{200, 150, 0.7, 5, -3},
                                           ScatterCase{700, 700, 0.5, 0, 0}, ScatterCase{700, 700, 0.65, -24, 24},
                                           ScatterCase{1300, 400, 0.75, 48, 0}, ScatterCase{1300, 400, 0.97, 0, 7},
                                           ScatterCase{700, 700, 0.03, 3, 3}));

// Where a seeding from (x, y) leaves the candidate's centre on a full-range
// bull's-eye in the middle of a light 200 x 160 image, after an attempt at
// the bull's-eye when `after`, the working image given back before it when
// `release`.
Aztec::Math::PointD centreFrom(std::int32_t x, std::int32_t y, bool after, bool release) {
    auto image = blankImage(200, 160);
    talavex_test::paintBullseye(image, {99.5, 79.5, 4.0});
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    if (after) locator.analyzeAt(*locator.findCandidates().front(), 100, 80);
    if (release) locator.releaseWorkingImage();
    return locator.seedCenter(x, y);
}

struct LastLineStart {
    const char* name;
    std::int32_t x, y;
};
void PrintTo(const LastLineStart& s, std::ostream* os) { *os << s.name; }

class ReleasedWorkingImage : public ::testing::TestWithParam<LastLineStart> {};

// The seeded square stops short of the last row and column, so a start on
// them reads what the check at the bull's-eye quantised there (its whole
// row and column): given back, the working image keeps those lines.
TEST_P(ReleasedWorkingImage, AStartOnTheLastLinesGoesAsWithTheImageKept) {
    const LastLineStart& s = GetParam();
    const auto kept = centreFrom(s.x, s.y, true, false);
    const auto released = centreFrom(s.x, s.y, true, true);
    EXPECT_EQ(released.x, kept.x);
    EXPECT_EQ(released.y, kept.y);
    const auto alone = centreFrom(s.x, s.y, false, false);
    EXPECT_TRUE(alone.x != kept.x || alone.y != kept.y) << "the earlier attempt left nothing that counts";
}

INSTANTIATE_TEST_SUITE_P(Starts, ReleasedWorkingImage,
                         ::testing::Values(LastLineStart{"LastColumn", 199, 80}, LastLineStart{"LastRow", 100, 159}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace locate_test
