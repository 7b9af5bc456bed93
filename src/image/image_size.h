#pragma once
// Pixel counts are formed in 64 bits: the product of two 32-bit sizes can
// exceed what a 32-bit index may address, and such an image must be refused
// instead of silently wrapping into a small one.
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace AztecCore::Image {

inline std::int64_t pixelCount(std::int32_t width, std::int32_t height) {
    return std::int64_t{width} * std::int64_t{height};
}

// Every byte of an image (all planes together) must stay addressable by a
// signed 32-bit index.
inline void requireAddressable(std::int64_t totalBytes) {
    if (totalBytes > std::numeric_limits<std::int32_t>::max()) throw std::length_error("vector<T> too long");
}

}  // namespace AztecCore::Image
