// The seeding's fill over a bit image of the square it just quantised. The
// run-by-run fill (center_seeding.cpp) takes exactly the 4-connected area of
// the start pixel's class within the square's inner part: its columns and rows
// strictly between the square's bounds, the start row among them. Only that
// area's sums and marks count, not the order of taking, so here each row of
// the inner part becomes 64 pixels a word (a set bit: a pixel of the class not
// taken yet), and runs, their ends and the stretches touching them above and
// below are found a word at a time.
#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "locate/fill_marks.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

namespace {

using Word = std::uint64_t;
constexpr Word kAllSet = ~Word{0};

// Zero bits below the lowest set bit, and above the highest; v is not 0.
int lowZeros(Word v) {
#if defined(__GNUC__)
    return __builtin_ctzll(v);
#else
    int n = 0;
    while ((v & 1u) == 0) {
        v >>= 1;
        ++n;
    }
    return n;
#endif
}

int highZeros(Word v) {
#if defined(__GNUC__)
    return __builtin_clzll(v);
#else
    int n = 0;
    while ((v >> 63) == 0) {
        v <<= 1;
        ++n;
    }
    return n;
#endif
}

// Sets bit i of bits when pixel i of the row has the class asked for.
void rowToBits(const std::uint8_t* pixels, std::int64_t count, bool dark, Word* bits) {
    std::int64_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= count; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + i));
        auto light = static_cast<Word>(static_cast<unsigned>(_mm_movemask_epi8(v)));
        bits[i >> 6] |= (dark ? ~light & 0xFFFFu : light) << (i & 63);
    }
#endif
    for (; i < count; ++i)
        if (((pixels[i] & 0x80u) != 0) != dark) bits[i >> 6] |= Word{1} << (i & 63);
}

// The last of the set bits from i on, i itself set.
std::int64_t runEnd(const Word* bits, std::int64_t words, std::int64_t i) {
    std::int64_t k = i >> 6;
    const Word clear = ~bits[k] >> (i & 63);
    if (clear != 0) return i + lowZeros(clear) - 1;
    ++k;
    while (k < words && bits[k] == kAllSet) ++k;
    if (k == words) return words * 64 - 1;
    return k * 64 + lowZeros(~bits[k]) - 1;
}

// The first of the set bits up to i, i itself set.
std::int64_t runStart(const Word* bits, std::int64_t i) {
    std::int64_t k = i >> 6;
    const Word clear = ~bits[k] << (63 - (i & 63));
    if (clear != 0) return i - highZeros(clear) + 1;
    --k;
    while (k >= 0 && bits[k] == kAllSet) --k;
    if (k < 0) return 0;
    return k * 64 + 64 - highZeros(~bits[k]);
}

// Bits a..b of one word: those of mask [a, b] within word k.
Word rangeMask(std::int64_t k, std::int64_t a, std::int64_t b) {
    const std::int64_t lo = std::max<std::int64_t>(a - k * 64, 0);
    const std::int64_t hi = std::min<std::int64_t>(b - k * 64, 63);
    const Word upTo = hi == 63 ? kAllSet : (Word{1} << (hi + 1)) - 1;
    return upTo & ~((Word{1} << lo) - 1);
}

// Writes mark over the pixels whose bit was set before the fill and is clear
// after it.
void markTaken(const Word* before, const Word* after, std::int64_t count, std::uint8_t mark, std::uint8_t* pixels) {
    const std::int64_t words = (count + 63) / 64;
    for (std::int64_t k = 0; k < words; ++k) {
        Word taken = before[k] & ~after[k];
        if (taken == 0) continue;
        std::uint8_t* p = pixels + k * 64;
#if defined(__SSE2__)
        if (k * 64 + 64 <= count) {
            // Each byte lane picks its bit of a 16-bit slice of the word.
            const __m128i select = _mm_set_epi8(-128, 64, 32, 16, 8, 4, 2, 1, -128, 64, 32, 16, 8, 4, 2, 1);
            const __m128i marks = _mm_set1_epi8(static_cast<char>(mark));
            for (int part = 0; part < 4; ++part) {
                const auto bits16 = static_cast<unsigned>(taken >> (16 * part)) & 0xFFFFu;
                if (bits16 == 0) continue;
                const __m128i lanes = _mm_unpacklo_epi64(_mm_set1_epi8(static_cast<char>(bits16 & 0xFFu)),
                                                         _mm_set1_epi8(static_cast<char>(bits16 >> 8)));
                const __m128i on = _mm_cmpeq_epi8(_mm_and_si128(lanes, select), select);
                auto* at = reinterpret_cast<__m128i*>(p + 16 * part);
                const __m128i old = _mm_loadu_si128(at);
                _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(on, marks), _mm_andnot_si128(on, old)));
            }
            continue;
        }
#endif
        while (taken != 0) {
            p[lowZeros(taken)] = mark;
            taken &= taken - 1;
        }
    }
}

}  // namespace

bool SymbolLocator::fillSeedSquare(std::int32_t x, std::int32_t y, bool dark, std::uint8_t mark) {
    const Region& rg = region_;
    if (!levels_ || rg.x0 < 0 || rg.y0 < 0 || rg.x1 > levels_->width() || rg.y1 > levels_->height()) return false;
    if (!(rg.x0 < x && x < rg.x1 && rg.y0 < y && y < rg.y1)) return false;
    if (((levels_->pixel(x, y) & 0x80u) != 0) == dark) return false;

    const std::int32_t firstColumn = rg.x0 + 1;
    const std::int32_t firstRow = rg.y0 + 1;
    const std::int64_t columns = rg.x1 - firstColumn;
    const std::int64_t rows = rg.y1 - firstRow;
    const std::int64_t words = (columns + 63) / 64;
    // The bits not taken yet, then the bits of the class as they were.
    // Both are built a row at a time, in steps a deadline can stop between:
    // over a large square they are megabytes.
    const std::int64_t size = rows * words;
    if (componentBits_.size() < static_cast<std::size_t>(2 * size)) {
        componentBits_.clear();  // nothing to keep: no copy on growing
        componentBits_.resize(static_cast<std::size_t>(2 * size));
    }
    for (std::int64_t r = 0; r < rows; ++r) {
        deadline_->spend(columns);
        Word* bits = componentBits_.data() + r * words;
        std::fill_n(bits, words, Word{0});
        rowToBits(levels_->row(static_cast<std::int32_t>(firstRow + r)) + firstColumn, columns, dark, bits);
        std::copy_n(bits, words, bits + size);
    }

    // The stack's storage is the member's, kept between fills; locals let the
    // compiler keep them in registers across the pushes. A seed is one word,
    // its row above its bit index, written and read whole.
    std::vector<std::uint64_t> stack = std::move(componentSeeds_);
    stack.clear();
    const auto packed = [](std::int64_t bit, std::int32_t r) {
        return (std::uint64_t{static_cast<std::uint32_t>(r)} << 32) | static_cast<std::uint32_t>(bit);
    };
    stack.push_back(packed(x - firstColumn, y - firstRow));
    Word* const base = componentBits_.data();
    std::int64_t twiceSumX = 0, sumY = 0, count = 0;
    while (!stack.empty()) {
        const std::uint64_t top = stack.back();
        stack.pop_back();
        const IPoint seed{static_cast<std::int32_t>(top & 0xFFFFFFFFu), static_cast<std::int32_t>(top >> 32)};
        Word* bits = base + std::int64_t{seed.y} * words;
        if ((bits[seed.x >> 6] >> (seed.x & 63) & 1u) == 0) continue;
        const std::int64_t a = runStart(bits, seed.x);
        const std::int64_t b = runEnd(bits, words, seed.x);
        const std::int64_t ka = a >> 6;
        const std::int64_t kb = b >> 6;
        const std::int64_t n = b - a + 1;
        deadline_->spend(n);
        twiceSumX += (2 * (firstColumn + a) + n - 1) * n;
        sumY += (firstRow + std::int64_t{seed.y}) * n;
        count += n;

        // One seed per stretch of the rows above and below that touches the run.
        const auto seedStretches = [&](Word m, std::int64_t k, std::int32_t r) {
            while (m != 0) {
                stack.push_back(packed(k * 64 + lowZeros(m), r));
                m &= m + (m & (~m + 1));  // drops the lowest stretch of set bits
            }
        };
        const Word* above = seed.y > 0 ? bits - words : nullptr;
        const Word* below = seed.y + 1 < rows ? bits + words : nullptr;
        if (ka == kb) {
            // Most runs lie within one word.
            const Word mask = (kAllSet >> (64 - n)) << (a & 63);
            bits[ka] &= ~mask;
            if (above != nullptr) seedStretches(above[ka] & mask, ka, seed.y - 1);
            if (below != nullptr) seedStretches(below[ka] & mask, ka, seed.y + 1);
            continue;
        }
        for (std::int64_t k = ka; k <= kb; ++k) {
            const Word mask = rangeMask(k, a, b);
            bits[k] &= ~mask;
            if (above != nullptr) seedStretches(above[k] & mask, k, seed.y - 1);
            if (below != nullptr) seedStretches(below[k] & mask, k, seed.y + 1);
        }
    }
    componentSeeds_ = std::move(stack);
    // Every run's (first + last) * n is even, so the halves add up exactly.
    fillSumX_ += twiceSumX / 2;
    fillSumY_ += sumY;
    fillCount_ += count;
    for (std::int64_t r = 0; r < rows; ++r) {
        deadline_->spend(columns);
        const Word* left = componentBits_.data() + r * words;
        markTaken(left + size, left, columns, mark,
                  levels_->row(static_cast<std::int32_t>(firstRow + r)) + firstColumn);
    }
    return true;
}

}  // namespace AztecCore
