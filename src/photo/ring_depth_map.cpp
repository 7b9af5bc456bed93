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

// The counter c limited to at most one above `neighbour` by an even step;
// an even step keeps the parity, which encodes the pixel's colour.
inline std::uint32_t limitAbove(std::uint32_t c, std::uint32_t neighbour) {
    return c > neighbour + 1 ? neighbour + ((c - neighbour) & 1u) : c;
}

// Counts the colour changes between rows `previous` and `current` into the
// counters and constrains them: a counter may not rise more than one above its
// neighbours, starting from at most 1 at either border, so deep counts survive
// only where rings enclose a pixel from the sides as well as from above or
// below. The constrained counts are then added to the map row in byte
// arithmetic. Each pass walks the counters once, left then right.
void advanceRow(Counters& c, const Row& previous, const Row& current, std::uint8_t* mapRow) {
    const std::size_t w = c.size();
    std::uint32_t* counter = c.data();
    std::uint32_t left = counter[0] + (previous[0] ^ current[0]);
    if (left > 1) left = 0;
    counter[0] = left;
    for (std::size_t x = 1; x < w; ++x) {
        left = limitAbove(counter[x] + (previous[x] ^ current[x]), left);
        counter[x] = left;
    }
    std::uint32_t right = counter[w - 1];
    if (right > 1) right = 0;
    counter[w - 1] = right;
    mapRow[w - 1] = static_cast<std::uint8_t>((mapRow[w - 1] + right) & 0xFFu);
    for (std::size_t x = w - 1; x-- > 0;) {
        right = limitAbove(counter[x], right);
        counter[x] = right;
        mapRow[x] = static_cast<std::uint8_t>((mapRow[x] + right) & 0xFFu);
    }
}

// One vertical sweep from row `first` towards row `last` (step +1 or -1),
// adding each pixel's constrained change count to the map. The first row's
// counters are its colours, unconstrained.
template <class EachRow>
void sweep(GrayBuf& map, Counters& c, const DarkRowReader& readRow, std::int32_t first, std::int32_t last,
           std::int32_t step, EachRow&& finished) {
    const std::size_t w = c.size();
    Row previous(w), current(w);
    readRow(first, previous.data());
    std::uint8_t* firstRow = map.row(first);
    for (std::size_t x = 0; x < w; ++x) {
        c[x] = previous[x];
        firstRow[x] = static_cast<std::uint8_t>((firstRow[x] + c[x]) & 0xFFu);
    }
    finished(firstRow);
    for (std::int32_t y = first; y != last;) {
        y += step;
        readRow(y, current.data());
        std::uint8_t* mapRow = map.row(y);
        advanceRow(c, previous, current, mapRow);
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
    sweep(map, c, readRow, height - 1, 0, -1, [&](const std::uint8_t* row) {
        for (std::size_t x = 0; x < w; ++x) {
            lo = std::min(lo, row[x]);
            hi = std::max(hi, row[x]);
        }
    });
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
