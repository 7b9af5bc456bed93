#include "math/projective_map.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <string>

namespace {

using Aztec::Math::fitProjectiveMap;
using Aztec::Math::PointD;
using Aztec::Math::ProjectiveMap;
using Quad = std::array<PointD, 4>;

ProjectiveMap fit(const Quad& p, const Quad& q) {
    return fitProjectiveMap(p[0], p[1], p[2], p[3], q[0], q[1], q[2], q[3]);
}

const Quad kUnit = {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
const Quad kCell = {{{0, 0}, {16, 0}, {16, 16}, {0, 16}}};
const Quad kFrame = {{{-3, -3}, {3, -3}, {3, 3}, {-3, 3}}};

struct Known {
    const char* name;
    Quad p, q;
    std::array<double, 8> c;
};

class KnownMaps : public ::testing::TestWithParam<Known> {};

TEST_P(KnownMaps, Coefficients) {
    const Known& k = GetParam();
    const ProjectiveMap m = fit(k.p, k.q);
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(m.c[i], k.c[i], 1e-12) << "c" << i;
}

INSTANTIATE_TEST_SUITE_P(
    Table, KnownMaps,
    ::testing::Values(Known{"Identity", kUnit, kUnit, {1, 0, 0, 0, 1, 0, 0, 0}},
                      Known{"IdentityOnFrame", kFrame, kFrame, {1, 0, 0, 0, 1, 0, 0, 0}},
                      Known{"Scale", kUnit, {{{0, 0}, {2, 0}, {2, 2}, {0, 2}}}, {2, 0, 0, 0, 2, 0, 0, 0}},
                      Known{"ScaleShift", kUnit, {{{5, 7}, {7, 7}, {7, 9}, {5, 9}}}, {2, 0, 5, 0, 2, 7, 0, 0}},
                      Known{"Transpose", kUnit, {{{0, 0}, {0, 1}, {1, 1}, {1, 0}}}, {0, 1, 0, 1, 0, 0, 0, 0}},
                      // collinear targets: a finite map flattening the plane onto a line
                      Known{"FlatTargets", kUnit, {{{0, 0}, {1, 0}, {2, 0}, {0, 1}}}, {2, 0, 0, 0, 0, 0, 1, -1}}),
    [](const auto& info) { return std::string(info.param.name); });

PointD diagonalCrossing(const Quad& q) {
    const double d1x = q[2].x - q[0].x, d1y = q[2].y - q[0].y;
    const double d2x = q[3].x - q[1].x, d2y = q[3].y - q[1].y;
    const double t = ((q[1].x - q[0].x) * d2y - (q[1].y - q[0].y) * d2x) / (d1x * d2y - d1y * d2x);
    return {q[0].x + t * d1x, q[0].y + t * d1y};
}

TEST(ProjectiveMap, RandomConvexQuadsReproduceTheirCorners) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> jitter(-0.3, 0.3), size(5.0, 400.0), place(-100.0, 1000.0),
        turn(0.0, 6.283185307179586);
    const double square[4][2] = {{-0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}, {-0.5, 0.5}};
    for (int trial = 0; trial < 100; ++trial) {
        // A rotated square whose corners move by up to 30 % of its side stays convex.
        const double s = size(rng), a = turn(rng), cx = place(rng), cy = place(rng);
        Quad q;
        for (int k = 0; k < 4; ++k) {
            const double u = square[k][0] + jitter(rng), v = square[k][1] + jitter(rng);
            q[k] = {cx + s * (u * std::cos(a) - v * std::sin(a)), cy + s * (u * std::sin(a) + v * std::cos(a))};
        }
        const ProjectiveMap m = fit(kCell, q);
        const double tolerance = 1e-9 * (std::fabs(cx) + std::fabs(cy) + s);
        for (int k = 0; k < 4; ++k) {
            const PointD r = m.apply(kCell[k].x, kCell[k].y);
            EXPECT_NEAR(r.x, q[k].x, tolerance) << "trial " << trial << " corner " << k;
            EXPECT_NEAR(r.y, q[k].y, tolerance) << "trial " << trial << " corner " << k;
        }
        // Straight lines stay straight: the centre lands where the diagonals cross.
        const PointD centre = m.apply(8, 8), crossing = diagonalCrossing(q);
        EXPECT_NEAR(centre.x, crossing.x, tolerance) << "trial " << trial;
        EXPECT_NEAR(centre.y, crossing.y, tolerance) << "trial " << trial;
    }
}

// Worked out step by step in double precision, independently of this code;
// the fit must agree to the last bit.
TEST(ProjectiveMap, CoefficientsAreBitExact) {
    const ProjectiveMap m = fit(kCell, {{{103.5, 88.25}, {171.0, 95.5}, {165.75, 160.0}, {98.0, 150.5}}});
    const double expected[8] = {3.855880387748176,     -0.38246648566095365, 103.5,
                                0.2504697487131625,    3.8311675398778213,   88.25,
                                -0.002122044516092539, -0.000395066180213813};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(m.c[i], expected[i]) << "c" << i;
}

// Three collinear source points: the stand-in pivot of 1e-20 turns into
// coefficients of about 5e19 (the exact size depends on the elimination order).
TEST(ProjectiveMap, DegenerateSourcesRaiseNothing) {
    ProjectiveMap m;
    ASSERT_NO_THROW(m = fit({{{0, 0}, {1, 0}, {2, 0}, {0, 1}}}, kUnit));
    double largest = 0.0;
    for (const double c : m.c) largest = std::isfinite(c) ? std::fmax(largest, std::fabs(c)) : INFINITY;
    EXPECT_GT(largest, 1e19);
    EXPECT_LT(largest, 1e20);
    EXPECT_NO_THROW(fit({{{3, 3}, {3, 3}, {3, 3}, {3, 3}}}, kUnit));
}

}  // namespace
