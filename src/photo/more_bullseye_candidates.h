#pragma once
// Bull's-eye candidates beyond the photo pass's five. Its peak picker keeps
// one spot per cell of an 8 x 8 grid, so a bull's-eye that shares its cell
// with a spot nested as deeply (a ring-like letter, the photo's edge, another
// symbol) is never proposed. Here every local maximum of the same ring-depth
// map competes, spaced apart so that one bull's-eye gives one candidate.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "photo/bullseye_candidates.h"

namespace AztecCore {

struct BullseyeCandidates {
    std::vector<CandidatePoint> more;
    // Positions closer than this in x and in y stand for the same bull's-eye.
    std::int32_t spacing = 0;
};

// From a photo's measureBullseyeDepth and the positions the photo pass
// picked from it (`tried`): up to `count` more positions, deepest first (ties
// in row-major order), none within the spacing of another or of a tried one.
// Throws OutOfTime once `deadline` has passed.
BullseyeCandidates findMoreBullseyeCandidates(const BullseyeDepth& depth, const std::vector<CandidatePoint>& tried,
                                              std::size_t count, const Deadline& deadline = Deadline::none());

}  // namespace AztecCore
