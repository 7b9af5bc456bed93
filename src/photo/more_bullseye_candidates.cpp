#include "photo/more_bullseye_candidates.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace AztecCore {

namespace {

// Candidates closer than this (in x and in y) stand for the same bull's-eye:
// the deepest spots of one ring lie within its central module, and bull's-eyes
// of two symbols lie a symbol's side apart. Large photos have larger modules.
std::int32_t spacingFor(const Image::GrayBuf& map) { return std::max(12, std::min(map.width(), map.height()) / 80); }

bool near(const CandidatePoint& a, const CandidatePoint& b, std::int32_t spacing) {
    return std::abs(a.x - b.x) < spacing && std::abs(a.y - b.y) < spacing;
}

}  // namespace

BullseyeCandidates findMoreBullseyeCandidates(const BullseyeDepth& depth, const std::vector<CandidatePoint>& tried,
                                              std::size_t count, const Deadline& deadline) {
    const std::uint32_t minimumPeak = depth.minimumPeak;
    BullseyeCandidates found;
    found.spacing = spacingFor(depth.map);
    // No pixel is deep enough to be a peak.
    if (minimumPeak > 255) return found;

    // Every deep enough pixel, by depth: buckets keep row-major order within a depth.
    std::array<std::vector<CandidatePoint>, 256> byDepth;
    for (std::int32_t y = 0; y < depth.map.height(); ++y) {
        deadline.spend(depth.map.width());
        const std::uint8_t* row = depth.map.row(y);
        for (std::int32_t x = 0; x < depth.map.width(); ++x)
            if (row[x] >= minimumPeak) byDepth[row[x]].push_back({x, y});
    }
    const auto taken = [&](const CandidatePoint& p, const std::vector<CandidatePoint>& points) {
        return std::any_of(points.begin(), points.end(),
                           [&](const CandidatePoint& q) { return near(p, q, found.spacing); });
    };
    std::vector<CandidatePoint>& more = found.more;
    for (std::size_t d = byDepth.size(); d-- > 0 && more.size() < count;) {
        for (const CandidatePoint& p : byDepth[d]) {
            if (more.size() == count) break;
            // A spot beside a deeper one that was taken belongs to its ring.
            if (taken(p, more)) continue;
            if (taken(p, tried)) continue;
            more.push_back(p);
        }
    }
    return found;
}

}  // namespace AztecCore
