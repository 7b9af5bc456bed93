// Bull's-eye check and corner fit on synthetic finders.
#include <gtest/gtest.h>

#include <cmath>

#include "locate_support.h"

namespace locate_test {
namespace {

using Aztec::Math::PointD;

// Distance from p to the nearest of the four points (cx +- d, cy +- d) turned
// by `degrees` about (cx, cy).
double cornerError(const PointD& p, double cx, double cy, double d, double degrees) {
    const double a = degrees * 3.14159265358979323846 / 180.0;
    double best = 1e9;
    for (const double su : {-1.0, 1.0})
        for (const double sv : {-1.0, 1.0}) {
            const double x = cx + std::cos(a) * su * d - std::sin(a) * sv * d;
            const double y = cy + std::sin(a) * su * d + std::cos(a) * sv * d;
            best = std::min(best, std::hypot(p.x - x, p.y - y));
        }
    return best;
}

struct FinderCase {
    const char* name;
    int rings;  // 6: full-range finder, 4: compact finder
    bool full;  // which test to run
    double d;   // ring half-width in pixels after the corner fit
};

class AxisAlignedFinder : public ::testing::TestWithParam<FinderCase> {};

TEST_P(AxisAlignedFinder, PassesAndFitsTheRingCorners) {
    const FinderCase& fc = GetParam();
    auto image = blankImage(400, 400);
    talavex_test::paintBullseye(image, {199.5, 199.5, 10.0, 0.0, fc.rings});
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    SymbolCandidate cand;
    cand.center = locator.seedCenter(200, 200);
    ASSERT_TRUE(locator.checkBullseye(cand, fc.full));
    locator.fitRingCorners(cand);
    const double c = 199.5;
    const PointD expected[4] = {{c - fc.d, c - fc.d}, {c + fc.d, c - fc.d}, {c + fc.d, c + fc.d}, {c - fc.d, c + fc.d}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(cand.corners[k].x, expected[k].x, 1.0) << "corner " << k;
        EXPECT_NEAR(cand.corners[k].y, expected[k].y, 1.0) << "corner " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Finders, AxisAlignedFinder,
                         ::testing::Values(FinderCase{"FullAsFull", 6, true, 50.0},
                                           // The inner rings of a full-range finder look compact.
                                           FinderCase{"FullAsCompact", 6, false, 30.0},
                                           FinderCase{"CompactAsCompact", 4, false, 30.0}),
                         [](const auto& info) { return std::string(info.param.name); });

// Turned finders: near 45 degrees the ring's corners sit on the quadrant
// borders, the case the diagonal sectors are for; the line fit must stay
// unbiased whatever the sides' direction.
class TurnedFinder : public ::testing::TestWithParam<double> {};

TEST_P(TurnedFinder, CornersWithinHalfAPixel) {
    const double degrees = GetParam();
    // Large enough for the seeding region (a sixth of the image around the
    // start) to hold the finder's tips at 45 degrees; centred between pixels
    // so that the rings come out symmetric.
    auto image = blankImage(600, 600);
    talavex_test::paintBullseye(image, {300.5, 300.5, 10.0, 0.0, 6, degrees});
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    SymbolCandidate cand;
    cand.center = locator.seedCenter(300, 300);
    EXPECT_NEAR(cand.center.x, 300.5, 0.01);
    EXPECT_NEAR(cand.center.y, 300.5, 0.01);
    ASSERT_TRUE(locator.checkBullseye(cand, true));
    locator.fitRingCorners(cand);
    for (int k = 0; k < 4; ++k) EXPECT_LT(cornerError(cand.corners[k], 300.5, 300.5, 50.0, degrees), 0.5) << k;
    // Clockwise order: the top-left corner is the one nearest the top-left.
    EXPECT_LT(cand.corners[0].x + cand.corners[0].y, cand.corners[2].x + cand.corners[2].y);
    const double cross = (cand.corners[1].x - cand.corners[0].x) * (cand.corners[3].y - cand.corners[0].y) -
                         (cand.corners[1].y - cand.corners[0].y) * (cand.corners[3].x - cand.corners[0].x);
    EXPECT_GT(cross, 0.0);  // y grows downward: clockwise on screen
}

INSTANTIATE_TEST_SUITE_P(Angles, TurnedFinder, ::testing::Values(0.0, 10.0, 30.0, 44.0, 45.0, 46.0, 60.0, 135.0));

TEST(CheckBullseye, FailedSeedIsRejected) {
    const auto image = blankImage(100, 100);
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    SymbolCandidate cand;
    cand.center = locator.seedCenter(50, 50);  // creates the working image
    cand.center = {-1.0, -1.0};
    EXPECT_FALSE(locator.checkBullseye(cand, true));
    EXPECT_FALSE(locator.checkBullseye(cand, false));
    for (const auto& c : cand.corners) {
        EXPECT_EQ(c.x, -1.0);
        EXPECT_EQ(c.y, -1.0);
    }
}

TEST(CheckBullseye, DarkProbeIsRejected) {
    // Rings with a dark ring where the light probe lands: every ring dark
    // except the first, so the probe at 5 (or 3) modules meets dark.
    auto image = blankImage(400, 400, 0);
    for (int y = 185; y < 215; ++y)
        for (int x = 185; x < 215; ++x)
            if (x < 195 || x >= 205 || y < 195 || y >= 205) image.pixels[y * 400 + x] = 255;
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    SymbolCandidate cand;
    cand.center = locator.seedCenter(200, 200);
    EXPECT_FALSE(locator.checkBullseye(cand, true));
    EXPECT_FALSE(locator.checkBullseye(cand, false));
}

TEST(CheckBullseye, StretchedFinderIsRejected) {
    // Modules 12 wide and 4 high: the edge scans' extents differ 3:1.
    auto image = blankImage(400, 400);
    talavex_test::paintBullseye(image, {199.5, 199.5, 12.0, 4.0});
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    SymbolCandidate cand;
    cand.center = locator.seedCenter(200, 200);
    EXPECT_FALSE(locator.checkBullseye(cand, true));
    EXPECT_FALSE(locator.checkBullseye(cand, false));
}

}  // namespace
}  // namespace locate_test
