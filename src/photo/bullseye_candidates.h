#pragma once
// Proposes where in a whole photo an Aztec bull's-eye is likely to be.
#include <cstdint>
#include <vector>

#include "image/gray_buf.h"

namespace AztecCore {

struct CandidatePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// At most five positions, most likely first. The photo must be at least
// 64 x 64 pixels; a smaller one raises std::out_of_range.
std::vector<CandidatePoint> findBullseyeCandidates(const Image::GrayBuf& source);

}  // namespace AztecCore
