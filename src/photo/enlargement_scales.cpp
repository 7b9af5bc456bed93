#include "photo/enlargement_scales.h"

#include <limits>

#include "photo/single_precision.h"

namespace AztecCore {

std::vector<float> enlargementScales() {
    std::vector<float> scales;
    // The step is added, not multiplied out: the accumulated rounding is part
    // of which factors are tried and how they are reported.
    for (float s = 4.0f; s >= 1.0f; s = roundToFloat(s + -0.05f)) scales.push_back(s);
    return scales;
}

std::int32_t scaledSide(std::int32_t side, float scale) {
    const float product = roundToFloat(static_cast<float>(side) * scale);
    // Far beyond any usable size; saturate instead of an undefined conversion.
    constexpr float kLimit = 2147483648.0f;
    if (product >= kLimit) return std::numeric_limits<std::int32_t>::max();
    if (product <= -kLimit) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(product);
}

bool enlargementAllowed(std::int32_t w, std::int32_t h, std::int32_t maxSide) {
    if (w > maxSide || h > maxSide) return false;
    return std::int64_t{w} * std::int64_t{h} <= kMaxEnlargedPixels;
}

}  // namespace AztecCore
