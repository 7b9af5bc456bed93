#pragma once
// Proposes where in a whole photo an Aztec bull's-eye is likely to be.
#include <cstdint>
#include <vector>

#include "common/deadline.h"
#include "image/gray_buf.h"
#include "photo/local_binary.h"

namespace AztecCore {

struct CandidatePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The photo's ring-depth map (unstretched) and the least depth that makes a
// peak there: the least value the stretch takes to 128 or more (256: none).
struct BullseyeDepth {
    Image::GrayBuf map;
    std::uint32_t minimumPeak = 256;
};
// The photo must be at least 64 x 64 pixels; a smaller one raises std::out_of_range.
// Every row swept counts against `deadline`.
BullseyeDepth measureBullseyeDepth(const Image::GrayBuf& source, const Deadline& deadline = Deadline::none());

// The same map with the tiles that `binary` cleared as noise, and its blocks
// with no edge near them, left light: the reader's search, where grain over
// a background would otherwise nest as deeply as rings and outrank them,
// noise cost the sweeps most, and a faint gradient with a little noise,
// cut at each block's own level, leaves spots as deep as a finder's.
BullseyeDepth measureBullseyeDepth(const Image::GrayBuf& source, const LocalBinary& binary, const Deadline& deadline);

// At most five positions, most likely first: pickPeaks over that map. The
// photo must be at least 64 x 64 pixels, as above.
std::vector<CandidatePoint> findBullseyeCandidates(const Image::GrayBuf& source);

}  // namespace AztecCore
