#include "photo/bullseye_candidates.h"

#include "photo/block_threshold.h"
#include "photo/peak_picker.h"
#include "photo/ring_depth_map.h"

namespace AztecCore {

std::vector<CandidatePoint> findBullseyeCandidates(const Image::GrayBuf& source) {
    const Image::GrayBuf levels = computeBlockLevels(source);
    // The thresholded photo is read a row at a time as the depth map's sweeps
    // need it, so it never takes a full-size image of its own.
    const Image::GrayBuf depthMap =
        buildRingDepthMap(source.width(), source.height(),
                          [&](std::int32_t y, std::uint8_t* dark) { markDarkRow(source, levels, y, dark); });
    return pickPeaks(depthMap);
}

}  // namespace AztecCore
