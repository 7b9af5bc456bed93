#include "photo/bullseye_candidates.h"

#include <algorithm>
#include <utility>

#include "photo/block_threshold.h"
#include "photo/peak_picker.h"
#include "photo/ring_depth_map.h"

namespace AztecCore {

namespace {

// The peaks of the stretched map, found on the unstretched one: the stretch
// keeps the order of the values, and the least value it takes to 128 or more
// stands for 128 (none: no peak).
BullseyeDepth peaksOf(UnstretchedDepthMap depth) {
    BullseyeDepth measured;
    measured.minimumPeak = 0;
    while (measured.minimumPeak < 256 && depth.stretched[measured.minimumPeak] < 128) ++measured.minimumPeak;
    measured.map = std::move(depth.map);
    return measured;
}

}  // namespace

BullseyeDepth measureBullseyeDepth(const Image::GrayBuf& source, const Deadline& deadline) {
    const Image::GrayBuf levels = computeBlockLevels(source, deadline);
    // The thresholded photo is read a row at a time as the depth map's sweeps
    // need it, so it never takes a full-size image of its own.
    return peaksOf(buildUnstretchedRingDepthMap(
        source.width(), source.height(),
        [&](std::int32_t y, std::uint8_t* dark) {
            deadline.spend(source.width());
            markDarkRow(source, levels, y, dark);
        },
        deadline));
}

BullseyeDepth measureBullseyeDepth(const Image::GrayBuf& source, const LocalBinary& binary, const Deadline& deadline) {
    const Image::GrayBuf levels = computeBlockLevels(source, deadline);
    const std::int32_t width = source.width();
    const std::int32_t side = LocalBinary::noiseTileSide();
    const std::int32_t block = LocalBinary::blockSide();
    return peaksOf(buildUnstretchedRingDepthMap(
        width, source.height(),
        [&](std::int32_t y, std::uint8_t* dark) {
            deadline.spend(width);
            markDarkRow(source, levels, y, dark);
            for (std::int32_t x = 0; x < width; x += side)
                if (binary.noiseAt(x, y)) std::fill(dark + x, dark + std::min(width, x + side), 0);
            // No edge near: light in either polarity.
            const std::uint8_t* thresholds =
                binary.thresholds.data() +
                static_cast<std::size_t>(y / block) * static_cast<std::size_t>(binary.blocksAcross);
            for (std::int32_t x = 0, k = 0; x < width; x += block, ++k)
                if (thresholds[k] == 0) std::fill(dark + x, dark + std::min(width, x + block), 0);
        },
        deadline));
}

std::vector<CandidatePoint> findBullseyeCandidates(const Image::GrayBuf& source) {
    const BullseyeDepth depth = measureBullseyeDepth(source);
    return pickPeaks(depth.map, depth.minimumPeak);
}

}  // namespace AztecCore
