#include <cstddef>
#include <fstream>
#include <random>
#include <string>

#include "support/render.h"

namespace talavex_test {

std::vector<std::uint8_t> toBGRA(const GrayImage& image, std::uint32_t alphaSeed) {
    std::vector<std::uint8_t> bgra(image.pixels.size() * 4);
    std::mt19937 rng(alphaSeed);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        bgra[4 * i] = image.pixels[i];
        bgra[4 * i + 1] = image.pixels[i];
        bgra[4 * i + 2] = image.pixels[i];
        bgra[4 * i + 3] = alphaSeed != 0 ? static_cast<std::uint8_t>(rng() & 0xFFU) : 255;
    }
    return bgra;
}

bool writePgm(const GrayImage& image, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    if (!out) {
        return false;
    }
    out << "P5\n" << image.width << ' ' << image.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(image.pixels.data()), static_cast<std::streamsize>(image.pixels.size()));
    out.flush();
    return static_cast<bool>(out);
}

}  // namespace talavex_test
