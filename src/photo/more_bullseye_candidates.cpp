#include "photo/more_bullseye_candidates.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace AztecCore {

namespace {

// Candidates closer than this (in x and in y) stand for the same bull's-eye:
// the deepest spots of one ring lie within its central module, and bull's-eyes
// of two symbols lie a symbol's side apart. Large photos have larger modules.
std::int32_t spacingFor(const Image::GrayBuf& map) { return std::max(12, std::min(map.width(), map.height()) / 80); }

// Deep pixels kept at once while the map is swept, 8 bytes each: few enough
// that growing their storage (new pages, which cost microseconds each to
// fault in) is no long step.
constexpr std::size_t kMostKeptPoints = std::size_t{1} << 16;

// The first pixel from x on at least `least` deep (width if none): most of a
// map lies below the depths asked for, and is passed sixteen pixels a step.
std::int32_t nextAtLeast(const std::uint8_t* row, std::int32_t x, std::int32_t width, std::int32_t least) {
#if defined(__SSE2__)
    const __m128i floor = _mm_set1_epi8(static_cast<char>(least));
    for (; x + 16 <= width; x += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        const auto deep = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(v, floor), v)));
        if (deep != 0) return x + __builtin_ctz(deep);
    }
#endif
    while (x < width && row[x] < least) ++x;
    return x;
}

bool near(const CandidatePoint& a, const CandidatePoint& b, std::int32_t spacing) {
    return std::abs(a.x - b.x) < spacing && std::abs(a.y - b.y) < spacing;
}

}  // namespace

BullseyeCandidates findMoreBullseyeCandidates(const BullseyeDepth& depth, const std::vector<CandidatePoint>& tried,
                                              std::size_t count, const Deadline& deadline) {
    const std::int32_t minimumPeak = static_cast<std::int32_t>(depth.minimumPeak);
    BullseyeCandidates found;
    found.spacing = spacingFor(depth.map);
    // No pixel is deep enough to be a peak.
    if (minimumPeak > 255) return found;

    std::vector<CandidatePoint>& more = found.more;
    const auto taken = [&](const CandidatePoint& p, const std::vector<CandidatePoint>& points) {
        return std::any_of(points.begin(), points.end(),
                           [&](const CandidatePoint& q) { return near(p, q, found.spacing); });
    };
    // A spot beside a deeper one that was taken belongs to its ring.
    const auto consider = [&](const CandidatePoint& p) {
        deadline.spend(static_cast<std::int64_t>(more.size() + tried.size()) + 1);
        if (!taken(p, more) && !taken(p, tried)) more.push_back(p);
    };

    // The deep pixels are taken by depth, deepest first, and in row-major
    // order within a depth. Each sweep of the map takes the deepest depth
    // left as it meets its pixels (every deeper one is done) and keeps the
    // pixels of the depths below it for after the sweep, as many as
    // kMostKeptPoints allows: where more come, the shallowest depths kept are
    // let go, for a later sweep. Mostly one sweep does it; a map deep all over
    // (a large filled ring) costs a few sweeps instead of a point per pixel.
    std::array<std::vector<CandidatePoint>, 256> kept;
    const std::int32_t width = depth.map.width();
    for (std::int32_t top = 255; top >= minimumPeak && more.size() < count;) {
        std::int32_t lowestKept = minimumPeak;  // depths below it are let go
        std::size_t keptCount = 0;
        for (std::int32_t y = 0; y < depth.map.height() && more.size() < count; ++y) {
            deadline.spend(width);
            const std::uint8_t* row = depth.map.row(y);
            for (std::int32_t x = nextAtLeast(row, 0, width, lowestKept); x < width;
                 x = nextAtLeast(row, x + 1, width, lowestKept)) {
                const std::int32_t d = row[x];
                if (d == top) {
                    consider({x, y});
                    if (more.size() == count) break;
                } else if (d < top) {
                    kept[static_cast<std::size_t>(d)].push_back({x, y});
                    for (++keptCount; keptCount > kMostKeptPoints; ++lowestKept) {
                        std::vector<CandidatePoint>& shallowest = kept[static_cast<std::size_t>(lowestKept)];
                        keptCount -= shallowest.size();
                        std::vector<CandidatePoint>().swap(shallowest);
                    }
                }
            }
        }
        for (std::int32_t d = top - 1; d >= lowestKept; --d) {
            std::vector<CandidatePoint>& points = kept[static_cast<std::size_t>(d)];
            for (std::size_t i = 0; i < points.size() && more.size() < count; ++i) consider(points[i]);
            std::vector<CandidatePoint>().swap(points);
        }
        top = lowestKept - 1;
    }
    return found;
}

}  // namespace AztecCore
