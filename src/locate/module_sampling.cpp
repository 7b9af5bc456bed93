// Bit matrix: every 16 x 16 block of modules is sampled through the
// projective map of its four corner nodes, each module as the mean of five
// points around its centre, and decided dark or light against its neighbours.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "locate/grid_nodes.h"
#include "locate/map_sampling.h"
#include "locate/sample_grid.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

namespace {

// A module with any of its five points beyond the image edge is outside as a
// whole; the module decision then counts it light. (64-bit sum: five outside
// samples would wrap a 32-bit one.)
std::uint32_t meanOfFive(std::uint64_t sum) {
    return sum > 5 * 255 ? kOutsideSample : static_cast<std::uint32_t>(sum / 5);
}

// Blocks of 16 modules on each side of the centre.
std::int32_t blocksPerSide(const SymbolCandidate& cand) {
    if (cand.kind == SymbolKind::Compact) return 1;
    const std::uint32_t size = cand.symbolSize > 0 ? cand.symbolSize : 1;
    return static_cast<std::int32_t>(((size - 1) / 2) / 16 + 1);
}

}  // namespace

ModuleBits SymbolLocator::sampleModules(SymbolCandidate& cand) {
    if (cand.kind == SymbolKind::Compact)
        buildCompactGrid(cand);
    else
        buildFullGrid(cand);
    return sampleBuiltGrid(cand);
}

ModuleBits SymbolLocator::sampleBuiltGrid(SymbolCandidate& cand) {
    const std::int32_t b = blocksPerSide(cand);
    const std::int32_t m = 32 * b;
    const auto size = static_cast<std::int32_t>(cand.symbolSize);
    const std::int32_t o = (m - size) / 2 + 1;
    // The decisions below read the symbol's square widened by the windows'
    // reach: two entries before it and one after. Only when the symbol keeps
    // two entries clear of the table's borders, though; nearer, the windows
    // widen to seven and everything is sampled.
    std::int32_t lo = 0;
    std::int32_t hi = m;
    if (o >= 2 && std::int64_t{o} + size + 2 <= m) {
        lo = o - 2;
        hi = o + size + 1;
    }
    SampleGrid grid(m);
    for (std::int32_t by = -b; by < b; ++by)
        for (std::int32_t bx = -b; bx < b; ++bx)
            sampleBlock(cand, bx + 10, by + 10, grid, (bx + b) * 16, (by + b) * 16, lo, hi);

    const SampleRange range = sampleRange(grid, o, size);
    ModuleBits bits(static_cast<std::size_t>(size), BitVector(static_cast<std::size_t>(size), false));
    std::vector<std::uint8_t> dark(static_cast<std::size_t>(size));
    for (std::int32_t x = 0; x < size; ++x) {
        darkModulesOfColumn(grid, x + o, o, size, range, dark.data());
        BitVector& column = bits[static_cast<std::size_t>(x)];
        for (std::size_t y = 0; y < dark.size(); ++y) column[y] = dark[y] != 0;
    }
    return bits;
}

void SymbolLocator::sampleBlock(SymbolCandidate& cand, std::int32_t a, std::int32_t b, SampleGrid& grid,
                                std::int32_t ox, std::int32_t oy, std::int32_t lo, std::int32_t hi) {
    map_ =
        Aztec::Math::fitProjectiveMap({0, 0}, {16, 0}, {16, 16}, {0, 16}, gridNode(cand, a, b),
                                      gridNode(cand, a + 1, b), gridNode(cand, a + 1, b + 1), gridNode(cand, a, b + 1));
    const double delta = cand.kind == SymbolKind::Full ? 0.25 : 0.1;
    const NearestPixelReader reader(*source);
    const double* c = map_.c;
#if defined(TALAVEX_PACKED_DOUBLES)
    // Every point lies within [-delta, 15 + delta] along both axes.
    const bool within =
        mapKeepsWithin(map_, 0 - delta, 15 + delta, 0 - delta, 15 + delta, reader.width(), reader.height());
#endif

    // The points of sampleMean5 through ProjectiveMap::apply, with each
    // coefficient x coordinate product formed once per column and row (the
    // coordinates before, at and after the module's centre) and the sums and
    // divisions in apply's order, so every position is the one apply gives.
    double columnX[3][16], columnY[3][16], columnW[3][16];
    double rowX[3][16], rowY[3][16], rowW[3][16];
    for (std::int32_t k = 0; k < 16; ++k) {
        const double at[3] = {k - delta, static_cast<double>(k), k + delta};
        for (int o = 0; o < 3; ++o) {
            columnX[o][k] = c[0] * at[o];
            columnY[o][k] = c[3] * at[o];
            columnW[o][k] = c[6] * at[o];
            rowX[o][k] = c[1] * at[o];
            rowY[o][k] = c[4] * at[o];
            rowW[o][k] = c[7] * at[o];
        }
    }
    // Column and row offsets of the five points, in sampleMean5's order.
    constexpr int kColumn[5] = {1, 1, 0, 2, 1};
    constexpr int kRow[5] = {0, 2, 1, 1, 1};
    // The rows and the columns (in pairs) of the block within [lo, hi).
    const auto within16 = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::min<std::int64_t>(std::max<std::int64_t>(v, 0), 16));
    };
    const std::int32_t rowBegin = within16(std::int64_t{lo} - oy);
    const std::int32_t rowEnd = within16(std::int64_t{hi} - oy);
    const std::int32_t columnBegin = within16(std::int64_t{lo} - ox) & ~1;
    const std::int32_t columnEnd = std::min((within16(std::int64_t{hi} - ox) + 1) & ~1, 16);
    for (std::int32_t r = rowBegin; r < rowEnd; ++r) {
        std::uint64_t sums[16] = {};
        for (int p = 0; p < 5; ++p) {
            const double* cx = columnX[kColumn[p]];
            const double* cy = columnY[kColumn[p]];
            const double* cw = columnW[kColumn[p]];
            const double rx = rowX[kRow[p]][r];
            const double ry = rowY[kRow[p]][r];
            const double rw = rowW[kRow[p]][r];
            int k = columnBegin;
#if defined(TALAVEX_PACKED_DOUBLES)
            const __m128d one = _mm_set1_pd(1.0);
            const __m128d c2 = _mm_set1_pd(c[2]);
            const __m128d c5 = _mm_set1_pd(c[5]);
            const __m128d rx2 = _mm_set1_pd(rx);
            const __m128d ry2 = _mm_set1_pd(ry);
            const __m128d rw2 = _mm_set1_pd(rw);
            for (; k < columnEnd; k += 2) {
                const __m128d w = _mm_add_pd(_mm_add_pd(_mm_loadu_pd(cw + k), rw2), one);
                const __m128d px = _mm_div_pd(_mm_add_pd(_mm_add_pd(_mm_loadu_pd(cx + k), rx2), c2), w);
                const __m128d py = _mm_div_pd(_mm_add_pd(_mm_add_pd(_mm_loadu_pd(cy + k), ry2), c5), w);
                std::uint32_t pair[2];
                if (within)
                    reader.atPairWithin(px, py, pair);
                else
                    reader.atPair(px, py, kOutsideSample, pair);
                sums[k] += pair[0];
                sums[k + 1] += pair[1];
            }
#endif
            for (; k < columnEnd; ++k) {
                const double w = cw[k] + rw + 1.0;
                sums[k] += reader.at((cx[k] + rx + c[2]) / w, (cy[k] + ry + c[5]) / w, kOutsideSample);
            }
        }
        for (int k = columnBegin; k < columnEnd; ++k) grid.set(ox + k, oy + r, meanOfFive(sums[k]));
    }
}

std::uint32_t SymbolLocator::sampleMean5(double u, double v, double delta) const {
    const std::uint64_t sum = std::uint64_t{sampleAt(u, v - delta)} + sampleAt(u, v + delta) + sampleAt(u - delta, v) +
                              sampleAt(u + delta, v) + sampleAt(u, v);
    return meanOfFive(sum);
}

}  // namespace AztecCore
