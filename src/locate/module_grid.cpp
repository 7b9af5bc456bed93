// Module grid: image positions of the symbol points 16 modules apart (the
// crossings of a full-range symbol's reference grid). Where the symbol has
// reference lines beyond the central ones, each node is pulled onto them by
// looking for their alternating pattern; elsewhere the nodes come from the
// map fitted to the finder.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "locate/grid_line_sampler.h"
#include "locate/grid_lines.h"
#include "locate/grid_nodes.h"
#include "locate/map_sampling.h"
#include "locate/smooth_grid_nodes.h"
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

// Scores the 19 lines parallel to one axis through a node, a fifth of a
// module apart, each sampled over 16 modules along the other axis but only
// within the symbol: beyond its edge the quiet zone breaks the alternation
// of every candidate alike, and a line near the edge would lose most of its
// contrast to data lines in a 16-module window. read(i, first, count, out)
// reads points first .. first + count - 1 (within -40 .. 40) of line i
// (-9 .. 9); `along` is the node's coordinate along the lines and `reach` the
// symbol's edge.
template <class ReadLine>
std::int32_t bestOffsetOfLines(const ReadLine& read, std::int32_t along, double reach) {
    // The points within the symbol are the same for every line, and being
    // those of one interval around `along`, they are consecutive.
    std::int32_t first = 0;
    std::int32_t count = 0;
    for (std::int32_t k = -GridLineSampler::kReach; k <= GridLineSampler::kReach; ++k) {
        if (std::fabs(along + k / 5.0) > reach) continue;
        if (count == 0) first = k;
        ++count;
    }
    LineScores scores{};
    LineSamples line{};
    for (std::int32_t i = -9; i <= 9; ++i) {
        read(i, first, count, line.data());
        scores[static_cast<std::size_t>(i + 9)] = lineScore(line.data(), static_cast<std::size_t>(count));
    }
    return pickLineOffset(scores);
}

// The points of the crossing square around a node, read once for the
// column and the row search: cross[s + 9][t + 9] for s, t in -9 .. 9.
constexpr std::int32_t kCross = 9;
using CrossSamples = std::int32_t[2 * kCross + 1][2 * kCross + 1];

// Reads points first .. first + count - 1 of line i, the part within the
// crossing square from `cross` and the rest through `points`.
void readAroundCross(const GridLineSampler& points, const CrossSamples& cross, bool alongV, std::int32_t i,
                     std::int32_t first, std::int32_t count, std::int32_t* out) {
    const std::int32_t end = first + count;
    const std::int32_t crossFirst = std::min(std::max(first, -kCross), end);
    const std::int32_t crossEnd = std::max(std::min(end, kCross + 1), crossFirst);
    points.readLine(i, alongV, first, crossFirst - first, out);
    for (std::int32_t k = crossFirst; k < crossEnd; ++k)
        out[k - first] = alongV ? cross[i + kCross][k + kCross] : cross[k + kCross][i + kCross];
    points.readLine(i, alongV, crossEnd, end - crossEnd, out + (crossEnd - first));
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
    seedMap_ = map_;
    const std::int32_t h = sideLines(cand.symbolSize);
    if (h == 0) {
        // Only the central reference lines, which run through the finder:
        // the symbol is small enough for the finder's map to cover it.
        polishMap(cand);
        setNodesFromMap(cand);
        return;
    }
    // Successive reads with one locator alternate the seed pattern.
    placeFullGrid(cand, h, readCount_ % 2 == 1, false);
}

std::optional<ModuleBits> SymbolLocator::resampleModules(SymbolCandidate& cand, GridRetry retry) {
    const std::int32_t h = sideLines(cand.symbolSize);
    if (cand.kind != SymbolKind::Full || h == 0) return std::nullopt;
    const std::uint32_t readCount = readCount_;
    const Aztec::Math::ProjectiveMap map = map_;
    const double lineReach = lineReach_;
    // The failed read's seeds were diagonal on an odd count.
    const bool lastDiagonal = readCount_ % 2 == 1;
    const bool otherSeeds = retry == GridRetry::OtherSeeds;
    map_ = seedMap_;
    placeFullGrid(cand, h, otherSeeds ? !lastDiagonal : lastDiagonal, !otherSeeds);
    ModuleBits bits = sampleBuiltGrid(cand);
    readCount_ = readCount;
    map_ = map;
    lineReach_ = lineReach;
    return bits;
}

void SymbolLocator::placeFullGrid(SymbolCandidate& cand, std::int32_t h, bool diagonalSeeds, bool smooth) {
    const bool refine = true;
    lineReach_ = static_cast<double>((cand.symbolSize - 1) / 2) + 0.5;
    gridNode(cand, kCentreNode, kCentreNode) = cand.center;

    // Four seed nodes from the finder's map fix a map at the grid's scale.
    const PointD none{};
    PointD src[4] = {none, none, none, none};
    PointD dst[4] = {none, none, none, none};
    if (diagonalSeeds) {
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
    if (smooth) smoothGridNodes(cand, h);

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
    if (!refine) return map_.apply(u, v);
    const GridLineSampler points(map_, *source, u, v);
    // The column and row searches cross in a square of 19 x 19 points, each
    // read once for both.
    CrossSamples cross;
    for (std::int32_t s = -kCross; s <= kCross; ++s)
        points.readLine(s, true, -kCross, 2 * kCross + 1, cross[s + kCross]);
    const std::int32_t column =
        bestOffsetOfLines([&](std::int32_t i, std::int32_t first, std::int32_t count,
                              std::int32_t* out) { readAroundCross(points, cross, true, i, first, count, out); },
                          v, lineReach_);
    const std::int32_t row =
        bestOffsetOfLines([&](std::int32_t i, std::int32_t first, std::int32_t count,
                              std::int32_t* out) { readAroundCross(points, cross, false, i, first, count, out); },
                          u, lineReach_);
    return map_.apply(u + (column - 9) / 5.0, v + (row - 9) / 5.0);
}

void SymbolLocator::extrapolateNode(SymbolCandidate& cand, std::int32_t a, std::int32_t b, std::int32_t da,
                                    std::int32_t db) const {
    const Aztec::Math::ProjectiveMap local =
        fitProjectiveMap({0, 0}, {kSpacing, 0}, {kSpacing, kSpacing}, {0, kSpacing}, gridNode(cand, a, b),
                         gridNode(cand, a + 1, b), gridNode(cand, a + 1, b + 1), gridNode(cand, a, b + 1));
    gridNode(cand, a + da, b + db) = local.apply(kSpacing * da, kSpacing * db);
}

}  // namespace AztecCore
