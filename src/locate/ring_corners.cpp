// Corner fit: the pixels of the ring fill are split into four sides by the
// diagonals of the first-guess corners; a line through each side's pixels
// runs along the ring's centre line, so their intersections are the ring's
// corners at (+-d, +-d) modules, far steadier than single extreme pixels.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
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

// Adds pixels x = a..b of row y. The sums are integers, formed modulo 2^64
// like the pixel-by-pixel additions, so the order does not matter.
void addStretchToSums(SideSums& s, std::int64_t a, std::int64_t b, std::int64_t y) {
    const auto u = [](std::int64_t v) { return static_cast<std::uint64_t>(v); };
    const std::uint64_t n = u(b - a + 1);
    // Sums of k and k^2 for k = 0 .. n-1, each division exact before the product.
    const std::uint64_t sumK = n % 2 == 0 ? (n / 2) * (n - 1) : n * ((n - 1) / 2);
    std::uint64_t f1 = n - 1, f2 = n, f3 = 2 * n - 1;
    if (f1 % 2 == 0)
        f1 /= 2;
    else
        f2 /= 2;
    if (f1 % 3 == 0)
        f1 /= 3;
    else if (f2 % 3 == 0)
        f2 /= 3;
    else
        f3 /= 3;
    const std::uint64_t sumKK = f1 * f2 * f3;
    const std::uint64_t sumX = n * u(a) + sumK;
    const std::uint64_t sumXX = n * u(a) * u(a) + 2 * u(a) * sumK + sumKK;
    s.sx = static_cast<std::int64_t>(u(s.sx) + sumX);
    s.sxx = static_cast<std::int64_t>(u(s.sxx) + sumXX);
    s.sxy = static_cast<std::int64_t>(u(s.sxy) + sumX * u(y));
    s.sy = static_cast<std::int64_t>(u(s.sy) + n * u(y));
    s.syy = static_cast<std::int64_t>(u(s.syy) + n * u(y) * u(y));
    s.n = static_cast<std::int64_t>(u(s.n) + n);
}

// From p on, before end, the first pixel that is not a ring mark (marked) or
// that is one (not marked); end if none. Eight pixels a word while all eight
// agree.
std::int32_t skipMarks(const std::uint8_t* row, std::int32_t p, std::int32_t end, bool marked) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kMarks = kOnes * kRingFillMark;
    while (end - p >= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, row + p, sizeof word);
        const std::uint64_t diff = word ^ kMarks;  // zero bytes where marked
        const bool allMarked = diff == 0;
        const bool noneMarked = ((diff - kOnes) & ~diff & (kOnes << 7)) == 0;
        if (marked ? !allMarked : !noneMarked) break;
        p += 8;
    }
    while (p < end && (row[p] == kRingFillMark) == marked) ++p;
    return p;
}

Side sideOf(int g1, int g2) {
    if (g1 < 0 && g2 < 0) return Bottom;
    if (g1 < 0) return Left;
    if (g2 < 0) return Right;
    return Top;
}

// Sorts the ring pixels of one row into the four sides' sums. Every value
// that decides a pixel's fate (the two diagonal tests and the position along
// its side) is a chain of rounded subtractions, products with constants and
// one division by a positive constant, so it never decreases, or never
// increases, as x grows. A stretch whose two ends agree on a decision thus
// agrees on it throughout; stretches are halved until their ends agree and
// then added whole. Each test is the one the pixel-by-pixel sort makes.
class RowSorter {
public:
    RowSorter(const PointD* corners, SideSums* sums, std::int32_t y) : c_(corners), sums_(sums), y_(y) {}

    // Whether whole stretches may be sorted at once: coordinates that keep
    // every product finite and sides of non-zero length.
    static bool stretchesAllowed(const PointD* c) {
        for (int k = 0; k < 4; ++k)
            if (!(std::fabs(c[k].x) <= 1e9 && std::fabs(c[k].y) <= 1e9)) return false;
        for (const auto& ends : kSideEnds) {
            const double dx = c[ends[1]].x - c[ends[0]].x;
            const double dy = c[ends[1]].y - c[ends[0]].y;
            if (!(dx * dx + dy * dy > 0.0)) return false;
        }
        return true;
    }

    void addPixel(std::int32_t x) const {
        const Side side = sideAt(x);
        if (marginClass(side, x) == 0) sums_[side].add(x, y_);
    }

    void addStretch(std::int32_t a, std::int32_t b) const {
        if (diagonalSigns(a) != diagonalSigns(b)) {
            const std::int32_t mid = a + (b - a) / 2;
            addStretch(a, mid);
            addStretch(mid + 1, b);
            return;
        }
        addOnSide(sideAt(a), a, b);
    }

private:
    // Both diagonal tests' signs, -1, 0 or 1 each, in one number.
    int diagonalSigns(std::int32_t x) const {
        const PointD tl = c_[0], tr = c_[1], br = c_[2], bl = c_[3];
        const std::int32_t y = y_;
        const double s1 = (x - tl.x) * (br.y - tl.y) - (y - tl.y) * (br.x - tl.x);
        const double s2 = (x - bl.x) * (tr.y - bl.y) - (y - bl.y) * (tr.x - bl.x);
        return 3 * signOf(s1) + signOf(s2);
    }
    Side sideAt(std::int32_t x) const {
        const int signs = diagonalSigns(x);
        const int g1 = signs >= 2 ? 1 : (signs <= -2 ? -1 : 0);
        return sideOf(g1, signs - 3 * g1);
    }
    // -1 before the side's kept middle, 0 in it, 1 beyond it.
    int marginClass(Side side, std::int32_t x) const {
        const double t = alongSide(x, y_, c_[kSideEnds[side][0]], c_[kSideEnds[side][1]]);
        if (t < kCornerMargin) return -1;
        if (t > 1.0 - kCornerMargin) return 1;
        return 0;
    }
    void addOnSide(Side side, std::int32_t a, std::int32_t b) const {
        const int ca = marginClass(side, a);
        if (ca == marginClass(side, b)) {
            if (ca == 0) addStretchToSums(sums_[side], a, b, y_);
            return;
        }
        const std::int32_t mid = a + (b - a) / 2;
        addOnSide(side, a, mid);
        addOnSide(side, mid + 1, b);
    }

    const PointD* c_;
    SideSums* sums_;
    std::int32_t y_;
};

}  // namespace

void SymbolLocator::fitRingCorners(SymbolCandidate& cand) {
    if (!levels_) return;
    SideSums sums[4];
    const bool byStretch = RowSorter::stretchesAllowed(cand.corners);
    // The ring marks in the region, in row order: every mark lies on a
    // recorded run, so the runs clipped to the region and the image, ordered
    // and walked without visiting a pixel twice, meet them all. They are
    // ordered by counting them into rows, then by start within each row, in
    // steps a deadline can stop between: a ring filled over much of a large
    // image leaves hundreds of thousands of runs.
    const std::int32_t xEnd = std::min(region_.x1, levels_->width() - 1);
    const std::int32_t yEnd = std::min(region_.y1, levels_->height() - 1);
    const std::int32_t yBegin = std::max(region_.y0, 0);
    const std::int32_t rows = std::max(yEnd - yBegin + 1, 0);
    std::vector<std::uint32_t> rowStart(static_cast<std::size_t>(rows) + 1, 0);
    const auto rowOf = [yBegin](const RingRun& run) { return static_cast<std::size_t>(run.y - yBegin); };
    std::vector<RingRun> clipped;
    for (const RingRun& run : ringRuns_) {
        deadline_->spend(1);
        const std::int32_t from = std::max({run.x0, region_.x0, 0});
        const std::int32_t to = std::min(run.x1, xEnd);
        if (run.y < yBegin || run.y > yEnd || from > to) continue;
        clipped.push_back({run.y, from, to});
        ++rowStart[rowOf(run) + 1];
    }
    for (std::size_t r = 1; r < rowStart.size(); ++r) rowStart[r] += rowStart[r - 1];
    std::vector<RingRun> runs(clipped.size());
    std::vector<std::uint32_t> nextInRow(rowStart.begin(), rowStart.end() - 1);
    for (const RingRun& run : clipped) {
        deadline_->spend(1);
        runs[nextInRow[rowOf(run)]++] = run;
    }
    for (std::size_t r = 0; r + 1 < rowStart.size(); ++r) {
        const auto first = runs.begin() + static_cast<std::ptrdiff_t>(rowStart[r]);
        const auto last = runs.begin() + static_cast<std::ptrdiff_t>(rowStart[r + 1]);
        deadline_->spend((last - first) * 8 + 1);
        std::sort(first, last, [](const RingRun& a, const RingRun& b) { return a.x0 < b.x0; });
    }
    std::int64_t rowOfNext = -1;
    std::int64_t next = 0;  // first pixel of row rowOfNext not visited yet
    for (const RingRun& run : runs) {
        if (run.y != rowOfNext) {
            rowOfNext = run.y;
            next = run.x0;
        }
        deadline_->spend(std::int64_t{run.x1} - run.x0 + 1);
        const std::uint8_t* row = levels_->row(run.y);
        const RowSorter sorter(cand.corners, sums, run.y);
        std::int32_t x = static_cast<std::int32_t>(std::max<std::int64_t>(next, run.x0));
        while (x <= run.x1) {
            x = skipMarks(row, x, run.x1 + 1, false);
            if (x > run.x1) break;
            const std::int32_t last = skipMarks(row, x, run.x1 + 1, true) - 1;
            if (byStretch) {
                sorter.addStretch(x, last);
            } else {
                for (std::int32_t p = x; p <= last; ++p) sorter.addPixel(p);
            }
            x = last + 1;
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
