// Corner fit: the pixels of the ring fill are split into four sides by the
// diagonals of the first-guess corners; a line through each side's pixels
// runs along the ring's centre line, so their intersections are the ring's
// corners at (+-d, +-d) modules, far steadier than single extreme pixels.
#include <algorithm>
#include <vector>

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
    // The ring marks in the region, in row order: every mark lies on a
    // recorded run, so the runs clipped to the region and the image, sorted
    // and walked without visiting a pixel twice, meet them all.
    const std::int32_t xEnd = std::min(region_.x1, levels_->width() - 1);
    const std::int32_t yEnd = std::min(region_.y1, levels_->height() - 1);
    std::vector<RingRun> runs;
    for (const RingRun& run : ringRuns_) {
        const std::int32_t from = std::max({run.x0, region_.x0, 0});
        const std::int32_t to = std::min(run.x1, xEnd);
        if (run.y >= std::max(region_.y0, 0) && run.y <= yEnd && from <= to) runs.push_back({run.y, from, to});
    }
    std::sort(runs.begin(), runs.end(),
              [](const RingRun& a, const RingRun& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
    std::int64_t rowOfNext = -1;
    std::int64_t next = 0;  // first pixel of row rowOfNext not visited yet
    for (const RingRun& run : runs) {
        if (run.y != rowOfNext) {
            rowOfNext = run.y;
            next = run.x0;
        }
        const std::uint8_t* row = levels_->row(run.y);
        const std::int32_t y = run.y;
        for (std::int32_t x = static_cast<std::int32_t>(std::max<std::int64_t>(next, run.x0)); x <= run.x1; ++x) {
            if (row[x] != kRingFillMark) continue;
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
        next = std::max<std::int64_t>(next, std::int64_t{run.x1} + 1);
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
