#pragma once
// The mode message around the bull's-eye: orientation, mirroring, layers and
// data codeword count, protected by Reed-Solomon check words over GF(16).
#include <cstdint>

#include "decode/symbol_parameters.h"

namespace AztecCore {

// ringBits: 40 (compact) or 56 (full-range) samples clockwise from the ring's
// top-left corner module, true = dark. On success sets every mode field of
// `params` (params.kind selects the layout) and returns true.
bool parseModeMessage(SymbolParameters& params, const BitVector& ringBits);

// The same ring read as an Aztec Rune: on success sets kind Rune, its
// orientation, mirroring, size 11 and runeValue. Only a ring whose check words
// verify as read, with nothing to correct, is taken.
bool parseRuneMessage(SymbolParameters& params, const BitVector& ringBits);

// Corrects 28 (compact) or 40 (full-range) mode bits in place and returns the
// number of 4-bit words repaired; throws on failure.
std::int32_t correctModeMessage(BitVector& modeBits, bool compact);

}  // namespace AztecCore
