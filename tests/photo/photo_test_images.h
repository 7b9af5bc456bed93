#pragma once
// Small synthetic images for the photo preprocessing tests.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/gray_buf.h"
#include "support/bullseye.h"

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

// Bull's-eye rings (support/bullseye.h) painted into a GrayBuf.
inline void drawRings(GrayBuf& image, const talavex_test::Bullseye& rings) {
    talavex_test::paintBullseye(image.width(), image.height(), rings,
                                [&](int x, int y, std::uint8_t level) { image.setPixel(x, y, level); });
}

inline GrayBuf rowImage(const std::vector<std::uint8_t>& values) {
    GrayBuf image(values.data(), static_cast<std::int32_t>(values.size()), 1);
    return image;
}

}  // namespace photo_test
