#include "golden_frames.h"

#include <algorithm>
#include <cmath>

namespace talavex_bench {

using talavex_test::GrayImage;

namespace {

constexpr double kPi = 3.14159265358979323846;

std::uint8_t level(double value) { return static_cast<std::uint8_t>(std::clamp(std::floor(value + 0.5), 0.0, 255.0)); }

}  // namespace

GrayImage gradientFrame(int width, int height, int from, int to, double angleDegrees, bool radial) {
    GrayImage image = talavex_test::blankImage(width, height);
    const double a = angleDegrees * kPi / 180.0;
    const double dx = std::cos(a);
    const double dy = std::sin(a);
    const double cx = 0.5 * width;
    const double cy = 0.5 * height;
    // Projections of the frame onto the ramp's direction run over [-reach, reach].
    const double reach = radial ? std::sqrt(cx * cx + cy * cy) : std::abs(dx) * cx + std::abs(dy) * cy;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double px = x + 0.5 - cx;
            const double py = y + 0.5 - cy;
            const double t = radial ? std::sqrt(px * px + py * py) / reach : 0.5 + 0.5 * (px * dx + py * dy) / reach;
            image.pixels[static_cast<std::size_t>(y) * width + x] = level(from + (to - from) * t);
        }
    }
    return image;
}

GrayImage checkerboardFrame(int width, int height, double cell, int dark, int light, double angleDegrees, double phaseX,
                            double phaseY) {
    GrayImage image = talavex_test::blankImage(width, height);
    const double a = angleDegrees * kPi / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double px = x + 0.5 - 0.5 * width;
            const double py = y + 0.5 - 0.5 * height;
            const auto u = static_cast<long long>(std::floor((c * px + s * py - phaseX) / cell));
            const auto v = static_cast<long long>(std::floor((-s * px + c * py - phaseY) / cell));
            image.pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint8_t>(((u + v) & 1) != 0 ? dark : light);
        }
    }
    return image;
}

GrayImage centreWindow(const GrayImage& image, int width, int height) {
    GrayImage window = talavex_test::blankImage(width, height);
    const int left = (image.width - width) / 2;
    const int top = (image.height - height) / 2;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int sx = left + x;
            const int sy = top + y;
            if (sx >= 0 && sy >= 0 && sx < image.width && sy < image.height)
                window.pixels[static_cast<std::size_t>(y) * width + x] = image.at(sx, sy);
        }
    }
    return window;
}

}  // namespace talavex_bench
