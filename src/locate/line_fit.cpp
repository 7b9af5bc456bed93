#include "locate/line_fit.h"

#include <cmath>

namespace AztecCore {

namespace {

double d(std::int64_t v) { return static_cast<double>(v); }

}  // namespace

LineCoeffs fitLine(const SideSums& s) {
    const double n = d(s.n);
    const double mx = d(s.sx) / n;
    const double my = d(s.sy) / n;
    const double sxx = d(s.sxx) / n - mx * mx;
    const double syy = d(s.syy) / n - my * my;
    const double sxy = d(s.sxy) / n - mx * my;
    const double angle = 0.5 * std::atan2(2.0 * sxy, sxx - syy);
    const double a = -std::sin(angle);
    const double b = std::cos(angle);
    return {a, b, -(a * mx + b * my)};
}

Aztec::Math::PointD intersectLines(const LineCoeffs& l1, const LineCoeffs& l2) {
    double det = l1.b * l2.a - l2.b * l1.a;
    if (det > -1e-6 && det < 1e-6) det = det >= 0.0 ? 1e-6 : -1e-6;
    return {(l1.c * l2.b - l2.c * l1.b) / det, (l2.c * l1.a - l1.c * l2.a) / det};
}

}  // namespace AztecCore
