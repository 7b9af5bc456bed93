#pragma once
// Small synthetic images for the photo preprocessing tests.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/gray_buf.h"

namespace photo_test {

using AztecCore::Image::GrayBuf;

inline GrayBuf filledImage(std::int32_t w, std::int32_t h, std::uint8_t value) {
    GrayBuf image;
    image.resize(w, h);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) image.setPixel(x, y, value);
    return image;
}

inline void fillRect(GrayBuf& image, std::int32_t x0, std::int32_t y0, std::int32_t w, std::int32_t h,
                     std::uint8_t value) {
    for (std::int32_t y = y0; y < y0 + h; ++y)
        for (std::int32_t x = x0; x < x0 + w; ++x) image.setPixel(x, y, value);
}

// Concentric square rings of `module` pixels around (cx, cy): dark where the
// Chebyshev ring index is even, up to ring `rings`.
inline void drawRings(GrayBuf& image, std::int32_t cx, std::int32_t cy, std::int32_t module, std::int32_t rings) {
    const std::int32_t half = module / 2;
    for (std::int32_t y = 0; y < image.height(); ++y) {
        for (std::int32_t x = 0; x < image.width(); ++x) {
            const std::int32_t dx = x - cx + half;
            const std::int32_t dy = y - cy + half;
            const auto ring = [&](std::int32_t d) { return (d >= 0 ? d : d - module + 1) / module; };
            const std::int32_t r = std::max(std::abs(ring(dx)), std::abs(ring(dy)));
            if (r <= rings) image.setPixel(x, y, r % 2 == 0 ? 0 : 255);
        }
    }
}

inline GrayBuf rowImage(const std::vector<std::uint8_t>& values) {
    GrayBuf image(values.data(), static_cast<std::int32_t>(values.size()), 1);
    return image;
}

}  // namespace photo_test
