#pragma once
// The enlargement factors tried on a crop around a bull's-eye candidate, and
// the enlarged sizes they give. Both are computed in single precision on every
// platform, so the drifting factors (4.0, 3.95, ..., 1.0000029) and the sizes
// do not depend on how a compiler keeps intermediate floats.
#include <cstdint>
#include <vector>

namespace AztecCore {

// 61 factors from 4.0 down to about 1.0, largest first.
std::vector<float> enlargementScales();

// trunc(side * scale), the product rounded to single precision first;
// saturates at the int32 limits.
std::int32_t scaledSide(std::int32_t side, float scale);

// Largest enlarged image, in pixels, that is worth an attempt. The crop spans
// about 60 (compact) to 100 (full-range) modules, so 2000 x 2000 pixels
// already means modules of 20 to 33 pixels: larger enlargements cannot add
// detail, while each one costs time in proportion to its area (a photo full
// of unreadable bull's-eyes would otherwise spend most of a minute on them).
inline constexpr std::int64_t kMaxEnlargedPixels = 4'000'000;

// Whether an enlargement to w x h is attempted: neither side above maxSide,
// and the area within kMaxEnlargedPixels.
bool enlargementAllowed(std::int32_t w, std::int32_t h, std::int32_t maxSide);

}  // namespace AztecCore
