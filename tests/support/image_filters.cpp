#include <cstddef>
#include <vector>

#include "support/blur_plane.h"
#include "support/gaussian_noise.h"
#include "support/gray_level.h"
#include "support/render.h"

namespace talavex_test {

void gaussianBlur(GrayImage& image, double sigma) {
    if (!(sigma > 0.0)) {
        return;
    }
    std::vector<float> plane(image.pixels.begin(), image.pixels.end());
    detail::blurPlane(plane, image.width, image.height, sigma, detail::BlurEdge::Repeat);
    for (std::size_t i = 0; i < plane.size(); ++i) {
        image.pixels[i] = detail::toGrayLevel(plane[i]);
    }
}

void addNoise(GrayImage& image, double sigma, std::uint32_t seed) {
    if (!(sigma > 0.0)) {
        return;
    }
    detail::GaussianNoise noise(sigma, seed);
    for (std::uint8_t& pixel : image.pixels) {
        pixel = detail::toGrayLevel(pixel + noise());
    }
}

}  // namespace talavex_test
