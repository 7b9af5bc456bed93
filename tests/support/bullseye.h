#pragma once
// Test tool: a bare bull's-eye (square rings around a dark centre module, no
// mode message or data around it) for the tests of the finder and of the
// photo pass's candidate search.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "support/render.h"

namespace talavex_test {

struct Bullseye {
    double cx = 0.0;            // centre, with pixel centres at whole numbers:
    double cy = 0.0;            // (199.5, 199.5) puts it between four pixels
    double module = 1.0;        // module width in pixels
    double moduleHeight = 0.0;  // 0: square modules
    int rings = 6;              // rings around the centre module (6: full-range finder)
    double degrees = 0.0;       // turned about the centre
};

// Calls set(x, y, level) for each pixel of a width x height image whose centre
// lies on one of the rings: level 0 where the Chebyshev ring index is even
// (dark), 255 where it is odd. Pixels outside the rings are not visited.
template <class SetPixel>
void paintBullseye(int width, int height, const Bullseye& b, SetPixel&& set) {
    const double a = b.degrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const double mh = b.moduleHeight > 0.0 ? b.moduleHeight : b.module;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double dx = x - b.cx;
            const double dy = y - b.cy;
            const double u = (c * dx + s * dy) / b.module;
            const double v = (-s * dx + c * dy) / mh;
            const int ring = static_cast<int>(std::floor(std::max(std::fabs(u), std::fabs(v)) + 0.5));
            if (ring <= b.rings) set(x, y, static_cast<std::uint8_t>(ring % 2 == 0 ? 0 : 255));
        }
    }
}

inline void paintBullseye(GrayImage& image, const Bullseye& b) {
    paintBullseye(image.width, image.height, b, [&](int x, int y, std::uint8_t level) {
        image.pixels[static_cast<std::size_t>(y) * image.width + x] = level;
    });
}

}  // namespace talavex_test
