// Sampling through the locator's map, ring binarisation and the local
// dark/light decision of the bit matrix.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "locate/map_sampling.h"
#include "locate/ring_threshold.h"
#include "locate/sample_grid.h"
#include "locate_support.h"

namespace locate_test {
namespace {

using Aztec::Math::ProjectiveMap;
using AztecCore::kOutsideSample;
using AztecCore::SampleGrid;

ProjectiveMap shiftAndScale(double scale, double dx, double dy) {
    ProjectiveMap m;
    m.c[0] = scale;
    m.c[2] = dx;
    m.c[4] = scale;
    m.c[5] = dy;
    return m;
}

TEST(SampleAt, NearestPixelAndOutsideValue) {
    auto image = blankImage(10, 10, 200);
    image.pixels[3 * 10 + 4] = 7;
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    locator.setMap(shiftAndScale(1.0, 0.0, 0.0));
    EXPECT_EQ(locator.sampleAt(4.0, 3.0), 7u);
    EXPECT_EQ(locator.sampleAt(4.45, 2.55), 7u);  // pixel 4 spans 3.5 .. 4.5
    EXPECT_EQ(locator.sampleAt(4.55, 3.0), 200u);
    EXPECT_EQ(locator.sampleAt(-0.4, 0.0), 200u);
    EXPECT_EQ(locator.sampleAt(-0.6, 0.0), kOutsideSample);
    EXPECT_EQ(locator.sampleAt(9.6, 5.0), kOutsideSample);
    EXPECT_EQ(locator.sampleAt(5.0, 1e12), kOutsideSample);
}

// Rectangles [x0, x1] x [y0, y1] of symbol points under a map, on a 100 x 80 image.
struct Coverage {
    const char* name;
    ProjectiveMap map;
    double x0, x1, y0, y1;
    bool within;
};

ProjectiveMap withHorizon(double c6) {
    ProjectiveMap m = shiftAndScale(1.0, 50.0, 40.0);
    m.c[6] = c6;
    return m;
}

TEST(MapKeepsWithin, OnlyRectanglesMappedWellInsideTheImage) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Coverage cases[] = {
        {"well inside", shiftAndScale(2.0, 50.0, 40.0), -8.0, 8.0, -8.0, 8.0, true},
        {"a pixel to spare on each side", shiftAndScale(1.0, 0.0, 0.0), 0.5, 98.5, 0.5, 78.5, true},
        {"less than a pixel to spare", shiftAndScale(1.0, 0.0, 0.0), 0.4, 98.5, 0.5, 78.5, false},
        {"a corner beyond the right edge", shiftAndScale(1.0, 0.0, 0.0), 10.0, 99.0, 10.0, 20.0, false},
        {"perspective, inside", withHorizon(0.001), -10.0, 10.0, -10.0, 10.0, true},
        {"the horizon crossing the rectangle", withHorizon(0.2), -10.0, 10.0, -1.0, 1.0, false},
        {"coefficients not a number", shiftAndScale(nan, 50.0, 40.0), -1.0, 1.0, -1.0, 1.0, false},
    };
    for (const Coverage& c : cases)
        EXPECT_EQ(AztecCore::mapKeepsWithin(c.map, c.x0, c.x1, c.y0, c.y1, 100, 80), c.within) << c.name;
}

TEST(SampleMean5, OutsideStaysLightWithoutWrapping) {
    const auto image = blankImage(10, 10, 0);
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    locator.setMap(shiftAndScale(1.0, 100.0, 100.0));
    // Five samples of 999999999 would wrap a 32-bit sum to a small value.
    EXPECT_EQ(locator.sampleMean5(0.0, 0.0, 0.25), kOutsideSample);
    locator.setMap(shiftAndScale(1.0, 0.0, 0.0));
    EXPECT_EQ(locator.sampleMean5(5.0, 5.0, 0.25), 0u);
}

// A block's modules, sampled together, are each the mean of their own five
// points: through a skewed cell on a noisy image, also where the cell runs
// off the image.
struct BlockCase {
    SymbolKind kind;
    double shift;  // of the cell's nodes, in pixels
};

class SampleBlockTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(SampleBlockTest, EveryModuleIsItsOwnMeanOfFive) {
    auto image = blankImage(80, 70, 0);
    std::uint32_t state = 12345;
    for (auto& p : image.pixels) p = static_cast<std::uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    SymbolCandidate cand;
    cand.kind = GetParam().kind;
    const double s = GetParam().shift;
    cand.gridNodes[10][10] = {5.3 + s, 4.1};
    cand.gridNodes[11][10] = {61.7 + s, 9.2};
    cand.gridNodes[11][11] = {57.2 + s, 66.8};
    cand.gridNodes[10][11] = {8.9 + s, 52.4};
    SampleGrid grid(32);
    locator.sampleBlock(cand, 10, 10, grid, 16, 0);
    const double delta = cand.kind == SymbolKind::Full ? 0.25 : 0.1;
    for (std::int32_t r = 0; r < 16; ++r)
        for (std::int32_t c = 0; c < 16; ++c)
            ASSERT_EQ(grid.at(16 + c, r), locator.sampleMean5(c, r, delta)) << c << "," << r;
}

INSTANTIATE_TEST_SUITE_P(KindsAndEdges, SampleBlockTest,
                         ::testing::Values(BlockCase{SymbolKind::Full, 0.0}, BlockCase{SymbolKind::Compact, 0.0},
                                           BlockCase{SymbolKind::Full, 30.0}));

TEST(BinarizeSamples, ThresholdBetweenExtremes) {
    const std::vector<std::uint32_t> samples = {0, 40, 50, 60, 100};
    AztecCore::BitVector bits;
    AztecCore::binarizeSamples(samples, bits, 0.5f);  // t = 50
    EXPECT_EQ(bits, (AztecCore::BitVector{true, true, false, false, false}));
    AztecCore::binarizeSamples(samples, bits, 0.7f);  // t = 70
    EXPECT_EQ(bits, (AztecCore::BitVector{true, true, true, true, false}));
}

TEST(BinarizeSamples, EqualSamplesAreAllLightAndNoSamplesChangeNothing) {
    AztecCore::BitVector bits;
    AztecCore::binarizeSamples({77, 77, 77}, bits, 0.3f);
    EXPECT_EQ(bits, (AztecCore::BitVector{false, false, false}));
    AztecCore::BitVector untouched = {true};
    AztecCore::binarizeSamples({}, untouched, 0.5f);
    EXPECT_EQ(untouched, AztecCore::BitVector{true});
}

TEST(BinarizeSamples, OutsideSampleTurnsEveryInsideSampleDark) {
    AztecCore::BitVector bits;
    AztecCore::binarizeSamples({0, 255, kOutsideSample}, bits, 0.5f);
    EXPECT_EQ(bits, (AztecCore::BitVector{true, true, false}));
}

// The symbol's extremes: windows holding a 0 and a 200, or a 120 and a 200,
// have enough contrast for their own middle to decide.
constexpr AztecCore::SampleRange kRange{0, 200};

TEST(ModuleIsDark, AgainstTheMiddleOfItsWindow) {
    SampleGrid grid(32);
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 32; ++y) grid.set(x, y, 200);
    grid.set(10, 10, 120);
    EXPECT_TRUE(AztecCore::moduleIsDark(grid, 10, 10, kRange));   // 120 < (120 + 200) / 2
    EXPECT_FALSE(AztecCore::moduleIsDark(grid, 11, 11, kRange));  // 200 is the window's maximum
    EXPECT_FALSE(AztecCore::moduleIsDark(grid, 20, 20, kRange));  // flat window: the symbol's middle (100) decides
    // The window is x-2 .. x+1: a dark sample two columns right is not seen.
    grid.set(22, 20, 0);
    EXPECT_FALSE(AztecCore::moduleIsDark(grid, 20, 20, kRange));
    grid.set(18, 20, 0);
    EXPECT_FALSE(AztecCore::moduleIsDark(grid, 20, 20, kRange));  // 200 < 100 is false
    grid.set(20, 20, 90);
    EXPECT_TRUE(AztecCore::moduleIsDark(grid, 20, 20, kRange));  // 90 < 100
}

TEST(ModuleIsDark, BordersWidenTheWindowToSeven) {
    SampleGrid grid(32);
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 32; ++y) grid.set(x, y, 200);
    // A sample of 120 is dark among 200s, light once a 0 joins its window.
    grid.set(0, 0, 120);
    EXPECT_TRUE(AztecCore::moduleIsDark(grid, 0, 0, kRange));
    grid.set(6, 6, 0);  // columns and rows 0 .. 6 at the near border
    EXPECT_FALSE(AztecCore::moduleIsDark(grid, 0, 0, kRange));
    grid.set(6, 6, 200);
    grid.set(7, 7, 0);
    EXPECT_TRUE(AztecCore::moduleIsDark(grid, 0, 0, kRange));

    grid.set(31, 31, 120);
    EXPECT_TRUE(AztecCore::moduleIsDark(grid, 31, 31, kRange));
    grid.set(24, 24, 0);  // columns and rows n-8 .. n-2 at the far border
    EXPECT_FALSE(AztecCore::moduleIsDark(grid, 31, 31, kRange));
    grid.set(24, 24, 200);
    grid.set(23, 23, 0);
    EXPECT_TRUE(AztecCore::moduleIsDark(grid, 31, 31, kRange));
}

TEST(ModuleIsDark, FlatWindowsFollowTheSymbolsMiddle) {
    // A patch of dark modules with a little noise: split by its own middle,
    // half of it would read light.
    SampleGrid grid(32);
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 32; ++y) grid.set(x, y, static_cast<std::uint32_t>(30 + (x * 7 + y * 3) % 9));
    const AztecCore::SampleRange range{25, 225};
    for (int x = 2; x < 30; ++x) EXPECT_TRUE(AztecCore::moduleIsDark(grid, x, 10, range)) << x;
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 32; ++y) grid.set(x, y, static_cast<std::uint32_t>(200 + (x * 5 + y) % 11));
    for (int x = 2; x < 30; ++x) EXPECT_FALSE(AztecCore::moduleIsDark(grid, x, 10, range)) << x;
}

TEST(DarkModulesOfColumn, DecideEveryRowAsModuleIsDarkDoes) {
    // Scattered samples with outside ones among them; every column, the
    // borders included, and a run of rows starting mid-column.
    for (const int side : {8, 13, 40}) {
        SampleGrid grid(side);
        for (int x = 0; x < side; ++x)
            for (int y = 0; y < side; ++y)
                grid.set(x, y,
                         (x * 37 + y * 11) % 13 == 0 ? kOutsideSample
                                                     : static_cast<std::uint32_t>((x * 97 + y * 53 + x * y) % 256));
        // The second range makes most windows too flat to decide themselves.
        for (const AztecCore::SampleRange range : {AztecCore::SampleRange{10, 250}, AztecCore::SampleRange{60, 500}})
            for (const int first : {0, 3}) {
                std::vector<std::uint8_t> dark(static_cast<std::size_t>(side - first));
                for (int x = 0; x < side; ++x) {
                    AztecCore::darkModulesOfColumn(grid, x, first, side - first, range, dark.data());
                    for (int y = first; y < side; ++y)
                        EXPECT_EQ(dark[static_cast<std::size_t>(y - first)] != 0,
                                  AztecCore::moduleIsDark(grid, x, y, range))
                            << side << " " << x << " " << y;
                }
            }
    }
}

TEST(SampleRange, ExtremesOverTheSymbolSquare) {
    SampleGrid grid(16);
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 16; ++y) grid.set(x, y, 100);
    grid.set(0, 0, 0);  // outside the square 2 .. 13
    grid.set(3, 12, 40);
    grid.set(13, 2, 230);
    const auto r = AztecCore::sampleRange(grid, 2, 12);
    EXPECT_EQ(r.lo, 40u);
    EXPECT_EQ(r.hi, 230u);
}

TEST(SampleGrid, CheckedAccess) {
    SampleGrid grid(4);
    EXPECT_THROW(grid.at(4, 0), std::out_of_range);
    EXPECT_THROW(grid.set(0, -1, 1), std::out_of_range);
}

}  // namespace
}  // namespace locate_test
