// The candidate record, the search sequence of locate and the crop around a
// located bull's-eye.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "locate/start_points.h"
#include "locate_support.h"

namespace locate_test {
namespace {

TEST(FindCandidates, OneZeroedCandidateAtTheImageCentre) {
    SymbolLocator locator;
    locator.source = toGrayBuf(blankImage(640, 480));
    auto cands = locator.findCandidates();
    ASSERT_EQ(cands.size(), 1u);
    const SymbolCandidate& c = *cands[0];
    EXPECT_DOUBLE_EQ(c.center.x, 320.0);
    EXPECT_DOUBLE_EQ(c.center.y, 240.0);
    EXPECT_EQ(c.kind, SymbolKind::None);
    EXPECT_EQ(c.layers, 0u);
    EXPECT_EQ(c.symbolSize, 0u);
    EXPECT_EQ(c.orientation, 0u);
    for (const auto& row : c.gridNodes)
        for (const auto& node : row) {
            EXPECT_EQ(node.x, 0.0);
            EXPECT_EQ(node.y, 0.0);
        }
    for (const auto& corner : c.corners) EXPECT_EQ(corner.x, 0.0);

    locator.source = toGrayBuf(blankImage(7, 5));
    auto odd = locator.findCandidates();
    EXPECT_DOUBLE_EQ(odd.at(0)->center.x, 3.5);
    EXPECT_DOUBLE_EQ(odd.at(0)->center.y, 2.5);
}

TEST(StartOffsets, CentreThenEveryPointOfTwoRingsOnce) {
    const auto& o = AztecCore::kStartOffsets;
    ASSERT_EQ(o.size(), 25u);
    EXPECT_EQ(o[0].dx, 0);
    EXPECT_EQ(o[0].dy, 0);
    EXPECT_EQ(o[1].dx, -24);
    EXPECT_EQ(o[1].dy, -24);
    // Every point of the 24-pixel grid within 48 pixels of the centre, once,
    // the inner ring before the outer one.
    std::set<std::pair<int, int>> seen;
    for (std::size_t i = 0; i < o.size(); ++i) {
        EXPECT_EQ(o[i].dx % 24, 0);
        EXPECT_EQ(o[i].dy % 24, 0);
        const int ring = std::max(std::abs(o[i].dx), std::abs(o[i].dy)) / 24;
        EXPECT_EQ(ring, i == 0 ? 0 : (i <= 8 ? 1 : 2)) << i;
        EXPECT_TRUE(seen.insert({o[i].dx, o[i].dy}).second) << o[i].dx << "," << o[i].dy;
    }
}

TEST(Locate, NoBullseyeMeansTwentyFiveAttempts) {
    SymbolLocator locator;
    locator.source = toGrayBuf(blankImage(320, 240));
    auto cands = locator.findCandidates();
    EXPECT_FALSE(locator.locate(*cands[0]));
    EXPECT_EQ(locator.analyzeCount(), 25u);
    EXPECT_EQ(cands[0]->kind, SymbolKind::None);
    EXPECT_EQ(cands[0]->corners[0].x, -1.0);
}

TEST(Locate, FinderWithoutModeMessageIsSeenButNotLocated) {
    // A full-range finder with nothing around it: every attempt that lands
    // on it sees the bull's-eye, none can read a mode message.
    auto image = blankImage(400, 400);
    talavex_test::paintBullseye(image, {199.5, 199.5, 10.0});
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    auto cands = locator.findCandidates();
    EXPECT_FALSE(locator.analyzeAt(*cands[0], 200, 200));
    EXPECT_EQ(cands[0]->kind, SymbolKind::Full);
    EXPECT_NEAR(cands[0]->corners[0].x, 149.5, 1.0);  // the full-range ring's corners are kept
    EXPECT_FALSE(locator.locate(*cands[0]));
    EXPECT_EQ(locator.analyzeCount(), 26u);
}

TEST(Locate, SymbolAtTheFirstRingCornerIsFoundByTheSecondAttempt) {
    const auto symbol = talavex_test::encodeAztec(std::string("START POINT"));
    talavex_test::RenderOptions options;
    options.moduleSize = 4.0;
    options.width = 320;
    options.height = 240;
    options.offsetX = -24.0;
    options.offsetY = -24.0;
    SymbolLocator locator;
    locator.source = toGrayBuf(talavex_test::renderSymbol(symbol, options));
    auto cands = locator.findCandidates();
    ASSERT_TRUE(locator.locate(*cands[0]));
    EXPECT_LE(locator.analyzeCount(), 2u);
    EXPECT_NEAR(cands[0]->center.x, 160 - 24 - 0.5, 0.5);
    EXPECT_NEAR(cands[0]->center.y, 120 - 24 - 0.5, 0.5);
    const auto bytes = readLocated(locator, *cands[0]);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, bytesOf("START POINT"));
}

TEST(CropAround, TenRingWidthsCentredOnTheBullseye) {
    auto image = blankImage(300, 300);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) image.pixels[y * 300 + x] = static_cast<std::uint8_t>((x + 2 * y) % 251);
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    SymbolCandidate cand;
    cand.corners[0] = {100, 100};
    cand.corners[1] = {110, 100};
    cand.corners[2] = {110, 110};
    cand.corners[3] = {100, 110};
    cand.center = {105, 105};
    const GrayBuf crop = locator.cropAround(cand);
    ASSERT_EQ(crop.width(), 100);
    ASSERT_EQ(crop.height(), 100);
    EXPECT_EQ(crop.pixel(0, 0), image.at(55, 55));
    EXPECT_EQ(crop.pixel(99, 99), image.at(154, 154));
    EXPECT_EQ(crop.pixel(37, 80), image.at(92, 135));

    cand.center = {20, 280};  // crop reaches past the left and bottom edges
    const GrayBuf edge = locator.cropAround(cand);
    EXPECT_EQ(edge.pixel(0, 0), 255);  // source (-30, 230)
    EXPECT_EQ(edge.pixel(30, 0), image.at(0, 230));
    EXPECT_EQ(edge.pixel(40, 70), 255);  // source (10, 300)
    EXPECT_EQ(edge.pixel(40, 69), image.at(10, 299));
}

TEST(CropAround, UnlocatedCandidateGivesAnEmptyCrop) {
    SymbolLocator locator;
    locator.source = toGrayBuf(blankImage(50, 50));
    SymbolCandidate cand;
    for (auto& c : cand.corners) c = {-1.0, -1.0};
    const GrayBuf crop = locator.cropAround(cand);
    EXPECT_EQ(crop.width(), 0);
    EXPECT_EQ(crop.height(), 0);
}

}  // namespace
}  // namespace locate_test
