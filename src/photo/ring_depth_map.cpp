#include "photo/ring_depth_map.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace AztecCore {

using Image::GrayBuf;

namespace {

using Row = std::vector<std::uint8_t>;

// A limited counter is at most min(x + 1, width - x) (it rises at most one a
// column from at most 1 at either border), and a row adds at most 1 before
// the next limiting, so up to this width counters stay below 32502: 16 bits,
// half the lanes of 32-bit ones.
constexpr std::int32_t kNarrowCountersUpTo = 65000;

// The element-wise steps run over blocks of this many lanes: a fixed count
// the compiler turns into vector code; the few columns past the last whole
// block take the scalar path.
constexpr std::size_t kBlock = 16;

template <typename Counter>
void addChangesBlock(Counter* __restrict c, const std::uint8_t* __restrict previous,
                     const std::uint8_t* __restrict current) {
    for (std::size_t i = 0; i < kBlock; ++i) c[i] = static_cast<Counter>(c[i] + (previous[i] ^ current[i]));
}

template <typename Counter>
void addToMapBlock(std::uint8_t* __restrict mapRow, const Counter* __restrict c) {
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
template <typename Counter>
void addChanges(std::vector<Counter>& c, const Row& previous, const Row& current) {
    const std::size_t w = c.size();
    std::size_t x = 0;
    for (; x + kBlock <= w; x += kBlock) addChangesBlock(c.data() + x, previous.data() + x, current.data() + x);
    for (; x < w; ++x) c[x] = static_cast<Counter>(c[x] + (previous[x] ^ current[x]));
}

// Adds the counters to the map row in byte arithmetic.
template <typename Counter>
void addToMap(std::uint8_t* mapRow, const std::vector<Counter>& c) {
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
template <typename Counter>
inline Counter limitAbove(Counter c, Counter neighbour) {
    const std::uint32_t n = neighbour;
    return static_cast<Counter>(std::min<std::uint32_t>(c, n + ((n - c) & 1u)));
}

// A border counter starts the limiting at 0 unless it is 0 or 1 already.
template <typename Counter>
inline Counter borderStart(Counter c) {
    return c > 1 ? Counter{0} : c;
}

// c[x .. w) limited forward from c[x - 1], one by one.
template <typename Counter>
void limitForwardFrom(Counter* c, std::size_t x, std::size_t w) {
    for (; x < w; ++x) c[x] = limitAbove(c[x], c[x - 1]);
}
// c[0 .. x) limited backward from c[x], one by one.
template <typename Counter>
void limitBackwardFrom(Counter* c, std::size_t x) {
    for (; x > 0; --x) c[x - 1] = limitAbove(c[x - 1], c[x]);
}

#if defined(__SSE2__)
// The limiting as a scan. Write a counter as 2h + p (p its parity, which the
// limiting keeps) and its limited neighbour as 2h' + p'. It may be at most
// 2h' + p' + 1 with parity p, so its half becomes min(h, h' + s) with s = 1
// exactly where p' = 1 and p = 0. Unrolled from the first of eight lanes,
// half[i] = T[i] + min(H, min over j <= i of (h[j] - T[j])), where H is the
// half of the limited counter before the eight and T[i] sums s over lanes
// 0..i: a prefix sum and a prefix minimum, three shifts each.
//
// The lanes are signed 16-bit: counters stay below 2^15 - 2 for the widths
// that take 16-bit counters, so they compare as signed and take one more.
inline __m128i sumTowardsHigh(__m128i v) {
    v = _mm_add_epi16(v, _mm_slli_si128(v, 2));
    v = _mm_add_epi16(v, _mm_slli_si128(v, 4));
    return _mm_add_epi16(v, _mm_slli_si128(v, 8));
}
inline __m128i sumTowardsLow(__m128i v) {
    v = _mm_add_epi16(v, _mm_srli_si128(v, 2));
    v = _mm_add_epi16(v, _mm_srli_si128(v, 4));
    return _mm_add_epi16(v, _mm_srli_si128(v, 8));
}
// The lanes a shift vacates get the largest value, which no minimum takes.
inline __m128i minTowardsHigh(__m128i v) {
    const __m128i top = _mm_set1_epi16(0x7FFF);
    v = _mm_min_epi16(v, _mm_or_si128(_mm_slli_si128(v, 2), _mm_srli_si128(top, 14)));
    v = _mm_min_epi16(v, _mm_or_si128(_mm_slli_si128(v, 4), _mm_srli_si128(top, 12)));
    return _mm_min_epi16(v, _mm_or_si128(_mm_slli_si128(v, 8), _mm_srli_si128(top, 8)));
}
inline __m128i minTowardsLow(__m128i v) {
    const __m128i top = _mm_set1_epi16(0x7FFF);
    v = _mm_min_epi16(v, _mm_or_si128(_mm_srli_si128(v, 2), _mm_slli_si128(top, 14)));
    v = _mm_min_epi16(v, _mm_or_si128(_mm_srli_si128(v, 4), _mm_slli_si128(top, 12)));
    return _mm_min_epi16(v, _mm_or_si128(_mm_srli_si128(v, 8), _mm_slli_si128(top, 8)));
}
inline __m128i broadcastFirst(__m128i v) {
    const __m128i low = _mm_shufflelo_epi16(v, 0);
    return _mm_unpacklo_epi64(low, low);
}

// Whether no lane of v lies more than one above its partner.
inline bool atMostOneAbove(__m128i v, __m128i partners) {
    return _mm_movemask_epi8(_mm_cmpgt_epi16(v, _mm_add_epi16(partners, _mm_set1_epi16(1)))) == 0;
}

// The limited halves of the eight counters v of parities p, from the limited
// counter before (after) them, `edge`, in the lowest lane of its own.
inline __m128i limitedForward(__m128i v, __m128i p, __m128i edge) {
    const __m128i one = _mm_set1_epi16(1);
    const __m128i before = _mm_or_si128(_mm_slli_si128(p, 2), _mm_and_si128(edge, one));
    const __m128i t = sumTowardsHigh(_mm_andnot_si128(p, before));
    const __m128i lowest = minTowardsHigh(_mm_sub_epi16(_mm_srli_epi16(v, 1), t));
    return _mm_add_epi16(t, _mm_min_epi16(lowest, _mm_srli_epi16(broadcastFirst(edge), 1)));
}
inline __m128i limitedBackward(__m128i v, __m128i p, __m128i edge) {
    const __m128i one = _mm_set1_epi16(1);
    const __m128i after = _mm_or_si128(_mm_srli_si128(p, 2), _mm_slli_si128(_mm_and_si128(edge, one), 14));
    const __m128i t = sumTowardsLow(_mm_andnot_si128(p, after));
    const __m128i lowest = minTowardsLow(_mm_sub_epi16(_mm_srli_epi16(v, 1), t));
    return _mm_add_epi16(t, _mm_min_epi16(lowest, _mm_srli_epi16(broadcastFirst(edge), 1)));
}

inline __m128i withParity(__m128i half, __m128i p) { return _mm_or_si128(_mm_add_epi16(half, half), p); }

inline bool sameEight(const std::uint8_t* a, const std::uint8_t* b) {
    std::uint64_t u = 0;
    std::uint64_t v = 0;
    std::memcpy(&u, a, sizeof u);
    std::memcpy(&v, b, sizeof v);
    return u == v;
}

// The row's changes added and the counters limited as below, eight at a time
// over the blocks [1 + 8k, 9 + 8k) short of the last counter. The previous
// row's limited counters already meet both limits, so a block whose pixels
// did not change and whose neighbour on the side the pass comes from kept
// its value keeps its values: it is passed over unread. `touched` records per
// block whether the forward pass changed it, for the backward pass.
void addChangesAndLimit(std::vector<std::uint16_t>& counters, const Row& previousRow, const Row& currentRow,
                        Row& touched) {
    const std::size_t w = counters.size();
    std::uint16_t* c = counters.data();
    const std::uint8_t* previous = previousRow.data();
    const std::uint8_t* current = currentRow.data();
    const std::size_t blocks = w >= 2 ? (w - 2) / 8 : 0;
    touched.resize(blocks);
    const __m128i one = _mm_set1_epi16(1);
    const __m128i zero = _mm_setzero_si128();

    c[0] = borderStart(static_cast<std::uint16_t>(c[0] + (previous[0] ^ current[0])));
    bool neighbourChanged = true;
    for (std::size_t k = 0; k < blocks; ++k) {
        const std::size_t x = 1 + 8 * k;
        const bool changed = !sameEight(previous + x, current + x);
        if (!changed && !neighbourChanged) {
            touched[k] = 0;
            continue;
        }
        auto* at = reinterpret_cast<__m128i*>(c + x);
        __m128i v = _mm_loadu_si128(at);
        if (changed) {
            const __m128i flips = _mm_xor_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(previous + x)),
                                                _mm_loadl_epi64(reinterpret_cast<const __m128i*>(current + x)));
            v = _mm_add_epi16(v, _mm_unpacklo_epi8(flips, zero));
        }
        const __m128i edge = _mm_cvtsi32_si128(c[x - 1]);
        if (atMostOneAbove(v, _mm_or_si128(_mm_slli_si128(v, 2), edge))) {
            if (changed) _mm_storeu_si128(at, v);
            touched[k] = changed ? 1 : 0;
            neighbourChanged = changed;
            continue;
        }
        const __m128i p = _mm_and_si128(v, one);
        _mm_storeu_si128(at, withParity(limitedForward(v, p, edge), p));
        touched[k] = 1;
        neighbourChanged = true;
    }
    for (std::size_t x = 1 + 8 * blocks; x < w; ++x)
        c[x] = limitAbove(static_cast<std::uint16_t>(c[x] + (previous[x] ^ current[x])), c[x - 1]);

    c[w - 1] = borderStart(c[w - 1]);
    if (w < 2) return;
    limitBackwardFrom(c + 1 + 8 * blocks, w - 2 - 8 * blocks);
    neighbourChanged = true;
    for (std::size_t k = blocks; k-- > 0;) {
        const std::size_t x = 1 + 8 * k;
        if (touched[k] == 0 && !neighbourChanged) continue;
        auto* at = reinterpret_cast<__m128i*>(c + x);
        const __m128i v = _mm_loadu_si128(at);
        const __m128i edge = _mm_cvtsi32_si128(c[x + 8]);
        if (atMostOneAbove(v, _mm_or_si128(_mm_srli_si128(v, 2), _mm_slli_si128(edge, 14)))) {
            neighbourChanged = touched[k] != 0;
            continue;
        }
        const __m128i p = _mm_and_si128(v, one);
        _mm_storeu_si128(at, withParity(limitedBackward(v, p, edge), p));
        neighbourChanged = true;
    }
    c[0] = limitAbove(c[0], c[1]);
}
#endif

// A counter may not rise more than one above its neighbours, starting from at
// most 1 at either border, so deep counts survive only where rings enclose a
// pixel from the sides as well as from above or below.
template <typename Counter>
void addChangesAndLimit(std::vector<Counter>& counters, const Row& previous, const Row& current, Row& /*touched*/) {
    addChanges(counters, previous, current);
    const std::size_t w = counters.size();
    Counter* c = counters.data();
    c[0] = borderStart(c[0]);
    limitForwardFrom(c, 1, w);
    c[w - 1] = borderStart(c[w - 1]);
    limitBackwardFrom(c, w - 1);
}

// One vertical sweep's state: its change counters and the last row it read.
template <typename Counter>
struct Sweep {
    explicit Sweep(std::size_t w) : c(w), previous(w), current(w) {}
    std::vector<Counter> c;
    Row previous, current, touched;
};

// Two vertical sweeps, one from the top row down and one from the bottom row
// up, each adding every pixel's constrained change count to the map; a
// sweep's first row's counters are its colours, unconstrained. The sweeps are
// independent and the map sums their shares (in byte arithmetic, in any
// order), so they advance together, one row each per step.
template <typename Counter>
void addSweeps(GrayBuf& map, const DarkRowReader& readRow) {
    const std::int32_t height = map.height();
    const auto w = static_cast<std::size_t>(map.width());
    Sweep<Counter> down(w), up(w);
    const auto start = [&](Sweep<Counter>& s, std::int32_t y) {
        readRow(y, s.previous.data());
        std::copy(s.previous.begin(), s.previous.end(), s.c.begin());
        addToMap(map.row(y), s.c);
    };
    const auto read = [&](Sweep<Counter>& s, std::int32_t y) {
        readRow(y, s.current.data());
        addChangesAndLimit(s.c, s.previous, s.current, s.touched);
    };
    const auto finish = [&](Sweep<Counter>& s, std::int32_t y) {
        addToMap(map.row(y), s.c);
        std::swap(s.previous, s.current);
    };
    start(down, 0);
    start(up, height - 1);
    for (std::int32_t step = 1; step < height; ++step) {
        read(down, step);
        read(up, height - 1 - step);
        finish(down, step);
        finish(up, height - 1 - step);
    }
}

}  // namespace

UnstretchedDepthMap buildUnstretchedRingDepthMap(std::int32_t width, std::int32_t height, const DarkRowReader& readRow,
                                                 const Deadline& deadline) {
    UnstretchedDepthMap result;
    GrayBuf& map = result.map;
    map.resize(width, height);  // fresh storage: every byte starts at 0
    if (width < 1 || height < 1) return result;
    const auto w = static_cast<std::size_t>(width);
    if (width <= kNarrowCountersUpTo)
        addSweeps<std::uint16_t>(map, readRow);
    else
        addSweeps<std::uint32_t>(map, readRow);
    std::uint8_t lo = 255;
    std::uint8_t hi = 0;
    for (std::int32_t y = 0; y < height; ++y) {
        deadline.spend(width);
        widenRange(map.row(y), w, lo, hi);
    }
    const std::uint32_t d = hi == lo ? 1u : static_cast<std::uint32_t>(hi - lo);
    for (std::uint32_t p = lo; p <= hi; ++p) result.stretched[p] = static_cast<std::uint8_t>((p - lo) * 255u / d);
    return result;
}

}  // namespace AztecCore
