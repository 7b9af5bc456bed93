#include "photo/ring_depth_map.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
// an even step keeps the parity, which encodes the pixel's colour. Without a
// branch: when c exceeds neighbour + 1, neighbour + ((neighbour - c) & 1) is
// the value with c's parity among neighbour and neighbour + 1; otherwise that
// sum is at least c.
inline std::uint32_t limitAbove(std::uint32_t c, std::uint32_t neighbour) {
    return std::min(c, neighbour + ((neighbour - c) & 1u));
}

// Whether each of the four counters at c is at most one above its partner:
// the counter before it going forward, the one after it going backward. The
// partner outside the four is the limited counter the caller holds in a
// register; reading it back from memory right after the scalar path stored
// it would stall the wider load. A counter never exceeds the image height,
// which in rows of four or more pixels stays far below 2^31, so signed lanes
// compare them correctly.
#if defined(__SSE2__)
bool atMostOneAbove(__m128i v, __m128i partners) {
    return _mm_movemask_epi8(_mm_cmpgt_epi32(v, _mm_add_epi32(partners, _mm_set1_epi32(1)))) == 0;
}

bool stepsUpOfAtMostOne(const std::uint32_t* c, std::uint32_t before) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c));
    const __m128i first = _mm_cvtsi32_si128(static_cast<int>(before));
    return atMostOneAbove(v, _mm_or_si128(_mm_slli_si128(v, 4), first));
}

bool stepsDownOfAtMostOne(const std::uint32_t* c, std::uint32_t after) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c));
    const __m128i last = _mm_slli_si128(_mm_cvtsi32_si128(static_cast<int>(after)), 12);
    return atMostOneAbove(v, _mm_or_si128(_mm_srli_si128(v, 4), last));
}
#endif

// A counter may not rise more than one above its neighbours, starting from at
// most 1 at either border, so deep counts survive only where rings enclose a
// pixel from the sides as well as from above or below. A counter at most one
// above its (already limited) neighbour stays as it is, so where four in a row
// each rise at most one over the one before, they are passed over at once.
void constrainRow(Counters& counters) {
    const std::size_t w = counters.size();
    std::uint32_t* c = counters.data();
    std::uint32_t left = c[0] > 1 ? 0 : c[0];
    c[0] = left;
    for (std::size_t x = 1; x < w;) {
#if defined(__SSE2__)
        // c[x - 1] holds `left` here.
        if (w - x >= 4 && stepsUpOfAtMostOne(c + x, left)) {
            x += 4;
            left = c[x - 1];
            continue;
        }
#endif
        left = limitAbove(c[x], left);
        c[x] = left;
        ++x;
    }
    std::uint32_t right = c[w - 1] > 1 ? 0 : c[w - 1];
    c[w - 1] = right;
    for (std::size_t x = w - 1; x > 0;) {
#if defined(__SSE2__)
        // c[x] holds `right` here.
        if (x >= 4 && stepsDownOfAtMostOne(c + x - 4, right)) {
            x -= 4;
            right = c[x];
            continue;
        }
#endif
        --x;
        right = limitAbove(c[x], right);
        c[x] = right;
    }
}

// One vertical sweep's state: its change counters and the last row it read.
struct Sweep {
    explicit Sweep(std::size_t w) : c(w), previous(w), current(w) {}
    Counters c;
    Row previous, current;
};

}  // namespace

// Two vertical sweeps, one from the top row down and one from the bottom row
// up, each adding every pixel's constrained change count to the map; a
// sweep's first row's counters are its colours, unconstrained. The sweeps are
// independent and the map sums their shares (in byte arithmetic, in any
// order), so they advance together, one row each per step.
GrayBuf buildRingDepthMap(std::int32_t width, std::int32_t height, const DarkRowReader& readRow) {
    GrayBuf map;
    map.resize(width, height);  // fresh storage: every byte starts at 0
    if (width < 1 || height < 1) {
        map.stretchContrast();
        return map;
    }
    const auto w = static_cast<std::size_t>(width);
    Sweep down(w), up(w);
    const auto start = [&](Sweep& s, std::int32_t y) {
        readRow(y, s.previous.data());
        std::copy(s.previous.begin(), s.previous.end(), s.c.begin());
        addToMap(map.row(y), s.c);
    };
    const auto read = [&](Sweep& s, std::int32_t y) {
        readRow(y, s.current.data());
        addChanges(s.c, s.previous, s.current);
    };
    const auto finish = [&](Sweep& s, std::int32_t y) {
        addToMap(map.row(y), s.c);
        std::swap(s.previous, s.current);
    };
    start(down, 0);
    start(up, height - 1);
    for (std::int32_t step = 1; step < height; ++step) {
        read(down, step);
        read(up, height - 1 - step);
        constrainRow(down.c);
        constrainRow(up.c);
        finish(down, step);
        finish(up, height - 1 - step);
    }
    std::uint8_t lo = 255;
    std::uint8_t hi = 0;
    for (std::int32_t y = 0; y < height; ++y) widenRange(map.row(y), w, lo, hi);
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
