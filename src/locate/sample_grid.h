#pragma once
// The gray samples of every module of a symbol, and the local decision
// whether one of them is dark.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/checked_access.h"

namespace AztecCore {

// A square table of samples; column a, row b. Bounds-checked.
class SampleGrid {
public:
    explicit SampleGrid(std::int32_t side);
    std::int32_t columns() const { return side_; }
    std::int32_t rows() const { return side_; }
    // Inline: the module decisions read every sample some twenty times.
    std::uint32_t at(std::int32_t column, std::int32_t row) const { return values_[checkedIndex(column, row)]; }
    void set(std::int32_t column, std::int32_t row, std::uint32_t value) { values_[checkedIndex(column, row)] = value; }
    // The samples of one column, row 0 first, for loops whose bounds were
    // checked once beforehand.
    const std::uint32_t* columnData(std::int32_t column) const {
        return values_.data() + static_cast<std::size_t>(column) * static_cast<std::size_t>(side_);
    }

private:
    std::size_t checkedIndex(std::int32_t column, std::int32_t row) const {
        const std::int64_t index = std::int64_t{column} * side_ + row;
        if (row < 0 || row >= side_ || index < 0 || static_cast<std::uint64_t>(index) >= values_.size())
            throwInvalidSubscript();
        return static_cast<std::size_t>(index);
    }

    std::int32_t side_;
    std::vector<std::uint32_t> values_;
};

// The darkest and lightest samples of a whole symbol.
struct SampleRange {
    std::uint32_t lo = 0;
    std::uint32_t hi = 0;
};

// Extremes over columns and rows first .. first + count - 1.
SampleRange sampleRange(const SampleGrid& grid, std::int32_t first, std::int32_t count);

// Dark when the sample lies below the middle of the extremes of a small
// window around it (4 x 4, widened to 7 at the table's borders), so uneven
// lighting over a large symbol does not matter. A window with less than a
// third of the symbol's contrast holds only one colour (data often has
// patches of four by four modules alike): there the middle of its extremes
// would split noise, so the symbol's own middle decides instead.
bool moduleIsDark(const SampleGrid& grid, std::int32_t x, std::int32_t y, const SampleRange& symbol);

// moduleIsDark for rows first .. first + count - 1 of column x, into
// dark[0 .. count) as 0 or 1.
void darkModulesOfColumn(const SampleGrid& grid, std::int32_t x, std::int32_t first, std::int32_t count,
                         const SampleRange& symbol, std::uint8_t* dark);

}  // namespace AztecCore
