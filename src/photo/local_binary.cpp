#include "photo/local_binary.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace AztecCore {

namespace {

// Contrast is measured per tile of this many pixels a side, over the tiles
// around it.
constexpr std::int32_t kTile = 32;
// Neighbourhoods spanning fewer levels than this hold no edge worth a threshold.
constexpr std::uint32_t kLeastEdge = 16;

struct Range {
    std::uint8_t lo = 255, hi = 0;
    void widen(const Range& r) {
        lo = std::min(lo, r.lo);
        hi = std::max(hi, r.hi);
    }
    std::uint32_t span() const { return hi >= lo ? std::uint32_t{hi} - lo : 0u; }
};

// Thresholds are set per block of this many pixels a side.
constexpr std::int32_t kBlock = 8;
constexpr std::int32_t kBlocksPerTile = kTile / kBlock;

// The lowest and highest level of each 8 x 8 block: each block's columns
// gathered over its rows, then folded once per block.
std::vector<Range> blockRanges(const Image::GrayBuf& image, std::int32_t across, std::int32_t down,
                               const Deadline& deadline) {
    std::vector<Range> ranges;
    ranges.reserve(static_cast<std::size_t>(across) * static_cast<std::size_t>(down));
    const std::int32_t w = image.width();
    const std::int32_t h = image.height();
    std::vector<std::uint8_t> lo(static_cast<std::size_t>(w));
    std::vector<std::uint8_t> hi(static_cast<std::size_t>(w));
    for (std::int32_t by = 0; by < down; ++by) {
        const std::int32_t y0 = by * kBlock;
        const std::int32_t y1 = std::min(h, y0 + kBlock);
        deadline.spend(std::int64_t{w} * (y1 - y0));
        const std::uint8_t* first = image.row(y0);
        std::copy(first, first + w, lo.begin());
        std::copy(first, first + w, hi.begin());
        for (std::int32_t y = y0 + 1; y < y1; ++y) {
            const std::uint8_t* row = image.row(y);
            std::int32_t x = 0;
#if defined(__SSE2__)
            for (; x + 16 <= w; x += 16) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
                auto* l = reinterpret_cast<__m128i*>(lo.data() + x);
                auto* u = reinterpret_cast<__m128i*>(hi.data() + x);
                _mm_storeu_si128(l, _mm_min_epu8(_mm_loadu_si128(l), v));
                _mm_storeu_si128(u, _mm_max_epu8(_mm_loadu_si128(u), v));
            }
#endif
            for (; x < w; ++x) {
                lo[static_cast<std::size_t>(x)] = std::min(lo[static_cast<std::size_t>(x)], row[x]);
                hi[static_cast<std::size_t>(x)] = std::max(hi[static_cast<std::size_t>(x)], row[x]);
            }
        }
        ranges.resize(ranges.size() + static_cast<std::size_t>(across));
        Range* blocks = ranges.data() + static_cast<std::size_t>(by) * static_cast<std::size_t>(across);
        std::int32_t bx = 0;
#if defined(__SSE2__)
        // Two blocks a step: each 8-byte half folded onto its lowest byte.
        for (; (bx + 2) * kBlock <= w; bx += 2) {
            __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lo.data() + bx * kBlock));
            __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hi.data() + bx * kBlock));
            l = _mm_min_epu8(l, _mm_srli_epi64(l, 32));
            u = _mm_max_epu8(u, _mm_srli_epi64(u, 32));
            l = _mm_min_epu8(l, _mm_srli_epi64(l, 16));
            u = _mm_max_epu8(u, _mm_srli_epi64(u, 16));
            l = _mm_min_epu8(l, _mm_srli_epi64(l, 8));
            u = _mm_max_epu8(u, _mm_srli_epi64(u, 8));
            const auto low = static_cast<std::uint32_t>(_mm_cvtsi128_si32(l));
            const auto high = static_cast<std::uint32_t>(_mm_cvtsi128_si32(u));
            const auto low2 = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(l, 8)));
            const auto high2 = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(u, 8)));
            blocks[bx] = {static_cast<std::uint8_t>(low & 0xFFu), static_cast<std::uint8_t>(high & 0xFFu)};
            blocks[bx + 1] = {static_cast<std::uint8_t>(low2 & 0xFFu), static_cast<std::uint8_t>(high2 & 0xFFu)};
        }
#endif
        for (; bx < across; ++bx) {
            const auto x0 = static_cast<std::size_t>(bx * kBlock);
            const auto x1 = static_cast<std::size_t>(std::min(w, bx * kBlock + kBlock));
            blocks[bx] = {*std::min_element(lo.begin() + static_cast<std::ptrdiff_t>(x0),
                                            lo.begin() + static_cast<std::ptrdiff_t>(x1)),
                          *std::max_element(hi.begin() + static_cast<std::ptrdiff_t>(x0),
                                            hi.begin() + static_cast<std::ptrdiff_t>(x1))};
        }
    }
    return ranges;
}

// For every cell of an across x down grid, the union of the ranges of the
// cells within `reach` of it: along the rows, then along the columns.
std::vector<Range> widened(const std::vector<Range>& cells, std::int32_t across, std::int32_t down, std::int32_t reach,
                           const Deadline& deadline) {
    const auto at = [across](std::int32_t x, std::int32_t y) {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(across) + static_cast<std::size_t>(x);
    };
    // Grown a row at a time, so that the first touch of their pages is
    // spread between the deadline's readings.
    std::vector<Range> rows;
    rows.reserve(cells.size());
    for (std::int32_t y = 0; y < down; ++y) {
        deadline.spend(across * (2 * reach + 1));
        rows.resize(rows.size() + static_cast<std::size_t>(across));
        for (std::int32_t x = 0; x < across; ++x)
            for (std::int32_t i = std::max(0, x - reach); i <= std::min(across - 1, x + reach); ++i)
                rows[at(x, y)].widen(cells[at(i, y)]);
    }
    std::vector<Range> out;
    out.reserve(cells.size());
    for (std::int32_t y = 0; y < down; ++y) {
        deadline.spend(across * (2 * reach + 1));
        out.resize(out.size() + static_cast<std::size_t>(across));
        for (std::int32_t x = 0; x < across; ++x)
            for (std::int32_t j = std::max(0, y - reach); j <= std::min(down - 1, y + reach); ++j)
                out[at(x, y)].widen(rows[at(x, j)]);
    }
    return out;
}

// A pixel is dark below its block's threshold: the midpoint of the levels
// of the blocks around it (24 pixels a side), which follows a shadow and
// sits between the rings of a finder even where blur has brought them close
// together, kept within the middle half of the levels of the tiles around
// it (96 pixels a side, or 160 where those are flat) so that inside a module
// wider than the blocks its own level still decides. Blocks with no edge near
// them are light: 0, nothing is below it. So are blocks whose own
// neighbourhood holds no edge while their level lies in that middle half: a
// smooth gradient, which a threshold at each block's own middle would cut
// into stripes a few pixels wide; a flat module lies clearly low or high
// among the levels around it.
struct Thresholds {
    std::int32_t across = 0, down = 0;  // blocks
    std::vector<std::uint8_t> levels;
};

Thresholds thresholds(const Image::GrayBuf& image, std::int32_t tilesAcross, std::int32_t tilesDown,
                      const Deadline& deadline) {
    Thresholds t;
    t.across = (image.width() + kBlock - 1) / kBlock;
    t.down = (image.height() + kBlock - 1) / kBlock;
    const std::vector<Range> blocks = blockRanges(image, t.across, t.down, deadline);
    std::vector<Range> tiles(static_cast<std::size_t>(tilesAcross) * static_cast<std::size_t>(tilesDown));
    for (std::int32_t by = 0; by < t.down; ++by) {
        deadline.spend(t.across);
        for (std::int32_t bx = 0; bx < t.across; ++bx)
            tiles[static_cast<std::size_t>(by / kBlocksPerTile) * static_cast<std::size_t>(tilesAcross) +
                  static_cast<std::size_t>(bx / kBlocksPerTile)]
                .widen(blocks[static_cast<std::size_t>(by) * static_cast<std::size_t>(t.across) +
                              static_cast<std::size_t>(bx)]);
    }
    std::vector<Range> spans = widened(tiles, tilesAcross, tilesDown, 1, deadline);
    const std::vector<Range> wider = widened(tiles, tilesAcross, tilesDown, 2, deadline);
    for (std::size_t k = 0; k < spans.size(); ++k)
        if (spans[k].span() < kLeastEdge) spans[k] = wider[k];
    const std::vector<Range> local = widened(blocks, t.across, t.down, 1, deadline);
    t.levels.resize(blocks.size());
    for (std::int32_t by = 0; by < t.down; ++by) {
        deadline.spend(t.across);
        for (std::int32_t bx = 0; bx < t.across; ++bx) {
            const Range& span =
                spans[static_cast<std::size_t>(by / kBlocksPerTile) * static_cast<std::size_t>(tilesAcross) +
                      static_cast<std::size_t>(bx / kBlocksPerTile)];
            std::uint8_t level = 0;
            if (span.span() >= kLeastEdge) {
                const Range& near = local[static_cast<std::size_t>(by) * static_cast<std::size_t>(t.across) +
                                          static_cast<std::size_t>(bx)];
                const std::uint32_t quarter = span.span() / 4;
                const std::uint32_t middle = (std::uint32_t{near.lo} + near.hi + 1) / 2;
                const bool edgeOfItsOwn = near.span() >= kLeastEdge;
                if (edgeOfItsOwn || middle < span.lo + quarter || middle > span.hi - quarter)
                    level = static_cast<std::uint8_t>(std::clamp(middle, span.lo + quarter, span.hi - quarter));
            }
            t.levels[static_cast<std::size_t>(by) * static_cast<std::size_t>(t.across) + static_cast<std::size_t>(bx)] =
                level;
        }
    }
    return t;
}

// Neighbouring pixels of binarised noise agree as often as not; those of a
// symbol, its quiet zone, print or any scene mostly agree, and those of
// modules a pixel and a half wide still two times in three. Tiles where, over
// the tiles around them, fewer neighbours than this (in 1/64) agree are
// cleared: noise or grain binarised at its own mean, which holds no finder
// but would offer its runs everywhere.
constexpr std::uint32_t kLeastAgreement = 37;  // of 64

// Set bits, without the popcount instruction the baseline x86-64 lacks.
std::uint32_t popcount(std::uint64_t v) {
    v = v - ((v >> 1) & 0x5555555555555555ull);
    v = (v & 0x3333333333333333ull) + ((v >> 2) & 0x3333333333333333ull);
    v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<std::uint32_t>((v * 0x0101010101010101ull) >> 56);
}

// Every this many rows are measured for the agreement: a tile's neighbours
// still give thousands of pairs.
constexpr std::int32_t kAgreementRowStep = 4;

// The tiles cleared: 1 for each, row by row; `anyDark` tells whether a dark
// pixel is left.
std::vector<std::uint8_t> clearNoise(BitLines& bits, std::int32_t across, std::int32_t down, bool& anyDark,
                                     const Deadline& deadline) {
    // Per tile: pairs of neighbours (right and below) that agree, and pairs counted.
    std::vector<std::uint32_t> agree(static_cast<std::size_t>(across) * static_cast<std::size_t>(down));
    std::vector<std::uint32_t> pairs(agree.size());
    const std::int32_t w = bits.length();
    for (std::int32_t y = 0; y < bits.lines(); y += kAgreementRowStep) {
        deadline.spend(w);
        const std::uint64_t* row = bits.line(y);
        const std::uint64_t* below = y + 1 < bits.lines() ? bits.line(y + 1) : row;
        const std::size_t band = static_cast<std::size_t>(y / kTile) * static_cast<std::size_t>(across);
        for (std::int32_t tx = 0; tx < across; ++tx) {
            const std::int32_t x0 = tx * kTile;
            const std::int32_t n = std::min(kTile, w - x0);
            const std::size_t word = static_cast<std::size_t>(x0) >> 6;
            const auto shift = static_cast<std::uint32_t>(x0) & 63u;
            const std::uint64_t mask = (n == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1) << shift;
            const std::uint64_t here = row[word];
            // Each pixel against the one to its right (within the word).
            const std::uint64_t right = here >> 1;
            const std::uint64_t rightMask = mask & (mask >> 1);
            agree[band + static_cast<std::size_t>(tx)] +=
                popcount(~(here ^ right) & rightMask) + popcount(~(here ^ below[word]) & mask);
            pairs[band + static_cast<std::size_t>(tx)] += popcount(rightMask) + popcount(mask);
        }
    }
    std::vector<std::uint8_t> noise(agree.size());
    for (std::int32_t ty = 0; ty < down; ++ty) {
        deadline.spend(9 * across);
        for (std::int32_t tx = 0; tx < across; ++tx) {
            std::uint64_t a = 0, p = 0;
            for (std::int32_t y = std::max(0, ty - 1); y <= std::min(down - 1, ty + 1); ++y) {
                for (std::int32_t x = std::max(0, tx - 1); x <= std::min(across - 1, tx + 1); ++x) {
                    const std::size_t k =
                        static_cast<std::size_t>(y) * static_cast<std::size_t>(across) + static_cast<std::size_t>(x);
                    a += agree[k];
                    p += pairs[k];
                }
            }
            noise[static_cast<std::size_t>(ty) * static_cast<std::size_t>(across) + static_cast<std::size_t>(tx)] =
                64 * a < kLeastAgreement * p ? 1 : 0;
        }
    }
    anyDark = false;
    for (std::int32_t y = 0; y < bits.lines(); ++y) {
        deadline.spend(across);
        std::uint64_t* row = bits.line(y);
        const std::uint8_t* flags =
            noise.data() + static_cast<std::size_t>(y / kTile) * static_cast<std::size_t>(across);
        for (std::int32_t tx = 0; tx < across; ++tx) {
            if (flags[tx] == 0) continue;
            const std::int32_t x0 = tx * kTile;
            const std::int32_t n = std::min(kTile, w - x0);
            const std::uint64_t mask = (n == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1)
                                       << (static_cast<std::uint32_t>(x0) & 63u);
            row[static_cast<std::size_t>(x0) >> 6] &= ~mask;
        }
        for (std::size_t k = 0; k < bits.words() && !anyDark; ++k) anyDark = row[k] != 0;
    }
    return noise;
}

BitLines binarise(const Image::GrayBuf& image, const Thresholds& levels, std::int32_t tilesAcross,
                  std::int32_t tilesDown, std::vector<std::uint8_t>& noise, bool& anyDark, const Deadline& deadline) {
    const std::int32_t w = image.width();
    BitLines bits(w, image.height());
    for (std::int32_t y = 0; y < image.height(); ++y) {
        deadline.spend(w);
        const std::uint8_t* pixels = image.row(y);
        const std::uint8_t* level =
            levels.levels.data() + static_cast<std::size_t>(y / kBlock) * static_cast<std::size_t>(levels.across);
        std::uint64_t* out = bits.line(y);
        std::int32_t x = 0;
#if defined(__SSE2__)
        // Two blocks a step, each against its own threshold (0 makes none dark).
        const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
        for (; x + 2 * kBlock <= w; x += 2 * kBlock) {
            const std::uint8_t* t = level + x / kBlock;
            const __m128i thresholds = _mm_xor_si128(
                _mm_unpacklo_epi64(_mm_set1_epi8(static_cast<char>(t[0])), _mm_set1_epi8(static_cast<char>(t[1]))),
                bias);
            const __m128i v = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + x)), bias);
            const auto mask = static_cast<std::uint64_t>(_mm_movemask_epi8(_mm_cmplt_epi8(v, thresholds)));
            out[static_cast<std::size_t>(x) >> 6] |= mask << (static_cast<std::uint32_t>(x) & 63u);
        }
#endif
        for (; x < w; ++x)
            if (pixels[x] < level[x / kBlock])
                out[static_cast<std::size_t>(x) >> 6] |= std::uint64_t{1} << (static_cast<std::uint32_t>(x) & 63u);
    }
    noise = clearNoise(bits, tilesAcross, tilesDown, anyDark, deadline);
    return bits;
}

// The 64 x 64 bits block[0..64) transposed in place: bit c of word r becomes
// bit r of word c.
void transposeBlock(std::uint64_t (&block)[64]) {
    std::uint64_t mask = 0x00000000FFFFFFFFull;
    for (std::uint32_t j = 32; j != 0; j >>= 1, mask ^= mask << j) {
        for (std::uint32_t k = 0; k < 64; k = (k + j + 1) & ~j) {
            const std::uint64_t t = ((block[k] >> j) ^ block[k + j]) & mask;
            block[k] ^= t << j;
            block[k + j] ^= t;
        }
    }
}

}  // namespace

void BitLines::touch(const Deadline& deadline) {
    // 4 KiB of words: a page at a time.
    constexpr std::size_t kSlice = 512;
    for (std::size_t k = 0; k < bits_.size(); k += kSlice) {
        deadline.spend(kSlice * 64);
        std::fill(bits_.begin() + static_cast<std::ptrdiff_t>(k),
                  bits_.begin() + static_cast<std::ptrdiff_t>(std::min(bits_.size(), k + kSlice)), 0);
    }
}

BitLines transposed(const BitLines& rows, const Deadline& deadline) {
    BitLines columns(rows.lines(), rows.length());
    // Each band of rows writes into every column's line.
    columns.touch(deadline);
    std::uint64_t block[64];
    for (std::int32_t y0 = 0; y0 < rows.lines(); y0 += 64) {
        deadline.spend(std::int64_t{64} * rows.length());
        for (std::size_t wx = 0; wx < rows.words(); ++wx) {
            for (std::int32_t k = 0; k < 64; ++k) block[k] = y0 + k < rows.lines() ? rows.line(y0 + k)[wx] : 0;
            transposeBlock(block);
            for (std::int32_t k = 0; k < 64; ++k) {
                const auto x = static_cast<std::int32_t>(wx * 64) + k;
                if (x < rows.length()) columns.line(x)[static_cast<std::size_t>(y0) >> 6] = block[k];
            }
        }
    }
    return columns;
}

bool LocalBinary::noiseAt(std::int32_t x, std::int32_t y) const {
    return noise[static_cast<std::size_t>(y / kTile) * static_cast<std::size_t>(tilesAcross) +
                 static_cast<std::size_t>(x / kTile)] != 0;
}

std::int32_t LocalBinary::noiseTileSide() { return kTile; }

std::int32_t LocalBinary::blockSide() { return kBlock; }

std::uint8_t LocalBinary::thresholdAt(std::int32_t x, std::int32_t y) const {
    return thresholds[static_cast<std::size_t>(y / kBlock) * static_cast<std::size_t>(blocksAcross) +
                      static_cast<std::size_t>(x / kBlock)];
}

bool anyEdgeAtTheBorder(const LocalBinary& binary) {
    const auto across = static_cast<std::size_t>(binary.blocksAcross);
    if (across == 0) return false;
    const std::size_t down = binary.thresholds.size() / across;
    const auto at = [&](std::size_t bx, std::size_t by) { return binary.thresholds[by * across + bx] != 0; };
    for (std::size_t bx = 0; bx < across; ++bx)
        if (at(bx, 0) || at(bx, down - 1)) return true;
    for (std::size_t by = 0; by < down; ++by)
        if (at(0, by) || at(across - 1, by)) return true;
    return false;
}

LocalBinary binariseLocally(const Image::GrayBuf& image, const Deadline& deadline) {
    const std::int32_t tilesAcross = (image.width() + kTile - 1) / kTile;
    const std::int32_t tilesDown = (image.height() + kTile - 1) / kTile;
    Thresholds levels = thresholds(image, tilesAcross, tilesDown, deadline);
    std::vector<std::uint8_t> noise;
    bool anyDark = false;
    BitLines rows = binarise(image, levels, tilesAcross, tilesDown, noise, anyDark, deadline);
    return {std::move(rows), levels.across, std::move(levels.levels), tilesAcross, std::move(noise), anyDark};
}

}  // namespace AztecCore
