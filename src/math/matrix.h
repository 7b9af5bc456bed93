#pragma once
// A dense matrix of doubles stored as a list of rows, with the one numerical
// operation the library needs: solving a square system for a single column.
#include <cstdint>
#include <memory>
#include <vector>

#include "math/matrix_exceptions.h"

namespace Aztec::Math {

using MatrixRow = std::vector<double>;
using RowData = std::vector<std::shared_ptr<MatrixRow>>;

class Matrix {
public:
    // rowCount rows of columnCount zeros; negative counts raise std::length_error.
    Matrix(std::int32_t rowCount, std::int32_t columnCount);
    // Deep copy of the rows. The column count is taken from row 0 (an empty
    // list raises std::out_of_range); every row is copied to exactly that many
    // values, so a short row raises std::out_of_range as well.
    explicit Matrix(const RowData& rows);

    // Copies are deep: two matrices never share a row.
    Matrix(const Matrix& other);
    Matrix& operator=(const Matrix& other);

    std::int32_t rowCount() const { return rowCount_; }
    std::int32_t columnCount() const { return columnCount_; }

    // Bounds-checked at both levels (row, then column): std::out_of_range.
    double at(std::int32_t r, std::int32_t c) const;
    double& at(std::int32_t r, std::int32_t c);
    const MatrixRow& row(std::int32_t r) const;

    // X with a.X = b for a square a and a single-column b of matching height,
    // by Crout LU decomposition with implicit partial pivoting. Returns fresh
    // rows, one value each. A zero row in a raises MatrixSingularException;
    // other singular systems come back with huge or non-finite values.
    static RowData solve(const Matrix& a, const Matrix& b);
    // The same, packaged as an n x 1 matrix. A null argument raises
    // MatrixNullException.
    static std::shared_ptr<Matrix> solveShared(const std::shared_ptr<Matrix>& a, const std::shared_ptr<Matrix>& b);

private:
    std::shared_ptr<RowData> rows_;
    std::int32_t rowCount_ = 0;
    std::int32_t columnCount_ = 0;
};

// Solves the 8 x 8 system a.x = b (a row-major) in place by exactly the steps
// of Matrix::solve, without allocating: b becomes x, a its LU factors. A zero
// row in a raises MatrixSingularException.
void solveEightInPlace(double (&a)[64], double (&b)[8]);

}  // namespace Aztec::Math
