#include "locate/smooth_grid_nodes.h"

#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "locate/grid_nodes.h"
#include "math/matrix_solve.h"

namespace AztecCore {

using Aztec::Math::PointD;

namespace {

struct Node {
    std::int32_t i = 0, j = 0;  // grid position from the centre
    PointD at;                  // image position, relative to the centre node, in `unit`s
    bool kept = true;
};

// The projective map from grid positions to the kept nodes closest in the
// least-squares sense (w = c6 i + c7 j + 1 linearised as usual); false when
// the nodes leave it undetermined.
bool fitNodes(const std::vector<Node>& nodes, Aztec::Math::ProjectiveMap& map) {
    double a[64] = {};
    double b[8] = {};
    for (const Node& n : nodes) {
        if (!n.kept) continue;
        const double u = n.i, v = n.j;
        const double rows[2][8] = {{u, v, 1, 0, 0, 0, -u * n.at.x, -v * n.at.x},
                                   {0, 0, 0, u, v, 1, -u * n.at.y, -v * n.at.y}};
        const double rhs[2] = {n.at.x, n.at.y};
        for (int r = 0; r < 2; ++r)
            for (int p = 0; p < 8; ++p) {
                b[p] += rows[r][p] * rhs[r];
                for (int q = 0; q < 8; ++q) a[8 * p + q] += rows[r][p] * rows[r][q];
            }
    }
    try {
        Aztec::Math::solveEightInPlace(a, b);
    } catch (const Aztec::Math::MatrixSingularException&) {
        return false;
    }
    for (int p = 0; p < 8; ++p) {
        if (!std::isfinite(b[p])) return false;
        map.c[p] = b[p];
    }
    return true;
}

double distance(const PointD& a, const PointD& b) { return std::hypot(a.x - b.x, a.y - b.y); }

}  // namespace

void smoothGridNodes(SymbolCandidate& cand, std::int32_t h) {
    if (h < 1) return;
    const PointD centre = gridNode(cand, kCentreNode, kCentreNode);
    // Image positions in units of the mean distance of the centre's four
    // neighbours, so that the fit's equations are of like size.
    double unit = 0.0;
    for (const auto& d : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}})
        unit += distance(gridNode(cand, kCentreNode + d.first, kCentreNode + d.second), centre) / 4;
    if (!(unit > 0.0)) return;
    std::vector<Node> nodes;
    for (std::int32_t j = -h; j <= h; ++j)
        for (std::int32_t i = -h; i <= h; ++i) {
            const PointD p = gridNode(cand, kCentreNode + i, kCentreNode + j);
            nodes.push_back({i, j, {(p.x - centre.x) / unit, (p.y - centre.y) / unit}, true});
        }
    // A third of a module, in units.
    const double limit = 1.0 / (3.0 * kNodeSpacing);
    // Drops the node farthest from the fit of the kept ones, one at a time,
    // while it lies beyond the limit and more than half the nodes remain.
    Aztec::Math::ProjectiveMap map;
    std::size_t kept = nodes.size();
    while (true) {
        if (!fitNodes(nodes, map)) return;
        Node* worst = nullptr;
        double worstOff = limit;
        for (Node& n : nodes) {
            if (!n.kept) continue;
            const double off = distance(map.apply(n.i, n.j), n.at);
            if (off > worstOff) {
                worstOff = off;
                worst = &n;
            }
        }
        if (worst == nullptr || 2 * (kept - 1) <= nodes.size()) break;
        worst->kept = false;
        --kept;
    }
    for (const Node& n : nodes) {
        if (n.i == 0 && n.j == 0) continue;
        const PointD fitted = map.apply(n.i, n.j);
        if (distance(fitted, n.at) <= limit) continue;
        gridNode(cand, kCentreNode + n.i, kCentreNode + n.j) = {centre.x + fitted.x * unit, centre.y + fitted.y * unit};
    }
}

}  // namespace AztecCore
