#pragma once
// Least-squares lines through the pixels of one side of the bull's-eye ring,
// and their intersection.
#include <cstdint>

#include "math/projective_map.h"

namespace AztecCore {

// The line a*x + b*y + c = 0.
struct LineCoeffs {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
};

// Moment sums of a set of pixels; 64-bit so that large rings cannot overflow.
struct SideSums {
    std::int64_t sxy = 0, sx = 0, sy = 0, sxx = 0, syy = 0, n = 0;
    void add(std::int64_t x, std::int64_t y) {
        sxy += x * y;
        sx += x;
        sy += y;
        sxx += x * x;
        syy += y * y;
        n += 1;
    }
};

// The line through the centroid along the pixels' principal axis: the one
// that minimises the squared distances across it. Unlike a regression of y
// on x (or x on y) it is not tilted by the width of the band the pixels form,
// whatever the band's direction. An empty set gives non-finite coefficients.
LineCoeffs fitLine(const SideSums& s);
// Nearly parallel lines still meet: the determinant is kept away from zero.
Aztec::Math::PointD intersectLines(const LineCoeffs& l1, const LineCoeffs& l2);

}  // namespace AztecCore
