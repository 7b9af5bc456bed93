#pragma once
// Internal to the render tool: Gaussian blur of a float raster.
#include <vector>

namespace talavex_test::detail {

enum class BlurEdge {
    Zero,    // values beyond the raster are 0 (the raster carries its own margin)
    Repeat,  // the border pixels continue outward
};

// Kernel radius used for `sigma`: three standard deviations, at least 1.
int blurRadius(double sigma);

// Separable blur in place; `plane` is row-major width * height. sigma <= 0 does nothing.
void blurPlane(std::vector<float>& plane, int width, int height, double sigma, BlurEdge edge);

}  // namespace talavex_test::detail
