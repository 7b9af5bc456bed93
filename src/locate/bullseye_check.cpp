// Bull's-eye check: counts the ring edges from the proposed centre in four
// directions, probes the middle of the finder's outermost light ring, fills
// that ring and accepts it when it is centred and roughly square. The ring's
// farthest pixel in each quadrant becomes a first guess of its corners.
#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>

#include "locate/fill_marks.h"
#include "locate/pixel_index.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

using Aztec::Math::PointD;

namespace {

double distance(std::int64_t dx, std::int64_t dy) {
    return std::sqrt(static_cast<double>(dx) * static_cast<double>(dx) +
                     static_cast<double>(dy) * static_cast<double>(dy));
}

// Four clockwise corner guesses make a plausible square: no side less than
// half the longest, diagonals within a factor of two.
bool ringQuadIsSquare(const SymbolLocator::IPoint* q) {
    const auto span = [](const SymbolLocator::IPoint& p, const SymbolLocator::IPoint& s) {
        return distance(std::int64_t{s.x} - p.x, std::int64_t{s.y} - p.y);
    };
    const double sides[4] = {span(q[0], q[1]), span(q[1], q[2]), span(q[2], q[3]), span(q[3], q[0])};
    const double longest = *std::max_element(sides, sides + 4);
    const double shortest = *std::min_element(sides, sides + 4);
    if (longest <= 1e-6) return false;
    const double sideRatio = shortest / longest;
    if (sideRatio < 0.5 || sideRatio > 2.0) return false;
    const double diag02 = span(q[0], q[2]);
    const double diag13 = span(q[1], q[3]);
    if (diag13 <= 1e-6) return false;
    const double diagRatio = diag02 / diag13;
    return diagRatio >= 0.5 && diagRatio <= 2.0;
}

// Where the n-th dark/light change lies on a walk from `from` in steps of
// `step` (+1 or -1) up to `last`, each position compared with the one before
// it on the walk; nothing when the walk ends first.
template <class DarkAt>
std::optional<std::int64_t> nthEdge(const DarkAt& darkAt, std::int64_t from, std::int64_t step, std::int64_t last,
                                    int n) {
    int changes = 0;
    for (std::int64_t p = from; (p - last) * step <= 0; p += step)
        if (darkAt(p) != darkAt(p - step) && ++changes == n) return p;
    return std::nullopt;
}

}  // namespace

bool SymbolLocator::checkBullseye(SymbolCandidate& cand, bool full) {
    for (PointD& c : cand.corners) c = {-1.0, -1.0};
    if (!levels_ || !source) return false;
    const std::int32_t w = levels_->width();
    const std::int32_t h = levels_->height();
    const std::int64_t cx = nearestPixel(cand.center.x);
    const std::int64_t cy = nearestPixel(cand.center.y);
    const int n = full ? 6 : 4;

    // Edge scans along the centre row and column; the n-th edge is the inner
    // border of the finder's outermost dark ring. Positions outside the image
    // never differ from one another, so the scans start at the image border.
    const auto dark = [this](std::int64_t x, std::int64_t y) {
        return x >= 0 && y >= 0 && x < levels_->width() && y < levels_->height() &&
               levels_->pixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)) < kLightFrom;
    };
    if (cx >= 0 && cx < w && cy >= 0 && cy < h) {
        quantizeBeyondSeed(0, static_cast<std::int32_t>(cy), w - 1, static_cast<std::int32_t>(cy));
        quantizeBeyondSeed(static_cast<std::int32_t>(cx), 0, static_cast<std::int32_t>(cx), h - 1);
    }
    const auto rowDark = [&](std::int64_t x) { return dark(x, cy); };
    const auto columnDark = [&](std::int64_t y) { return dark(cx, y); };
    // A row or column outside the image is light all along: it has no edge,
    // and walking it would take as long as the image is wide or tall.
    const bool rowInside = cy >= 0 && cy < h;
    const bool columnInside = cx >= 0 && cx < w;
    const std::optional<std::int64_t> none;
    const auto leftEdge = rowInside ? nthEdge(rowDark, std::min<std::int64_t>(cx - 1, w - 1), -1, 1, n) : none;
    const auto rightEdge = rowInside ? nthEdge(rowDark, std::max<std::int64_t>(cx + 1, 0), 1, w - 1, n) : none;
    const auto topEdge = columnInside ? nthEdge(columnDark, std::min<std::int64_t>(cy - 1, h - 1), -1, 1, n) : none;
    const auto bottomEdge = columnInside ? nthEdge(columnDark, std::max<std::int64_t>(cy + 1, 0), 1, h - 1, n) : none;

    // A finder shows all its edges in every direction; a scan that runs out
    // of image first has met no bull's-eye (a blank or flat area would
    // otherwise pass as a ring as large as the image).
    if (!leftEdge || !rightEdge || !topEdge || !bottomEdge) return false;
    const std::int64_t left = *leftEdge, right = *rightEdge, top = *topEdge, bottom = *bottomEdge;
    const double aspect = static_cast<double>(right - left) / static_cast<double>(bottom - top);
    if (!(aspect >= 0.5 && aspect <= 2.0)) return false;

    // Probe on the side where the edges are more symmetric about the centre.
    const std::int64_t ax = 2 * cx - right - left;
    const std::int64_t ay = 2 * cy - bottom - top;
    std::int64_t a = 0, b = 0;
    if (ax * ax > ay * ay)
        b = cy - top;
    else
        a = cx - left;
    const double f = full ? 10.0 / 11.0 : 6.0 / 7.0;
    const std::int64_t pa = truncToInt32(static_cast<double>(a) * f);
    const std::int64_t pb = truncToInt32(static_cast<double>(b) * f);
    const std::int64_t px = cx - pa;
    const std::int64_t py = cy - pb;
    if (dark(px, py)) return false;

    const std::int64_t r = truncToInt32(distance(pa, pb) * 1.5);
    fillSumX_ = fillSumY_ = fillCount_ = 0;
    ringRef_ = {static_cast<std::int32_t>(cx), static_cast<std::int32_t>(cy)};
    region_.x0 = static_cast<std::int32_t>(std::clamp<std::int64_t>(cx - r, 0, w));
    region_.x1 = static_cast<std::int32_t>(std::clamp<std::int64_t>(cx + r, 0, w));
    region_.y0 = static_cast<std::int32_t>(std::clamp<std::int64_t>(cy - r, 0, h));
    region_.y1 = static_cast<std::int32_t>(std::clamp<std::int64_t>(cy + r, 0, h));
    fillLimit_ = std::int64_t{region_.y1 - region_.y0} * (region_.x1 - region_.x0);

    // A ring fill of an earlier check (the full-range test that failed before
    // the compact one, or an earlier start point) may have left marks here;
    // they would be taken for this ring's pixels by the corner fit.
    quantizeBeyondSeed(region_.x0, region_.y0, region_.x1, region_.y1);
    releaseRingMarks();
    clearSeeds();
    try {
        fillRing(static_cast<std::int32_t>(px), static_cast<std::int32_t>(py));
    } catch (const std::exception&) {
        fillCount_ = 0;
    }
    if (fillCount_ == 0) return false;

    const double mx = static_cast<double>(fillSumX_) / static_cast<double>(fillCount_);
    const double my = static_cast<double>(fillSumY_) / static_cast<double>(fillCount_);
    const double off = std::sqrt((my - static_cast<double>(cy)) * (my - static_cast<double>(cy)) +
                                 (mx - static_cast<double>(cx)) * (mx - static_cast<double>(cx)));
    if (off > static_cast<double>(right - left) / 5.0) return false;

    // Extremes per axis quadrant; a ring turned by about 45 degrees has its
    // corners on the quadrant borders, where two quadrants may pick the same
    // corner, so the extremes per diagonal sector stand in for them then.
    const IPoint* q = ringFar_;
    if (!ringQuadIsSquare(ringFar_)) {
        if (!ringQuadIsSquare(ringFarDiag_)) return false;
        q = ringFarDiag_;
    }
    const auto toPoint = [](const IPoint& p) { return PointD{static_cast<double>(p.x), static_cast<double>(p.y)}; };
    cand.corners[0] = toPoint(q[3]);
    cand.corners[1] = toPoint(q[0]);
    cand.corners[2] = toPoint(q[1]);
    cand.corners[3] = toPoint(q[2]);
    return true;
}

// Every ring mark in the working image lies on a recorded run, so only the
// runs are searched; a run wholly inside the region holds no mark afterwards
// and is forgotten. A ring filled over much of a large image leaves hundreds
// of thousands of runs, so they count against the deadline.
void SymbolLocator::releaseRingMarks() {
    const std::int32_t xEnd = std::min(region_.x1, levels_->width() - 1);
    const std::int32_t yEnd = std::min(region_.y1, levels_->height() - 1);
    std::size_t kept = 0;
    for (const RingRun& run : ringRuns_) {
        deadline_->spend(1);
        if (run.y >= region_.y0 && run.y <= yEnd) {
            const std::int32_t from = std::max(run.x0, region_.x0);
            const std::int32_t to = std::min(run.x1, xEnd);
            if (from <= to) {
                deadline_->spend(to - from + 1);
                std::uint8_t* row = levels_->row(run.y);
                // A store to every pixel, so that the loop runs on whole vectors.
                for (std::int32_t x = from; x <= to; ++x) row[x] = row[x] == kRingFillMark ? kLightFillMark : row[x];
            }
            if (from == run.x0 && to == run.x1) continue;
        }
        ringRuns_[kept++] = run;
    }
    ringRuns_.resize(kept);
}

void SymbolLocator::fillRing(std::int32_t x, std::int32_t y) {
    for (int k = 0; k < 4; ++k) {
        ringFar_[k] = ringFarDiag_[k] = {0, 0};
        ringFarDist2_[k] = ringFarDiagDist2_[k] = 0;
    }
    fillFrom(x, y, false, kRingFillMark, true);
}

// The farthest ring pixel per quadrant and per sector, first in fill order
// among equals. Along a row the distance to the reference grows with |x - x_ref|
// alone, so on a stretch where the quadrant (or sector) stays the same the
// first farthest pixel is one of its two ends: the left one unless the right
// one lies strictly farther. One check of that end per stretch leaves the
// extremes exactly as checking every pixel in order would.
void SymbolLocator::recordRingRun(std::int32_t x0, std::int32_t x1, std::int32_t y) {
    const std::int64_t rx = ringRef_.x;
    const std::int64_t ey = std::int64_t{y} - ringRef_.y;
    const auto farEnd = [rx](std::int64_t a, std::int64_t b) {
        const std::int64_t da = a >= rx ? a - rx : rx - a;
        const std::int64_t db = b >= rx ? b - rx : rx - b;
        return da >= db ? a : b;
    };
    const auto offer = [&](IPoint* far, std::int64_t* dist2, int k, std::int64_t x) {
        const std::int64_t ex = x - rx;
        const std::int64_t d2 = ex * ex + ey * ey;
        if (d2 > dist2[k]) {
            dist2[k] = d2;
            far[k] = {static_cast<std::int32_t>(x), y};
        }
    };
    // Quadrants: 0 and 1 right of the reference (above and level, below),
    // 2 and 3 left of it or on its column (below, above and level).
    const std::int64_t rightFrom = rx + 1;
    if (x0 < rightFrom) {
        const std::int64_t b = std::min<std::int64_t>(x1, rx);
        offer(ringFar_, ringFarDist2_, ey > 0 ? 2 : 3, farEnd(x0, b));
    }
    if (x1 >= rightFrom) {
        const std::int64_t a = std::max<std::int64_t>(x0, rightFrom);
        offer(ringFar_, ringFarDist2_, ey <= 0 ? 0 : 1, farEnd(a, x1));
    }
    // Sectors between the diagonals, indexed like the quadrants that they
    // follow clockwise: 0 right, 1 bottom, 2 left, 3 top. With ex = x - x_ref,
    // ex + ey > 0 from x = x_ref - ey + 1 on and ey - ex > 0 before x = x_ref + ey.
    const std::int64_t plusFrom = rx - ey + 1;
    const std::int64_t minusFrom = rx + ey;
    std::int64_t cuts[4] = {x0, std::min(plusFrom, minusFrom), std::max(plusFrom, minusFrom), std::int64_t{x1} + 1};
    for (int i = 0; i < 3; ++i) {
        const std::int64_t a = std::max(cuts[i], std::int64_t{x0});
        const std::int64_t b = std::min(cuts[i + 1], std::int64_t{x1} + 1) - 1;
        if (a > b) continue;
        const std::int64_t ex = a - rx;
        const bool plus = ex + ey > 0;
        const bool minus = ey - ex > 0;
        offer(ringFarDiag_, ringFarDiagDist2_, plus ? (minus ? 1 : 0) : (minus ? 2 : 3), farEnd(a, b));
    }
}

}  // namespace AztecCore
