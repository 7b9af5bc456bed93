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

void darkModulesOfColumn(const SampleGrid& grid, std::int32_t x, std::int32_t first, std::int32_t count,
                         const SampleRange& symbol, std::uint8_t* dark) {
    const std::int32_t side = grid.columns();
    std::int32_t n = 0;
    // Away from the borders the window is columns x - 2 .. x + 1 by rows
    // y - 2 .. y + 1: the extremes of each row's four columns are formed once
    // and shared by the four modules whose windows hold that row. Leaving out
    // an outside sample is what moduleIsDark's counting it as v amounts to.
    if (side >= 8 && x >= 2 && x + 2 < side && first >= 0 && count > 0 && std::int64_t{first} + count <= side) {
        const std::int32_t lastInner = std::min(first + count, side - 2);  // rows below have y + 2 < side
        const std::int32_t innerFirst = std::max(first, 2);
        for (; first + n < innerFirst; ++n) dark[n] = moduleIsDark(grid, x, first + n, symbol) ? 1 : 0;
        if (innerFirst < lastInner) {
            const std::uint32_t* c0 = grid.columnData(x - 2);
            const std::uint32_t* c1 = grid.columnData(x - 1);
            const std::uint32_t* c2 = grid.columnData(x);
            const std::uint32_t* c3 = grid.columnData(x + 1);
            const auto low = [](std::uint32_t s) { return s == kOutsideSample ? UINT32_MAX : s; };
            const auto high = [](std::uint32_t s) { return s == kOutsideSample ? 0u : s; };
            std::uint32_t rowLo[4];
            std::uint32_t rowHi[4];
            const auto rowExtremes = [&](std::int32_t r) {
                const std::size_t k = static_cast<std::size_t>(r) & 3u;
                rowLo[k] = std::min(std::min(low(c0[r]), low(c1[r])), std::min(low(c2[r]), low(c3[r])));
                rowHi[k] = std::max(std::max(high(c0[r]), high(c1[r])), std::max(high(c2[r]), high(c3[r])));
            };
            for (std::int32_t r = innerFirst - 2; r < innerFirst + 1; ++r) rowExtremes(r);
            const std::uint64_t symbolContrast = std::uint64_t{symbol.hi} - symbol.lo;
            const std::uint64_t symbolMiddle = (std::uint64_t{symbol.lo} + symbol.hi) / 2;
            for (std::int32_t y = innerFirst; y < lastInner; ++y, ++n) {
                rowExtremes(y + 1);
                const std::uint32_t v = c2[y];
                const std::uint32_t lo =
                    std::min(std::min(v, std::min(rowLo[0], rowLo[1])), std::min(rowLo[2], rowLo[3]));
                const std::uint32_t hi =
                    std::max(std::max(v, std::max(rowHi[0], rowHi[1])), std::max(rowHi[2], rowHi[3]));
                const bool flat = 3 * (std::uint64_t{hi} - lo) < symbolContrast;
                const std::uint64_t middle = flat ? symbolMiddle : (std::uint64_t{lo} + hi) / 2;
                dark[n] = v != kOutsideSample && v < middle ? 1 : 0;
            }
        }
    }
    for (; n < count; ++n) dark[n] = moduleIsDark(grid, x, first + n, symbol) ? 1 : 0;
}

}  // namespace AztecCore
