#include "photo/edge_step_resampler.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/checked_access.h"
#include "photo/edge_steps.h"

namespace AztecCore {

using Image::GrayBuf;

namespace {

// Working storage of one pass, sized once for its profile and output lengths.
struct ProfileResampler {
    ProfileResampler(std::int32_t profileLength, std::int32_t outputLength)
        : profile(static_cast<std::size_t>(profileLength)),
          differences(static_cast<std::size_t>(profileLength)),
          grid(outputLength) {
        edges.reserve(profile.size());
    }

    // Reads `profile`, writes the redrawn profile to out[0 .. output length).
    void run(std::uint8_t* out) {
        if (!differences.empty()) differences[0] = 0;
        for (std::size_t i = 1; i < profile.size(); ++i)
            differences[i] = std::int32_t{profile[i]} - std::int32_t{profile[i - 1]};
        extractEdgeSteps(differences, edges);
        // The staircase starts at the profile's first value; an empty profile
        // has none, and reading it raises like any access outside an image.
        renderEdgeSteps(edges, checkedAt(profile, 0), grid, out);
    }

    std::vector<std::uint8_t> profile;
    std::vector<std::int32_t> differences;
    std::vector<EdgeStep> edges;
    SamplePositions grid;
};

// Columns rendered per batch: their input is gathered and their output
// written back through transposes of whole tiles, so neither side is walked
// with a stride of a whole row per byte.
constexpr std::int32_t kColumnBatch = 64;

#if defined(__SSE2__)
// The 8 x 8 tile at src (rows srcStride apart) transposed to dst (rows dstStride apart).
void transposeTile(const std::uint8_t* src, std::size_t srcStride, std::uint8_t* dst, std::size_t dstStride) {
    __m128i r[8];
    for (std::size_t k = 0; k < 8; ++k) r[k] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + k * srcStride));
    const __m128i a0 = _mm_unpacklo_epi8(r[0], r[1]);
    const __m128i a1 = _mm_unpacklo_epi8(r[2], r[3]);
    const __m128i a2 = _mm_unpacklo_epi8(r[4], r[5]);
    const __m128i a3 = _mm_unpacklo_epi8(r[6], r[7]);
    const __m128i b0 = _mm_unpacklo_epi16(a0, a1);
    const __m128i b1 = _mm_unpackhi_epi16(a0, a1);
    const __m128i b2 = _mm_unpacklo_epi16(a2, a3);
    const __m128i b3 = _mm_unpackhi_epi16(a2, a3);
    const __m128i c[4] = {_mm_unpacklo_epi32(b0, b2), _mm_unpackhi_epi32(b0, b2), _mm_unpacklo_epi32(b1, b3),
                          _mm_unpackhi_epi32(b1, b3)};
    for (std::size_t k = 0; k < 4; ++k) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + 2 * k * dstStride), c[k]);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + (2 * k + 1) * dstStride), _mm_unpackhi_epi64(c[k], c[k]));
    }
}
#endif

// dst[c * dstStride + r] = src[r * srcStride + c] for r < rows, c < columns.
void transpose(const std::uint8_t* src, std::size_t srcStride, std::uint8_t* dst, std::size_t dstStride,
               std::size_t rows, std::size_t columns) {
    std::size_t r = 0;
#if defined(__SSE2__)
    for (; r + 8 <= rows; r += 8) {
        std::size_t c = 0;
        for (; c + 8 <= columns; c += 8)
            transposeTile(src + r * srcStride + c, srcStride, dst + c * dstStride + r, dstStride);
        for (; c < columns; ++c)
            for (std::size_t k = r; k < r + 8; ++k) dst[c * dstStride + k] = src[k * srcStride + c];
    }
#endif
    for (; r < rows; ++r)
        for (std::size_t c = 0; c < columns; ++c) dst[c * dstStride + r] = src[r * srcStride + c];
}

}  // namespace

void resampleEdgeSteps(GrayBuf& destination, const GrayBuf& source, const Deadline& deadline) {
    const std::int32_t srcW = source.width();
    const std::int32_t srcH = std::max(source.height(), 0);
    const std::int32_t dstW = destination.width();
    const std::int32_t dstH = destination.height();
    if (dstW < 1 || dstH < 1) return;  // nothing to write

    // Rows first, into an image of the destination's width and the source's height.
    const auto rowLength = static_cast<std::size_t>(dstW);
    std::vector<std::uint8_t> widened(rowLength * static_cast<std::size_t>(srcH));
    ProfileResampler rows(srcW, dstW);
    for (std::int32_t y = 0; y < srcH; ++y) {
        deadline.spend(dstW);
        const std::uint8_t* sourceRow = source.row(y);
        std::copy(sourceRow, sourceRow + rows.profile.size(), rows.profile.begin());
        rows.run(widened.data() + static_cast<std::size_t>(y) * rowLength);
    }

    // Then every column of the widened image to the destination's height.
    const auto columnLength = static_cast<std::size_t>(dstH);
    ProfileResampler columns(srcH, dstH);
    const std::size_t profileLength = columns.profile.size();
    std::vector<std::uint8_t> gathered(profileLength * kColumnBatch);
    std::vector<std::uint8_t> batch(columnLength * kColumnBatch);
    // Every row of the destination checked once; they lie a stride apart.
    static_cast<void>(destination.row(dstH - 1));
    std::uint8_t* const firstRow = destination.row(0);
    const auto stride = static_cast<std::size_t>(destination.stride());
    for (std::int32_t x0 = 0; x0 < dstW; x0 += kColumnBatch) {
        const auto n = static_cast<std::size_t>(std::min(kColumnBatch, dstW - x0));
        transpose(widened.data() + x0, rowLength, gathered.data(), profileLength, profileLength, n);
        for (std::size_t i = 0; i < n; ++i) {
            deadline.spend(dstH);
            const std::uint8_t* column = gathered.data() + i * profileLength;
            std::copy(column, column + profileLength, columns.profile.begin());
            columns.run(batch.data() + i * columnLength);
        }
        transpose(batch.data(), columnLength, firstRow + x0, stride, n, columnLength);
    }
}

}  // namespace AztecCore
