#include "photo/block_threshold.h"

#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/checked_access.h"

namespace AztecCore {

using Image::GrayBuf;

namespace {

constexpr std::int32_t kBlockShift = 12;  // 64 * 64 pixels per block

std::uint8_t measureBlock(const GrayBuf& source, std::int32_t x0, std::int32_t y0) {
    std::uint32_t sum = 0;  // at most 4096 * 255, no overflow
    std::uint8_t minimum = 255;
#if defined(__SSE2__)
    // Sixteen pixels a step: their sum by one sum of absolute differences from zero.
    const __m128i zero = _mm_setzero_si128();
    __m128i sums = zero;
    __m128i low = _mm_set1_epi8(-1);
    for (std::int32_t y = y0; y < y0 + kThresholdBlockSide; ++y) {
        const std::uint8_t* row = source.row(y) + x0;
        for (std::int32_t i = 0; i < kThresholdBlockSide; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
            sums = _mm_add_epi64(sums, _mm_sad_epu8(v, zero));
            low = _mm_min_epu8(low, v);
        }
    }
    sum = static_cast<std::uint32_t>(_mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
    low = _mm_min_epu8(low, _mm_srli_si128(low, 8));
    low = _mm_min_epu8(low, _mm_srli_si128(low, 4));
    low = _mm_min_epu8(low, _mm_srli_si128(low, 2));
    low = _mm_min_epu8(low, _mm_srli_si128(low, 1));
    minimum = static_cast<std::uint8_t>(_mm_cvtsi128_si32(low) & 0xFF);
#else
    for (std::int32_t y = y0; y < y0 + kThresholdBlockSide; ++y) {
        const std::uint8_t* row = source.row(y) + x0;
        for (std::int32_t i = 0; i < kThresholdBlockSide; ++i) {
            sum += row[i];
            minimum = std::min(minimum, row[i]);
        }
    }
#endif
    const std::uint32_t mean = sum >> kBlockShift;
    // An eighth of the way from the mean towards the darkest pixel: bright
    // paper with a few dark modules still puts the modules below the level.
    return static_cast<std::uint8_t>((7 * mean + minimum) >> 3);
}

// One block's width of a row; a fixed count of lanes the compiler vectorises.
void markDarkBlock(const std::uint8_t* __restrict row, std::uint8_t threshold, std::uint8_t* __restrict dark) {
    for (std::int32_t i = 0; i < kThresholdBlockSide; ++i) dark[i] = row[i] < threshold ? 1 : 0;
}

}  // namespace

GrayBuf computeBlockLevels(const GrayBuf& source, const Deadline& deadline) {
    const std::int32_t w = source.width();
    const std::int32_t h = source.height();
    const std::int32_t bw = w / kThresholdBlockSide;
    const std::int32_t bh = h / kThresholdBlockSide;
    // Without one complete block there is no level to copy into the margins.
    if (bw < 1 || bh < 1) throwInvalidSubscript();
    const bool extraColumn = w % kThresholdBlockSide != 0;
    const bool extraRow = h % kThresholdBlockSide != 0;

    GrayBuf levels;
    levels.resize(bw + (extraColumn ? 1 : 0), bh + (extraRow ? 1 : 0));
    for (std::int32_t by = 0; by < bh; ++by)
        for (std::int32_t bx = 0; bx < bw; ++bx) {
            deadline.spend(kThresholdBlockSide * kThresholdBlockSide);
            levels.setPixel(bx, by, measureBlock(source, bx * kThresholdBlockSide, by * kThresholdBlockSide));
        }

    // Margins narrower than a block are judged by the block to their left or
    // above; the bottom-right corner takes the right column's copy.
    if (extraColumn)
        for (std::int32_t row = 0; row < levels.height(); ++row) levels.setPixel(bw, row, levels.pixel(bw - 1, row));
    if (extraRow)
        for (std::int32_t col = 0; col < levels.width(); ++col) levels.setPixel(col, bh, levels.pixel(col, bh - 1));
    return levels;
}

void markDarkRow(const GrayBuf& source, const GrayBuf& levels, std::int32_t y, std::uint8_t* dark) {
    const std::int32_t w = source.width();
    if (w < 1) return;
    const std::uint8_t* row = source.row(y);
    const std::uint8_t* level = levels.row(y / kThresholdBlockSide);
    // Every column's block must have a level of its own in this row.
    if ((w - 1) / kThresholdBlockSide >= levels.width()) throwInvalidSubscript();
    std::int32_t x0 = 0;
    for (; x0 + kThresholdBlockSide <= w; x0 += kThresholdBlockSide)
        markDarkBlock(row + x0, level[x0 / kThresholdBlockSide], dark + x0);
    for (std::int32_t x = x0; x < w; ++x) dark[x] = row[x] < level[x0 / kThresholdBlockSide] ? 1 : 0;
}

}  // namespace AztecCore
