#pragma once
// Picks the brightest spots of a ring-depth map as bull's-eye candidates.
#include <cstdint>
#include <vector>

#include "common/deadline.h"
#include "image/gray_buf.h"
#include "photo/bullseye_candidates.h"

namespace AztecCore {

// The map is cut into 8 x 8 cells; each cell whose maximum reaches
// minimumPeak (half way up a stretched map) proposes the first pixel holding
// that maximum. At most five positions, brightest first (ties keep the
// cells' row-major order). Throws OutOfTime once `deadline` has passed.
std::vector<CandidatePoint> pickPeaks(const Image::GrayBuf& depthMap, std::uint32_t minimumPeak = 128,
                                      const Deadline& deadline = Deadline::none());

}  // namespace AztecCore
