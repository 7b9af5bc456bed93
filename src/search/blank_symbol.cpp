#include "search/blank_symbol.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace AztecCore {

using Aztec::Math::PointD;

PointD centroid(const PointD (&corners)[4]) {
    PointD c{0, 0};
    for (const PointD& p : corners) {
        c.x += p.x / 4;
        c.y += p.y / 4;
    }
    return c;
}

namespace {

double cross(const PointD& a, const PointD& b, const PointD& p) {
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

}  // namespace

bool insideQuadrilateral(const PointD (&corners)[4], const PointD& p) {
    // Inside when p lies on the same side of all four edges, whichever way round they run.
    bool left = false, right = false;
    for (int k = 0; k < 4; ++k) {
        const double side = cross(corners[k], corners[(k + 1) & 3], p);
        left = left || side < 0;
        right = right || side > 0;
    }
    return !(left && right);
}

void blankQuadrilateral(Image::GrayBuf& image, const PointD (&corners)[4], double margin, std::uint8_t level) {
    const PointD c = centroid(corners);
    PointD grown[4];
    double top = std::numeric_limits<double>::infinity(), bottom = -top;
    for (int k = 0; k < 4; ++k) {
        const double dx = corners[k].x - c.x, dy = corners[k].y - c.y;
        const double length = std::hypot(dx, dy);
        const double push = length > 0 ? margin / length : 0;
        grown[k] = {corners[k].x + dx * push, corners[k].y + dy * push};
        top = std::min(top, grown[k].y);
        bottom = std::max(bottom, grown[k].y);
    }
    if (!std::isfinite(top) || !std::isfinite(bottom)) return;
    const auto y0 = static_cast<std::int32_t>(std::clamp(std::floor(top), 0.0, static_cast<double>(image.height())));
    const auto y1 = static_cast<std::int32_t>(std::clamp(std::ceil(bottom), -1.0, image.height() - 1.0));
    for (std::int32_t y = y0; y <= y1; ++y) {
        // The span of the row's pixel centres inside the grown quadrilateral.
        const double py = y + 0.5;
        double from = std::numeric_limits<double>::infinity(), to = -from;
        for (int k = 0; k < 4; ++k) {
            const PointD& a = grown[k];
            const PointD& b = grown[(k + 1) & 3];
            if ((a.y > py) == (b.y > py)) continue;
            const double x = a.x + (py - a.y) * (b.x - a.x) / (b.y - a.y);
            from = std::min(from, x);
            to = std::max(to, x);
        }
        if (!(from <= to)) continue;
        const auto x0 =
            static_cast<std::int32_t>(std::clamp(std::ceil(from - 0.5), 0.0, static_cast<double>(image.width())));
        const auto x1 = static_cast<std::int32_t>(std::clamp(std::floor(to - 0.5), -1.0, image.width() - 1.0));
        if (x0 > x1) continue;
        std::fill(image.row(y) + x0, image.row(y) + x1 + 1, level);
    }
}

}  // namespace AztecCore
