// Corner fit: the pixels of the ring fill are split into four sides by the
// diagonals of the first-guess corners; a line through each side's pixels
// runs along the ring's centre line, so their intersections are the ring's
// corners at (+-d, +-d) modules, far steadier than single extreme pixels.
#include "locate/fill_marks.h"
#include "locate/line_fit.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

using Aztec::Math::PointD;

namespace {

int signOf(double s) {
    if (s < -0.0001) return -1;
    if (s > 0.0001) return 1;
    return 0;
}

enum Side { Top = 0, Right = 1, Bottom = 2, Left = 3 };
// The corners (indices into the candidate's corners) at the ends of each side.
constexpr int kSideEnds[4][2] = {{0, 1}, {1, 2}, {3, 2}, {0, 3}};

// Share of each side, at either end, left out of its line fit. The ring's
// corner squares belong to two sides at once; split between them by the
// diagonal they would pull both lines outward and, with corner guesses a
// pixel off, tilt them. Leaving out more would shorten the sides so much
// that a slight turn no longer shows as a step in the pixel rows.
constexpr double kCornerMargin = 0.1;

// Position of (x, y) along the side from p to q: 0 at p, 1 at q.
double alongSide(double x, double y, const PointD& p, const PointD& q) {
    const double dx = q.x - p.x;
    const double dy = q.y - p.y;
    return ((x - p.x) * dx + (y - p.y) * dy) / (dx * dx + dy * dy);
}

}  // namespace

void SymbolLocator::fitRingCorners(SymbolCandidate& cand) {
    if (!levels_) return;
    const PointD tl = cand.corners[0];
    const PointD tr = cand.corners[1];
    const PointD br = cand.corners[2];
    const PointD bl = cand.corners[3];
    SideSums sums[4];
    for (std::int32_t y = region_.y0; y <= region_.y1; ++y) {
        for (std::int32_t x = region_.x0; x <= region_.x1; ++x) {
            if (!insideImage(x, y) || levels_->pixel(x, y) != kRingFillMark) continue;
            const double s1 = (x - tl.x) * (br.y - tl.y) - (y - tl.y) * (br.x - tl.x);
            const double s2 = (x - bl.x) * (tr.y - bl.y) - (y - bl.y) * (tr.x - bl.x);
            const int g1 = signOf(s1);
            const int g2 = signOf(s2);
            Side side = Top;
            if (g1 < 0 && g2 < 0)
                side = Bottom;
            else if (g1 < 0)
                side = Left;
            else if (g2 < 0)
                side = Right;
            const PointD* guess = cand.corners;
            const double t = alongSide(x, y, guess[kSideEnds[side][0]], guess[kSideEnds[side][1]]);
            if (t < kCornerMargin || t > 1.0 - kCornerMargin) continue;
            sums[side].add(x, y);
        }
    }
    const LineCoeffs bottom = fitLine(sums[Bottom]);
    const LineCoeffs left = fitLine(sums[Left]);
    const LineCoeffs right = fitLine(sums[Right]);
    const LineCoeffs top = fitLine(sums[Top]);
    cand.corners[3] = intersectLines(left, bottom);
    cand.corners[2] = intersectLines(right, bottom);
    cand.corners[0] = intersectLines(left, top);
    cand.corners[1] = intersectLines(right, top);
}

}  // namespace AztecCore
