#include "locate/sample_grid.h"

#include <algorithm>

#include "common/checked_access.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

SampleGrid::SampleGrid(std::int32_t side)
    : side_(std::max(side, 0)), values_(static_cast<std::size_t>(side_) * static_cast<std::size_t>(side_), 0) {}

namespace {

// Window [first, last) around p along an axis of `count` entries.
void windowAround(std::int32_t p, std::int32_t count, std::int32_t& first, std::int32_t& last) {
    first = p - 2;
    last = p + 2;
    if (first < 0) {
        first = 0;
        last = 7;
    }
    if (last >= count) {
        last = count - 1;
        first = last - 7;
    }
}

}  // namespace

SampleRange sampleRange(const SampleGrid& grid, std::int32_t first, std::int32_t count) {
    SampleRange range{UINT32_MAX, 0};
    // The square checked once; otherwise the checked reads below raise.
    if (count > 0 && first >= 0 && std::int64_t{first} + count <= grid.columns()) {
        for (std::int32_t x = first; x < first + count; ++x) {
            const std::uint32_t* column = grid.columnData(x);
            for (std::int32_t y = first; y < first + count; ++y) {
                const std::uint32_t s = column[y];
                if (s == kOutsideSample) continue;
                range.lo = std::min(range.lo, s);
                range.hi = std::max(range.hi, s);
            }
        }
        if (range.lo > range.hi) range.lo = range.hi;
        return range;
    }
    for (std::int32_t y = first; y < first + count; ++y)
        for (std::int32_t x = first; x < first + count; ++x) {
            const std::uint32_t s = grid.at(x, y);
            if (s == kOutsideSample) continue;
            range.lo = std::min(range.lo, s);
            range.hi = std::max(range.hi, s);
        }
    if (range.lo > range.hi) range.lo = range.hi;
    return range;
}

bool moduleIsDark(const SampleGrid& grid, std::int32_t x, std::int32_t y, const SampleRange& symbol) {
    // A module beyond the image edge is light, and its stand-in value must not
    // stretch the contrast of the modules around it: a symbol printed without
    // a margin has its outermost modules' windows reaching past the edge.
    const std::uint32_t v = grid.at(x, y);
    if (v == kOutsideSample) return false;
    std::int32_t x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    windowAround(x, grid.columns(), x0, x1);
    windowAround(y, grid.rows(), y0, y1);
    std::uint32_t lo = v;
    std::uint32_t hi = v;
    if (grid.columns() >= 8) {
        // From eight entries on, both windows lie inside the table (at the
        // far border they start eight entries before the end). An outside
        // sample counts as v itself, which cannot move the extremes.
        const auto take = [&](std::uint32_t s) {
            const std::uint32_t counted = s == kOutsideSample ? v : s;
            lo = std::min(lo, counted);
            hi = std::max(hi, counted);
        };
        if (x1 - x0 == 4 && y1 - y0 == 4) {
            // Away from the borders: a fixed 4 x 4 window, unrolled.
            for (std::int32_t c = x0; c < x0 + 4; ++c) {
                const std::uint32_t* column = grid.columnData(c) + y0;
                take(column[0]);
                take(column[1]);
                take(column[2]);
                take(column[3]);
            }
        } else {
            for (std::int32_t c = x0; c < x1; ++c) {
                const std::uint32_t* column = grid.columnData(c);
                for (std::int32_t r = y0; r < y1; ++r) take(column[r]);
            }
        }
    } else {
        for (std::int32_t r = y0; r < y1; ++r) {
            for (std::int32_t c = x0; c < x1; ++c) {
                const std::uint32_t s = grid.at(c, r);
                if (s == kOutsideSample) continue;
                lo = std::min(lo, s);
                hi = std::max(hi, s);
            }
        }
    }
    if (3 * (std::uint64_t{hi} - lo) < std::uint64_t{symbol.hi} - symbol.lo)
        return v < (std::uint64_t{symbol.lo} + symbol.hi) / 2;
    return v < (std::uint64_t{lo} + hi) / 2;
}

}  // namespace AztecCore
