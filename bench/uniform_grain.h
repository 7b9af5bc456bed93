#pragma once
// Grain drawn uniformly from -amplitude..amplitude gray levels, added to every
// pixel of an image: the flat-topped noise of some sensors and of dithered
// or recompressed frames, which the test support's Gaussian noise does not
// give.
#include <cstdint>

#include "support/render.h"

namespace talavex_bench {

// Each pixel, row-major, gets a whole number of levels drawn uniformly from
// -amplitude..amplitude (std::mt19937 seeded with `seed`), clamped to 0..255.
void addUniformGrain(talavex_test::GrayImage& image, int amplitude, std::uint32_t seed);

}  // namespace talavex_bench
