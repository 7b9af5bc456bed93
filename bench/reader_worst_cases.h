#pragma once
// The worst cases of the reader's search beyond the speed report's: images
// where it reads nothing and may search long (noise, flat frames, tiles of
// bull's-eyes or rings, a blurred or damaged symbol it cannot read), Aztec
// Runes, which it looks for last, and, when asked, a 2 GiB frame. The
// reader-cost report times them; the budget report checks its time budget
// on them.
#include <cstdint>
#include <vector>

#include "cost_image.h"

namespace talavex_bench {

// `perClass` images of each class (the tile of bull's-eyes has two kinds at
// most); `huge` adds the 46340 x 46340 frame (2 GiB).
std::vector<CostClass> readerWorstCases(std::uint32_t seed, int perClass, bool huge);

}  // namespace talavex_bench
