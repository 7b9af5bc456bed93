#pragma once
// Plane projective maps fitted exactly through four point pairs.
namespace Aztec::Math {

struct PointD {
    double x = 0.0;
    double y = 0.0;
};

// x' = (c0 x + c1 y + c2) / w,  y' = (c3 x + c4 y + c5) / w,  w = c6 x + c7 y + 1
struct ProjectiveMap {
    double c[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    PointD apply(double x, double y) const {
        const double w = c[6] * x + c[7] * y + 1.0;
        return {(c[0] * x + c[1] * y + c[2]) / w, (c[3] * x + c[4] * y + c[5]) / w};
    }
};

// The map that carries p0..p3 onto q0..q3 (paired by index). Degenerate input
// raises nothing: the coefficients come back huge or not finite.
ProjectiveMap fitProjectiveMap(const PointD& p0, const PointD& p1, const PointD& p2, const PointD& p3, const PointD& q0,
                               const PointD& q1, const PointD& q2, const PointD& q3);

}  // namespace Aztec::Math
