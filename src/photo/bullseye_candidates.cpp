#include "photo/bullseye_candidates.h"

#include <utility>

#include "photo/block_threshold.h"
#include "photo/peak_picker.h"
#include "photo/ring_depth_map.h"

namespace AztecCore {

BullseyeDepth measureBullseyeDepth(const Image::GrayBuf& source, const Deadline& deadline) {
    const Image::GrayBuf levels = computeBlockLevels(source, deadline);
    // The thresholded photo is read a row at a time as the depth map's sweeps
    // need it, so it never takes a full-size image of its own.
    UnstretchedDepthMap depth =
        buildUnstretchedRingDepthMap(source.width(), source.height(), [&](std::int32_t y, std::uint8_t* dark) {
            deadline.spend(source.width());
            markDarkRow(source, levels, y, dark);
        });
    // The peaks of the stretched map, found on the unstretched one: the
    // stretch keeps the order of the values, and the least value it takes to
    // 128 or more stands for 128 (none: no peak).
    BullseyeDepth measured;
    measured.minimumPeak = 0;
    while (measured.minimumPeak < 256 && depth.stretched[measured.minimumPeak] < 128) ++measured.minimumPeak;
    measured.map = std::move(depth.map);
    return measured;
}

std::vector<CandidatePoint> findBullseyeCandidates(const Image::GrayBuf& source) {
    const BullseyeDepth depth = measureBullseyeDepth(source);
    return pickPeaks(depth.map, depth.minimumPeak);
}

}  // namespace AztecCore
