#include "photo/bullseye_candidates.h"

#include "photo/block_threshold.h"
#include "photo/peak_picker.h"
#include "photo/ring_depth_map.h"

namespace AztecCore {

std::vector<CandidatePoint> findBullseyeCandidates(const Image::GrayBuf& source) {
    // Scoped so that each intermediate image is freed as soon as the next
    // stage has consumed it: a full-size photo makes each of them megabytes.
    Image::GrayBuf depthMap;
    {
        Image::GrayBuf binary;
        {
            const Image::GrayBuf levels = computeBlockLevels(source);
            binary = binarizeByBlocks(source, levels);
        }
        depthMap = buildRingDepthMap(binary);
    }
    return pickPeaks(depthMap);
}

}  // namespace AztecCore
