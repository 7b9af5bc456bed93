#include "photo/ring_depth_map.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace AztecCore {

using Image::GrayBuf;

namespace {

using Counters = std::vector<std::uint32_t>;
using Row = std::vector<std::uint8_t>;

// The element-wise steps run over blocks of this many lanes: a fixed count
// the compiler turns into vector code; the few columns past the last whole
// block take the scalar path.
constexpr std::size_t kBlock = 16;

void addChangesBlock(std::uint32_t* __restrict c, const std::uint8_t* __restrict previous,
                     const std::uint8_t* __restrict current) {
    for (std::size_t i = 0; i < kBlock; ++i) c[i] += static_cast<std::uint32_t>(previous[i] ^ current[i]);
}

void addToMapBlock(std::uint8_t* __restrict mapRow, const std::uint32_t* __restrict c) {
    for (std::size_t i = 0; i < kBlock; ++i) mapRow[i] = static_cast<std::uint8_t>((mapRow[i] + c[i]) & 0xFFu);
}

void widenRangeBlock(const std::uint8_t* __restrict row, std::uint8_t& lo, std::uint8_t& hi) {
    std::uint8_t l = lo;
    std::uint8_t h = hi;
    for (std::size_t i = 0; i < kBlock; ++i) {
        l = std::min(l, row[i]);
        h = std::max(h, row[i]);
    }
    lo = l;
    hi = h;
}

// Counts the colour changes between rows `previous` and `current`.
void addChanges(Counters& c, const Row& previous, const Row& current) {
    const std::size_t w = c.size();
    std::size_t x = 0;
    for (; x + kBlock <= w; x += kBlock) addChangesBlock(c.data() + x, previous.data() + x, current.data() + x);
    for (; x < w; ++x) c[x] += static_cast<std::uint32_t>(previous[x] ^ current[x]);
}

// Adds the counters to the map row in byte arithmetic.
void addToMap(std::uint8_t* mapRow, const Counters& c) {
    const std::size_t w = c.size();
    std::size_t x = 0;
    for (; x + kBlock <= w; x += kBlock) addToMapBlock(mapRow + x, c.data() + x);
    for (; x < w; ++x) mapRow[x] = static_cast<std::uint8_t>((mapRow[x] + c[x]) & 0xFFu);
}

void widenRange(const std::uint8_t* row, std::size_t w, std::uint8_t& lo, std::uint8_t& hi) {
    std::size_t x = 0;
    for (; x + kBlock <= w; x += kBlock) widenRangeBlock(row + x, lo, hi);
    for (; x < w; ++x) {
        lo = std::min(lo, row[x]);
        hi = std::max(hi, row[x]);
    }
}

// The counter c limited to at most one above `neighbour` by an even step;
// an even step keeps the parity, which encodes the pixel's colour.
inline std::uint32_t limitAbove(std::uint32_t c, std::uint32_t neighbour) {
    return c > neighbour + 1 ? neighbour + ((c - neighbour) & 1u) : c;
}

// A counter may not rise more than one above its neighbours, starting from at
// most 1 at either border, so deep counts survive only where rings enclose a
// pixel from the sides as well as from above or below.
void constrainRow(Counters& c) {
    const std::size_t w = c.size();
    std::uint32_t* counter = c.data();
    std::uint32_t left = counter[0] > 1 ? 0 : counter[0];
    counter[0] = left;
    for (std::size_t x = 1; x < w; ++x) {
        left = limitAbove(counter[x], left);
        counter[x] = left;
    }
    std::uint32_t right = counter[w - 1] > 1 ? 0 : counter[w - 1];
    counter[w - 1] = right;
    for (std::size_t x = w - 1; x-- > 0;) {
        right = limitAbove(counter[x], right);
        counter[x] = right;
    }
}

// One vertical sweep from row `first` towards row `last` (step +1 or -1),
// adding each pixel's constrained change count to the map. The first row's
// counters are its colours, unconstrained. `finished` sees each map row once
// this sweep has added to it.
template <class EachRow>
void sweep(GrayBuf& map, Counters& c, const DarkRowReader& readRow, std::int32_t first, std::int32_t last,
           std::int32_t step, EachRow&& finished) {
    const std::size_t w = c.size();
    Row previous(w), current(w);
    readRow(first, previous.data());
    std::copy(previous.begin(), previous.end(), c.begin());
    std::uint8_t* firstRow = map.row(first);
    addToMap(firstRow, c);
    finished(firstRow);
    for (std::int32_t y = first; y != last;) {
        y += step;
        readRow(y, current.data());
        addChanges(c, previous, current);
        constrainRow(c);
        std::uint8_t* mapRow = map.row(y);
        addToMap(mapRow, c);
        finished(mapRow);
        std::swap(previous, current);
    }
}

}  // namespace

GrayBuf buildRingDepthMap(std::int32_t width, std::int32_t height, const DarkRowReader& readRow) {
    GrayBuf map;
    map.resize(width, height);  // fresh storage: every byte starts at 0
    if (width < 1 || height < 1) {
        map.stretchContrast();
        return map;
    }
    const auto w = static_cast<std::size_t>(width);
    Counters c(w);
    sweep(map, c, readRow, 0, height - 1, 1, [](const std::uint8_t*) {});
    // The upward sweep adds each row's last share, so it also finds the
    // map's range for the contrast stretch.
    std::uint8_t lo = 255;
    std::uint8_t hi = 0;
    sweep(map, c, readRow, height - 1, 0, -1, [&](const std::uint8_t* row) { widenRange(row, w, lo, hi); });
    // Stretched through a table: (p - lo) * 255 / d for every byte p >= lo.
    const std::uint32_t d = hi == lo ? 1u : static_cast<std::uint32_t>(hi - lo);
    std::array<std::uint8_t, 256> stretched{};
    for (std::uint32_t p = lo; p < 256; ++p) stretched[p] = static_cast<std::uint8_t>((p - lo) * 255u / d);
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* row = map.row(y);
        for (std::size_t x = 0; x < w; ++x) row[x] = stretched[row[x]];
    }
    return map;
}

GrayBuf buildRingDepthMap(const GrayBuf& binary) {
    const std::int32_t w = binary.width();
    return buildRingDepthMap(w, binary.height(), [&binary, w](std::int32_t y, std::uint8_t* dark) {
        const std::uint8_t* row = binary.row(y);
        for (std::int32_t x = 0; x < w; ++x) dark[x] = row[x] < 128 ? 1 : 0;
    });
}

}  // namespace AztecCore
