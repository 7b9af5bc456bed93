#include "math/projective_map.h"

#include <memory>

#include "math/matrix.h"

namespace Aztec::Math {

namespace {

// Two equations per point pair, each written in negated form:
//   -c0 x - c1 y - c2 + c6 x X + c7 y X = -X
//   -c3 x - c4 y - c5 + c6 x Y + c7 y Y = -Y
// The sign of the rows changes the pivot arithmetic, so it is fixed here.
void addPair(Matrix& a, Matrix& b, std::int32_t r, const PointD& p, const PointD& q) {
    a.at(r, 0) = -p.x;
    a.at(r, 1) = -p.y;
    a.at(r, 2) = -1.0;
    a.at(r, 6) = p.x * q.x;
    a.at(r, 7) = p.y * q.x;
    b.at(r, 0) = -q.x;

    a.at(r + 1, 3) = -p.x;
    a.at(r + 1, 4) = -p.y;
    a.at(r + 1, 5) = -1.0;
    a.at(r + 1, 6) = p.x * q.y;
    a.at(r + 1, 7) = p.y * q.y;
    b.at(r + 1, 0) = -q.y;
}

}  // namespace

ProjectiveMap fitProjectiveMap(const PointD& p0, const PointD& p1, const PointD& p2, const PointD& p3, const PointD& q0,
                               const PointD& q1, const PointD& q2, const PointD& q3) {
    auto a = std::make_shared<Matrix>(8, 8);
    auto b = std::make_shared<Matrix>(8, 1);
    addPair(*a, *b, 0, p0, q0);
    addPair(*a, *b, 2, p1, q1);
    addPair(*a, *b, 4, p2, q2);
    addPair(*a, *b, 6, p3, q3);

    // Every row holds a -1.0, so the solver's zero-row failure cannot occur;
    // degenerate point sets come back as huge or non-finite coefficients.
    const std::shared_ptr<Matrix> x = Matrix::solveShared(a, b);
    ProjectiveMap map;
    for (std::int32_t i = 0; i < 8; ++i) map.c[i] = x->at(i, 0);
    return map;
}

}  // namespace Aztec::Math
