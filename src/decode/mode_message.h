#pragma once
// The mode message around the bull's-eye: orientation, mirroring, layers and
// data codeword count, protected by Reed-Solomon check words over GF(16).
#include <cstdint>
#include <vector>

#include "decode/symbol_parameters.h"

namespace AztecCore {

// ringBits: 40 (compact) or 56 (full-range) samples clockwise from the ring's
// top-left corner module, true = dark. On success sets every mode field of
// `params` (params.kind selects the layout) and returns true.
bool parseModeMessage(SymbolParameters& params, const BitVector& ringBits);

// Corrects 28 (compact) or 40 (full-range) mode bits in place; throws on failure.
void correctModeMessage(BitVector& modeBits, bool compact);

// count words of w bits from position start, most significant bit first;
// positions are taken modulo bits.size().
std::vector<std::int32_t> packWords(const BitVector& bits, std::int64_t start, std::int32_t count, std::int32_t w);

// Inverse of packWords for w = 4 and start = 0.
void unpackWords(const std::vector<std::int32_t>& words, std::int32_t count, BitVector& bits);

}  // namespace AztecCore
