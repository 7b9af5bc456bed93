#include "math/matrix_solve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <random>
#include <string>
#include <vector>

namespace {

using Aztec::Math::MatrixSingularException;
using Aztec::Math::solveEightInPlace;
using Table = std::vector<std::vector<double>>;

// Solves an n x n system (n <= 8) as the lower right block of an 8 x 8 one
// whose other rows and columns are the identity's, with a zero right-hand
// side there. Their pivots are the identity's ones (every other candidate is
// zero), they add exact zeros to the block's sums, and the block's rows
// keep their scales, so the block goes through exactly the steps of an
// n x n solve: its pivot ties and stand-in pivots included.
std::vector<double> solve(const Table& a, const std::vector<double>& b) {
    const std::size_t n = a.size();
    const std::size_t offset = 8 - n;
    double system[64] = {};
    double rhs[8] = {};
    for (std::size_t i = 0; i < offset; ++i) system[i * 8 + i] = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j) system[(offset + i) * 8 + offset + j] = a[i][j];
        rhs[offset + i] = b[i];
    }
    solveEightInPlace(system, rhs);
    for (std::size_t i = 0; i < offset; ++i) EXPECT_EQ(rhs[i], 0.0) << "identity part, x" << i;
    return std::vector<double>(rhs + offset, rhs + 8);
}

// A zero row has no pivot at all.
TEST(MatrixSolve, ZeroRowIsSingular) {
    for (const Table& a : {Table{{0}}, Table{{1, 2, 3}, {0, 0, 0}, {4, 5, 7}}}) {
        try {
            solve(a, std::vector<double>(a.size(), 1.0));
            ADD_FAILURE() << "no exception for " << a.size() << " unknowns";
        } catch (const MatrixSingularException& e) {
            EXPECT_STREQ(e.what(), "Matrix is singular this operation cannot continue !");
        }
    }
}

struct Exact {
    Table a;
    std::vector<double> b, x;
};

class ExactSolutions : public ::testing::TestWithParam<Exact> {};

// The singular systems (no zero row) show the elimination order: where the
// stand-in pivot of 1e-20 lands, and what rounding leaves in its place, depends
// on every pivot choice and on the order of the arithmetic. Their expected
// values were worked out step by step in double precision, independently of
// this code.
TEST_P(ExactSolutions, MatchToTheLastBits) {
    const Exact& c = GetParam();
    const std::vector<double> x = solve(c.a, c.b);
    ASSERT_EQ(x.size(), c.x.size());
    for (std::size_t i = 0; i < x.size(); ++i) EXPECT_DOUBLE_EQ(x[i], c.x[i]) << "x" << i;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExactSolutions,
    ::testing::Values(Exact{{{4}}, {2}, {0.5}}, Exact{{{1, 1}, {2, -2}}, {3, 2}, {2, 1}},
                      Exact{{{2, 1}, {1, 1}}, {3, 2}, {1, 1}}, Exact{{{0, 2}, {3, 1}}, {4, 5}, {1, 2}},
                      // leading zeros of the right-hand side are skipped, later rows still reduced
                      Exact{{{1, 0, 0}, {1, 1, 0}, {1, 1, 1}}, {0, 1, 1}, {0, 1, 0}},
                      // a tie goes to the later row; keeping row 0 would flip both signs
                      Exact{{{1, 1}, {1, 1}}, {1, 2}, {1e20, -1e20}},
                      // a swapped row carries its scale along
                      Exact{{{-1, 3, -2}, {2, -1, 2}, {-1, 3, -2}}, {3, -1, -3}, {-4.8e20, 2.4e20, 6e20}},
                      // rows are scaled by their largest magnitude
                      Exact{{{3, 0, 0}, {0, -1, 3}, {-3, 1, -3}}, {-1, -1, 3}, {0, 3e20, 1e20}},
                      // one reciprocal per column: (1/-5) * -3 is not exactly 0.6, so no
                      // pivot becomes exactly zero and the result stays near 2^52
                      Exact{{{2, 1, 2}, {-3, 1, -3}, {-5, 0, -5}}, {-2, 0, 0}, {-0x1p52, -2, 0x1p52}}));

TEST(MatrixSolve, RepeatedRowGivesHugeValues) {
    double largest = 0.0;
    for (const double v : solve({{1, 2, 3}, {4, 5, 6}, {1, 2, 3}}, {1, 2, 3}))
        largest = std::isfinite(v) ? std::fmax(largest, std::fabs(v)) : INFINITY;
    EXPECT_GT(largest, 1e15);
}

class RandomSystems : public ::testing::TestWithParam<int> {};

TEST_P(RandomSystems, ResidualIsTiny) {
    const int n = GetParam();
    std::mt19937 rng(static_cast<unsigned>(n));
    std::uniform_real_distribution<double> value(-10.0, 10.0);
    for (int trial = 0; trial < 20; ++trial) {
        Table a(n, std::vector<double>(n));
        std::vector<double> b(n);
        for (int i = 0; i < n; ++i) {
            const double rowScale = std::pow(10.0, i % 3 * 3);  // exercises the row scaling
            for (double& v : a[i]) v = value(rng) * rowScale;
            b[i] = trial % 4 == 0 && i < n / 2 ? 0.0 : value(rng) * rowScale;
        }
        const std::vector<double> x = solve(a, b);
        for (int i = 0; i < n; ++i) {
            double lhs = 0.0, magnitude = std::fabs(b[i]);
            for (int j = 0; j < n; ++j) {
                lhs += a[i][j] * x[j];
                magnitude += std::fabs(a[i][j] * x[j]);
            }
            EXPECT_NEAR(lhs, b[i], 1e-9 * magnitude) << "n=" << n << " trial=" << trial;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RandomSystems, ::testing::Values(1, 2, 3, 5, 8));

}  // namespace
