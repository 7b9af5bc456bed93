#pragma once
// Values of the locator's working image. Quantised pixels hold 0, 85, 170 or
// 255; the fills overwrite what they take with a mark that keeps the pixel's
// dark/light class, so later fills of the other kind still see it correctly.
#include <cstdint>

namespace AztecCore {

inline constexpr std::uint8_t kLightFrom = 128;      // values below are dark
inline constexpr std::uint8_t kDarkFillMark = 120;   // taken by the dark seed fill
inline constexpr std::uint8_t kLightFillMark = 140;  // taken by the light seed fill
inline constexpr std::uint8_t kRingFillMark = 150;   // taken by the bull's-eye ring fill

}  // namespace AztecCore
