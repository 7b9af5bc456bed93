#include <algorithm>
#include <cmath>
#include <limits>

#include "locate/map_sampling.h"

namespace AztecCore {

bool mapKeepsWithin(const Aztec::Math::ProjectiveMap& map, double x0, double x1, double y0, double y1,
                    std::int32_t width, std::int32_t height) {
    if (width < 2 || height < 2) return false;
    const double* c = map.c;
    const double xs[2] = {x0, x1};
    const double ys[2] = {y0, y1};
    double wMin = std::numeric_limits<double>::infinity();
    double reach = 0.0;
    for (const double x : xs) {
        for (const double y : ys) {
            const Aztec::Math::PointD p = map.apply(x, y);
            const double w = c[6] * x + c[7] * y + 1.0;
            // A pixel to spare on every side, which covers the rounding below.
            if (!(w > 0.0 && p.x >= 0.5 && p.x <= width - 1.5 && p.y >= 0.5 && p.y <= height - 1.5)) return false;
            wMin = std::min(wMin, w);
            reach = std::max(reach, std::max(std::fabs(p.x), std::fabs(p.y)));
        }
    }
    // A sum of three rounded products, rounded twice, is off from the exact
    // one by at most 4u times the sum of the terms' magnitudes, u = 2^-53;
    // those magnitudes peak at the rectangle's corners.
    const double u = std::numeric_limits<double>::epsilon() / 2.0;
    const double x = std::max(std::fabs(x0), std::fabs(x1));
    const double y = std::max(std::fabs(y0), std::fabs(y1));
    const double terms = std::max(std::fabs(c[0]) * x + std::fabs(c[1]) * y + std::fabs(c[2]),
                                  std::fabs(c[3]) * x + std::fabs(c[4]) * y + std::fabs(c[5]));
    const double wTerms = std::fabs(c[6]) * x + std::fabs(c[7]) * y + 1.0;
    // w is affine, so its exact least value is at a corner, within 4u wTerms
    // of the computed one there; the computed w anywhere then stays above
    // wMin / 2.
    if (!(16.0 * u * wTerms < wMin)) return false;
    // The quotient's error, with |x'| and |y'| below reach + 1 over the hull.
    const double error = 8.0 * u * (terms + (reach + 1.0) * wTerms) / wMin + u * (reach + 2.0);
    // Exact positions lie in the hull of the exact corners, each within
    // `error` of a computed one: every computed position is within 2 error
    // of the box the corners were tested against, so within half a pixel.
    return error < 0.25;
}

}  // namespace AztecCore
