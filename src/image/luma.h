#pragma once
// Colour to gray with fixed integer luma weights; no floating point, so every
// platform produces identical gray images from identical frames. Header-only,
// so that the command-line reader converts exactly as the library does.
#include <cstdint>

namespace AztecCore::Image {

inline constexpr std::uint32_t kRedWeight = 2125;
inline constexpr std::uint32_t kGreenWeight = 7154;
inline constexpr std::uint32_t kBlueWeight = 721;
inline constexpr std::uint32_t kWeightSum = 10000;  // so white stays exactly 255
static_assert(kRedWeight + kGreenWeight + kBlueWeight == kWeightSum);

inline constexpr std::uint8_t luma(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return static_cast<std::uint8_t>((kRedWeight * red + kGreenWeight * green + kBlueWeight * blue) / kWeightSum);
}

}  // namespace AztecCore::Image
