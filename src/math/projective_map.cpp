#include "math/projective_map.h"

#include "math/matrix_solve.h"

namespace Aztec::Math {

namespace {

// Two equations per point pair, each written in negated form:
//   -c0 x - c1 y - c2 + c6 x X + c7 y X = -X
//   -c3 x - c4 y - c5 + c6 x Y + c7 y Y = -Y
// The sign of the rows changes the pivot arithmetic, so it is fixed here.
void addPair(double (&a)[64], double (&b)[8], int r, const PointD& p, const PointD& q) {
    double* row = a + 8 * r;
    row[0] = -p.x;
    row[1] = -p.y;
    row[2] = -1.0;
    row[6] = p.x * q.x;
    row[7] = p.y * q.x;
    b[r] = -q.x;

    row += 8;
    row[3] = -p.x;
    row[4] = -p.y;
    row[5] = -1.0;
    row[6] = p.x * q.y;
    row[7] = p.y * q.y;
    b[r + 1] = -q.y;
}

}  // namespace

ProjectiveMap fitProjectiveMap(const PointD& p0, const PointD& p1, const PointD& p2, const PointD& p3, const PointD& q0,
                               const PointD& q1, const PointD& q2, const PointD& q3) {
    double a[64] = {};
    double b[8] = {};
    addPair(a, b, 0, p0, q0);
    addPair(a, b, 2, p1, q1);
    addPair(a, b, 4, p2, q2);
    addPair(a, b, 6, p3, q3);

    // Every row holds a -1.0, so the solver's zero-row failure cannot occur;
    // degenerate point sets come back as huge or non-finite coefficients.
    solveEightInPlace(a, b);
    ProjectiveMap map;
    for (int i = 0; i < 8; ++i) map.c[i] = b[i];
    return map;
}

}  // namespace Aztec::Math
