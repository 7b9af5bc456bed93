#include <algorithm>
#include <cmath>

#include "locate/grid_nodes.h"
#include "search/symbol_read.h"

namespace AztecCore {

using Aztec::Math::PointD;

Aztec::Math::ProjectiveMap blockMap(const SymbolCandidate& cand, std::int64_t a, std::int64_t b) {
    auto& nodes = const_cast<SymbolCandidate&>(cand);
    return Aztec::Math::fitProjectiveMap({0, 0}, {16, 0}, {16, 16}, {0, 16}, gridNode(nodes, a, b),
                                         gridNode(nodes, a + 1, b), gridNode(nodes, a + 1, b + 1),
                                         gridNode(nodes, a, b + 1));
}

PointD imagePoint(const SymbolCandidate& cand, double u, double v) {
    const auto a = static_cast<std::int64_t>(std::floor(u / kNodeSpacing)) + kCentreNode;
    const auto b = static_cast<std::int64_t>(std::floor(v / kNodeSpacing)) + kCentreNode;
    const auto map = blockMap(cand, a, b);
    const double du = u - static_cast<double>((a - kCentreNode) * kNodeSpacing);
    const double dv = v - static_cast<double>((b - kCentreNode) * kNodeSpacing);
    return map.apply(du, dv);
}

namespace {

double distance(const PointD& p, const PointD& q) { return std::hypot(p.x - q.x, p.y - q.y); }

}  // namespace

void matrixCorners(const SymbolCandidate& cand, PointD (&corners)[4]) {
    // Module centres sit at whole symbol points, so the outer edge lies half a module out.
    // The side is odd, so the edge never falls on a block boundary.
    const double half = cand.symbolSize / 2.0;
    corners[0] = imagePoint(cand, -half, -half);
    corners[1] = imagePoint(cand, half, -half);
    corners[2] = imagePoint(cand, half, half);
    corners[3] = imagePoint(cand, -half, half);
}

float ringModule(const SymbolCandidate& cand) {
    const double out = cand.kind == SymbolKind::Full ? 5.0 : 3.0;
    return static_cast<float>(distance(cand.corners[0], cand.corners[1]) / (2.0 * out));
}

bool liesWithinImage(const SymbolCandidate& cand, std::int32_t width, std::int32_t height) {
    PointD corners[4];
    matrixCorners(cand, corners);
    const double module = distance(corners[0], corners[1]) / std::max(1u, cand.symbolSize);
    for (const PointD& c : corners)
        if (c.x < module || c.y < module || c.x > width - module || c.y > height - module) return false;
    return true;
}

void recordGeometry(const SymbolCandidate& cand, SymbolRead& read) {
    PointD image[4];
    matrixCorners(cand, image);
    // Unmirrored, the symbol's own top-left lies `orientation` quarter turns on
    // in the image's clockwise order. Mirrored, its top-left starts at the
    // matrix's top-right, the orientation counts the other way round, and the
    // symbol's clockwise order runs anticlockwise in the image.
    const std::uint32_t turn = cand.orientation & 3u;
    for (std::uint32_t k = 0; k < 4; ++k) {
        const std::uint32_t at = cand.mirrored != 0 ? (1u + 8u - turn - k) & 3u : (turn + k) & 3u;
        read.corners[k] = image[at];
    }
    double sides = 0.0;
    for (std::uint32_t k = 0; k < 4; ++k) sides += distance(image[k], image[(k + 1) & 3u]);
    read.moduleSize = cand.symbolSize > 0 ? sides / (4.0 * cand.symbolSize) : 0.0;
    read.hasGeometry = true;
}

}  // namespace AztecCore
