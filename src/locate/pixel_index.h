#pragma once
// Conversion of an image coordinate to a pixel index. Truncates toward zero;
// a value that does not fit in 32 bits (or is not a number) gives the
// smallest 32-bit integer, which every bounds test then treats as outside.
#include <cmath>
#include <cstdint>

namespace AztecCore {

inline std::int32_t truncToInt32(double v) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

// The pixel whose centre lies nearest: positions measured by the fills are
// averages of pixel indices, so pixel i covers [i - 0.5, i + 0.5).
inline std::int32_t nearestPixel(double v) { return truncToInt32(std::floor(v + 0.5)); }

}  // namespace AztecCore
