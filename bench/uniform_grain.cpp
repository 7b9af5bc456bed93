#include "uniform_grain.h"

#include <algorithm>
#include <random>

namespace talavex_bench {

void addUniformGrain(talavex_test::GrayImage& image, int amplitude, std::uint32_t seed) {
    if (amplitude <= 0) return;
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> grain(-amplitude, amplitude);
    for (std::uint8_t& pixel : image.pixels) pixel = static_cast<std::uint8_t>(std::clamp(pixel + grain(rng), 0, 255));
}

}  // namespace talavex_bench
