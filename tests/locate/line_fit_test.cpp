// Line fits through ring sides and their intersection.
#include <gtest/gtest.h>

#include <cmath>

#include "locate/line_fit.h"

namespace {

using AztecCore::fitLine;
using AztecCore::intersectLines;
using AztecCore::LineCoeffs;
using AztecCore::SideSums;

// Signed distance of (x, y) from the line, for a line of unit normal.
double distanceTo(const LineCoeffs& l, double x, double y) { return l.a * x + l.b * y + l.c; }

TEST(FitLine, ThickDiagonalBandIsNotTilted) {
    // A band four pixels thick along y = x + 10, 40 pixels long: a regression
    // of y on x would flatten it; the fit must run along its middle.
    SideSums sums;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const double across = (y - x - 10) / std::sqrt(2.0);
            const double along = (x + y) / std::sqrt(2.0);
            if (std::fabs(across) < 2.0 && along > 60 && along < 100) sums.add(x, y);
        }
    const LineCoeffs l = fitLine(sums);
    EXPECT_NEAR(std::hypot(l.a, l.b), 1.0, 1e-12);
    EXPECT_NEAR(std::fabs(l.a), std::fabs(l.b), 0.01);  // 45 degrees
    EXPECT_NEAR(distanceTo(l, 50.0, 60.0), 0.0, 0.05);
    EXPECT_NEAR(distanceTo(l, 20.0, 30.0), 0.0, 0.05);
}

TEST(FitLine, HorizontalAndVerticalSides) {
    SideSums h;
    SideSums v;
    for (int k = 0; k < 30; ++k)
        for (int t = 0; t < 3; ++t) {
            h.add(k, 7 + t);
            v.add(4 + t, k);
        }
    const LineCoeffs lh = fitLine(h);
    const LineCoeffs lv = fitLine(v);
    const auto p = intersectLines(lv, lh);
    EXPECT_NEAR(p.x, 5.0, 1e-9);
    EXPECT_NEAR(p.y, 8.0, 1e-9);
}

TEST(FitLine, LargeCoordinatesDoNotOverflow) {
    // Sums of squares far beyond 32 bits.
    SideSums sums;
    for (int x = 100000; x < 100400; ++x) sums.add(x, 250000);
    EXPECT_GT(sums.sxx, std::int64_t{1} << 40);
    const LineCoeffs l = fitLine(sums);
    EXPECT_NEAR(distanceTo(l, 123456.0, 250000.0), 0.0, 1e-3);
    EXPECT_NEAR(std::fabs(l.b), 1.0, 1e-9);
}

TEST(FitLine, EmptySideGivesNonFiniteLine) {
    const LineCoeffs l = fitLine(SideSums{});
    EXPECT_FALSE(std::isfinite(l.c));
}

TEST(IntersectLines, ParallelLinesStayFinite) {
    const LineCoeffs a{0.0, 1.0, -5.0};
    const LineCoeffs b{0.0, 1.0, -9.0};
    const auto p = intersectLines(a, b);
    EXPECT_TRUE(std::isfinite(p.x));
    EXPECT_TRUE(std::isfinite(p.y));
}

}  // namespace
