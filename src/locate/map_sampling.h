#pragma once
// Reading the source image at the image position of a symbol point: the
// pixel whose centre lies nearest, or nothing when that pixel is outside.
#include <cstdint>

namespace AztecCore {

// Index of the pixel nearest to coordinate v along an axis of `extent`
// pixels (pixel i covers [i - 0.5, i + 0.5)); false when it lies outside the
// axis, also for a v that is not a finite number. One range test does what
// flooring v + 0.5 and comparing the result would: the floor of t lies in
// [0, extent) exactly when t does, and a t >= 0 truncates to its floor.
inline bool nearestPixelWithin(double v, std::int32_t extent, std::int32_t& index) {
    const double t = v + 0.5;
    if (!(t >= 0.0 && t < static_cast<double>(extent))) return false;
    index = static_cast<std::int32_t>(t);
    return true;
}

}  // namespace AztecCore
