// Module grid: image positions of the symbol points 16 modules apart (the
// crossings of a full-range symbol's reference grid). Where the symbol has
// reference lines beyond the central ones, each node is pulled onto them by
// looking for their alternating pattern; elsewhere the nodes come from the
// map fitted to the finder.
#include <cmath>
#include <cstddef>

#include "locate/grid_lines.h"
#include "locate/grid_nodes.h"
#include "locate/map_sampling.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

using Aztec::Math::fitProjectiveMap;
using Aztec::Math::PointD;

namespace {

// The node spacing in symbol coordinates.
constexpr double kSpacing = kNodeSpacing;

// Reference lines on each side of the centre line of a full-range symbol.
std::int32_t sideLines(std::uint32_t symbolSize) {
    return static_cast<std::int32_t>(((symbolSize > 0 ? symbolSize - 1 : 0) / 2) / kNodeSpacing);
}

}  // namespace

void SymbolLocator::setNodesFromMap(SymbolCandidate& cand) const {
    for (std::int32_t j = -1; j <= 1; ++j)
        for (std::int32_t i = -1; i <= 1; ++i)
            gridNode(cand, kCentreNode + i, kCentreNode + j) = map_.apply(kNodeSpacing * i, kNodeSpacing * j);
    // The seeded centroid is steadier than the map's extrapolation to (0, 0).
    gridNode(cand, kCentreNode, kCentreNode) = cand.center;
}

void SymbolLocator::buildCompactGrid(SymbolCandidate& cand) {
    polishMap(cand);
    setNodesFromMap(cand);
}

void SymbolLocator::buildFullGrid(SymbolCandidate& cand) {
    readCount_ += 1;
    const std::int32_t h = sideLines(cand.symbolSize);
    if (h == 0) {
        // Only the central reference lines, which run through the finder:
        // the symbol is small enough for the finder's map to cover it.
        polishMap(cand);
        setNodesFromMap(cand);
        return;
    }
    const bool refine = true;
    lineReach_ = static_cast<double>((cand.symbolSize - 1) / 2) + 0.5;
    gridNode(cand, kCentreNode, kCentreNode) = cand.center;

    // Four seed nodes from the finder's map fix a map at the grid's scale;
    // successive reads with one locator alternate the seed pattern.
    const PointD none{};
    PointD src[4] = {none, none, none, none};
    PointD dst[4] = {none, none, none, none};
    if (readCount_ % 2 == 1) {
        const std::int32_t pts[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (int k = 0; k < 4; ++k) {
            const std::int32_t i = pts[k][0], j = pts[k][1];
            gridNode(cand, kCentreNode + i, kCentreNode + j) = gridNodeAt(kNodeSpacing * i, kNodeSpacing * j, refine);
        }
        for (int k = 0; k < 4; ++k) {
            src[k] = {kSpacing * pts[k][0], kSpacing * pts[k][1]};
            dst[k] = gridNode(cand, kCentreNode + pts[k][0], kCentreNode + pts[k][1]);
        }
    } else {
        const std::int32_t computeOrder[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
        for (const auto& p : computeOrder)
            gridNode(cand, kCentreNode + p[0], kCentreNode + p[1]) =
                gridNodeAt(kNodeSpacing * p[0], kNodeSpacing * p[1], refine);
        const std::int32_t fitOrder[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
        for (int k = 0; k < 4; ++k) {
            src[k] = {kSpacing * fitOrder[k][0], kSpacing * fitOrder[k][1]};
            dst[k] = gridNode(cand, kCentreNode + fitOrder[k][0], kCentreNode + fitOrder[k][1]);
        }
    }
    map_ = fitProjectiveMap(src[0], src[1], src[2], src[3], dst[0], dst[1], dst[2], dst[3]);

    for (std::int32_t j = -h; j <= h; ++j)
        for (std::int32_t i = -h; i <= h; ++i)
            if (i != 0 || j != 0)
                gridNode(cand, kCentreNode + i, kCentreNode + j) =
                    gridNodeAt(kNodeSpacing * i, kNodeSpacing * j, refine);

    // One node beyond the outermost lines on every side, each from a cell
    // whose four nodes are known already.
    const std::int32_t lo = kCentreNode - h;
    const std::int32_t hi = kCentreNode + h - 1;
    for (std::int32_t t = lo; t <= hi; ++t) {
        extrapolateNode(cand, lo, t, -1, 0);
        extrapolateNode(cand, hi, t, 2, 0);
        extrapolateNode(cand, t, lo, 0, -1);
        extrapolateNode(cand, t, hi, 0, 2);
    }
    extrapolateNode(cand, lo, hi, -1, 1);
    extrapolateNode(cand, lo, hi, -1, 2);
    extrapolateNode(cand, hi, hi, 2, 1);
    extrapolateNode(cand, hi, hi, 2, 2);
    extrapolateNode(cand, lo, lo, -1, -1);
    extrapolateNode(cand, kCentreNode + h, lo, 0, -1);
    extrapolateNode(cand, kCentreNode + h, lo, 1, -1);
    extrapolateNode(cand, hi, hi, 1, 2);
}

PointD SymbolLocator::gridNodeAt(std::int32_t u, std::int32_t v, bool refine) const {
    double ur = u;
    double vr = v;
    if (refine) {
        vr = refineRow(u, v);
        ur = refineColumn(u, v);
    }
    return map_.apply(ur, vr);
}

// Scores the 19 lines parallel to one axis through (u, v), a fifth of a
// module apart, each sampled over 16 modules along the other axis but only
// within the symbol: beyond its edge the quiet zone breaks the alternation
// of every candidate alike, and a line near the edge would lose most of its
// contrast to data lines in a 16-module window.
std::int32_t SymbolLocator::bestLineOffset(std::int32_t u, std::int32_t v, bool alongV) const {
    // Every sample lies at u + s / 5 across and v + t / 5 down for offsets s
    // and t in -40 .. 40, so each coefficient x coordinate product is formed
    // once per offset; the sums and divisions follow ProjectiveMap::apply.
    constexpr std::int32_t kReach = 40;
    constexpr std::size_t kOffsets = 2 * kReach + 1;
    const auto& c = map_.c;
    double across[kOffsets][3];
    double down[kOffsets][3];
    for (std::int32_t t = -kReach; t <= kReach; ++t) {
        const double x = u + t / 5.0;
        const double y = v + t / 5.0;
        double* a = across[t + kReach];
        double* d = down[t + kReach];
        a[0] = c[0] * x;
        a[1] = c[3] * x;
        a[2] = c[6] * x;
        d[0] = c[1] * y;
        d[1] = c[4] * y;
        d[2] = c[7] * y;
    }
    const std::int32_t width = source->width();
    const std::int32_t height = source->height();
    const auto sample = [&](std::int32_t s, std::int32_t t) -> std::uint32_t {
        const double* a = across[s + kReach];
        const double* d = down[t + kReach];
        const double w = a[2] + d[2] + 1.0;
        const double px = (a[0] + d[0] + c[2]) / w;
        const double py = (a[1] + d[1] + c[5]) / w;
        std::int32_t xi = 0, yi = 0;
        if (!nearestPixelWithin(px, width, xi) || !nearestPixelWithin(py, height, yi)) return kOutsideSample;
        return source->pixel(xi, yi);
    };

    LineScores scores{};
    LineSamples line{};
    const std::int32_t along = alongV ? v : u;
    for (std::int32_t i = -9; i <= 9; ++i) {
        std::size_t count = 0;
        for (std::int32_t k = -kReach; k <= kReach; ++k) {
            if (std::fabs(along + k / 5.0) > lineReach_) continue;
            const std::uint32_t s = alongV ? sample(i, k) : sample(k, i);
            line[count++] = static_cast<std::int32_t>(s);
        }
        scores[static_cast<std::size_t>(i + 9)] = lineScore(line.data(), count);
    }
    return pickLineOffset(scores);
}

double SymbolLocator::refineColumn(std::int32_t u, std::int32_t v) const {
    return u + (bestLineOffset(u, v, true) - 9) / 5.0;
}

double SymbolLocator::refineRow(std::int32_t u, std::int32_t v) const {
    return v + (bestLineOffset(u, v, false) - 9) / 5.0;
}

void SymbolLocator::extrapolateNode(SymbolCandidate& cand, std::int32_t a, std::int32_t b, std::int32_t da,
                                    std::int32_t db) const {
    const Aztec::Math::ProjectiveMap local =
        fitProjectiveMap({0, 0}, {kSpacing, 0}, {kSpacing, kSpacing}, {0, kSpacing}, gridNode(cand, a, b),
                         gridNode(cand, a + 1, b), gridNode(cand, a + 1, b + 1), gridNode(cand, a, b + 1));
    gridNode(cand, a + da, b + db) = local.apply(kSpacing * da, kSpacing * db);
}

}  // namespace AztecCore
