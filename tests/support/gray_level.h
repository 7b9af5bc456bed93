#pragma once
// Internal to the render tool: rounding of computed intensities to 8-bit gray.
#include <cstdint>

namespace talavex_test::detail {

// Nearest level, halves rounded up, clamped to 0..255. Avoids lround, which
// shows up in the profile of noisy full-HD frames.
inline std::uint8_t toGrayLevel(double value) {
    if (!(value > 0.0)) {
        return 0;
    }
    if (value >= 254.5) {
        return 255;
    }
    return static_cast<std::uint8_t>(value + 0.5);
}

}  // namespace talavex_test::detail
