#include "math/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

namespace {

using Aztec::Math::Matrix;
using Aztec::Math::MatrixRow;
using Aztec::Math::RowData;
using Table = std::vector<std::vector<double>>;

Matrix matrixOf(const Table& values) {
    RowData rows;
    for (const auto& r : values) rows.push_back(std::make_shared<MatrixRow>(r));
    return Matrix(rows);
}

Matrix columnOf(const std::vector<double>& values) {
    Table rows;
    for (const double v : values) rows.push_back({v});
    return matrixOf(rows);
}

std::vector<double> solve(const Table& a, const std::vector<double>& b) {
    std::vector<double> x;
    for (const auto& r : Matrix::solve(matrixOf(a), columnOf(b))) {
        EXPECT_EQ(r->size(), 1u);
        x.push_back(r->at(0));
    }
    return x;
}

TEST(Matrix, ConstructionAndCheckedAccess) {
    Matrix m(2, 3);
    EXPECT_EQ(m.row(1), (MatrixRow{0, 0, 0}));
    for (const auto& [r, c] : std::vector<std::pair<int, int>>{{2, 0}, {-1, 0}, {0, 3}, {0, -1}}) {
        try {
            m.at(r, c) = 1;
            ADD_FAILURE() << r << "," << c << " did not raise";
        } catch (const std::out_of_range& e) {
            EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
        }
    }
    EXPECT_THROW(Matrix(-1, 2), std::length_error);
    EXPECT_THROW(Matrix(RowData{}), std::out_of_range);
    EXPECT_THROW(matrixOf({{1, 2}, {3}}), std::out_of_range);  // a row shorter than row 0

    RowData rows = {std::make_shared<MatrixRow>(MatrixRow{1, 2})};
    const Matrix copied(rows);
    (*rows[0])[0] = 99;
    Matrix again(copied);
    again.at(0, 1) = 99;
    EXPECT_EQ(copied.row(0), (MatrixRow{1, 2}));
}

struct Failure {
    const char* name;
    Table a, b;
    const std::type_info* type;
    const char* message;
};

class SolveFailures : public ::testing::TestWithParam<Failure> {};

TEST_P(SolveFailures, ReportTheRightClassAndText) {
    const Failure& f = GetParam();
    const Matrix a = matrixOf(f.a);
    const Matrix b = matrixOf(f.b);
    try {
        Matrix::solve(a, b);
        ADD_FAILURE() << "no exception";
    } catch (const std::exception& e) {
        EXPECT_EQ(typeid(e), *f.type) << typeid(e).name();
        EXPECT_STREQ(e.what(), f.message);
    }
    EXPECT_EQ(a.row(0), MatrixRow(f.a[0]));
}

using namespace Aztec::Math;
const char* const kSingular = "Matrix is singular this operation cannot continue !";
const char* const kSquare = "To do this operation, matrix must be a square matrix !";
const char* const kDimension = "Dimension of the two matrices not suitable for this operation !";

INSTANTIATE_TEST_SUITE_P(
    Table, SolveFailures,
    ::testing::Values(
        Failure{"ZeroOneByOne", {{0}}, {{5}}, &typeid(MatrixSingularException), kSingular},
        Failure{
            "ZeroRow", {{1, 2, 3}, {0, 0, 0}, {4, 5, 7}}, {{1}, {2}, {3}}, &typeid(MatrixSingularException), kSingular},
        Failure{"NotSquareBeforeRhs", {{1, 2}, {3, 4}, {5, 6}}, {{1, 1}}, &typeid(MatrixNotSquareException), kSquare},
        Failure{"RhsTwoColumns", {{1, 2}, {3, 4}}, {{1, 1}, {2, 2}}, &typeid(MatrixDimensionException), kDimension},
        Failure{"RhsTooShort", {{1, 2}, {3, 4}}, {{1}}, &typeid(MatrixDimensionException), kDimension},
        Failure{"RhsBeforeZeroRow", {{0, 0}, {0, 0}}, {{1}, {2}, {3}}, &typeid(MatrixDimensionException), kDimension}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MatrixSolve, OtherFailures) {
    EXPECT_THROW(Matrix::solve(Matrix(0, 0), Matrix(0, 1)), std::out_of_range);
    EXPECT_STREQ(MatrixNullException().what(), "To do this operation, matrix can not be null");
    EXPECT_THROW(Matrix::solveShared(nullptr, std::make_shared<Matrix>(1, 1)), MatrixNullException);
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

INSTANTIATE_TEST_SUITE_P(Sizes, RandomSystems, ::testing::Values(1, 2, 3, 5, 8, 12));

TEST(MatrixSolve, SharedResultIsAFreshColumn) {
    auto a = std::make_shared<Matrix>(matrixOf({{2, 0, 0}, {0, 4, 0}, {0, 0, 8}}));
    auto b = std::make_shared<Matrix>(columnOf({2, 2, 2}));
    const std::shared_ptr<Matrix> x = Matrix::solveShared(a, b);
    EXPECT_EQ(x->rowCount(), 3);
    EXPECT_EQ(x->columnCount(), 1);
    EXPECT_EQ(x->at(2, 0), 0.25);
    x->at(0, 0) = 42;
    EXPECT_EQ(b->at(0, 0), 2);
    EXPECT_EQ(a->row(0), (MatrixRow{2, 0, 0}));
}

}  // namespace
