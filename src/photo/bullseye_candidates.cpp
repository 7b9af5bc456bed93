#include "photo/bullseye_candidates.h"

#include "photo/block_threshold.h"
#include "photo/peak_picker.h"
#include "photo/ring_depth_map.h"

namespace AztecCore {

std::vector<CandidatePoint> findBullseyeCandidates(const Image::GrayBuf& source) {
    const Image::GrayBuf levels = computeBlockLevels(source);
    // The thresholded photo is read a row at a time as the depth map's sweeps
    // need it, so it never takes a full-size image of its own.
    const UnstretchedDepthMap depth =
        buildUnstretchedRingDepthMap(source.width(), source.height(),
                                     [&](std::int32_t y, std::uint8_t* dark) { markDarkRow(source, levels, y, dark); });
    // The peaks of the stretched map, found on the unstretched one: the
    // stretch keeps the order of the values, and the least value it takes to
    // 128 or more stands for 128 (none: no peak).
    std::uint32_t minimumPeak = 0;
    while (minimumPeak < 256 && depth.stretched[minimumPeak] < 128) ++minimumPeak;
    return pickPeaks(depth.map, minimumPeak);
}

}  // namespace AztecCore
