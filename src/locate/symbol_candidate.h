#pragma once
// One symbol being located: the geometry found in the image plus the mode
// parameters (inherited) that the mode-message decoding writes.
#include "decode/symbol_parameters.h"
#include "math/projective_map.h"

namespace AztecCore {

struct SymbolCandidate : SymbolParameters {
    // Image position of symbol point (16(i-10), 16(j-10)); [10][10] is the centre.
    Aztec::Math::PointD gridNodes[20][20] = {};
    Aztec::Math::PointD center;
    // Top-left, top-right, bottom-right, bottom-left corner of the bull's-eye's outer light ring.
    Aztec::Math::PointD corners[4] = {};
    // The last attempt met a compact ring whose bits, no mode message, are
    // a rune's: a rune search from the same start point would read one.
    bool ringReadsAsRune = false;
};

}  // namespace AztecCore
