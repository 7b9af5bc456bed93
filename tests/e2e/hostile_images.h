#pragma once
// Images without a symbol that a scanner meets all the time: pure noise and
// tiles of bull's-eye-like rings. Used by the hostile-input tests and the
// golden check.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>

#include "support/render.h"

namespace talavex_e2e {

// Every pixel drawn uniformly from 0..255.
inline talavex_test::GrayImage noise(int width, int height, std::uint32_t seed) {
    talavex_test::GrayImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    std::mt19937 rng(seed);
    for (auto& p : image.pixels) p = static_cast<std::uint8_t>(rng());
    return image;
}

// Concentric square rings of random pitch on white: bull's-eyes without a
// mode message or data around them.
inline talavex_test::GrayImage tiledRings(int width, int height, int tile, std::uint32_t seed) {
    talavex_test::GrayImage image = talavex_test::blankImage(width, height);
    std::mt19937 rng(seed);
    for (int ty = 0; ty + tile <= height; ty += tile)
        for (int tx = 0; tx + tile <= width; tx += tile) {
            const int pitch = 2 + static_cast<int>(rng() % 4);
            const int rings = 3 + static_cast<int>(rng() % 5);
            const int c = tile / 2;
            for (int y = 0; y < tile; ++y)
                for (int x = 0; x < tile; ++x) {
                    const int r = std::max(std::abs(x - c), std::abs(y - c)) / pitch;
                    if (r <= 2 * rings && r % 2 == 0)
                        image.pixels[static_cast<std::size_t>(ty + y) * width + tx + x] = 0;
                }
        }
    return image;
}

}  // namespace talavex_e2e
