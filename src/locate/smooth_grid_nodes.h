#pragma once
// Repair of a module grid whose line search went astray at some nodes (a
// stroke along a reference line, a stain over a crossing): such a node sits
// off the course the other nodes give the grid.
#include <cstdint>

#include "locate/symbol_candidate.h"

namespace AztecCore {

// Fits one projective map to the nodes within `sideLines` nodes of the
// centre, leaving out the farthest node again and again while it lies more
// than a third of a module from the fit (at most half the nodes), and moves
// every node that far from the final fit onto it. The centre node, taken
// from the bull's-eye, stays.
void smoothGridNodes(SymbolCandidate& cand, std::int32_t sideLines);

}  // namespace AztecCore
