#include "math/matrix.h"

#include <cstddef>
#include <stdexcept>
#include <utility>

#include "common/checked_access.h"

namespace Aztec::Math {

using AztecCore::checkedAt;

namespace {

// Fresh rows of exactly `columns` values each, whatever the source rows share.
std::shared_ptr<RowData> copyRows(const RowData& rows, std::int32_t columns) {
    auto copy = std::make_shared<RowData>();
    copy->reserve(rows.size());
    for (const auto& source : rows) {
        auto row = std::make_shared<MatrixRow>(static_cast<std::size_t>(columns));
        for (std::int32_t c = 0; c < columns; ++c) (*row)[static_cast<std::size_t>(c)] = checkedAt(*source, c);
        copy->push_back(std::move(row));
    }
    return copy;
}

}  // namespace

Matrix::Matrix(std::int32_t rowCount, std::int32_t columnCount) : rowCount_(rowCount), columnCount_(columnCount) {
    if (rowCount < 0 || columnCount < 0) throw std::length_error("vector<T> too long");
    rows_ = std::make_shared<RowData>();
    rows_->reserve(static_cast<std::size_t>(rowCount));
    for (std::int32_t r = 0; r < rowCount; ++r)
        rows_->push_back(std::make_shared<MatrixRow>(static_cast<std::size_t>(columnCount), 0.0));
}

Matrix::Matrix(const RowData& rows) {
    const auto columns = static_cast<std::int32_t>(checkedAt(rows, 0)->size());
    rows_ = copyRows(rows, columns);
    rowCount_ = static_cast<std::int32_t>(rows.size());
    columnCount_ = columns;
}

Matrix::Matrix(const Matrix& other)
    : rows_(copyRows(*other.rows_, other.columnCount_)), rowCount_(other.rowCount_), columnCount_(other.columnCount_) {}

Matrix& Matrix::operator=(const Matrix& other) {
    if (this != &other) {
        rows_ = copyRows(*other.rows_, other.columnCount_);
        rowCount_ = other.rowCount_;
        columnCount_ = other.columnCount_;
    }
    return *this;
}

const MatrixRow& Matrix::row(std::int32_t r) const { return *checkedAt(*rows_, r); }

double Matrix::at(std::int32_t r, std::int32_t c) const { return checkedAt(*checkedAt(*rows_, r), c); }

double& Matrix::at(std::int32_t r, std::int32_t c) { return checkedAt(*checkedAt(*rows_, r), c); }

}  // namespace Aztec::Math
