#include "support/blur_plane.h"

#include <cmath>
#include <cstddef>

namespace talavex_test::detail {
namespace {

std::vector<double> gaussianKernel(double sigma) {
    const int radius = blurRadius(sigma);
    std::vector<double> kernel(static_cast<std::size_t>(2 * radius + 1));
    double sum = 0.0;
    for (int i = -radius; i <= radius; ++i) {
        const double k = std::exp(-0.5 * i * i / (sigma * sigma));
        kernel[static_cast<std::size_t>(i + radius)] = k;
        sum += k;
    }
    for (double& k : kernel) {
        k /= sum;
    }
    return kernel;
}

// One 1-D pass over `count` lines of `length` samples, `stride` apart within a
// line and `lineStep` apart between lines.
void blurLines(std::vector<float>& plane, int count, int length, std::ptrdiff_t stride, std::ptrdiff_t lineStep,
               const std::vector<double>& kernel, BlurEdge edge) {
    const int radius = static_cast<int>(kernel.size() / 2);
    std::vector<float> line(static_cast<std::size_t>(length));
    for (int l = 0; l < count; ++l) {
        const std::ptrdiff_t base = l * lineStep;
        for (int i = 0; i < length; ++i) {
            line[static_cast<std::size_t>(i)] = plane[static_cast<std::size_t>(base + i * stride)];
        }
        for (int i = 0; i < length; ++i) {
            double acc = 0.0;
            for (int k = -radius; k <= radius; ++k) {
                int j = i + k;
                if (j < 0 || j >= length) {
                    if (edge == BlurEdge::Zero) {
                        continue;
                    }
                    j = j < 0 ? 0 : length - 1;
                }
                acc += kernel[static_cast<std::size_t>(k + radius)] * line[static_cast<std::size_t>(j)];
            }
            plane[static_cast<std::size_t>(base + i * stride)] = static_cast<float>(acc);
        }
    }
}

}  // namespace

int blurRadius(double sigma) {
    const int radius = static_cast<int>(std::ceil(3.0 * sigma));
    return radius < 1 ? 1 : radius;
}

void blurPlane(std::vector<float>& plane, int width, int height, double sigma, BlurEdge edge) {
    if (!(sigma > 0.0) || width <= 0 || height <= 0) {
        return;
    }
    const std::vector<double> kernel = gaussianKernel(sigma);
    blurLines(plane, height, width, 1, width, kernel, edge);
    blurLines(plane, width, height, width, 1, kernel, edge);
}

}  // namespace talavex_test::detail
