#pragma once
// One symbol read: its data with what the flags said, the mode message's
// shape, and where the symbol lies in the image that was searched.
#include <cstdint>

#include "decode/symbol_data.h"
#include "locate/symbol_candidate.h"
#include "math/projective_map.h"

namespace AztecCore {

struct SymbolRead {
    SymbolData data;  // bytes with any structured-append header still in front
    SymbolParameters shape;
    // False until the geometry is filled in; corners and moduleSize are then unset.
    bool hasGeometry = false;
    // The symbol's outer corners: its own top-left first, then clockwise as read.
    Aztec::Math::PointD corners[4] = {};
    double moduleSize = 0.0;  // pixels per module, mean over the four sides
};

// The map from the grid block with top-left node [a][b] (its symbol points
// (0, 0) to (16, 16)) into the image.
Aztec::Math::ProjectiveMap blockMap(const SymbolCandidate& cand, std::int64_t a, std::int64_t b);

// Image position of symbol point (u, v), in modules from the centre module's
// centre, through the map of the grid block that holds it.
Aztec::Math::PointD imagePoint(const SymbolCandidate& cand, double u, double v);

// The outer corners of a read symbol from its grid nodes, in the image's own
// order (top-left, top-right, bottom-right, bottom-left of the module matrix).
void matrixCorners(const SymbolCandidate& cand, Aztec::Math::PointD (&corners)[4]);

// Whether the symbol's outer corners lie a module or more inside an image of
// `width` x `height` pixels.
bool liesWithinImage(const SymbolCandidate& cand, std::int32_t width, std::int32_t height);

// The module of a bull's-eye an analysis saw, from its ring's corners:
// three modules out from the centre on a compact finder, five on a
// full-range one.
float ringModule(const SymbolCandidate& cand);

// Fills the geometry of `read` from the candidate the locator left behind.
void recordGeometry(const SymbolCandidate& cand, SymbolRead& read);

}  // namespace AztecCore
