// The seeding's fill over a bit image of the square it just quantised. The
// run-by-run fill (center_seeding.cpp) takes exactly the 4-connected area of
// the start pixel's class within the square's inner part: its columns and rows
// strictly between the square's bounds, the start row among them. Only that
// area's sums and marks count, not the order of taking, so here each row of
// the inner part becomes 64 pixels a word (a set bit: a pixel of the class not
// taken yet), and runs, their ends and the stretches touching them above and
// below are found a word at a time.
#include <algorithm>
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
    componentBits_.assign(static_cast<std::size_t>(rows * words), 0);
    for (std::int64_t r = 0; r < rows; ++r)
        rowToBits(levels_->row(static_cast<std::int32_t>(firstRow + r)) + firstColumn, columns, dark,
                  componentBits_.data() + r * words);

    clearSeeds();
    pushSeed(x - firstColumn, y - firstRow);
    while (!seeds_.empty()) {
        const IPoint seed = seeds_.back();
        seeds_.pop_back();
        Word* bits = componentBits_.data() + std::int64_t{seed.y} * words;
        if ((bits[seed.x >> 6] >> (seed.x & 63) & 1u) == 0) continue;
        const std::int64_t a = runStart(bits, seed.x);
        const std::int64_t b = runEnd(bits, words, seed.x);
        for (std::int64_t k = a >> 6; k <= b >> 6; ++k) bits[k] &= ~rangeMask(k, a, b);

        const std::int32_t py = firstRow + seed.y;
        const std::int64_t px0 = firstColumn + a;
        const std::int64_t px1 = firstColumn + b;
        std::uint8_t* row = levels_->row(py);
        std::fill(row + px0, row + px1 + 1, mark);
        const std::int64_t n = b - a + 1;
        fillSumX_ += (px0 + px1) * n / 2;
        fillSumY_ += std::int64_t{py} * n;
        fillCount_ += n;

        // One seed per stretch of the rows above and below that touches the run.
        for (const std::int32_t r : {seed.y - 1, seed.y + 1}) {
            if (r < 0 || r >= rows) continue;
            const Word* next = componentBits_.data() + std::int64_t{r} * words;
            for (std::int64_t k = a >> 6; k <= b >> 6; ++k) {
                Word m = next[k] & rangeMask(k, a, b);
                while (m != 0) {
                    pushSeed(static_cast<std::int32_t>(k * 64 + lowZeros(m)), r);
                    m &= m + (m & (~m + 1));  // drops the lowest stretch of set bits
                }
            }
        }
    }
    return true;
}

}  // namespace AztecCore
