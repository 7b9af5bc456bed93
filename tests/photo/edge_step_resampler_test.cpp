#include "photo/edge_step_resampler.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <vector>

#include "photo/edge_steps.h"
#include "photo_test_images.h"

namespace {

using AztecCore::EdgeStep;
using AztecCore::Image::GrayBuf;
using Profile = std::vector<std::uint8_t>;

std::vector<EdgeStep> edgesOf(const Profile& p) {
    std::vector<std::int32_t> d(p.size(), 0);
    for (std::size_t i = 1; i < p.size(); ++i) d[i] = std::int32_t{p[i]} - std::int32_t{p[i - 1]};
    std::vector<EdgeStep> edges{{9.0f, 9}};  // stale content must be replaced
    AztecCore::extractEdgeSteps(d, edges);
    return edges;
}

// ---- edges of one profile ----

struct EdgeCase {
    const char* name;
    Profile profile;
    std::vector<EdgeStep> expected;
};

class ExtractEdgeSteps : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(ExtractEdgeSteps, RunsBecomeCentroidSteps) {
    const EdgeCase& c = GetParam();
    const auto edges = edgesOf(c.profile);
    ASSERT_EQ(edges.size(), c.expected.size());
    for (std::size_t i = 0; i < edges.size(); ++i) {
        EXPECT_FLOAT_EQ(edges[i].position, c.expected[i].position) << i;
        EXPECT_EQ(edges[i].step, c.expected[i].step) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, ExtractEdgeSteps,
    ::testing::Values(EdgeCase{"Ridge", {0, 0, 100, 0}, {{0.375f, 100}, {0.625f, -100}}},
                      // The first run (rising, empty) closes without an edge.
                      EdgeCase{"FallFirst", {200, 100, 100}, {{0.5f / 3.0f, -100}}},
                      // Flat stretches inside a rise do not split it: centroid (100*1 + 100*3) / 200 = 2.
                      EdgeCase{"RiseWithPlateau", {0, 100, 100, 200}, {{0.375f, 200}}},
                      // Centroid (40*1 + 80*2 + 30*5) / 150 = 2.333..., then (-20*6 - 100*7) / -120.
                      EdgeCase{"RiseThenFall",
                               {10, 50, 130, 130, 130, 160, 140, 40},
                               {{(350.0f / 150.0f - 0.5f) / 8.0f, 150}, {(820.0f / 120.0f - 0.5f) / 8.0f, -120}}},
                      EdgeCase{"SinglePixel", {77}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

std::vector<std::uint8_t> render(const std::vector<EdgeStep>& edges, std::int32_t start, std::int32_t count) {
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(count), 99);
    AztecCore::renderEdgeSteps(edges, start, AztecCore::SamplePositions(count), samples.data());
    return samples;
}

TEST(RenderEdgeSteps, SeveralEdgesBeforeOneSampleAllApply) {
    // t = 0.5 takes the first two edges; the third (0.7) is never reached.
    EXPECT_EQ(render({{0.1f, 50}, {0.2f, 60}, {0.7f, -30}}, 5, 2), (std::vector<std::uint8_t>{5, 115}));
}

TEST(RenderEdgeSteps, AnEdgeWaitsForTheOneAheadOfIt) {
    // Out-of-order positions: the second edge is due at sample 1 but the
    // first one only applies at sample 3, and the second with it.
    EXPECT_EQ(render({{0.7f, 100}, {0.2f, 50}}, 0, 4), (std::vector<std::uint8_t>{0, 0, 0, 150}));
}

TEST(RenderEdgeSteps, ValuesWrapToTheirLowByte) {
    EXPECT_EQ(render({{0.2f, 100}, {0.6f, -400}}, 200, 4), (std::vector<std::uint8_t>{200, 44, 44, 156}));
}

TEST(RenderEdgeSteps, EdgesAtOrBeyondTheEndNeverApply) {
    EXPECT_EQ(render({{1.0f, 100}}, 7, 3), (std::vector<std::uint8_t>{7, 7, 7}));
    EXPECT_EQ(render({{-0.5f, 10}, {0.0f, 10}}, 7, 3), (std::vector<std::uint8_t>{27, 27, 27}));
}

// The staircase as defined sample by sample: sample x stands for x / N in
// single precision and applies every pending edge whose position it reaches.
std::vector<std::uint8_t> referenceRender(const std::vector<EdgeStep>& edges, std::int32_t start, std::int32_t count) {
    std::vector<std::uint8_t> out;
    std::size_t k = 0;
    std::int32_t v = start;
    for (std::int32_t x = 0; x < count; ++x) {
        volatile float t = static_cast<float>(x) / static_cast<float>(count);
        while (k < edges.size() && t >= edges[k].position) v += edges[k++].step;
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    }
    return out;
}

TEST(RenderEdgeSteps, MatchesSampleBySampleDefinitionOnRandomProfiles) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 300; ++trial) {
        const int length = 1 + static_cast<int>(rng() % 60);
        Profile p(static_cast<std::size_t>(length));
        int level = static_cast<int>(rng() % 256);
        for (auto& v : p) {
            if (rng() % 3 == 0) level = static_cast<int>(rng() % 256);
            v = static_cast<std::uint8_t>(level);
        }
        const auto edges = edgesOf(p);
        // Output lengths that are multiples of the profile put edges exactly on samples.
        for (const int count : {length, 2 * length, 3 * length + 1, 1 + static_cast<int>(rng() % 300)})
            ASSERT_EQ(render(edges, p[0], count), referenceRender(edges, p[0], count)) << trial << " " << count;
    }
}

// ---- whole images ----

struct ProfileCase {
    const char* name;
    Profile profile;
    int outputLength;
    Profile expected;
};

class ResampleProfile : public ::testing::TestWithParam<std::tuple<ProfileCase, bool>> {};

// A profile is resampled the same way as a row (L x 1 -> N x 1) and as a column (1 x L -> 1 x N).
TEST_P(ResampleProfile, MatchesExpectedStaircase) {
    const auto& [c, asColumn] = GetParam();
    const int length = static_cast<int>(c.profile.size());
    const GrayBuf source(c.profile.data(), asColumn ? 1 : length, asColumn ? length : 1);
    GrayBuf destination;
    destination.resize(asColumn ? 1 : c.outputLength, asColumn ? c.outputLength : 1);
    AztecCore::resampleEdgeSteps(destination, source);
    Profile out;
    for (int i = 0; i < c.outputLength; ++i)
        out.push_back(asColumn ? destination.pixel(0, i) : destination.pixel(i, 0));
    EXPECT_EQ(out, c.expected);
    EXPECT_EQ(destination.width(), asColumn ? 1 : c.outputLength);
    EXPECT_EQ(destination.height(), asColumn ? c.outputLength : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, ResampleProfile,
    ::testing::Combine(
        ::testing::Values(ProfileCase{"SharpRiseTo8", {10, 10, 200, 200}, 8, {10, 10, 10, 200, 200, 200, 200, 200}},
                          ProfileCase{"BlurredRiseTo8", {10, 60, 160, 210}, 8, {10, 10, 10, 210, 210, 210, 210, 210}},
                          ProfileCase{"BlurredRiseSameSize", {10, 60, 160, 210}, 4, {10, 10, 210, 210}},
                          ProfileCase{"RidgeTo8", {0, 0, 100, 0}, 8, {0, 0, 0, 100, 100, 0, 0, 0}},
                          ProfileCase{"FallFirstTo3", {200, 100, 100}, 3, {200, 100, 100}},
                          ProfileCase{"SinglePixelTo5", {77}, 5, {77, 77, 77, 77, 77}},
                          ProfileCase{"ConstantTo7", {42, 42, 42, 42}, 7, {42, 42, 42, 42, 42, 42, 42}},
                          ProfileCase{"ShrinkRidge", {0, 0, 100, 100, 100, 100, 0, 0}, 4, {0, 100, 100, 0}}),
        ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "Column" : "Row");
    });

TEST(ResampleEdgeSteps, RowsFirstThenColumns) {
    // Rows [0 255] and [255 0]: each row's edge lands at sample 2 of 8, and
    // the columns of the 8 x 2 intermediate image do the same vertically.
    const std::uint8_t pixels[] = {0, 255, 255, 0};
    const GrayBuf source(pixels, 2, 2);
    GrayBuf destination;
    destination.resize(8, 8);
    AztecCore::resampleEdgeSteps(destination, source);
    ASSERT_EQ(destination.width(), 8);
    ASSERT_EQ(destination.height(), 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool top = y < 2;
            const bool left = x < 2;
            EXPECT_EQ(destination.pixel(x, y), (top == left) ? 0 : 255) << x << "," << y;
        }
    }
    EXPECT_EQ(source.pixel(1, 0), 255);  // the source is left alone
}

TEST(ResampleEdgeSteps, OverwritesEveryPixelOfReusedStorage) {
    // A destination shrunk from a larger image still holds the old bytes; the
    // resampler must replace all of them.
    GrayBuf destination = photo_test::filledImage(40, 40, 77);
    destination.resize(12, 9);
    GrayBuf source = photo_test::filledImage(4, 3, 0);
    photo_test::fillRect(source, 2, 0, 2, 3, 255);
    AztecCore::resampleEdgeSteps(destination, source);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) EXPECT_EQ(destination.pixel(x, y), x < 5 ? 0 : 255) << x << "," << y;
}

TEST(ResampleEdgeSteps, EmptyDestinationReceivesNothing) {
    const GrayBuf source = photo_test::filledImage(5, 5, 9);
    GrayBuf destination;
    destination.resize(0, 6);
    EXPECT_NO_THROW(AztecCore::resampleEdgeSteps(destination, source));
    EXPECT_EQ(destination.width(), 0);
    EXPECT_EQ(destination.height(), 6);
}

TEST(ResampleEdgeSteps, EmptySourceIntoNonEmptyDestinationRaises) {
    GrayBuf source;
    GrayBuf destination;
    destination.resize(4, 4);
    EXPECT_THROW(AztecCore::resampleEdgeSteps(destination, source), std::out_of_range);
}

TEST(ResampleEdgeSteps, BlurredBarComesOutSharpAtItsCentroids) {
    // A dark bar with uneven two-pixel ramps: 220 -> 170 -> 20 at x = 9, 10
    // (centroid 9.75) and 20 -> 70 -> 220 at x = 20, 21 (centroid 20.75).
    GrayBuf source = photo_test::filledImage(30, 30, 220);
    photo_test::fillRect(source, 9, 0, 1, 30, 170);
    photo_test::fillRect(source, 10, 0, 10, 30, 20);
    photo_test::fillRect(source, 20, 0, 1, 30, 70);
    GrayBuf destination;
    destination.resize(90, 90);
    AztecCore::resampleEdgeSteps(destination, source);
    // Edges at (9.75 - 0.5) / 30 and (20.75 - 0.5) / 30 of the width: samples 27.75 and 60.75.
    for (int y = 0; y < 90; ++y) {
        for (int x = 0; x < 90; ++x) {
            const int expected = (x >= 28 && x <= 60) ? 20 : 220;
            ASSERT_EQ(destination.pixel(x, y), expected) << x << "," << y;
        }
    }
}

}  // namespace
