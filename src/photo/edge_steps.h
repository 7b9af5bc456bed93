#pragma once
// One-dimensional core of the edge-step resampler: a profile's monotonic rises
// and falls condensed into sharp steps, and those steps redrawn at a new length.
#include <cstdint>
#include <vector>

namespace AztecCore {

struct EdgeStep {
    float position = 0.0f;  // centre of the edge as a fraction of the profile length
    std::int32_t step = 0;  // total intensity change across the edge
};

// `differences` holds d[0] = 0 and d[i] = p[i] - p[i-1]. Every maximal run of
// differences without opposite signs becomes one edge at its index-weighted
// centroid. `edges` is overwritten (its capacity is reused), in increasing
// position.
void extractEdgeSteps(const std::vector<std::int32_t>& differences, std::vector<EdgeStep>& edges);

// Where the samples of an output profile of `count` samples lie: sample x
// stands for t = x / count (single precision). Built once per output length.
class SamplePositions {
public:
    explicit SamplePositions(std::int32_t count);
    std::int32_t count() const { return static_cast<std::int32_t>(t_.size()); }
    // The first sample, not before `from`, whose t reaches `position`; count() if none.
    std::int32_t firstReaching(float position, std::int32_t from) const;

private:
    std::vector<float> t_;
};

// Draws the edges as a staircase starting at `start` into samples[0 ..
// grid.count()): each edge takes effect at the first sample whose t reaches
// its position, and not before the edge ahead of it. Values wrap to their low byte.
void renderEdgeSteps(const std::vector<EdgeStep>& edges, std::int32_t start, const SamplePositions& grid,
                     std::uint8_t* samples);

}  // namespace AztecCore
