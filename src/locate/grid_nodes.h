#pragma once
// Checked access to the candidate's table of grid nodes.
#include <cstdint>

#include "common/checked_access.h"
#include "locate/symbol_candidate.h"

namespace AztecCore {

inline constexpr std::int32_t kGridNodes = 20;
inline constexpr std::int32_t kCentreNode = 10;
// Modules between neighbouring grid nodes (the reference-grid spacing).
inline constexpr std::int32_t kNodeSpacing = 16;

inline Aztec::Math::PointD& gridNode(SymbolCandidate& cand, std::int64_t i, std::int64_t j) {
    if (i < 0 || i >= kGridNodes || j < 0 || j >= kGridNodes) throwInvalidSubscript();
    return cand.gridNodes[i][j];
}

}  // namespace AztecCore
